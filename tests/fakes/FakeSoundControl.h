// Sound settings that record what they were told.
#pragma once

#include "SoundControl.h"

#include <QStringList>

namespace lw::fakes {

class FakeSoundControl : public SoundControl {
public:
    QStringList calls; // "gain 0.81", "mute on", "mute off"
    bool muted = false;
    float gain = 1.0f;

    void setMusicGain(float value) override
    {
        gain = value;
        calls << QStringLiteral("gain %1").arg(double(value));
    }
    void setMuted(bool value) override
    {
        muted = value;
        calls << (value ? QStringLiteral("mute on") : QStringLiteral("mute off"));
    }
};

} // namespace lw::fakes

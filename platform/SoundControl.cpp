// The installed sound settings.
#include "SoundControl.h"

namespace lw {
namespace {

class NoSoundControl : public SoundControl {
public:
    void setMusicGain(float) override {}
    void setMuted(bool) override {}
};

SoundControl* installed = nullptr;

} // namespace

SoundControl& soundControl()
{
    static NoSoundControl none;
    return installed ? *installed : none;
}

void installSoundControl(SoundControl* control) { installed = control; }

} // namespace lw

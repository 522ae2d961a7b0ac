// The sound services as the game sees them from its first moment, while the audio system starts
// after the first window is on screen: until it is attached there is no MIDI device and no wave
// output, and the sound settings asked for meanwhile are kept and applied when it comes.
#pragma once

#include "MidiService.h"
#include "SoundControl.h"
#include "WavePlayer.h"

#include <optional>

namespace lw {

class LateAudio : public MidiService, public SoundControl, public WavePlayer {
public:
    // From now on every call goes to these; the music gain and mute set so far are applied.
    void attach(MidiService& midi, SoundControl& control, WavePlayer& wave);
    // Back to no device (before the audio system is torn down).
    void detach();
    bool attached() const { return midi_ != nullptr; }

    int sendString(std::string_view command, std::string* answer, int answerLength,
                   std::uintptr_t callbackWindow) override;
    std::string errorString(int errorCode) const override;
    void setMusicGain(float gain) override;
    void setMuted(bool muted) override;
    bool playAsync(const std::string& path) override;

private:
    MidiService* midi_ = nullptr;
    SoundControl* control_ = nullptr;
    WavePlayer* wave_ = nullptr;
    std::optional<float> gain_;
    std::optional<bool> muted_;
};

} // namespace lw

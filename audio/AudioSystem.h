// The owner of the game's sound: one audio engine, its MIDI service and its wave player.
#pragma once

#include "MidiService.h"
#include "SoundControl.h"
#include "WavePlayer.h"

#include <memory>

namespace lw::audio {
class AudioEngine;
class MciSequencer;
class WaveFilePlayer;
} // namespace lw::audio

namespace lw {

class AudioSystem : public SoundControl {
public:
    // Returns at once: the audio output opens and the SoundFont loads in the background, and
    // music sent before then runs on its clock and sounds once they are ready.
    static std::unique_ptr<AudioSystem> create();
    ~AudioSystem();
    AudioSystem(const AudioSystem&) = delete;
    AudioSystem& operator=(const AudioSystem&) = delete;

    lw::MidiService& midi();
    lw::WavePlayer& wave();
    void setMusicGain(float gain) override;
    void setMuted(bool muted) override;
    // Stops the audio output and its threads; later commands fail quietly. Idempotent.
    void shutdown();

private:
    AudioSystem();
    std::unique_ptr<audio::AudioEngine> engine_;
    std::unique_ptr<audio::MciSequencer> midi_;
    std::unique_ptr<audio::WaveFilePlayer> wave_;
};

} // namespace lw

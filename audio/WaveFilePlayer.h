// The wave player over the shared audio output.
#pragma once

#include "AudioEngine.h"
#include "WavePlayer.h"

namespace lw::audio {

class WaveFilePlayer : public lw::WavePlayer {
public:
    // Plays through `engine`, which must outlive it.
    explicit WaveFilePlayer(AudioEngine& engine);

    // Reads and decodes the whole file (a regular file of at most kMaxWaveBytes, name matched
    // ignoring letter case; see decodeWave) on the calling thread, then hands it to the output and
    // returns; the sound replaces any wave still sounding and mixes over the music. False for a
    // missing, unusable or oversized file, a FIFO or device (never opened), or no output.
    bool playAsync(const std::string& path) override;

private:
    AudioEngine& engine_;
};

} // namespace lw::audio

// Playing one wave file in the background.
#pragma once

#include <string>

namespace lw {

class WavePlayer {
public:
    virtual ~WavePlayer() = default;
    // Starts playing the wave file at `path` and returns at once; a missing or unreadable file,
    // or no audio output, is ignored. Returns whether playback started.
    virtual bool playAsync(const std::string& path) = 0;
};

} // namespace lw

// A wave player that records the paths it was asked to play.
#pragma once

#include "WavePlayer.h"

#include <string>
#include <vector>

namespace lw::fakes {

class RecordingWavePlayer : public WavePlayer {
public:
    std::vector<std::string> played;
    bool playAsync(const std::string& path) override
    {
        played.push_back(path);
        return true;
    }
};

} // namespace lw::fakes

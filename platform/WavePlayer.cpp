// The installed wave player.
#include "WavePlayer.h"

namespace lw {
namespace {

class SilentWavePlayer : public WavePlayer {
public:
    bool playAsync(const std::string&) override { return false; }
};

WavePlayer* installed = nullptr;

} // namespace

WavePlayer& wavePlayer()
{
    static SilentWavePlayer silent;
    return installed ? *installed : silent;
}

void installWavePlayer(WavePlayer* player) { installed = player; }

} // namespace lw

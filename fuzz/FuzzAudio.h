// The audio engine the MIDI fuzz targets share: one per process, on a manual clock.
#pragma once

#include "AudioEngine.h"

#include <memory>

namespace lw::fuzz {

// Manual clock: no threads, no output; time moves only when the target renders.
inline lw::audio::AudioEngine& engine()
{
    static const std::unique_ptr<lw::audio::AudioEngine> engine = [] {
        lw::audio::AudioOptions options;
        options.manualClock = true;
        return lw::audio::AudioEngine::create(options);
    }();
    return *engine;
}

} // namespace lw::fuzz

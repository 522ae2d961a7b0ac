// The audio back end module's entry: FluidSynth, libsndfile and soxr, linked here and nowhere else
// in the game.
#include "AudioBackend.h"

#if defined(_WIN32)
#define LW_EXPORT __declspec(dllexport)
#else
#define LW_EXPORT __attribute__((visibility("default")))
#endif

extern "C" LW_EXPORT const lw::audio::AudioBackend* lw_audio_backend()
{
    static const lw::audio::AudioBackend backend = [] {
        lw::audio::AudioBackend table;
#define LW_FLUID_ENTRY(name) table.fluid.name = &::name;
        LW_FLUID_FUNCTIONS(LW_FLUID_ENTRY)
#undef LW_FLUID_ENTRY
        table.decodeWave = &lw::audio::decodeWave;
        return table;
    }();
    return &backend;
}

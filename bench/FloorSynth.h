// FluidSynth alone with the game's synthesizer settings (audio/InstrumentWorker.cpp), playing
// one piece through its own MIDI player: what the benchmarks measure the game's engine against.
#pragma once

#include <fluidsynth.h>

#include <cstdio>
#include <cstdlib>

namespace lw::bench {

constexpr int kFloorRate = 44100;

// FluidSynth's own messages (its log is process-wide) would drown the benchmark's figures.
inline void silenceFluidLog()
{
    for (int level = 0; level < LAST_LOG_LEVEL; ++level)
        fluid_set_log_function(
            level, [](int, const char*, void*) {}, nullptr);
}

class FloorSynth {
public:
    // Loads `font` and `piece` (looping when asked), silencing FluidSynth's log; a file that does
    // not load ends the benchmark with a message.
    FloorSynth(const char* font, const char* piece, bool loop)
    {
        silenceFluidLog();
        settings_ = new_fluid_settings();
        fluid_settings_setnum(settings_, "synth.sample-rate", kFloorRate);
        fluid_settings_setint(settings_, "synth.polyphony", 64);
        fluid_settings_setint(settings_, "synth.chorus.active", 0);
        fluid_settings_setnum(settings_, "synth.gain", 0.5);
        fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
        fluid_settings_setint(settings_, "synth.threadsafe-api", 0);
        synth_ = new_fluid_synth(settings_);
        if (fluid_synth_sfload(synth_, font, 1) == FLUID_FAILED)
            fail("cannot load", font);
        player_ = new_fluid_player(synth_);
        if (fluid_player_add(player_, piece) != FLUID_OK)
            fail("cannot read", piece);
        if (loop)
            fluid_player_set_loop(player_, -1);
        fluid_player_play(player_);
    }
    ~FloorSynth()
    {
        delete_fluid_player(player_);
        delete_fluid_synth(synth_);
        delete_fluid_settings(settings_);
    }
    FloorSynth(const FloorSynth&) = delete;
    FloorSynth& operator=(const FloorSynth&) = delete;

    // Renders `frames` of interleaved stereo into `out`.
    void render(int frames, float* out) { fluid_synth_write_float(synth_, frames, out, 0, 2, out, 1, 2); }

private:
    [[noreturn]] static void fail(const char* what, const char* path)
    {
        std::fprintf(stderr, "%s %s\n", what, path);
        std::exit(1);
    }

    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    fluid_player_t* player_ = nullptr;
};

} // namespace lw::bench

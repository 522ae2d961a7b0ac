// The audio back end: everything of the game that calls FluidSynth, libsndfile or soxr lives in a
// module of its own (lunaweave-audio), opened at run time off the window thread. Those libraries
// and the forty-odd they bring (sound servers, codecs) would otherwise load before the first
// window. The module exports one entry, lw_audio_backend(), which returns this table.
#pragma once

#include "WaveDecode.h"

#include <fluidsynth.h>

#include <string>

namespace lw::audio {

// The FluidSynth functions the engine calls.
// clang-format off
#define LW_FLUID_FUNCTIONS(X) \
    X(new_fluid_settings) \
    X(delete_fluid_settings) \
    X(fluid_settings_setint) \
    X(fluid_settings_setnum) \
    X(fluid_settings_setstr) \
    X(new_fluid_synth) \
    X(delete_fluid_synth) \
    X(new_fluid_audio_driver2) \
    X(delete_fluid_audio_driver) \
    X(fluid_set_log_function) \
    X(new_fluid_defsfloader) \
    X(fluid_sfloader_set_callbacks) \
    X(fluid_synth_add_sfloader) \
    X(fluid_synth_sfload) \
    X(fluid_synth_sfunload) \
    X(fluid_synth_pin_preset) \
    X(fluid_synth_system_reset) \
    X(fluid_synth_write_float) \
    X(fluid_synth_noteon) \
    X(fluid_synth_noteoff) \
    X(fluid_synth_cc) \
    X(fluid_synth_key_pressure) \
    X(fluid_synth_channel_pressure) \
    X(fluid_synth_pitch_bend) \
    X(fluid_synth_pitch_wheel_sens) \
    X(fluid_synth_program_select) \
    X(fluid_synth_unset_program) \
    X(fluid_synth_all_notes_off) \
    X(fluid_synth_all_sounds_off)
// clang-format on

struct FluidApi {
#define LW_FLUID_MEMBER(name) decltype(&::name) name = nullptr;
    LW_FLUID_FUNCTIONS(LW_FLUID_MEMBER)
#undef LW_FLUID_MEMBER
};

struct AudioBackend {
    // Bumped whenever this table changes, so that a stale module is refused rather than misread.
    static constexpr int kVersion = 1;
    int version = kVersion;
    FluidApi fluid;
    decltype(&lw::audio::decodeWave) decodeWave = nullptr;
};

// The module next to the program (or named by LW_AUDIO_BACKEND), opened on the first call from
// any thread; null when it cannot be opened, and the game then plays without sound. The first
// call takes as long as loading the libraries; later ones return at once.
const AudioBackend* audioBackend();

// Where audioBackend() looks for the module. Cheap; call it on the window thread (it asks the
// application object for the program's folder) before the first audioBackend().
void locateAudioBackend();

} // namespace lw::audio

// The module's one entry.
extern "C" const lw::audio::AudioBackend* lw_audio_backend();

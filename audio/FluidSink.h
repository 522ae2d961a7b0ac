// The score player's events sent to a FluidSynth synthesizer, on the thread that holds it.
#pragma once

#include "AudioBackend.h"
#include "ScorePlayer.h"

namespace lw::audio {

class FluidSink final : public ScoreSink {
public:
    FluidSink(const FluidApi& fl, fluid_synth_t* synth) : fl_(fl), synth_(synth) {}

    bool noteOn(int channel, int key, int velocity) override
    {
        return fl_.fluid_synth_noteon(synth_, channel, key, velocity) == FLUID_OK;
    }
    void noteOff(int channel, int key) override { fl_.fluid_synth_noteoff(synth_, channel, key); }
    void keyPressure(int channel, int key, int value) override
    {
        fl_.fluid_synth_key_pressure(synth_, channel, key, value);
    }
    void controlChange(int channel, int controller, int value) override
    {
        fl_.fluid_synth_cc(synth_, channel, controller, value);
    }
    void selectProgram(int channel, int fontId, int bank, int program) override
    {
        fl_.fluid_synth_program_select(synth_, channel, fontId, bank, program);
    }
    void unsetProgram(int channel) override { fl_.fluid_synth_unset_program(synth_, channel); }
    void channelPressure(int channel, int value) override { fl_.fluid_synth_channel_pressure(synth_, channel, value); }
    void pitchBend(int channel, int value) override { fl_.fluid_synth_pitch_bend(synth_, channel, value); }
    void pitchWheelSensitivity(int channel, int semitones) override
    {
        fl_.fluid_synth_pitch_wheel_sens(synth_, channel, semitones);
    }
    void allNotesOff(int channel) override { fl_.fluid_synth_all_notes_off(synth_, channel); }
    void render(int frames, float* left, float* right, int stride) override
    {
        fl_.fluid_synth_write_float(synth_, frames, left, 0, stride, right, 0, stride);
    }

private:
    const FluidApi& fl_;
    fluid_synth_t* synth_;
};

} // namespace lw::audio

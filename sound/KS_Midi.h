// The music module: plays one standard MIDI file at a time by sending command strings to the
// MIDI service, restarts the background piece when it has ended, and reports the play position.
#pragma once

#include "MidiService.h"

#include <functional>
#include <string>

namespace lw {

class KS_Midi {
public:
    // `currentDirectory` reports the process's working directory at the moment of each call.
    explicit KS_Midi(MidiService& service, std::function<std::string()> currentDirectory = {});

    // The bare file name of the background piece that LoopMidi restarts; set only by the scenario.
    std::string MidiFile;

    void PlayMidi(const std::string& fileName);
    void CloseMidi();
    bool IsMidiPlaying();
    void LoopMidi();
    // The play position in sixteenth notes, 0 when the device gives none.
    double MidiPosition();

private:
    MidiService& service_;
    std::function<std::string()> currentDirectory_;
};

// The game's one music module, installed by the program at start-up (tests install their own).
KS_Midi& music();
void installMusic(KS_Midi* module);

} // namespace lw

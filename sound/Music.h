// The music module: plays one standard MIDI file at a time by sending command strings to the
// MIDI service, restarts the background piece when it has ended, and reports the play position.
#pragma once

#include "MidiService.h"

#include <functional>
#include <string>

namespace lw {

class Music {
public:
    // `currentDirectory` reports the process's working directory at the moment of each call.
    explicit Music(MidiService& service, std::function<std::string()> currentDirectory = {});

    // The bare file name of the background piece that loop restarts; set only by the scenario.
    std::string backgroundPiece;

    void play(const std::string& fileName);
    void close();
    bool isPlaying();
    void loop();
    // The play position in sixteenth notes, 0 when the device gives none.
    double position();

private:
    MidiService& service_;
    std::function<std::string()> currentDirectory_;
};

// The game's one music module, installed by the program at start-up (tests install their own).
} // namespace lw

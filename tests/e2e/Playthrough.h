// Plays the whole game in-process, from the opening demo to the clear screen, with the real
// windows (offscreen), the real MIDI service on a manual clock, and timers driven by hand.
#pragma once

#include <QList>
#include <QString>

#include <string>
#include <vector>

namespace lw::e2e {

struct PlaythroughOptions {
    // Jumps back and forth with the screen jump along the way, as a tester would.
    bool jumpAround = false;
    // The MIDI device answers nothing, as on a machine without one.
    bool noMidiDevice = false;
    // A SoundFont for the synthesizer; empty: none (the music runs on its clock without sound).
    std::string soundFont;
};

struct PlaythroughResult {
    bool reachedClearScreen = false;  // the clear screen was shown and its OK pressed
    QString fatalError;               // the runtime error report that ended the game, if any
    int clicks = 0;                   // clicks on the scene picture
    int rollTicks = 0;                // staff-roll timer ticks until the roll ended
    std::vector<std::string> opened;  // music pieces the MIDI device played, in order (file names)
    bool waveStarted = false;         // the demo's closing chime started
    QString clearMessage;             // the clear screen's text
    QList<int> endStatuses;           // statuses the program was ended with
};

// Runs the game with `dataDirectory` as the working directory. Restores the working directory,
// the installed services and the game state afterwards, so it can run many times in a process.
PlaythroughResult playThrough(const QString& dataDirectory, const PlaythroughOptions& options = {});

} // namespace lw::e2e

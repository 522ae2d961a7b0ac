// Plays the whole game in-process through the real Game, from the series
// notice to the clear screen: offscreen windows, the real MIDI service on a manual clock, the
// player's clicks and keys sent as real Qt input events, and the demo's and roll's timers driven
// by hand so nothing waits in real time.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace lw::e2e {

// A window the player closes through its close box, as the window system would.
enum class CloseWindow {
    None,
    Title,         // as soon as it shows
    MainWindow,    // when the story reaches PlaythroughOptions::closeAtState
    MessageWindow, // likewise
    Roll,          // once it has shown a few entries
    ClearScreen,   // instead of pressing O K
};

struct PlaythroughResult;

struct PlaythroughOptions {
    // Jumps back and forth with the screen jump along the way, as a tester would.
    bool jumpAround = false;
    // The MIDI device answers nothing, as on a machine without one.
    bool noMidiDevice = false;
    // A SoundFont for the synthesizer; empty: none (the music runs on its clock without sound).
    std::string soundFont;
    // What the settings store holds for the series notice; a null string: nothing.
    QString noticeSetting = QStringLiteral("OFF");
    CloseWindow close = CloseWindow::None;
    int closeAtState = 10;
    // Called each time the program is ended, after the end is recorded. The real program stops
    // there; a test that closes the title, main or message window must stop too (a child
    // process exits), since the game would otherwise go on.
    std::function<void(const PlaythroughResult&)> onEnd;
};

struct PlaythroughEnd {
    int status = 0;
    std::size_t commandsBefore = 0; // MIDI commands sent by then
    QString windows;                // the game's windows on screen by then
};

struct ColumnProbe {
    int x;        // pixel on the scene picture
    int column;   // the click column it gave (1 left, 2 middle, 3 right)
    QString line; // what Look answered at the statue
};

struct PlaythroughResult {
    bool reachedClearScreen = false;   // the game reached the clear screen
    QString fatalError;                // the runtime error report that ended the game, if any
    QString failure;                   // what went wrong in the flow (the player had to force it on)
    int clicks = 0;                    // clicks on the scene picture
    int rollTicks = 0;                 // staff-roll timer ticks until the roll ended
    std::vector<std::string> opened;   // music pieces the MIDI device played, in order (file names)
    std::vector<std::string> commands; // every MIDI command string, in order
    bool waveStarted = false;          // the demo's closing chime started
    QStringList notices;               // "title|text" of each message box
    QStringList prompts;               // "title|prompt|default" of each input box
    QStringList phases;                // the game's windows on screen, each time they changed
    std::set<int> visited;             // story states the player stood at
    QString hint;                      // the answer to a picture click with no command chosen
    QStringList hoverNames;            // the command name after hovering each icon, then the picture
    std::vector<ColumnProbe> columns;  // Look at 150 clicked at pixels across the picture
    QStringList rollHeadings;          // distinct headings the roll showed
    QString clearMessage;              // the clear screen's text
    std::size_t commandsAtClose = 0;   // MIDI commands sent before the player closed a window or
                                       // pressed the clear screen's O K
    std::vector<PlaythroughEnd> ends;  // each call to end the program
    QList<int> endStatuses;            // their statuses
};

// Runs the game with `dataDirectory` as the working directory. Restores the working directory,
// the installed services and the game state afterwards, so it can run many times in a process.
PlaythroughResult playThrough(const QString& dataDirectory, const PlaythroughOptions& options = {});

// The pixels the player clicks across a 480-pixel picture: one in each third, and either side of
// each boundary between thirds.
inline const QList<int> kProbePixels{40, 159, 160, 240, 319, 320, 440};

} // namespace lw::e2e

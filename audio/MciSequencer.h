// The MIDI command-string service: a sequencer device that plays standard MIDI files.
//
// Usage note
//   Commands (keywords and aliases in any letter case, words separated by blanks; a path with
//   blanks or non-ASCII letters, in UTF-8, goes in double quotes):
//     open <path> type sequencer alias <name>   loads a MIDI file; the piece waits at its start
//     play <name>       plays from where it stands; a piece that has ended plays from its start
//     pause <name>      holds the piece where it is
//     resume <name>     goes on after pause
//     stop <name>       halts the piece where it is; mode "stopped"
//     close <name>      stops and forgets the piece (also: close all)
//     status <name> mode       answers "playing", "paused", "stopped" or "not ready"
//     status <name> position   answers the play position in sixteenth notes from the start of
//                              the piece (song-pointer units): ticks * 4 / division, rounded down
//   The file name of an open is matched ignoring letter case within its directory. The file is
//   read whole (at most 4 MB) and checked strictly before the synthesizer sees it.
//   One piece at a time: a successful open closes whatever was open, under any alias; a failed
//   open leaves it alone. A piece that reaches its end answers "stopped" and stays open, its
//   position held at the end. "not ready" means the file was good but the synthesizer could not
//   take it.
//   Answers: empty for every command but status; cut to answerLength - 1 characters, and empty
//   when answerLength < 1. A failed command answers nothing.
//   Error codes (0 is success): see MciError; errorString gives a text for each.
//   The callback window is accepted and ignored: the device never sends notifications.
#pragma once

#include "AudioEngine.h"
#include "MidiService.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lw::audio {

enum MciError : int {
    kMciOk = 0,
    kMciFileNotFound = 1,   // no file at that path (or a directory, a device, a pipe)
    kMciNotMidiFile = 2,    // not a standard MIDI file timed in ticks, malformed, or too large
    kMciUnknownAlias = 3,   // no piece open under that name
    kMciUnknownCommand = 4, // the first word is not a command
    kMciBadSyntax = 5,      // missing or extra words, an unclosed quote, an unknown item
    kMciNoDevice = 6,       // no such device type, or the synthesizer cannot play the piece
};

class MciSequencer : public lw::MidiService {
public:
    // The sequencer plays through `engine`, which must outlive it.
    explicit MciSequencer(AudioEngine& engine);
    ~MciSequencer() override; // closes what is open
    MciSequencer(const MciSequencer&) = delete;
    MciSequencer& operator=(const MciSequencer&) = delete;

    // Safe for any bytes in `command`; never blocks on playback.
    int sendString(std::string_view command, std::string* answer, int answerLength,
                   std::uintptr_t callbackWindow) override;
    std::string errorString(int errorCode) const override;

private:
    enum class Mode { Stopped, Playing, Paused };

    int open(const std::string& path, const std::string& alias);
    void closePiece();
    bool isOpenAlias(const std::string& alias) const;
    bool atEnd() const; // started, and the piece has played to its end
    bool ended() const; // playing, and at its end
    std::int64_t positionSixteenths() const;

    AudioEngine& engine_;
    std::string alias_;    // empty: nothing open
    bool ready_ = false;   // the engine took the piece
    bool started_ = false; // played since it was opened
    Mode mode_ = Mode::Stopped;
    int division_ = 0;
    std::int64_t endTick_ = 0;
};

} // namespace lw::audio

// Music written as text (note strings, chord symbols per bar, rhythm patterns) and rendered to MIDI.
#pragma once

#include "SmfWriter.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lw::musicgen {

inline constexpr int kTicksPerQuarter = 480;
inline constexpr int kTicksPerSixteenth = kTicksPerQuarter / 4;

// A mistake in the written music (a bar that does not add up, an unknown chord); thrown at build time.
struct MusicError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// "C4" = 60, "F#3", "Bb5". Throws MusicError on anything else.
int parsePitch(std::string_view text);

// A chord symbol: root, quality and an optional slash bass: "C", "Am7", "F#m7b5", "G7sus4", "C/E".
struct Chord {
    int root = 0;               // pitch class 0..11
    int bass = 0;               // pitch class of the lowest note (root unless a slash chord)
    std::vector<int> intervals; // semitones above the root, ascending, root first
};
Chord parseChord(std::string_view symbol);

// A drum groove: one pattern line per instrument, "kick:X...x... snare:....X...". Each pattern
// character is one sixteenth: X accent, x normal, o ghost, '.' nothing; a short pattern repeats.
struct Groove {
    std::string_view name;
    std::string_view lines;
};

// One passage of the form. Strings hold one bar between bar lines '|'.
//   chords:  chord symbols per bar; several in a bar share it equally.
//   melody, counter: notes "E5:4 D5:2 C5" (pitch:length in sixteenths, the length carries over
//            to the next note when left out), rests "r:4", '>' before a note accents it.
//   comp:    the harmony part's rhythm for every bar: x hit, X accented hit, a next arpeggio note,
//            '-' hold, '.' silence.
//   bass:    R root, F fifth, T third, O octave, L fifth below, w chromatic step into the next
//            chord's root, '-' hold, '.' silence.
struct Section {
    std::string_view chords;
    std::string_view melody = {};
    std::string_view counter = {};
    std::string_view comp = {};
    std::string_view bass = {};
    std::string_view groove = {};
    std::string_view fill = {}; // groove of the section's last bar, when not empty
    int dynamic = 80;           // base velocity at the start
    int dynamicEnd = 0;         // base velocity at the end (0: same as dynamic)
    int melodyProgram = -1;     // a GM program for the melody from here on (-1: keep)
};

// The last held chord: every part strikes it together with a cymbal, then the file ends.
struct Ending {
    std::string_view chord;
    std::string_view top;  // the melody's last note
    int sixteenths;        // how long the chord is held
    double slowdown = 1.0; // tempo factor over the bar before the chord (a ritardando)
};

struct Piece {
    std::string_view file;
    std::string_view title;
    double bpm; // quarter notes per minute
    int numerator;
    int denominator;
    int keySharps; // key signature: sharps positive, flats negative
    bool minor;
    bool swing;                  // off-beat eighths played late, in a triplet feel
    std::array<int, 4> programs; // GM programs: melody, harmony, bass, counter-melody
    std::vector<Groove> grooves;
    std::vector<Section> form;
    Ending ending;
    int compFloor = 55; // lowest note of the harmony part's voicings
};

// The tracks of a piece: conductor, melody (channel 1), harmony (2), bass (3), counter (4), drums (10).
std::vector<SmfTrack> renderPiece(const Piece& piece);

// The piece's length in sixteenth notes, ending included.
int pieceSixteenths(const Piece& piece);

} // namespace lw::musicgen

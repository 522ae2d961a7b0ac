// The eight pieces. Each reads as a lead sheet: chords per bar, the tune, a counter-line, and the
// rhythms of the accompaniment, bass and drums (see Score.h for the notation).
#include "Pieces.h"

namespace lw::musicgen {

namespace {

// GM programs, counted from 0.
enum Program : int {
    kPiano = 0,
    kBrightPiano = 1,
    kCelesta = 8,
    kGlockenspiel = 9,
    kVibraphone = 11,
    kAcousticBass = 32,
    kFingerBass = 33,
    kSynthBass = 38,
    kContrabass = 43,
    kPizzicato = 45,
    kStrings = 48,
    kSlowStrings = 49,
    kTrumpet = 56,
    kTrombone = 57,
    kFrenchHorn = 60,
    kBrass = 61,
    kBassoon = 70,
    kClarinet = 71,
    kFlute = 73,
    kRecorder = 74,
    kSquareLead = 80,
    kCello = 42,
};

// Title film's theme: F major, a quiet piano tune over arpeggios, strings joining in.
Piece okera()
{
    return {
        .file = "okera.mid",
        .title = "Naraya Girls' High",
        .bpm = 76,
        .numerator = 4,
        .denominator = 4,
        .keySharps = -1,
        .minor = false,
        .swing = false,
        .programs = {kPiano, kPiano, kAcousticBass, kSlowStrings},
        .grooves = {{"brush", "kick:x.......o....... rim:....o.......o... ride:o.o.o.o.o.o.o.o."},
                    {"brushfill", "kick:x.......x....... rim:....o...o.o.o.oo ride:o.o.o.o........"},
                    {"shaker", "cabasa:..o...o...o...o."}},
        .form =
            {
                // intro
                {.chords = "Bbmaj7 | Am7 | Gm7 | C7sus4 C7",
                 .counter = "D5:16 | C5:16 | Bb4:16 | C5:8 Bb4:8",
                 .comp = "a.a.a.a.a.a.a.a.",
                 .bass = "R---------------",
                 .groove = "shaker",
                 .dynamic = 58,
                 .dynamicEnd = 66},
                // A
                {.chords = "F | C/E | Dm | Bb C7 | F/A | Bb | Gm7 C7 | F",
                 .melody = "A4:6 G4:2 F4:4 C5:4 | Bb4:6 A4:2 G4:8 | F4:4 A4:4 D5:6 C5:2 | Bb4:4 A4:4 G4:8 |"
                           "A4:6 G4:2 F4:4 F5:4 | D5:6 C5:2 Bb4:4 D5:4 | C5:4 Bb4:4 A4:4 G4:4 | F4:12 r:4",
                 .comp = "a.a.a.a.a.a.a.a.",
                 .bass = "R-------F-------",
                 .groove = "brush",
                 .fill = "brushfill",
                 .dynamic = 70},
                // B
                {.chords = "Dm | Am | Bb | F/A | Gm7 | Am7 | Bb | C7sus4 C7",
                 .melody = "D5:4 E5:4 F5:6 E5:2 | E5:8 C5:4 A4:4 | D5:4 C5:4 Bb4:4 D5:4 | C5:12 r:4 |"
                           "Bb4:4 C5:4 D5:6 F5:2 | E5:8 C5:4 E5:4 | F5:6 D5:2 Bb4:4 D5:4 | C5:8 Bb4:4 G4:4",
                 .counter = "A4:16 | A4:16 | F4:16 | F4:16 | D4:16 | E4:16 | D4:16 | F4:8 E4:8",
                 .comp = "a.a.a.a.a.a.a.a.",
                 .bass = "R-------F---R---",
                 .groove = "brush",
                 .fill = "brushfill",
                 .dynamic = 72,
                 .dynamicEnd = 84},
                // A': the strings take the tune, the piano keeps its arpeggios
                {.chords = "F | C/E | Dm | Bb C7 | F/A | Bb | Gm7 Am7 | Bb C7",
                 .melody = "A4:6 G4:2 F4:4 C5:4 | Bb4:6 A4:2 G4:8 | F4:4 A4:4 D5:6 C5:2 | Bb4:4 A4:4 G4:8 |"
                           "A4:6 G4:2 F4:4 F5:4 | D5:6 C5:2 Bb4:4 D5:4 | C5:4 Bb4:4 A4:4 C5:4 | D5:8 E5:8",
                 .counter = "F4:16 | E4:16 | F4:8 A4:8 | D4:8 E4:8 | C4:16 | D4:16 | Bb3:8 C4:8 | D4:8 C4:8",
                 .comp = "a.a.a.a.a.a.a.a.",
                 .bass = "R-------F-------",
                 .groove = "brush",
                 .dynamic = 80,
                 .dynamicEnd = 70,
                 .melodyProgram = kStrings},
            },
        .ending = {.chord = "F", .top = "F5", .sixteenths = 16, .slowdown = 0.8},
    };
}

// The fairy university: G major in 6/8, a flute skipping over celesta and a bassoon bass.
Piece yoseiden()
{
    return {
        .file = "yoseiden.mid",
        .title = "Fairy University",
        .bpm = 96,
        .numerator = 6,
        .denominator = 8,
        .keySharps = 1,
        .minor = false,
        .swing = false,
        .programs = {kFlute, kCelesta, kBassoon, kClarinet},
        .grooves = {{"twinkle", "triangle:x..........."},
                    {"skip", "kick:x.....o..... block:..o.o...o.o. triangle:x..........."},
                    {"skipfill", "kick:x.....x..... block:..o.o.x.x.x. triangle:x..........."}},
        .form =
            {
                // intro
                {.chords = "G | C/G | G | D7",
                 .comp = "a.a.a.a.a.a.",
                 .bass = "R-----------",
                 .groove = "twinkle",
                 .dynamic = 60},
                // A
                {.chords = "G | Em | C | D | G | B7/F# | Em A7 | D",
                 .melody = "D5:4 B4:2 G4:4 B4:2 | E5:4 D5:2 B4:6 | C5:2 D5:2 E5:2 G5:4 E5:2 | D5:6 A4:2 B4:2 C5:2 |"
                           "D5:4 B4:2 G5:4 F#5:2 | F#5:4 E5:2 D#5:6 | E5:4 G5:2 C#5:4 E5:2 | D5:6 r:6",
                 .comp = "..x-x-..x-x-",
                 .bass = "R-----F-----",
                 .groove = "skip",
                 .fill = "skipfill",
                 .dynamic = 72},
                // B: staccato and playful, the clarinet answering
                {.chords = "C | G/B | Am | D7 | C | G/B | A7 | D7",
                 .melody = "E5:2 G5:2 E5:2 C5:2 E5:2 G5:2 | F#5:4 G5:2 D5:6 | C5:2 E5:2 C5:2 A4:2 C5:2 E5:2 |"
                           "D5:4 C5:2 A4:6 | G5:2 E5:2 G5:2 C6:4 B5:2 | B5:4 A5:2 G5:6 | A5:4 G5:2 E5:4 C#5:2 |"
                           "D5:6 r:2 D5:2 F#5:2",
                 .counter = "C4:6 E4:6 | D4:12 | E4:6 C4:6 | F#4:12 | E4:6 G4:6 | D4:12 | C#4:6 E4:6 | C4:12",
                 .comp = "x.x.x.x.x.x.",
                 .bass = "R-----F-----",
                 .groove = "skip",
                 .fill = "skipfill",
                 .dynamic = 76,
                 .dynamicEnd = 84},
                // A'
                {.chords = "G | Em | C | D | G | B7/F# | Em Am7 | D7",
                 .melody = "D5:4 B4:2 G4:4 B4:2 | E5:4 D5:2 B4:6 | C5:2 D5:2 E5:2 G5:4 E5:2 | D5:6 A4:2 B4:2 C5:2 |"
                           "D5:4 B4:2 G5:4 F#5:2 | F#5:4 E5:2 D#5:6 | E5:4 G5:2 C5:4 E5:2 | D5:6 E5:2 F#5:2 A5:2",
                 .counter = "B3:12 | G4:12 | E4:12 | F#4:12 | G4:12 | A4:12 | G4:6 A4:6 | F#4:12",
                 .comp = "..x-x-..x-x-",
                 .bass = "R-----F-----",
                 .groove = "skip",
                 .dynamic = 78,
                 .dynamicEnd = 72},
            },
        .ending = {.chord = "G", .top = "G5", .sixteenths = 12, .slowdown = 0.85},
    };
}

// Waiting in the square: D major, a recorder's little tune over a snare that keeps time, idly.
Piece litldrm()
{
    return {
        .file = "Litldrm.mid",
        .title = "Waiting by the Statue",
        .bpm = 100,
        .numerator = 4,
        .denominator = 4,
        .keySharps = 2,
        .minor = false,
        .swing = false,
        .programs = {kRecorder, kVibraphone, kFingerBass, kClarinet},
        .grooves = {{"drummer", "snare:x.ooo.o.x.ooo.o."},
                    {"march", "snare:x.ooo.o.x.ooo.o. kick:x.......x....... phat:....x.......x..."},
                    {"idle", "rim:....x.......x... kick:x.......x....... hat:o.o.o.o.o.o.o.o."},
                    {"roll", "snare:x.x.x.x.xoxoxxxx kick:x.......x......."}},
        .form =
            {
                // intro: the little drummer alone, then the vibes
                {.chords = "D | D | G/D | A7/D",
                 .comp = "........x-..x-..",
                 .bass = "R-..............",
                 .groove = "drummer",
                 .dynamic = 60,
                 .dynamicEnd = 68},
                // A
                {.chords = "D | D | Em7 A7 | D | G | F#m | Em7 | A7",
                 .melody = "F#4:2 F#4:2 A4:4 F#4:4 r:4 | F#4:2 F#4:2 A4:4 D5:4 r:4 | E4:2 G4:2 B4:4 C#5:2 B4:2 A4:4 |"
                           "F#4:12 r:4 | G4:2 B4:2 D5:4 B4:4 G4:4 | A4:2 A4:2 C#5:4 A4:4 F#4:4 | G4:4 F#4:4 E4:4 D4:4 |"
                           "E4:8 r:4 A4:2 A4:2",
                 .comp = "x-..x-..x-..x-..",
                 .bass = "R-..R-..F-..R-..",
                 .groove = "march",
                 .fill = "roll",
                 .dynamic = 72},
                // B: a little sulky
                {.chords = "Bm | Bm/A | G | D/F# | Em7 | F#m7 | G | A7sus4 A7",
                 .melody =
                     "D5:4 C#5:2 B4:2 F#4:8 | r:4 B4:2 C#5:2 D5:4 B4:4 | B4:4 A4:2 G4:2 D4:8 | r:8 F#4:2 G4:2 A4:4 |"
                     "G4:4 F#4:2 E4:2 B4:8 | A4:4 C#5:2 E5:2 C#5:8 | B4:4 D5:4 G5:4 D5:4 | D5:8 C#5:4 r:4",
                 .comp = "x-------x-------",
                 .bass = "R---R---F---R---",
                 .groove = "idle",
                 .fill = "roll",
                 .dynamic = 68,
                 .dynamicEnd = 76},
                // A', with the clarinet sighing underneath
                {.chords = "D | D | Em7 A7 | D | G | F#m | G | Em7 A7",
                 .melody = "F#4:2 F#4:2 A4:4 F#4:4 r:4 | F#4:2 F#4:2 A4:4 D5:4 r:4 | E4:2 G4:2 B4:4 C#5:2 B4:2 A4:4 |"
                           "F#4:12 r:4 | G4:2 B4:2 D5:4 B4:4 G4:4 | A4:2 A4:2 C#5:4 A4:4 F#4:4 | B4:4 A4:4 G4:4 F#4:4 |"
                           "E4:4 G4:4 A4:4 C#5:4",
                 .counter = "A3:8 D4:8 | F#4:8 A4:8 | G4:8 E4:8 | F#4:8 A3:8 | B3:8 D4:8 | C#4:8 F#4:8 | D4:8 B3:8 |"
                            "B3:8 A3:8",
                 .comp = "x-..x-..x-..x-..",
                 .bass = "R-..R-..F-..R-..",
                 .groove = "march",
                 .dynamic = 74,
                 .dynamicEnd = 70},
            },
        .ending = {.chord = "D", .top = "D5", .sixteenths = 16, .slowdown = 0.85},
    };
}

// Title and the walk through town: A major pop, a square lead over bright piano and strings.
Piece showt()
{
    return {
        .file = "Showt.mid",
        .title = "Out on the Town",
        .bpm = 132,
        .numerator = 4,
        .denominator = 4,
        .keySharps = 3,
        .minor = false,
        .swing = false,
        .programs = {kSquareLead, kBrightPiano, kSynthBass, kStrings},
        .grooves = {{"verse", "kick:X...x.x.X...x... snare:....X.......X... hat:x.x.x.x.x.x.x.x."},
                    {"chorus",
                     "kick:X...x.x.X...x.x. snare:....X.......X..o. hat:x.xxx.x.x.xxx.x. tamb:....x.......x..."},
                    {"fill", "kick:X...x...X....... snare:....X...x.xxXXXX hat:x.x.x.x........."},
                    {"intro", "kick:X.......X.x..... hat:x.x.x.x.x.x.x.x."}},
        .form =
            {
                // intro
                {.chords = "A | D/A | A | E7sus4 E7",
                 .counter = "E5:16 | F#5:16 | E5:16 | D5:8 D5:8",
                 .comp = "X.x.x-x.X.x.x-x.",
                 .bass = "R-O-R-O-R-O-R-O-",
                 .groove = "intro",
                 .fill = "fill",
                 .dynamic = 78},
                // A (verse)
                {.chords = "A | E/G# | F#m | C#m | D | A/C# | Bm7 | E7",
                 .melody =
                     "E5:2 E5:2 C#5:2 E5:4 F#5:2 E5:4 | B4:2 B4:2 G#4:2 B4:4 C#5:2 B4:4 |"
                     "A4:2 C#5:2 F#5:2 E5:4 C#5:2 A4:4 | G#4:6 E4:2 G#4:4 B4:4 | A4:2 D5:2 F#5:2 A5:4 F#5:2 D5:4 |"
                     "E5:2 C#5:2 E5:2 A5:4 G#5:2 A5:4 | F#5:4 D5:4 B4:4 A4:4 | G#4:8 B4:4 D5:4",
                 .comp = "x.x.-x.xx.x.-x.x",
                 .bass = "R--RR-R-R--RR-R-",
                 .groove = "verse",
                 .fill = "fill",
                 .dynamic = 80},
                // B (chorus)
                {.chords = "D E | C#m F#m | Bm E | A A7 | D E | C#m F#m | Bm7 E7 | A",
                 .melody = "A5:4 F#5:2 A5:2 G#5:4 E5:4 | E5:4 C#5:2 E5:2 F#5:4 A5:4 | F#5:2 F#5:2 D5:4 E5:2 E5:2 B4:4 |"
                           "C#5:12 r:4 | A5:4 F#5:2 A5:2 B5:4 G#5:4 | G#5:4 E5:2 C#5:2 C#6:4 A5:4 |"
                           "F#5:4 A5:2 F#5:2 E5:4 D5:4 | C#5:4 E5:4 A5:8",
                 .counter = "F#4:8 G#4:8 | G#4:8 A4:8 | B4:8 B4:8 | A4:8 G4:8 | F#4:8 G#4:8 | G#4:8 A4:8 | A4:8 G#4:8 |"
                            "A4:16",
                 .comp = "X.x.x-x.X.x.x-x.",
                 .bass = "R-O-R-O-R-O-R-O-",
                 .groove = "chorus",
                 .fill = "fill",
                 .dynamic = 88},
                // A again, the strings doubling underneath
                {.chords = "A | E/G# | F#m | C#m | D | A/C# | Bm7 | E7",
                 .melody =
                     "E5:2 E5:2 C#5:2 E5:4 F#5:2 E5:4 | B4:2 B4:2 G#4:2 B4:4 C#5:2 B4:4 |"
                     "A4:2 C#5:2 F#5:2 E5:4 C#5:2 A4:4 | G#4:6 E4:2 G#4:4 B4:4 | A4:2 D5:2 F#5:2 A5:4 F#5:2 D5:4 |"
                     "E5:2 C#5:2 E5:2 A5:4 G#5:2 A5:4 | F#5:4 D5:4 B4:4 A4:4 | G#4:8 B4:4 D5:4",
                 .counter = "C#5:16 | B4:16 | A4:16 | G#4:16 | F#4:16 | E4:16 | D4:16 | E4:8 D4:8",
                 .comp = "x.x.-x.xx.x.-x.x",
                 .bass = "R--RR-R-R--RR-R-",
                 .groove = "verse",
                 .fill = "fill",
                 .dynamic = 82},
                // B' (last chorus, turned towards the final chord)
                {.chords = "D E | C#m F#m | Bm E | A A7 | D E | C#m F#m | Bm7 | E7sus4 E7",
                 .melody = "A5:4 F#5:2 A5:2 G#5:4 E5:4 | E5:4 C#5:2 E5:2 F#5:4 A5:4 | F#5:2 F#5:2 D5:4 E5:2 E5:2 B4:4 |"
                           "C#5:12 r:4 | A5:4 F#5:2 A5:2 B5:4 G#5:4 | G#5:4 E5:2 C#5:2 C#6:4 A5:4 |"
                           "F#5:4 D5:2 B4:2 D5:4 F#5:4 | E5:8 G#5:4 B5:4",
                 .counter = "F#4:8 G#4:8 | G#4:8 A4:8 | B4:8 B4:8 | A4:8 G4:8 | F#4:8 G#4:8 | G#4:8 A4:8 | A4:16 |"
                            "A4:8 G#4:8",
                 .comp = "X.x.x-x.X.x.x-x.",
                 .bass = "R-O-R-O-R-O-R-O-",
                 .groove = "chorus",
                 .fill = "fill",
                 .dynamic = 90,
                 .dynamicEnd = 96},
            },
        .ending = {.chord = "A", .top = "A5", .sixteenths = 16, .slowdown = 0.9},
    };
}

// The talent agency: B-flat swing with a big-band brass lead, walking bass and a cheeky trombone.
Piece tinwaki()
{
    return {
        .file = "Tinwaki.mid",
        .title = "Tanigawa Productions",
        .bpm = 120,
        .numerator = 4,
        .denominator = 4,
        .keySharps = -2,
        .minor = false,
        .swing = true,
        .programs = {kBrass, kPiano, kAcousticBass, kTrombone},
        .grooves = {{"swing",
                     "ride:x...x.x.x...x.x. phat:....x.......x... kick:o.......o....... snare:......o.......o."},
                    {"shout",
                     "ride:x...x.x.x...x.x. phat:....x.......x... kick:x.......x....... snare:....x.o.....x.o."},
                    {"kicks", "ride:x...x.x.x...x.x. snare:x.....x...x.X.X. kick:o.......x...X..."},
                    {"hits", "crash:X............... kick:X.....x......... snare:X.....x........."}},
        .form =
            {
                // intro: a fanfare with stops
                {.chords = "Bb6 | G7 | Cm7 | F7",
                 .melody = "F5:2 F5:2 r:2 F5:2 r:4 D5:4 | r:16 | Eb5:2 Eb5:2 r:2 Eb5:2 r:4 C5:4 | F4:4 A4:4 C5:4 Eb5:4",
                 .comp = "x-....x.........",
                 .bass = "R-....R-........",
                 .groove = "hits",
                 .fill = "kicks",
                 .dynamic = 84},
                // A
                {.chords = "Bb G7 | Cm7 F7 | Bb G7 | Cm7 F7 | Bb Bb7 | Eb Ebm | Bb/D G7 | Cm7 F7",
                 .melody = "r:2 D5:2 F5:2 D5:2 B4:4 D5:4 | Eb5:2 D5:2 C5:4 A4:4 r:4 | r:2 D5:2 F5:2 D5:2 B4:4 F5:4 |"
                           "Eb5:6 C5:2 A4:4 F4:4 | Bb4:2 D5:2 F5:2 Bb5:2 Ab5:4 F5:4 | G5:4 Eb5:4 Gb5:4 Eb5:4 |"
                           "F5:4 D5:4 B4:2 D5:2 F5:4 | Eb5:4 C5:4 A4:4 r:4",
                 .comp = "x-....x.....x-..",
                 .bass = "R---T---F---w---",
                 .groove = "swing",
                 .fill = "kicks",
                 .dynamic = 80},
                // B (bridge): round the dominants, trombone punches
                {.chords = "D7 | D7 | G7 | G7 | C7 | C7 | F7 | F7",
                 .melody = "F#5:4 F#5:2 D5:2 A4:4 C5:4 | F#4:2 A4:2 C5:2 D5:2 F#5:8 | B5:4 B5:2 G5:2 D5:4 F5:4 |"
                           "B4:2 D5:2 F5:2 G5:2 B5:8 | E5:4 E5:2 C5:2 G4:4 Bb4:4 | E4:2 G4:2 Bb4:2 C5:2 E5:8 |"
                           "A5:4 F5:2 C5:2 Eb5:4 A4:4 | C5:2 Eb5:2 F5:2 A5:2 >C6:4 r:4",
                 .counter = "A3:4 r:12 | A3:4 r:4 C4:4 r:4 | B3:4 r:12 | B3:4 r:4 D4:4 r:4 | Bb3:4 r:12 |"
                            "Bb3:4 r:4 E4:4 r:4 | A3:4 r:12 | A3:4 r:4 Eb4:4 r:4",
                 .comp = "x-....x.....x-..",
                 .bass = "R---F---R---w---",
                 .groove = "shout",
                 .fill = "kicks",
                 .dynamic = 84,
                 .dynamicEnd = 92},
                // A', the trombone along in long notes
                {.chords = "Bb G7 | Cm7 F7 | Bb G7 | Cm7 F7 | Bb Bb7 | Eb Ebm | Bb/D G7 | Cm7 F7",
                 .melody = "r:2 D5:2 F5:2 D5:2 B4:4 D5:4 | Eb5:2 D5:2 C5:4 A4:4 r:4 | r:2 D5:2 F5:2 D5:2 B4:4 F5:4 |"
                           "Eb5:6 C5:2 A4:4 F4:4 | Bb4:2 D5:2 F5:2 Bb5:2 Ab5:4 F5:4 | G5:4 Eb5:4 Gb5:4 Eb5:4 |"
                           "F5:4 D5:4 B4:2 D5:2 F5:4 | Eb5:4 C5:4 F5:4 A5:4",
                 .counter = "D4:8 B3:8 | Eb4:8 Eb4:8 | D4:8 B3:8 | Eb4:8 Eb4:8 | D4:8 Ab3:8 | G3:8 Gb3:8 | F3:8 F3:8 |"
                            "Eb3:8 Eb3:8",
                 .comp = "x-....x.....x-..",
                 .bass = "R---T---F---w---",
                 .groove = "swing",
                 .fill = "kicks",
                 .dynamic = 86},
            },
        .ending = {.chord = "Bb6", .top = "Bb5", .sixteenths = 16, .slowdown = 0.85},
    };
}

// The star's diary: E minor, slow; a piano tune over its own arpeggios, strings and cello below.
Piece sizuku()
{
    return {
        .file = "Sizuku.mid",
        .title = "Drops",
        .bpm = 66,
        .numerator = 4,
        .denominator = 4,
        .keySharps = 1,
        .minor = true,
        .swing = false,
        .programs = {kPiano, kPiano, kContrabass, kSlowStrings},
        .grooves = {{"heart", "kick:o.......o......."}, {"heartride", "kick:o.......o....... ride:o...o...o...o..."}},
        .form =
            {
                // intro
                {.chords = "Em | Cmaj7",
                 .comp = "a.a.a.a.a.a.a.a.",
                 .bass = "R---------------",
                 .groove = "heart",
                 .dynamic = 66},
                // A
                {.chords = "Em | Cmaj7 | Am7 | B7sus4 B7 | Em/G | Cmaj7 | Am7 D7 | Gmaj7 B7",
                 .melody = "B4:6 A4:2 G4:4 F#4:4 | E4:8 G4:4 B4:4 | C5:6 B4:2 A4:4 E5:4 | E5:8 D#5:8 |"
                           "G5:6 F#5:2 E5:4 B4:4 | E5:6 D5:2 C5:4 B4:4 | A4:4 C5:4 D5:4 C5:4 | B4:8 F#4:4 A4:4",
                 .comp = "a.a.a.a.a.a.a.a.",
                 .bass = "R---------------",
                 .groove = "heart",
                 .dynamic = 72},
                // B: the warmer turn, the strings entering
                {.chords = "C | D | Bm7 | Em | Am7 | D7 | Gmaj7 Cmaj7 | F#m7b5 B7",
                 .melody = "G5:6 E5:2 C5:8 | F#5:6 D5:2 A4:8 | D5:4 E5:4 F#5:4 A5:4 | G5:12 r:4 |"
                           "E5:6 C5:2 A4:4 C5:4 | D5:4 C5:4 A4:4 F#4:4 | B4:6 D5:2 E5:4 G5:4 | A5:4 C5:4 B4:8",
                 .counter = "E4:16 | F#4:16 | F#4:16 | G4:16 | E4:16 | F#4:16 | D4:8 E4:8 | C4:8 D#4:8",
                 .comp = "a.a.a.a.a.a.a.a.",
                 .bass = "R-------F-------",
                 .groove = "heartride",
                 .dynamic = 76,
                 .dynamicEnd = 86},
                // A', the strings holding the inner voice
                {.chords = "Em | Cmaj7 | Am7 | B7sus4 B7 | Em/G | Cmaj7 | Am7 D7 | Cmaj7 B7",
                 .melody = "B4:6 A4:2 G4:4 F#4:4 | E4:8 G4:4 B4:4 | C5:6 B4:2 A4:4 E5:4 | E5:8 D#5:8 |"
                           "G5:6 F#5:2 E5:4 B4:4 | E5:6 D5:2 C5:4 B4:4 | A4:4 C5:4 D5:4 C5:4 | E5:8 D#5:8",
                 .counter = "G3:16 | G3:16 | A3:16 | A3:8 A3:8 | B3:16 | B3:16 | C4:8 C4:8 | B3:8 B3:8",
                 .comp = "a.a.a.a.a.a.a.a.",
                 .bass = "R---------------",
                 .groove = "heart",
                 .dynamic = 80,
                 .dynamicEnd = 68},
            },
        .ending = {.chord = "Emadd9", .top = "E5", .sixteenths = 16, .slowdown = 0.75},
        .compFloor = 52,
    };
}

// The maker's logo: eight seconds of glockenspiel and celesta sparkle that settle on one chord.
Piece ksnet()
{
    return {
        .file = "Ksnet.mid",
        .title = "Kestrune",
        .bpm = 120,
        .numerator = 4,
        .denominator = 4,
        .keySharps = 0,
        .minor = false,
        .swing = false,
        .programs = {kGlockenspiel, kCelesta, kFingerBass, kStrings},
        .grooves = {{"sparkle", "chimes:x............... triangle:..x...x...x...x. kick:x.......x......."},
                    {"rise", "chimes:x............... triangle:xxxxxxxxxxxxxxxx tomhi:........x.x.x.x. kick:x......."}},
        .form =
            {
                {.chords = "Cmaj7 | Am7 Dm7 | Fmaj7 G7sus4",
                 .melody =
                     "C5:2 E5:2 G5:2 B5:2 C6:8 | A5:2 G5:2 E5:2 C5:2 D5:2 F5:2 A5:2 C6:2 | F5:4 A5:4 G5:2 C6:2 D6:4",
                 .counter = "E4:16 | E4:8 F4:8 | A4:8 G4:8",
                 .comp = "aaaaaaaaaaaaaaaa",
                 .bass = "R-------R-------",
                 .groove = "sparkle",
                 .fill = "rise",
                 .dynamic = 76,
                 .dynamicEnd = 88},
            },
        .ending = {.chord = "Cmaj9", .top = "E6", .sixteenths = 16},
    };
}

// The ending: C major at 150 beats a minute, flute and strings taking turns with the tune, a horn
// below; A, B, A, bridge, B' and a plagal close. It runs 736 sixteenths, past the roll's end mark.
Piece prum()
{
    return {
        .file = "prum.mid",
        .title = "Lunaweave Ending",
        .bpm = 150,
        .numerator = 4,
        .denominator = 4,
        .keySharps = 0,
        .minor = false,
        .swing = false,
        .programs = {kFlute, kPiano, kFingerBass, kFrenchHorn},
        .grooves = {{"eight", "kick:X.....x.X....... snare:....X.......X... hat:x.x.x.x.x.x.x.x."},
                    {"lift", "kick:X.....x.X...x... snare:....X.......X... ohat:..x...x...x...x. hat:x...x...x...x... "
                             "tamb:....x.......x..."},
                    {"fill", "kick:X.......X....... snare:....X...x.x.XxXx hat:x.x.x.x........."},
                    {"soft", "kick:x.......x....... hat:o.o.o.o.o.o.o.o."}},
        .form =
            {
                // intro
                {.chords = "C | Am7 | Fmaj7 | G7sus4 G7",
                 .counter = "E4:16 | E4:16 | C4:16 | D4:8 B3:8",
                 .comp = "x.x.x.x.x.x.x.x.",
                 .bass = "R-------R-------",
                 .groove = "soft",
                 .fill = "fill",
                 .dynamic = 64,
                 .dynamicEnd = 72},
                // A
                {.chords = "C | G/B | Am | Em/G | F | C/E | Dm7 | G7",
                 .melody = "E5:4 D5:2 C5:2 G5:8 | D5:4 C5:2 B4:2 G4:8 | A4:4 C5:4 E5:4 A5:4 | G5:8 E5:8 |"
                           "F5:4 E5:2 D5:2 C5:4 A4:4 | G4:4 C5:4 E5:8 | F5:4 E5:4 D5:4 C5:4 | D5:12 r:4",
                 .comp = "x.x.x.x.x.x.x.x.",
                 .bass = "R-R-R-R-R-R-F-R-",
                 .groove = "eight",
                 .fill = "fill",
                 .dynamic = 74},
                // B (chorus)
                {.chords = "F G | Em Am | Dm7 G | C C7 | F G | Em A7 | Dm7 G7 | C",
                 .melody = "A5:4 F5:4 G5:4 B5:4 | B5:4 G5:4 C6:4 A5:4 | A5:4 F5:4 D5:4 B4:4 | C5:8 r:4 E5:2 G5:2 |"
                           "A5:6 G5:2 F5:4 D5:4 | E5:4 G5:4 C#5:4 E5:4 | F5:4 A5:4 G5:4 F5:4 | E5:12 r:4",
                 .comp = "X-x-x-x-X-x-x-x-",
                 .bass = "R-R-R-R-R-R-F-R-",
                 .groove = "lift",
                 .fill = "fill",
                 .dynamic = 84,
                 .melodyProgram = kStrings},
                // A again, flute with the horn
                {.chords = "C | G/B | Am | Em/G | F | C/E | Dm7 | G7",
                 .melody = "E5:4 D5:2 C5:2 G5:8 | D5:4 C5:2 B4:2 G4:8 | A4:4 C5:4 E5:4 A5:4 | G5:8 E5:8 |"
                           "F5:4 E5:2 D5:2 C5:4 A4:4 | G4:4 C5:4 E5:8 | F5:4 E5:4 D5:4 C5:4 | D5:12 r:4",
                 .counter = "C4:8 D4:8 | D4:16 | E4:8 C4:8 | B3:16 | A3:8 C4:8 | G3:8 C4:8 | A3:8 F3:8 | B3:8 D4:8",
                 .comp = "x.x.x.x.x.x.x.x.",
                 .bass = "R-R-R-R-R-R-F-R-",
                 .groove = "eight",
                 .fill = "fill",
                 .dynamic = 78,
                 .melodyProgram = kFlute},
                // bridge: rising to the last chorus
                {.chords = "Am | Em | F | C | Dm7 | Em7 | F | G7sus4 G7",
                 .melody = "C5:4 E5:4 A5:8 | B5:4 G5:4 E5:8 | A5:4 C6:4 F5:8 | E5:4 G5:4 C5:8 | D5:4 F5:4 A5:4 C6:4 |"
                           "B5:4 G5:4 E5:4 D5:4 | C5:4 F5:4 A5:4 C6:4 | C6:8 B5:8",
                 .comp = "x-------x---x---",
                 .bass = "R-------R---F---",
                 .groove = "eight",
                 .fill = "fill",
                 .dynamic = 80,
                 .dynamicEnd = 90,
                 .melodyProgram = kStrings},
                // B' (last chorus) closing through F and F minor
                {.chords = "F G | Em Am | Dm7 G | C C7 | F G | Em A7 | Dm7 G7 | F Fm",
                 .melody = "A5:4 F5:4 G5:4 B5:4 | B5:4 G5:4 C6:4 A5:4 | A5:4 F5:4 D5:4 B4:4 | C5:8 r:4 E5:2 G5:2 |"
                           "A5:6 G5:2 F5:4 D5:4 | E5:4 G5:4 C#5:4 E5:4 | F5:4 A5:4 G5:4 F5:4 | A5:8 Ab5:8",
                 .counter = "C4:8 D4:8 | B3:8 C4:8 | A3:8 B3:8 | G3:8 Bb3:8 | A3:8 B3:8 | G3:8 G3:8 | A3:8 B3:8 |"
                            "C4:8 C4:8",
                 .comp = "X-x-x-x-X-x-x-x-",
                 .bass = "R-R-R-R-R-R-F-R-",
                 .groove = "lift",
                 .fill = "fill",
                 .dynamic = 90,
                 .dynamicEnd = 94},
            },
        .ending = {.chord = "C", .top = "G5", .sixteenths = 32, .slowdown = 0.8},
    };
}

} // namespace

const std::vector<Piece>& allPieces()
{
    static const std::vector<Piece> pieces = {ksnet(),   showt(),   okera(),  yoseiden(),
                                              litldrm(), tinwaki(), sizuku(), prum()};
    return pieces;
}

} // namespace lw::musicgen

// Renders a Piece, written as text, into the tracks of a standard MIDI file.
#include "Score.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <numbers>

namespace lw::musicgen {

namespace {

constexpr int kMelodyChannel = 0;
constexpr int kHarmonyChannel = 1;
constexpr int kBassChannel = 2;
constexpr int kCounterChannel = 3;
constexpr int kDrumChannel = 9;

constexpr int kBassFloor = 36; // C2: roots are placed in C2..B2
constexpr int kCrashCymbal = 49;
constexpr int kBassDrum = 36;

std::string_view trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> split(std::string_view s, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= s.size(); ++i) {
        if (i == s.size() || s[i] == separator) {
            parts.push_back(trim(s.substr(start, i - start)));
            start = i + 1;
        }
    }
    return parts;
}

std::vector<std::string_view> words(std::string_view s)
{
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])))
            ++i;
        std::size_t j = i;
        while (j < s.size() && !std::isspace(static_cast<unsigned char>(s[j])))
            ++j;
        if (j > i)
            out.push_back(s.substr(i, j - i));
        i = j;
    }
    return out;
}

// Pitch class of a note letter with its accidentals; `rest` receives what follows.
int parsePitchClass(std::string_view text, std::string_view& rest)
{
    static constexpr int kLetter[7] = {9, 11, 0, 2, 4, 5, 7}; // A..G
    if (text.empty() || text[0] < 'A' || text[0] > 'G')
        throw MusicError("not a note name: '" + std::string(text) + "'");
    int pc = kLetter[text[0] - 'A'];
    std::size_t i = 1;
    for (; i < text.size() && (text[i] == '#' || text[i] == 'b'); ++i)
        pc += text[i] == '#' ? 1 : -1;
    rest = text.substr(i);
    return (pc + 12) % 12;
}

int parseInt(std::string_view text, std::string_view what)
{
    if (text.empty() || text.size() > 4 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        throw MusicError("bad " + std::string(what) + ": '" + std::string(text) + "'");
    return std::stoi(std::string(text));
}

// A small deterministic wobble of -2..2 so repeated notes do not sound machine-stamped.
int wobble(std::uint32_t tick, int key)
{
    std::uint32_t h = tick * 2654435761u ^ static_cast<std::uint32_t>(key) * 40503u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<int>(h % 5) - 2;
}

struct Span { // one chord over a stretch of the piece, in sixteenths
    int start;
    int end;
    Chord chord;
};

struct LineNote {
    int start; // sixteenths from the start of the piece
    int length;
    int key; // -1 for a rest
    bool accent;
};

class Renderer {
public:
    explicit Renderer(const Piece& piece)
        : piece_(piece), barLength_(piece.numerator * 16 / piece.denominator),
          beatLength_(piece.denominator == 8 && piece.numerator % 3 == 0 ? 6 : 16 / piece.denominator), tracks_(6)
    {
        if (barLength_ * piece.denominator != piece.numerator * 16)
            throw MusicError("unsupported meter");
        for (const Groove& g : piece.grooves)
            grooves_[g.name] = parseGroove(g.lines);
    }

    std::vector<SmfTrack> render()
    {
        setUp();
        collectSpans();
        int at = 0;
        for (std::size_t i = 0; i < piece_.form.size(); ++i) {
            const Section& s = piece_.form[i];
            const int bars = static_cast<int>(split(s.chords, '|').size());
            try {
                renderSection(s, at, bars);
            } catch (const MusicError& e) {
                throw MusicError(std::string(piece_.file) + ", section " + std::to_string(i + 1) + ": " + e.what());
            }
            at += bars * barLength_;
        }
        renderEnding(at);
        return std::move(tracks_);
    }

private:
    std::uint32_t tick(int sixteenth) const
    {
        const int inBeat = sixteenth % 4;
        const int late = piece_.swing && beatLength_ == 4 && inBeat == 2 ? kTicksPerSixteenth * 2 / 3 : 0;
        return static_cast<std::uint32_t>(sixteenth * kTicksPerSixteenth + late);
    }

    void setUp()
    {
        SmfTrack& conductor = tracks_[0];
        conductor.trackName(piece_.title);
        conductor.timeSignature(0, piece_.numerator, piece_.denominator);
        conductor.keySignature(0, piece_.keySharps, piece_.minor);
        conductor.tempo(0, piece_.bpm);
        struct Setup {
            const char* name;
            int channel, program, volume, pan, reverb;
        };
        const Setup setups[5] = {
            {"Melody", kMelodyChannel, piece_.programs[0], 104, 64, 48},
            {"Harmony", kHarmonyChannel, piece_.programs[1], 84, 44, 56},
            {"Bass", kBassChannel, piece_.programs[2], 100, 64, 24},
            {"Counter", kCounterChannel, piece_.programs[3], 80, 86, 60},
            {"Drums", kDrumChannel, 0, 92, 64, 36},
        };
        for (int i = 0; i < 5; ++i) {
            SmfTrack& t = tracks_[i + 1];
            const Setup& s = setups[i];
            t.trackName(s.name);
            t.controlChange(0, s.channel, 121, 0); // reset controllers before a restart of the piece
            t.programChange(0, s.channel, s.program);
            t.controlChange(0, s.channel, 7, s.volume);
            t.controlChange(0, s.channel, 10, s.pan);
            t.controlChange(0, s.channel, 91, s.reverb);
        }
    }

    void collectSpans()
    {
        int at = 0;
        for (const Section& s : piece_.form) {
            for (std::string_view bar : split(s.chords, '|')) {
                const std::vector<std::string_view> symbols = words(bar);
                if (symbols.empty() || barLength_ % static_cast<int>(symbols.size()) != 0)
                    throw MusicError(std::string(piece_.file) + ": bar '" + std::string(bar) +
                                     "' cannot share its length among its chords");
                const int each = barLength_ / static_cast<int>(symbols.size());
                for (std::string_view sym : symbols) {
                    spans_.push_back({at, at + each, parseChord(sym)});
                    at += each;
                }
            }
        }
        spans_.push_back({at, at + piece_.ending.sixteenths, parseChord(piece_.ending.chord)});
    }

    const Span& spanAt(int sixteenth) const
    {
        for (const Span& s : spans_)
            if (sixteenth >= s.start && sixteenth < s.end)
                return s;
        return spans_.back();
    }
    const Span& spanAfter(const Span& span) const
    {
        const std::size_t i = static_cast<std::size_t>(&span - spans_.data());
        return i + 1 < spans_.size() ? spans_[i + 1] : span;
    }

    int level(const Section& s, int at, int start, int length) const
    {
        const int end = s.dynamicEnd > 0 ? s.dynamicEnd : s.dynamic;
        return s.dynamic + (end - s.dynamic) * (at - start) / std::max(1, length);
    }

    // Metric accent plus a rise and fall over each four-bar phrase.
    int shape(int at) const
    {
        const int inBar = at % barLength_;
        int accent = inBar == 0 ? 6 : inBar % beatLength_ == 0 ? 2 : inBar % 2 == 1 ? -4 : -2;
        const double phrase = static_cast<double>(at % (4 * barLength_)) / (4 * barLength_);
        return accent + static_cast<int>(std::lround(8 * std::sin(std::numbers::pi * phrase))) - 4;
    }

    std::vector<LineNote> parseLine(std::string_view text, int start, int bars) const
    {
        const std::vector<std::string_view> barTexts = split(text, '|');
        if (static_cast<int>(barTexts.size()) != bars)
            throw MusicError("line has " + std::to_string(barTexts.size()) + " bars, chords have " +
                             std::to_string(bars));
        std::vector<LineNote> notes;
        int length = 4;
        int at = start;
        for (int b = 0; b < bars; ++b) {
            const int barStart = start + b * barLength_;
            for (std::string_view tok : words(barTexts[static_cast<std::size_t>(b)])) {
                bool accent = false;
                if (tok.front() == '>') {
                    accent = true;
                    tok.remove_prefix(1);
                }
                const std::size_t colon = tok.find(':');
                if (colon != std::string_view::npos)
                    length = parseInt(tok.substr(colon + 1), "length");
                const std::string_view pitch = tok.substr(0, colon);
                const int key = pitch == "r" ? -1 : parsePitch(pitch);
                notes.push_back({at, length, key, accent});
                at += length;
            }
            if (at != barStart + barLength_)
                throw MusicError("bar " + std::to_string(b + 1) + " '" +
                                 std::string(barTexts[static_cast<std::size_t>(b)]) + "' lasts " +
                                 std::to_string(at - barStart) + " sixteenths, not " + std::to_string(barLength_));
        }
        return notes;
    }

    void renderLine(SmfTrack& t, int channel, const Section& s, std::string_view text, int start, int bars, int softer)
    {
        for (const LineNote& n : parseLine(text, start, bars)) {
            if (n.key < 0)
                continue;
            const std::uint32_t on = tick(n.start);
            const std::uint32_t off = tick(n.start + n.length);
            const std::uint32_t gate = off - on - std::min<std::uint32_t>(24, (off - on) / 8);
            const int v = level(s, n.start, start, bars * barLength_) - softer + shape(n.start) + (n.accent ? 12 : 0) +
                          wobble(on, n.key);
            t.note(on, gate, channel, n.key, v);
        }
    }

    std::vector<int> voicing(const Chord& c) const
    {
        std::vector<int> keys;
        for (int iv : c.intervals) {
            int k = piece_.compFloor + ((c.root + iv - piece_.compFloor) % 12 + 12) % 12;
            if (std::find(keys.begin(), keys.end(), k) == keys.end())
                keys.push_back(k);
        }
        std::sort(keys.begin(), keys.end());
        return keys;
    }

    static char patternAt(std::string_view pattern, int i)
    {
        return pattern.empty() ? '.' : pattern[static_cast<std::size_t>(i) % pattern.size()];
    }

    void renderComp(const Section& s, int start, int bars)
    {
        SmfTrack& t = tracks_[2];
        const int end = start + bars * barLength_;
        int arpIndex = 0;
        const Span* current = nullptr;
        char lastHit = 'x';
        for (int at = start; at < end; ++at) {
            const Span& span = spanAt(at);
            char c = patternAt(s.comp, at % barLength_);
            if (&span != current) {
                current = &span;
                arpIndex = 0;
                if (c == '-')
                    c = lastHit;
            }
            if (c != 'x' && c != 'X' && c != 'a')
                continue;
            lastHit = c;
            // A hit lasts over its '-' marks; an arpeggio note rings on into the next step.
            int next = at + 1;
            while (next < span.end && next < end && patternAt(s.comp, next % barLength_) == '-')
                ++next;
            int stop = next;
            if (c == 'a') {
                int after = next;
                while (after < span.end && after < end && patternAt(s.comp, after % barLength_) == '.')
                    ++after;
                stop = std::min({span.end, end, after + (next - at)});
            }
            const std::vector<int> keys = voicing(span.chord);
            const int v = level(s, at, start, bars * barLength_) - 16 + shape(at) / 2 + (c == 'X' ? 10 : 0);
            if (c == 'a') {
                // Up and down through the chord and the root an octave up.
                std::vector<int> cycle = keys;
                cycle.push_back(keys.front() + 12);
                const int n = static_cast<int>(cycle.size());
                const int period = 2 * n - 2;
                const int step = arpIndex++ % period;
                const int key = cycle[static_cast<std::size_t>(step < n ? step : period - step)];
                t.note(tick(at), tick(stop) - tick(at) - 10, kHarmonyChannel, key, v - 4 + wobble(tick(at), key));
            } else {
                for (int key : keys)
                    t.note(tick(at), tick(stop) - tick(at) - 10, kHarmonyChannel, key, v + wobble(tick(at), key));
            }
        }
    }

    int bassKey(const Chord& c) const { return kBassFloor + (c.bass - kBassFloor % 12 + 12) % 12; }

    void renderBass(const Section& s, int start, int bars)
    {
        SmfTrack& t = tracks_[3];
        const int end = start + bars * barLength_;
        const Span* current = nullptr;
        for (int at = start; at < end; ++at) {
            const Span& span = spanAt(at);
            char c = patternAt(s.bass, at % barLength_);
            if (&span != current) {
                // Whatever the pattern says, a new chord starts on its root unless the bar rests.
                current = &span;
                if (c != '.')
                    c = 'R';
            }
            const int root = bassKey(span.chord);
            const int rootOfChord = kBassFloor + (span.chord.root - kBassFloor % 12 + 12) % 12;
            int key;
            switch (c) {
            case 'R':
                key = root;
                break;
            case 'F':
                key = rootOfChord + 7;
                break;
            case 'T':
                key = rootOfChord + span.chord.intervals.at(1);
                break;
            case 'O':
                key = root + 12;
                break;
            case 'L':
                key = rootOfChord - 5;
                break;
            case 'w': {
                const int target = bassKey(spanAfter(span).chord);
                key = target + (target > root ? -1 : 1);
                break;
            }
            default:
                continue;
            }
            int next = at + 1;
            while (next < span.end && next < end && patternAt(s.bass, next % barLength_) == '-')
                ++next;
            const int v = level(s, at, start, bars * barLength_) - 4 + shape(at) / 2;
            t.note(tick(at), tick(next) - tick(at) - 12, kBassChannel, key, v + wobble(tick(at), key));
        }
    }

    using GrooveLines = std::vector<std::pair<int, std::string_view>>;

    static GrooveLines parseGroove(std::string_view text)
    {
        static const std::map<std::string_view, int> kKit = {
            {"kick", 36},   {"rim", 37},      {"snare", 38},     {"clap", 39},   {"hat", 42},
            {"phat", 44},   {"ohat", 46},     {"tomlo", 45},     {"tommid", 47}, {"tomhi", 50},
            {"crash", 49},  {"ride", 51},     {"bell", 53},      {"tamb", 54},   {"cowbell", 56},
            {"splash", 55}, {"shaker", 70},   {"cabasa", 69},    {"clave", 75},  {"block", 76},
            {"lblock", 77}, {"triangle", 81}, {"mtriangle", 80}, {"chimes", 84}, {"snap", 39}};
        GrooveLines lines;
        for (std::string_view w : words(text)) {
            const std::size_t colon = w.find(':');
            const auto it = kKit.find(w.substr(0, colon));
            if (colon == std::string_view::npos || it == kKit.end())
                throw MusicError("bad drum line '" + std::string(w) + "'");
            lines.emplace_back(it->second, w.substr(colon + 1));
        }
        return lines;
    }

    const GrooveLines& groove(std::string_view name) const
    {
        const auto it = grooves_.find(name);
        if (it == grooves_.end())
            throw MusicError("no groove '" + std::string(name) + "'");
        return it->second;
    }

    void renderDrums(const Section& s, int start, int bars)
    {
        if (s.groove.empty())
            return;
        SmfTrack& t = tracks_[5];
        for (int b = 0; b < bars; ++b) {
            const bool last = b == bars - 1;
            const GrooveLines& lines = groove(last && !s.fill.empty() ? s.fill : s.groove);
            const int barStart = start + b * barLength_;
            const int base = level(s, barStart, start, bars * barLength_);
            for (const auto& [key, pattern] : lines) {
                for (int i = 0; i < barLength_; ++i) {
                    const char c = patternAt(pattern, i);
                    const int v = c == 'X' ? 112 : c == 'x' ? 88 : c == 'o' ? 52 : 0;
                    if (v == 0)
                        continue;
                    const std::uint32_t on = tick(barStart + i);
                    t.note(on, kTicksPerSixteenth / 2, kDrumChannel, key, v * base / 85 + wobble(on, key));
                }
            }
        }
    }

    void renderSection(const Section& s, int start, int bars)
    {
        if (s.melodyProgram >= 0)
            tracks_[1].programChange(tick(start), kMelodyChannel, s.melodyProgram);
        if (!s.melody.empty())
            renderLine(tracks_[1], kMelodyChannel, s, s.melody, start, bars, 0);
        if (!s.counter.empty())
            renderLine(tracks_[4], kCounterChannel, s, s.counter, start, bars, 12);
        renderComp(s, start, bars);
        renderBass(s, start, bars);
        renderDrums(s, start, bars);
    }

    void renderEnding(int at)
    {
        const Ending& e = piece_.ending;
        if (e.slowdown != 1.0 && at >= barLength_) {
            // A ritardando in four steps over the last bar, held through the final chord.
            for (int step = 0; step < 4; ++step) {
                const double f = 1.0 + (e.slowdown - 1.0) * (step + 1) / 4.0;
                tracks_[0].tempo(tick(at - barLength_ + step * barLength_ / 4), piece_.bpm * f);
            }
        }
        const Chord chord = parseChord(e.chord);
        const std::uint32_t on = tick(at);
        const std::uint32_t off = tick(at + e.sixteenths);
        const int v = piece_.form.empty()                 ? 80
                      : piece_.form.back().dynamicEnd > 0 ? piece_.form.back().dynamicEnd
                                                          : piece_.form.back().dynamic;
        const int top = parsePitch(e.top);
        tracks_[1].note(on, off - on, kMelodyChannel, top, v + 4);
        for (int key : voicing(chord))
            tracks_[2].note(on, off - on, kHarmonyChannel, key, v - 10);
        tracks_[3].note(on, off - on, kBassChannel, bassKey(chord), v);
        tracks_[3].note(on, off - on, kBassChannel, bassKey(chord) - 12, v - 10);
        // The counter-melody settles on the chord tone a third or so under the melody's last note.
        int under = top - 3;
        while (under > top - 10 && std::none_of(chord.intervals.begin(), chord.intervals.end(), [&](int iv) {
                   return (chord.root + iv) % 12 == (under % 12 + 12) % 12;
               }))
            --under;
        tracks_[4].note(on, off - on, kCounterChannel, under, v - 12);
        tracks_[5].note(on, kTicksPerSixteenth, kDrumChannel, kCrashCymbal, std::min(120, v + 20));
        tracks_[5].note(on, kTicksPerSixteenth, kDrumChannel, kBassDrum, std::min(120, v + 10));
    }

    const Piece& piece_;
    int barLength_;  // sixteenths
    int beatLength_; // sixteenths
    std::vector<SmfTrack> tracks_;
    std::vector<Span> spans_;
    std::map<std::string_view, GrooveLines> grooves_;
};

} // namespace

int parsePitch(std::string_view text)
{
    std::string_view rest;
    parsePitchClass(text, rest); // validates the letter and accidentals
    const bool negative = !rest.empty() && rest.front() == '-';
    const int octave = parseInt(negative ? rest.substr(1) : rest, "octave") * (negative ? -1 : 1);
    // The octave belongs to the letter, so B#3 is C4 and Cb4 is B3.
    static constexpr int kLetter[7] = {9, 11, 0, 2, 4, 5, 7}; // A..G
    int key = 12 * (octave + 1) + kLetter[text[0] - 'A'];
    for (std::size_t i = 1; i < text.size() - rest.size(); ++i)
        key += text[i] == '#' ? 1 : -1;
    if (key < 0 || key > 127)
        throw MusicError("note out of range: '" + std::string(text) + "'");
    return key;
}

Chord parseChord(std::string_view symbol)
{
    static const std::map<std::string_view, std::vector<int>> kQualities = {{"", {0, 4, 7}},
                                                                            {"m", {0, 3, 7}},
                                                                            {"7", {0, 4, 7, 10}},
                                                                            {"maj7", {0, 4, 7, 11}},
                                                                            {"m7", {0, 3, 7, 10}},
                                                                            {"6", {0, 4, 7, 9}},
                                                                            {"m6", {0, 3, 7, 9}},
                                                                            {"dim", {0, 3, 6}},
                                                                            {"dim7", {0, 3, 6, 9}},
                                                                            {"aug", {0, 4, 8}},
                                                                            {"sus4", {0, 5, 7}},
                                                                            {"sus2", {0, 2, 7}},
                                                                            {"add9", {0, 4, 7, 14}},
                                                                            {"9", {0, 4, 7, 10, 14}},
                                                                            {"m7b5", {0, 3, 6, 10}},
                                                                            {"7sus4", {0, 5, 7, 10}},
                                                                            {"m9", {0, 3, 7, 10, 14}},
                                                                            {"maj9", {0, 4, 7, 11, 14}},
                                                                            {"13", {0, 4, 10, 14, 21}},
                                                                            {"madd9", {0, 3, 7, 14}}};
    std::string_view rest;
    Chord c;
    c.root = parsePitchClass(symbol, rest);
    c.bass = c.root;
    const std::size_t slash = rest.find('/');
    if (slash != std::string_view::npos) {
        std::string_view after;
        c.bass = parsePitchClass(rest.substr(slash + 1), after);
        if (!after.empty())
            throw MusicError("bad chord bass: '" + std::string(symbol) + "'");
        rest = rest.substr(0, slash);
    }
    const auto it = kQualities.find(rest);
    if (it == kQualities.end())
        throw MusicError("unknown chord: '" + std::string(symbol) + "'");
    c.intervals = it->second;
    return c;
}

std::vector<SmfTrack> renderPiece(const Piece& piece) { return Renderer(piece).render(); }

int pieceSixteenths(const Piece& piece)
{
    const int bar = piece.numerator * 16 / piece.denominator;
    int total = piece.ending.sixteenths;
    for (const Section& s : piece.form)
        total += bar * static_cast<int>(split(s.chords, '|').size());
    return total;
}

} // namespace lw::musicgen

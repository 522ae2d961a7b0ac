// Parsing ruby marks: one pass over the UTF-8 text, finding the three marks by their bytes.
#include "Ruby.h"

#include <algorithm>
#include <iterator>

namespace lw::story {

namespace {

constexpr std::string_view kBaseStart = "｜"; // U+FF5C
constexpr std::string_view kOpen = "《";      // U+300A
constexpr std::string_view kClose = "》";     // U+300B
// Read as a pause: the horizontal bar, the em dash, the katakana middle dot.
constexpr std::string_view kPauses[] = {"―", "—", "・"};

// The code point that ends just before byte `end`, and where it starts. Invalid UTF-8 yields a
// code point that is no kanji, so a stray byte simply ends a kanji run.
char32_t codePointBefore(std::string_view s, std::size_t end, std::size_t& start)
{
    std::size_t i = end - 1;
    while (i > 0 && end - i < 4 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
        --i;
    start = i;
    const auto lead = static_cast<unsigned char>(s[i]);
    const std::size_t length = end - i;
    std::size_t expected = 1;
    char32_t cp = lead;
    if (lead >= 0xF0 && lead < 0xF8) {
        expected = 4;
        cp = lead & 0x07;
    } else if (lead >= 0xE0) {
        expected = 3;
        cp = lead & 0x0F;
    } else if (lead >= 0xC0) {
        expected = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0x80) {
        start = end - 1;
        return 0;
    }
    if (expected != length) {
        start = end - 1;
        return 0;
    }
    for (std::size_t k = i + 1; k < end; ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(s[k]) & 0x3F);
    return cp;
}

// What a base without ｜ may be made of: ideographs, and the marks written among them (々〆ヶ).
bool isKanji(char32_t cp)
{
    return (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0x3400 && cp <= 0x4DBF) || (cp >= 0xF900 && cp <= 0xFAFF) ||
           (cp >= 0x20000 && cp <= 0x2FFFF) || cp == U'々' || cp == U'〆' || cp == U'ヶ';
}

} // namespace

std::vector<RubySegment> rubySegments(std::string_view marked)
{
    std::vector<RubySegment> segments;
    std::size_t plainStart = 0;                    // start of the text not yet given to a segment
    std::size_t baseMark = std::string_view::npos; // the pending ｜, if any
    std::size_t pos = 0;
    while (pos < marked.size()) {
        if (marked.substr(pos).starts_with(kBaseStart)) {
            baseMark = pos;
            pos += kBaseStart.size();
            continue;
        }
        if (!marked.substr(pos).starts_with(kOpen)) {
            ++pos;
            continue;
        }
        const std::size_t readingStart = pos + kOpen.size();
        const std::size_t close = marked.find(kClose, readingStart);
        const std::size_t reopen = marked.find(kOpen, readingStart);
        std::size_t baseStart = pos;
        if (baseMark != std::string_view::npos) {
            baseStart = baseMark + kBaseStart.size();
        } else {
            std::size_t before = pos;
            std::size_t start = pos;
            while (before > plainStart && isKanji(codePointBefore(marked, before, start)))
                before = start;
            baseStart = before;
        }
        const bool wellFormed = close != std::string_view::npos &&
                                (reopen == std::string_view::npos || close < reopen) && close > readingStart &&
                                baseStart < pos;
        if (!wellFormed) { // shown as it stands; a pending ｜ stays plain text too
            baseMark = std::string_view::npos;
            pos = readingStart;
            continue;
        }
        const std::size_t markStart = baseMark != std::string_view::npos ? baseMark : baseStart;
        if (markStart > plainStart)
            segments.push_back({marked.substr(plainStart, markStart - plainStart), {}});
        segments.push_back(
            {marked.substr(baseStart, pos - baseStart), marked.substr(readingStart, close - readingStart)});
        pos = close + kClose.size();
        plainStart = pos;
        baseMark = std::string_view::npos;
    }
    if (plainStart < marked.size())
        segments.push_back({marked.substr(plainStart), {}});
    return segments;
}

std::string displayText(std::string_view marked)
{
    std::string out;
    out.reserve(marked.size());
    for (const RubySegment& s : rubySegments(marked))
        out += s.base;
    return out;
}

std::string kanaReading(std::string_view marked)
{
    std::string out;
    out.reserve(marked.size());
    for (const RubySegment& s : rubySegments(marked))
        out += s.reading.empty() ? s.base : s.reading;
    // Dashes and the middle dot are pauses when read aloud; a speech engine would spell them out
    // or stretch the vowel before them, so each run of them becomes one comma.
    std::string spoken;
    spoken.reserve(out.size());
    bool inPause = false;
    for (std::size_t i = 0; i < out.size();) {
        const std::string_view rest = std::string_view(out).substr(i);
        const auto pause = std::ranges::find_if(kPauses, [&](std::string_view p) { return rest.starts_with(p); });
        if (pause != std::end(kPauses)) {
            if (!inPause)
                spoken += "、";
            inPause = true;
            i += pause->size();
            continue;
        }
        inPause = false;
        spoken += out[i++];
    }
    return spoken;
}

} // namespace lw::story

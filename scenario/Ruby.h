// Ruby (reading) marks in the script's lines, written as Japanese text files write them:
//   ｜漢字《かんじ》   the base starts after ｜ and ends at 《
//   漢字《かんじ》     without ｜, the base is the run of kanji just before 《
// One marked line gives the text shown, its whole reading in kana, and the runs for furigana.
//
// A mark that does not make a complete ruby is not a mark: its characters stay in the text as
// they are, so nothing is ever dropped. That covers a 《 with no 》 after it (or another 《 first),
// an empty reading 《》, a 《 with no base before it (no ｜ and no kanji), and a ｜ that no reading
// follows (a later ｜ before the same 《 also leaves the earlier one as plain text).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lw::story {

// One run of a marked line: base text, and its reading when the run carries ruby (empty otherwise).
struct RubySegment {
    std::string_view base;
    std::string_view reading;
};

// The runs in order; their bases joined give displayText(marked). Views into `marked`.
std::vector<RubySegment> rubySegments(std::string_view marked);
// The line as shown: marks removed, nothing else changed.
std::string displayText(std::string_view marked);
// The line read aloud: every base that carries ruby replaced by its reading, and each run of
// dashes (―, —) or middle dots (・) made one comma, the pause they stand for.
std::string kanaReading(std::string_view marked);

} // namespace lw::story

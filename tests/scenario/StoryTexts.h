// Every text the scenario can show, marked as the tables hold it, with where it comes from.
#pragma once

#include "EntryTable.h"
#include "NextTable.h"
#include "ResponseTables.h"

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lw::test {

struct Origin {
    std::string where;
    std::string_view text;
};

// The lines of every table and the fixed answers; with `speakers`, each shown line's speaker too.
inline std::vector<Origin> allTexts(bool speakers = false)
{
    using namespace lw::story;
    std::vector<Origin> all;
    const auto add = [&](std::string where, const Line& line) {
        if (!line.shown())
            return;
        if (speakers && !line.speaker.empty())
            all.push_back({where + " speaker", line.speaker});
        all.push_back({std::move(where), line.text});
    };
    for (const auto& r : kNextTable)
        add("Next " + std::to_string(r.screen), r.line);
    for (const auto& r : kEntryTable)
        add("Entry " + std::to_string(r.screen), r.line);
    const std::pair<const char*, std::span<const Answer>> tables[] = {
        {"Look", kLookTable}, {"Talk", kTalkTable}, {"Think", kThinkTable}, {"Magic", kMagicTable}};
    for (const auto& [name, table] : tables)
        for (const auto& a : table)
            add(std::string(name) + " " + std::to_string(a.first) + "-" + std::to_string(a.last), a.line);
    for (auto fixed : {kIntroductionHint, kNextHint, kLookDefault, kTalkDefault, kThinkDefault, kMagicDefault})
        all.push_back({"fixed", fixed});
    return all;
}

} // namespace lw::test

// Writes the answer table (tests/scenario/answers.txt) from the built story tables, for review:
//   build/tests/lw_answer_table > tests/scenario/answers.txt
// Run it when the story's lines change, read the difference, and commit it with the change.
#include "AnswerTable.h"
#include "StoryStates.h"

#include <QString>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <vector>

using namespace lw;
using namespace lw::test;

namespace {

struct Row {
    int screen, command;
    char column; // '*' or '1'..'3'
    Reply reply;
};

constexpr int kMinPhrase = 8;
constexpr int kMaxPhrase = 24;

// The shortest start of `text`, at least kMinPhrase characters, that no other line starts with.
QString keyPhrase(const QString& text, const std::set<QString>& all)
{
    for (int n = kMinPhrase; n < text.size() && n <= kMaxPhrase; ++n) {
        const QString start = text.left(n);
        const bool unique = std::none_of(
            all.begin(), all.end(), [&](const QString& other) { return other != text && other.startsWith(start); });
        if (unique)
            return start;
    }
    return text.left(kMaxPhrase);
}

} // namespace

int main()
{
    const std::set<int> story = storyStates();
    std::vector<Row> storyRows, jumpRows;
    for (int screen = -32768; screen <= 32767; ++screen) {
        const bool listed = story.count(screen) > 0;
        for (int command = kLook; command <= kNext; ++command) {
            const Reply first = replyAt(screen, command, 1);
            const bool byColumn =
                command == kLook && (replyAt(screen, command, 2) != first || replyAt(screen, command, 3) != first);
            for (int column = 1; column <= (byColumn ? 3 : 1); ++column) {
                const Reply reply = column == 1 ? first : replyAt(screen, command, column);
                if (!listed && isPlainRefusal(reply, screen))
                    continue;
                (listed ? storyRows : jumpRows)
                    .push_back({screen, command, byColumn ? char('0' + column) : '*', reply});
            }
        }
    }

    std::set<QString> texts;
    for (const auto* rows : {&storyRows, &jumpRows})
        for (const Row& row : *rows)
            if (!row.reply.text.empty())
                texts.insert(QString::fromStdString(row.reply.text));

    std::printf("# Every answer of the five commands: each of the story's states with all five commands,\n"
                "# then the states only the screen jump can store, with their answers other than the\n"
                "# command's fixed refusal. Anything not listed answers with the fixed line (the\n"
                "# command's default, or the hint) and keeps the state. Look is listed per third of the\n"
                "# picture (1, 2, 3) where its answer depends on it, else for all (*).\n"
                "# Written by lw_answer_table from the built tables; reviewed by hand.\n"
                "#\n"
                "# speaker: a name, narration (no speaker: narration or the heroine's thoughts), default (the "
                "command's own default line), hint\n"
                "# (the introduction or Next hint), silent (no line). effect: music:<file>, icons (the\n"
                "# four command icons hidden), yield (the window system runs once), or -.\n"
                "#\n"
                "# state command column speaker lands effect key phrase\n");
    const auto print = [&texts](const std::vector<Row>& rows) {
        int last = rows.empty() ? 0 : rows.front().screen;
        for (const Row& row : rows) {
            if (row.screen != last)
                std::printf("\n");
            last = row.screen;
            const QString phrase =
                row.reply.text.empty() ? QString() : keyPhrase(QString::fromStdString(row.reply.text), texts);
            std::printf("%d %s %c %s %d %s%s%s\n", row.screen, kCommandWords[std::size_t(row.command)].data(),
                        row.column, row.reply.speaker.c_str(), row.reply.lands, row.reply.effect.c_str(),
                        phrase.isEmpty() ? "" : " ", phrase.toUtf8().constData());
        }
    };
    print(storyRows);
    std::printf("\n# States the story never stands at\n\n");
    print(jumpRows);
    return 0;
}

// Checks the story tables as a whole: row counts, speakers, cues, unique lines, lengths, the graph.
#include "EntryTable.h"
#include "GameState.h"
#include "NextTable.h"
#include "RecordingOutput.h"
#include "ResponseTables.h"
#include "Scenario.h"
#include "StoryStates.h"
#include "StoryTexts.h"
#include "Ruby.h"

#include <QtTest>

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace lw;
using namespace lw::story;
using lw::test::OutputEvent;
using lw::test::RecordingOutput;
using lw::test::allTexts;

namespace {

using Counts = std::map<std::string, int>;

QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

class StoryTablesTest : public QObject {
    Q_OBJECT

private slots:
    void nextTableCounts();
    void entryTableCounts();
    void rowsDoNotOverlap();
    void linesAreUniqueAndShort();
    void diaryReadingsAreFramed();
    void everyStateReachableAndHasAWayForward();
};

void StoryTablesTest::nextTableCounts() {
    QCOMPARE(std::size(kNextTable), std::size_t(108));
    Counts bySpeaker;
    int silent = 0;
    for (const auto& r : kNextTable) {
        if (r.line.shown())
            ++bySpeaker[displayText(r.line.speaker)];
        else
            ++silent;
    }
    QCOMPARE(silent, 29);
    const Counts expected{
        {"ルネッタ", 30}, {"ジュピター教授", 18},     {"プリム", 17}, {"", 5}, {"浅間", 4}, {"ドア", 2},
        {"こまち", 2},    {"こまち（実はプリム）", 1}};
    QCOMPARE(bySpeaker, expected);
}

void StoryTablesTest::entryTableCounts() {
    QCOMPARE(std::size(kEntryTable), std::size_t(44));
    Counts bySpeaker, byMusic;
    for (const auto& r : kEntryTable) {
        QVERIFY2(r.line.shown(), qPrintable(QString("entry %1 has no line").arg(r.screen)));
        QCOMPARE(r.screen % 10, 0);
        ++bySpeaker[displayText(r.line.speaker)];
        if (!r.music.empty())
            ++byMusic[std::string(r.music)];
    }
    const Counts speakers{{"", 9},         {"ルネッタ", 11},
                          {"プリム", 10},  {"こまち", 6},
                          {"谷川", 2},     {"ジュピター教授", 2},
                          {"男", 1},       {"ジュピター教授（後）", 1},
                          {"女優の卵", 1}, {"浅間", 1}};
    QCOMPARE(bySpeaker, speakers);
    const Counts cues{{"okera.mid", 2}, {"yoseiden.mid", 2}, {"Litldrm.mid", 1},
                      {"Showt.mid", 1}, {"Tinwaki.mid", 1},  {"tinwaki.mid", 1}};
    QCOMPARE(byMusic, cues);
}

void StoryTablesTest::rowsDoNotOverlap() {
    std::set<int> nextKeys, entryKeys;
    for (const auto& r : kNextTable)
        QVERIFY2(nextKeys.insert(r.screen).second, qPrintable(QString("Next %1 twice").arg(r.screen)));
    for (const auto& r : kEntryTable)
        QVERIFY2(entryKeys.insert(r.screen).second, qPrintable(QString("entry %1 twice").arg(r.screen)));

    const std::pair<const char*, std::span<const Answer>> tables[] = {
        {"Look", kLookTable}, {"Talk", kTalkTable}, {"Think", kThinkTable}, {"Magic", kMagicTable}};
    for (const auto& [name, table] : tables) {
        for (std::size_t i = 0; i < table.size(); ++i) {
            QVERIFY(table[i].first <= table[i].last);
            QVERIFY(table[i].first >= kFirstGateScreen);
            for (std::size_t j = i + 1; j < table.size(); ++j) {
                const bool overlap = table[i].first <= table[j].last && table[j].first <= table[i].last;
                const bool splitByColumn = table[i].column != Column::Any && table[j].column != Column::Any &&
                                           table[i].column != table[j].column;
                QVERIFY2(!overlap || splitByColumn, qPrintable(QString("%1 rows %2 and %3 overlap")
                                                                   .arg(name)
                                                                   .arg(table[i].first)
                                                                   .arg(table[j].first)));
            }
        }
    }
}

void StoryTablesTest::linesAreUniqueAndShort() {
    std::map<std::string_view, std::vector<std::string>> seen;
    int longest = 0;
    for (const auto& [where, text] : allTexts()) {
        const QString s = q(displayText(text));
        QVERIFY2(q(text).toUtf8() == QByteArray(text.data(), qsizetype(text.size())), where.c_str()); // valid UTF-8
        const int chars = int(s.toUcs4().size());
        longest = std::max(longest, chars);
        QVERIFY2(chars <= 100, qPrintable(QString("%1 has %2 characters").arg(where.c_str()).arg(chars)));
        QVERIFY2(!s.contains("TODO") && !s.contains("XXX") && !s.contains("..."), where.c_str());
        seen[text].push_back(where);
    }
    qInfo("longest line: %d characters", longest);

    // The only texts allowed twice: the knock, and プリム's question while the diary is read.
    const std::map<std::string_view, std::vector<std::string>> allowed{
        {kKnock, {"Next 32", "Next 391"}},
        {kDiaryGoOn.text, {"Talk 341-344", "Think 341-344"}},
    };
    for (const auto& [text, places] : seen) {
        if (places.size() == 1)
            continue;
        const auto it = allowed.find(text);
        QString list;
        for (const auto& p : places)
            list += QString::fromStdString(p) + "; ";
        QVERIFY2(it != allowed.end() && it->second == places,
                 qPrintable("shared line \"" + q(text) + "\" at " + list));
    }
    QCOMPARE(seen[kKnock].size(), std::size_t(2));
}

void StoryTablesTest::diaryReadingsAreFramed() {
    int readings = 0;
    for (const auto& [where, text] : allTexts()) {
        const QString s = q(text);
        QCOMPARE(s.count(u'『'), s.count(u'』'));
        if (s.contains(u'『')) {
            ++readings;
            QVERIFY2(s.indexOf(u'『') < s.indexOf(u'』'), where.c_str());
            QVERIFY2(where.starts_with("Look 34"), where.c_str());
        }
    }
    QCOMPARE(readings, 4); // Look at 340, 342, 343 and 344 read from the diary
}

// Breadth-first over every command in every state reached, starting from the first screen: what
// is reached must be exactly the story's states, each with a way on, and scene changes silent.
void StoryTablesTest::everyStateReachableAndHasAWayForward() {
    const auto story = lw::test::storyStates();
    struct Try {
        std::int16_t command;
        std::int16_t column;
    };
    const Try tries[] = {{kNext, 1}, {kLook, 1},  {kLook, 2}, {kLook, 3},
                         {kTalk, 1}, {kThink, 1}, {kMagic, 1}};

    std::set<int> reached{kFirstScreen};
    std::deque<int> queue{kFirstScreen};
    while (!queue.empty()) {
        const int from = queue.front();
        queue.pop_front();
        if (from >= kEndingScreen)
            continue;
        bool forward = false;
        for (const Try& t : tries) {
            GameState state;
            RecordingOutput out(state);
            Scenario scenario(state, out);
            state.ScreenId = std::int16_t(from);
            state.ClickColumn = t.column;
            scenario.RunCommand(t.command);
            const int to = state.ScreenId;
            const auto lines = std::ranges::count(out.events, OutputEvent::Line, &OutputEvent::kind);
            const QString where = QString("%1 -> %2 (command %3)").arg(from).arg(to).arg(t.command);
            if (to == from) {
                QVERIFY2(lines == 1, qPrintable(where + ": a click that does not move shows one line"));
                continue;
            }
            forward = true;
            QVERIFY2(story.contains(to), qPrintable(where + ": not a story state"));
            QVERIFY2(to > from, qPrintable(where + ": the story goes back"));
            if (sceneOf(to) != sceneOf(from)) {
                QVERIFY2(lines == 0, qPrintable(where + ": a scene change shows a line"));
                QVERIFY2(to % 10 == 0, qPrintable(where + ": enters a scene off its entry screen"));
                RecordingOutput entryOut(state);
                Scenario(state, entryOut).RunSceneEntry();
                QVERIFY2(std::ranges::count(entryOut.events, OutputEvent::Line, &OutputEvent::kind) == 1,
                         qPrintable(where + ": the scene opens without a line"));
            }
            if (reached.insert(to).second)
                queue.push_back(to);
        }
        QVERIFY2(forward, qPrintable(QString("state %1 is a dead end").arg(from)));
    }
    QCOMPARE(reached.size(), story.size());
    QVERIFY(reached == story);
}

QTEST_GUILESS_MAIN(StoryTablesTest)
#include "tst_storytables.moc"

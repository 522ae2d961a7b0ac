// Edge cases of Next, the scene entries and the four command responders, one click at a time.
#include "GameState.h"
#include "RecordingOutput.h"
#include "Scenario.h"

#include <QtTest>

using namespace lw;
using lw::test::OutputEvent;
using lw::test::RecordingOutput;

namespace {

const QString kHint = QStringLiteral("今はイントロダクションだから、一番右の「次へ」アイコンを選択してね。");
const QString kNextHint = QStringLiteral("もう少し、いろいろ試してから先に進みましょう。");
const QString kDefaults[] = {
    {},
    QStringLiteral("特に変わったものは見えないわ。"),
    QStringLiteral("独り言なんて言うと、変な人だと思われてしまうわ。"),
    QStringLiteral("ええと･･･次は何をすればいいのかしら･･･"),
    QStringLiteral("だめだめ。やたらと魔法は使っちゃだめなのよ。"),
};

QString q(const std::string& s) { return QString::fromStdString(s); }

// One click on the picture with `command` selected, in a fresh game standing at `screen`.
struct Click {
    GameState state;
    RecordingOutput out{state};
    Scenario scenario{state, out};

    Click(int screen, int command, int column = 1)
    {
        state.ScreenId = std::int16_t(screen);
        state.selectedCommand = Command(command);
        state.clickColumn = ClickColumn(column);
        scenario.RunCommand(Command(command));
    }
    int screen() const { return state.ScreenId; }
    // The only event was a line: its speaker and text.
    bool onlyLine(const QString& speaker, QString* text = nullptr) const
    {
        if (out.events.size() != 1 || out.events[0].kind != OutputEvent::Line || q(out.events[0].speaker) != speaker)
            return false;
        if (text)
            *text = q(out.events[0].text);
        return true;
    }
    QString onlyText() const
    {
        return out.events.size() == 1 && out.events[0].kind == OutputEvent::Line ? q(out.events[0].text) : QString();
    }
};

} // namespace

class RespondersTest : public QObject {
    Q_OBJECT

private slots:
    void introductionHint_data();
    void introductionHint();
    void defaultsFrom390();
    void magicRefusedOutsideItsTwoStates();
    void nextHintWhereNextDoesNotMove_data();
    void nextHintWhereNextDoesNotMove();
    void lookByColumnAtTheStatue_data();
    void lookByColumnAtTheStatue();
    void repeatingRows_data();
    void repeatingRows();
    void at385TalkAndNextBothEndTheScene();
    void effectOrder();
    void lastStepYieldsOnceAfterTheStore();
    void sceneEntries_data();
    void sceneEntries();
};

void RespondersTest::introductionHint_data()
{
    QTest::addColumn<int>("screen");
    QTest::addColumn<int>("command");
    for (int screen : {-32768, -1, 0, 10, 55, 117, 149})
        for (int command : {kLook, kTalk, kThink, kMagic})
            QTest::addRow("%d/%d", screen, command) << screen << command;
}

void RespondersTest::introductionHint()
{
    QFETCH(int, screen);
    QFETCH(int, command);
    for (int column : {1, 2, 3}) {
        Click c(screen, command, column);
        QString text;
        QVERIFY(c.onlyLine("", &text));
        QCOMPARE(text, kHint);
        QCOMPARE(c.screen(), screen);
    }
}

void RespondersTest::defaultsFrom390()
{
    for (int screen = 390; screen <= 562; ++screen) {
        for (int command : {kLook, kTalk, kThink, kMagic}) {
            Click c(screen, command);
            QString text;
            QVERIFY2(c.onlyLine("", &text) && text == kDefaults[command],
                     qPrintable(QString("command %1 at %2").arg(command).arg(screen)));
            QCOMPARE(c.screen(), screen);
        }
    }
}

void RespondersTest::magicRefusedOutsideItsTwoStates()
{
    for (int screen = 150; screen <= 32767; ++screen) {
        if (screen == 330 || screen == 345)
            continue;
        Click c(screen, kMagic);
        QVERIFY2(c.onlyText() == kDefaults[kMagic] && c.screen() == screen, qPrintable(QString::number(screen)));
    }
    QCOMPARE(Click(330, kMagic).screen(), 331);
    QCOMPARE(Click(345, kMagic).screen(), 350);
    QVERIFY(Click(345, kMagic).out.events.empty());
}

void RespondersTest::nextHintWhereNextDoesNotMove_data()
{
    QTest::addColumn<int>("screen");
    // Gate states, numbers the story skips, and values only a screen jump can store.
    for (int screen : {-32768, -5,  0,   11,  24,  51,  118, 150, 151, 170, 171, 180, 190, 191, 210,
                       215,    224, 270, 281, 303, 310, 319, 330, 345, 361, 384, 563, 565, 999, 32767})
        QTest::addRow("%d", screen) << screen;
}

void RespondersTest::nextHintWhereNextDoesNotMove()
{
    QFETCH(int, screen);
    Click c(screen, kNext);
    QString text;
    QVERIFY(c.onlyLine("", &text));
    QCOMPARE(text, kNextHint);
    QCOMPARE(c.screen(), screen);
}

void RespondersTest::lookByColumnAtTheStatue_data()
{
    QTest::addColumn<int>("screen");
    for (int screen : {150, 151, 152})
        QTest::addRow("%d", screen) << screen;
}

void RespondersTest::lookByColumnAtTheStatue()
{
    QFETCH(int, screen);
    Click left(screen, kLook, 1), middle(screen, kLook, 2), right(screen, kLook, 3);
    QString l, m, r;
    QVERIFY(left.onlyLine("", &l));
    QVERIFY(middle.onlyLine("", &m));
    QVERIFY(right.onlyLine("", &r));
    QCOMPARE(m, l);
    QVERIFY(r != l);
    QVERIFY(l.contains(QStringLiteral("ハチ公")));
    QVERIFY(l != kDefaults[kLook] && r != kDefaults[kLook]);
    for (const Click* c : {&left, &middle, &right})
        QCOMPARE(c->screen(), screen);
    // The same line answers at every state of the scene.
    QCOMPARE(Click(150, kLook, 1).onlyText(), l);
    QCOMPARE(Click(152, kLook, 3).onlyText(), r);
}

void RespondersTest::repeatingRows_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QList<int>>("screens");
    QTest::addColumn<int>("lands");
    QTest::addColumn<QString>("speaker");
    QTest::newRow("Look 190-191") << int(kLook) << QList<int>{190, 191} << 191 << "";
    QTest::newRow("Look 270-271") << int(kLook) << QList<int>{270, 271} << 271 << "ルネッタ";
    QTest::newRow("Talk 280-281") << int(kTalk) << QList<int>{280, 281} << 281 << "プリム";
    QTest::newRow("Talk 310-319") << int(kTalk) << QList<int>{310, 311, 315, 319} << 311 << "プリム";
    QTest::newRow("Think 310-319") << int(kThink) << QList<int>{310, 311, 315, 319} << 311 << "";
    QTest::newRow("Talk 341-344") << int(kTalk) << QList<int>{341, 342, 343, 344} << -1 << "プリム";
    QTest::newRow("Think 341-344") << int(kThink) << QList<int>{341, 342, 343, 344} << -1 << "プリム";
}

// Each state of the range gets the same line and lands on the same state (-1: stays).
void RespondersTest::repeatingRows()
{
    QFETCH(int, command);
    QFETCH(QList<int>, screens);
    QFETCH(int, lands);
    QFETCH(QString, speaker);
    QString first;
    for (int screen : screens) {
        Click c(screen, command);
        QString text;
        QVERIFY2(c.onlyLine(speaker, &text), qPrintable(QString::number(screen)));
        if (first.isNull())
            first = text;
        QCOMPARE(text, first);
        QVERIFY(text != kDefaults[command]);
        QCOMPARE(c.screen(), lands < 0 ? screen : lands);
    }
    // Talk and Think share their line while the diary is read.
    if (screens.front() == 341)
        QCOMPARE(Click(341, kTalk).onlyText(), Click(341, kThink).onlyText());
}

void RespondersTest::at385TalkAndNextBothEndTheScene()
{
    Click talk(385, kTalk);
    QCOMPARE(talk.screen(), 390);
    QCOMPARE(talk.out.events.size(), std::size_t(1));
    QCOMPARE(int(talk.out.events[0].kind), int(OutputEvent::HideIcons));

    Click next(385, kNext);
    QCOMPARE(next.screen(), 390);
    QVERIFY(next.out.events.empty());
}

void RespondersTest::effectOrder()
{
    // Look at 342: the music first, then the line, both before the store.
    Click look(342, kLook);
    QCOMPARE(look.out.events.size(), std::size_t(2));
    QCOMPARE(int(look.out.events[0].kind), int(OutputEvent::Music));
    QCOMPARE(q(look.out.events[0].text), QStringLiteral("Sizuku.mid"));
    QCOMPARE(int(look.out.events[1].kind), int(OutputEvent::Line));
    QCOMPARE(q(look.out.events[1].speaker), QStringLiteral("ルネッタ"));
    QCOMPARE(look.out.events[1].screenAtCall, 342);
    QCOMPARE(look.screen(), 343);

    // Talk at 384: the line, then the icons, then the store.
    Click talk(384, kTalk);
    QCOMPARE(talk.out.events.size(), std::size_t(2));
    QCOMPARE(int(talk.out.events[0].kind), int(OutputEvent::Line));
    QCOMPARE(q(talk.out.events[0].speaker), QStringLiteral("プリム"));
    QCOMPARE(int(talk.out.events[1].kind), int(OutputEvent::HideIcons));
    QCOMPARE(talk.out.events[1].screenAtCall, 384);
    QCOMPARE(talk.screen(), 385);

    // The diary's music is started by Look alone.
    QVERIFY(Click(342, kTalk).out.events.size() == 1);
    QVERIFY(Click(342, kThink).out.events.size() == 1);
}

void RespondersTest::lastStepYieldsOnceAfterTheStore()
{
    Click last(562, kNext);
    QCOMPARE(last.screen(), 565);
    QCOMPARE(last.out.events.size(), std::size_t(2));
    QCOMPARE(int(last.out.events[0].kind), int(OutputEvent::Line));
    QCOMPARE(q(last.out.events[0].speaker), QStringLiteral("ルネッタ"));
    QCOMPARE(last.out.events[0].screenAtCall, 562);
    QCOMPARE(int(last.out.events[1].kind), int(OutputEvent::Yield));
    QCOMPARE(last.out.events[1].screenAtCall, 565);
    // No other Next row yields.
    QVERIFY(Click(561, kNext).out.events.size() == 1);
}

void RespondersTest::sceneEntries_data()
{
    QTest::addColumn<int>("screen");
    QTest::addColumn<QStringList>("expected"); // event kinds with their data, in order
    QTest::newRow("first scene") << 10 << QStringList{"timer 600", "music okera.mid", "line "};
    QTest::newRow("no cue") << 20 << QStringList{"line "};
    QTest::newRow("Tinwaki") << 260 << QStringList{"music Tinwaki.mid", "line 男"};
    QTest::newRow("tinwaki") << 550 << QStringList{"music tinwaki.mid", "line ルネッタ"};
    QTest::newRow("after the diary") << 500 << QStringList{"music yoseiden.mid", "line プリム"};
    QTest::newRow("jump into a scene") << 215 << QStringList{};
    QTest::newRow("scene never entered") << 230 << QStringList{};
    QTest::newRow("negative") << -10 << QStringList{};
    QTest::newRow("past the end") << 565 << QStringList{};
}

void RespondersTest::sceneEntries()
{
    QFETCH(int, screen);
    QFETCH(QStringList, expected);
    GameState state;
    state.ScreenId = std::int16_t(screen);
    RecordingOutput out(state);
    Scenario(state, out).RunSceneEntry();
    QStringList got;
    for (const auto& ev : out.events) {
        switch (ev.kind) {
        case OutputEvent::Timer:
            got << QString("timer %1").arg(ev.intervalMs);
            break;
        case OutputEvent::Music:
            got << "music " + q(ev.text);
            break;
        case OutputEvent::Line:
            got << "line " + q(ev.speaker);
            break;
        default:
            got << "other";
        }
    }
    QCOMPARE(got, expected);
    QCOMPARE(int(state.ScreenId), screen);
}

QTEST_GUILESS_MAIN(RespondersTest)
#include "tst_responders.moc"

// Plays the whole story headless, from the first screen to the end mark, as a player would.
#include "GameState.h"
#include "RecordingOutput.h"
#include "Scenario.h"
#include "StoryStates.h"

#include <QtTest>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

using namespace lw;
using lw::test::OutputEvent;
using lw::test::RecordingOutput;

namespace {

// Speakers as the player sees them; kSilent: the click shows no line at all.
constexpr const char* kSilent = nullptr;
constexpr const char* Nar = "";
constexpr const char* Run = "ルネッタ";
constexpr const char* Pri = "プリム";
constexpr const char* Jup = "ジュピター教授";
constexpr const char* Dor = "ドア";
constexpr const char* Tan = "谷川";
constexpr const char* Nas = "なすの";
constexpr const char* Kom = "こまち";
constexpr const char* KoP = "こまち（実はプリム）";
constexpr const char* Asa = "浅間";

constexpr int Nx = kNext, Lk = kLook, Tk = kTalk, Th = kThink, Mg = kMagic;

struct Step {
    std::int16_t command;
    const char* speaker;
    int next;
};
// clang-format on

// The route through the story, one click per row, scene by scene.
// clang-format off
const Step kRoute[] = {
    {Nx, kSilent, 20},
    {Nx, Nar, 21}, {Nx, Nar, 22}, {Nx, Nar, 23}, {Nx, Nar, 25}, {Nx, kSilent, 30},
    {Nx, Run, 31}, {Nx, Run, 32}, {Nx, Dor, 33}, {Nx, kSilent, 40},
    {Nx, Run, 41}, {Nx, kSilent, 50},
    {Nx, Run, 52}, {Nx, Pri, 54}, {Nx, Run, 55}, {Nx, Pri, 56}, {Nx, Run, 57}, {Nx, Pri, 58}, {Nx, Run, 59}, {Nx, kSilent, 60},
    {Nx, kSilent, 70},
    {Nx, Run, 71}, {Nx, Jup, 72}, {Nx, Pri, 73}, {Nx, Run, 74}, {Nx, Jup, 75}, {Nx, Pri, 76}, {Nx, Jup, 77}, {Nx, kSilent, 80},
    {Nx, Jup, 81}, {Nx, Pri, 82}, {Nx, Jup, 83}, {Nx, Run, 84}, {Nx, Jup, 85}, {Nx, Pri, 86}, {Nx, Jup, 87}, {Nx, kSilent, 90},
    {Nx, Jup, 91}, {Nx, Jup, 92}, {Nx, Jup, 93}, {Nx, Jup, 94}, {Nx, Pri, 95}, {Nx, Jup, 96}, {Nx, Run, 97}, {Nx, kSilent, 100},
    {Nx, Jup, 101}, {Nx, Pri, 102}, {Nx, Jup, 103}, {Nx, Run, 104}, {Nx, Jup, 105}, {Nx, kSilent, 110},
    {Nx, Run, 111}, {Nx, Pri, 112}, {Nx, Run, 113}, {Nx, Pri, 114}, {Nx, Run, 115}, {Nx, Pri, 116}, {Nx, Run, 117}, {Nx, kSilent, 150},
    {Th, Nar, 151}, {Th, Nar, 152}, {Nx, kSilent, 160},
    {Nx, Nar, 161}, {Nx, kSilent, 170},
    {Lk, Nar, 171}, {Lk, kSilent, 180},
    {Lk, kSilent, 190},
    {Lk, Nar, 191}, {Th, Nar, 192}, {Nx, kSilent, 200},
    {Nx, kSilent, 201}, {Nx, kSilent, 210},
    {Tk, Run, 211}, {Tk, Pri, 212}, {Tk, Run, 213}, {Tk, Pri, 214}, {Tk, Run, 215}, {Tk, kSilent, 220},
    {Tk, Pri, 221}, {Tk, Run, 222}, {Tk, Pri, 223}, {Tk, Run, 224}, {Tk, kSilent, 240},
    {Tk, Pri, 241}, {Tk, Run, 242}, {Tk, Pri, 243}, {Tk, Run, 244}, {Tk, kSilent, 250},
    {Tk, Run, 251}, {Tk, kSilent, 260},
    {Tk, Run, 261}, {Tk, Tan, 262}, {Tk, Pri, 263}, {Tk, Tan, 264}, {Tk, Pri, 265}, {Tk, kSilent, 270},
    {Lk, Run, 271}, {Nx, kSilent, 280},
    {Tk, Pri, 281}, {Lk, kSilent, 290},
    {Tk, Run, 291}, {Tk, Nas, 292}, {Tk, Pri, 293}, {Tk, Nas, 294}, {Tk, kSilent, 300},
    {Tk, Nas, 301}, {Tk, Run, 302}, {Tk, Nas, 303}, {Lk, kSilent, 310},
    {Tk, Pri, 311}, {Nx, kSilent, 320},
    {Nx, kSilent, 330},
    {Mg, Run, 331}, {Tk, Pri, 332}, {Tk, Run, 333}, {Tk, Pri, 334}, {Tk, Run, 335}, {Lk, kSilent, 340},
    {Lk, Run, 341}, {Lk, Pri, 342}, {Lk, Run, 343}, {Lk, Run, 344}, {Lk, Run, 345}, {Th, kSilent, 350},
    {Tk, Kom, 351}, {Tk, Run, 352}, {Tk, kSilent, 360},
    {Tk, Pri, 362}, {Tk, kSilent, 370},
    {Tk, Pri, 371}, {Tk, Kom, 372}, {Tk, Run, 373}, {Tk, kSilent, 380},
    {Tk, Pri, 381}, {Tk, Kom, 382}, {Tk, Pri, 383}, {Tk, Run, 384}, {Tk, Pri, 385}, {Tk, kSilent, 390},
    {Nx, Run, 391}, {Nx, Dor, 392}, {Nx, kSilent, 400},
    {Nx, KoP, 401}, {Nx, Asa, 402}, {Nx, kSilent, 410},
    {Nx, Asa, 411}, {Nx, kSilent, 420},
    {Nx, Asa, 421}, {Nx, Kom, 422}, {Nx, Asa, 423}, {Nx, Run, 424}, {Nx, Kom, 425}, {Nx, Pri, 426}, {Nx, Run, 427}, {Nx, Pri, 428}, {Nx, kSilent, 430},
    {Nx, Pri, 431}, {Nx, Run, 432}, {Nx, kSilent, 440},
    {Nx, Pri, 441}, {Nx, Run, 442}, {Nx, kSilent, 500},
    {Nx, Run, 501}, {Nx, kSilent, 510},
    {Nx, Run, 511}, {Nx, Jup, 512}, {Nx, Run, 513}, {Nx, Jup, 514}, {Nx, Pri, 515}, {Nx, Jup, 516}, {Nx, kSilent, 550},
    {Nx, Run, 551}, {Nx, Run, 552}, {Nx, Run, 553}, {Nx, kSilent, 560},
    {Nx, Run, 561}, {Nx, Run, 562}, {Nx, Run, 565},
};
// clang-format on

struct Entry {
    int screen;
    const char* music; // "" : the music goes on
    const char* speaker;
};
// clang-format on

// Every scene opening the route passes, in order.
// clang-format off
const Entry kEntries[] = {
    {10, "okera.mid", Nar}, {20, "", Nar}, {30, "yoseiden.mid", Nar}, {40, "", Pri}, {50, "", Pri},
    {60, "", Pri}, {70, "", "ジュピター教授（後）"}, {80, "", Run}, {90, "", Pri}, {100, "", Jup},
    {110, "", Pri}, {150, "Litldrm.mid", Nar}, {160, "", Nar}, {170, "okera.mid", Nar}, {180, "", Nar},
    {190, "", Nar}, {200, "Showt.mid", Nar}, {210, "", Pri}, {220, "", Run}, {240, "", Run},
    {250, "", Pri}, {260, "Tinwaki.mid", "男"}, {270, "", Tan}, {280, "", Run}, {290, "", "女優の卵"},
    {300, "", Run}, {310, "", Run}, {320, "", Tan}, {330, "", Kom}, {340, "", Pri},
    {350, "", Run}, {360, "", Kom}, {370, "", Kom}, {380, "", Kom}, {390, "", Pri},
    {400, "", Asa}, {410, "", Kom}, {420, "", Kom}, {430, "", Run}, {440, "", Run},
    {500, "yoseiden.mid", Pri}, {510, "", Jup}, {550, "tinwaki.mid", Run}, {560, "", Run},
};
// clang-format on

// The piece that should be sounding once the story stands at `screen` (file names compared
// without letter case, as the music files are found).
std::string musicAt(int screen)
{
    if (screen < 30)
        return "okera.mid";
    if (screen < 150)
        return "yoseiden.mid";
    if (screen < 170)
        return "litldrm.mid";
    if (screen < 200)
        return "okera.mid";
    if (screen < 260)
        return "showt.mid";
    if (screen <= 342)
        return "tinwaki.mid";
    if (screen < 500)
        return "sizuku.mid";
    if (screen < 550)
        return "yoseiden.mid";
    return "tinwaki.mid";
}

std::string lower(std::string s)
{
    std::ranges::transform(s, s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

QString q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

class WalkthroughTest : public QObject {
    Q_OBJECT

private slots:
    void wholeStory();
};
// clang-format on

void WalkthroughTest::wholeStory()
{
    GameState state;
    RecordingOutput out(state);
    Scenario scenario(state, out);

    int lastShownScene = 0;
    std::size_t entryIndex = 0;
    std::string playing;
    int musicStarts = 0;

    // The scene watcher: on a new scene index, run the scene's entry and check what it did.
    auto watch = [&]() {
        if (state.ScreenId >= kEndingScreen || sceneOf(state.ScreenId) == lastShownScene)
            return;
        lastShownScene = sceneOf(state.ScreenId);
        scenario.RunSceneEntry();
        const auto events = out.take();
        QVERIFY2(entryIndex < std::size(kEntries), "more scenes entered than the story has");
        const Entry& e = kEntries[entryIndex++];
        QCOMPARE(int(state.ScreenId), e.screen);
        std::size_t i = 0;
        if (e.screen == 10) {
            QVERIFY(events.size() > i && events[i].kind == OutputEvent::Timer);
            QCOMPARE(events[i].intervalMs, 600);
            ++i;
        }
        if (*e.music) {
            QVERIFY(events.size() > i && events[i].kind == OutputEvent::Music);
            QCOMPARE(q(events[i].text), QString::fromUtf8(e.music));
            playing = lower(events[i].text);
            ++musicStarts;
            ++i;
        }
        QCOMPARE(events.size(), i + 1);
        QCOMPARE(int(events[i].kind), int(OutputEvent::Line));
        QCOMPARE(q(events[i].speaker), QString::fromUtf8(e.speaker));
        QCOMPARE(int(state.ScreenId), e.screen); // an entry never moves the story
    };

    std::set<int> visited;
    state.ScreenId = kFirstScreen;
    visited.insert(state.ScreenId);
    watch();
    QCOMPARE(q(playing), q(musicAt(state.ScreenId)));

    for (const Step& step : kRoute) {
        const int from = state.ScreenId;
        const QByteArray where = QByteArray::number(from) + " -> " + QByteArray::number(step.next);
        state.selectedCommand = Command(step.command);
        state.clickColumn = ClickColumn(2);
        scenario.RunCommand(Command(step.command));
        QVERIFY2(int(state.ScreenId) == step.next, where + ": landed on " + QByteArray::number(state.ScreenId));
        QCOMPARE(state.selectedCommand, Command(step.command));

        const auto events = out.take();
        int lines = 0;
        for (const auto& ev : events) {
            switch (ev.kind) {
            case OutputEvent::Line:
                ++lines;
                QVERIFY2(step.speaker != kSilent, where + ": a line where none belongs");
                QCOMPARE(q(ev.speaker), QString::fromUtf8(step.speaker));
                QCOMPARE(ev.screenAtCall, from); // the line comes before the state moves
                break;
            case OutputEvent::Music:
                QVERIFY2(from == 342, where + ": unexpected music");
                QCOMPARE(q(ev.text), QStringLiteral("Sizuku.mid"));
                QCOMPARE(lines, 0);
                playing = lower(ev.text);
                ++musicStarts;
                break;
            case OutputEvent::HideIcons:
                QVERIFY2(from == 384 || from == 385, where + ": icons hidden");
                break;
            case OutputEvent::Yield:
                QVERIFY2(from == 562, where + ": unexpected yield");
                QCOMPARE(ev.screenAtCall, 565);
                break;
            case OutputEvent::Timer:
                QFAIL(where + ": the music timer is started only by the first scene");
            }
        }
        QCOMPARE(lines, step.speaker == kSilent ? 0 : 1);
        if (sceneOf(step.next) != sceneOf(from))
            QCOMPARE(lines, 0); // a step into a new scene leaves the first line to the entry
        if (from == 384 || from == 385)
            QCOMPARE(std::ranges::count(events, OutputEvent::HideIcons, &OutputEvent::kind), 1);
        if (from == 562)
            QCOMPARE(std::ranges::count(events, OutputEvent::Yield, &OutputEvent::kind), 1);

        visited.insert(state.ScreenId);
        watch();
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(playing == musicAt(state.ScreenId), where + ": playing " + QByteArray::fromStdString(playing));
    }

    QCOMPARE(int(state.ScreenId), int(kStoryEndMark));
    QCOMPARE(entryIndex, std::size(kEntries));
    QCOMPARE(musicStarts, 9);
    QCOMPARE(visited.size(), std::size_t(179));
    QVERIFY(visited == lw::test::storyStates());
}

QTEST_GUILESS_MAIN(WalkthroughTest)
#include "tst_walkthrough.moc"

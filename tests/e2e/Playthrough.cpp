// The in-process playthrough.
#include "Playthrough.h"

#include "AudioEngine.h"
#include "ErrorReport.h"
#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "Form4.h"
#include "Form5.h"
#include "GameState.h"
#include "KS_Midi.h"
#include "Lunaweave.h"
#include "LwDemo.h"
#include "MciSequencer.h"
#include "Runtime.h"
#include "SceneCatalogue.h"
#include "WaveFilePlayer.h"
#include "WavePlayer.h"
#include "fakes/FakeDialogs.h"

#include <QCoreApplication>
#include <QDir>

#include <stdexcept>

namespace lw::e2e {
namespace {

struct GameEnded : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Records the pieces the game opens, and passes every command on to the real service.
class WatchingService : public MidiService {
public:
    WatchingService(MidiService* inner, std::vector<std::string>& opened) : inner_(inner), opened_(opened) {}
    int sendString(std::string_view command, std::string* answer, int answerLength,
                   std::uintptr_t callbackWindow) override
    {
        if (!inner_) {
            if (answer)
                answer->clear();
            return 6; // no device
        }
        const int result = inner_->sendString(command, answer, answerLength, callbackWindow);
        if (result == 0 && command.rfind("open ", 0) == 0) {
            const auto slash = command.find_last_of('/');
            const auto quote = command.find('"', slash);
            if (slash != std::string_view::npos && quote != std::string_view::npos)
                opened_.emplace_back(command.substr(slash + 1, quote - slash - 1));
        }
        return result;
    }
    std::string errorString(int code) const override { return inner_ ? inner_->errorString(code) : "no device"; }

private:
    MidiService* inner_;
    std::vector<std::string>& opened_;
};

// Waves are counted, then handed to the real player.
class WatchingWavePlayer : public WavePlayer {
public:
    WatchingWavePlayer(WavePlayer& inner, bool& started) : inner_(inner), started_(started) {}
    bool playAsync(const std::string& path) override
    {
        const bool ok = inner_.playAsync(path);
        started_ = started_ || ok;
        return ok;
    }

private:
    WavePlayer& inner_;
    bool& started_;
};

constexpr int kFramesPerMs = audio::AudioEngine::kSampleRate / 1000;

// The route through the story: at each state the first command that moves it on, as a player
// trying the icons left to right would find it. Next is tried first.
constexpr int kCommandOrder[] = {9, 5, 6, 7, 8};

void clickPicture(Form1& form, int column)
{
    const double width = form.Image1->twipsWidth();
    form.Image1_MouseDown(1, 0, width * (column - 0.5) / 3, 1000);
}

} // namespace

PlaythroughResult playThrough(const QString& dataDirectory, const PlaythroughOptions& options)
{
    PlaythroughResult result;
    const QString previousDirectory = QDir::currentPath();
    QDir::setCurrent(dataDirectory);

    audio::AudioOptions audioOptions;
    audioOptions.manualClock = true;
    audioOptions.soundFont = options.soundFont;
    std::unique_ptr<audio::AudioEngine> engine = audio::AudioEngine::create(audioOptions);
    audio::MciSequencer sequencer(*engine);
    audio::WaveFilePlayer wave(*engine);
    WatchingService service(options.noMidiDevice ? nullptr : &sequencer, result.opened);
    WatchingWavePlayer watchedWave(wave, result.waveStarted);
    KS_Midi midi(service);
    installMusic(&midi);
    installWavePlayer(&watchedWave);
    fakes::FakeDialogs dialogs;
    setDialogs(&dialogs);
    const auto previousEnd = runtime::setEndHandler([&result](int status) { result.endStatuses << status; });
    const auto previousFatal = setFatalHandler([](const QString& message) { throw GameEnded(message.toStdString()); });
    const auto render = [&engine](int ms) { engine->render(ms * kFramesPerMs); };

    GameState& game = gameState();
    game = GameState{};
    LastShownState() = 0;
    try {
        // The opening demo: its timer is driven by hand, 120 ms of music between ticks.
        LwDemo& demo = Window<LwDemo>::get();
        demo.Show();
        demo.Timer1.stop();
        runtime::DoEvents();
        BuildSceneCatalogue();
        for (int tick = 1; tick <= 46 && Window<LwDemo>::exists(); ++tick) {
            Window<LwDemo>::get().Timer1_Timer();
            render(tick == 45 ? 3000 : 120);
        }
        Window<LwDemo>::Unload();

        // The title: a click on the background starts the story.
        Form3& title = Window<Form3>::get();
        title.Show();
        render(500);
        title.Form_Click();
        Window<Form3>::Unload();

        OpenGameWindows();
        Form1& form = Window<Form1>::get();
        const std::vector<int> jumps{150, 300, 210, 400, 330, 345};
        std::size_t nextJump = 0;
        int column = 1;
        while (game.ScreenId < kEndingScreen && result.clicks < 5000) {
            ShowSceneIfChanged();
            const std::int16_t before = game.ScreenId;
            for (int icon : kCommandOrder) {
                form.Image2_Click(icon);
                clickPicture(form, column);
                column = column % 3 + 1;
                ++result.clicks;
                render(100);
                if (result.clicks % 6 == 0)
                    form.Timer1_Timer(); // the music poll
                if (game.ScreenId != before)
                    break;
            }
            // Now and then the developer screen jump sends the story somewhere else.
            if (options.jumpAround && nextJump < jumps.size() && result.clicks > int(60 * (nextJump + 1))) {
                dialogs.nextAnswer = {QString::number(jumps[nextJump++]), false};
                int key = 74;
                Window<Form2>::get().Form_KeyDown(key, 2);
            }
        }
        ShowSceneIfChanged();

        // The ending: the roll follows the ending music, 200 ms per tick.
        StartStaffRoll();
        game.StaffRollRunning = kTrue;
        Form4& roll = Window<Form4>::get();
        roll.Timer1.stop();
        while (game.StaffRollRunning != kFalse && result.rollTicks < 2000) {
            render(200);
            roll.Timer1_Timer();
            ++result.rollTicks;
        }
        Window<Form4>::Unload();

        Form5& clear = Window<Form5>::get();
        clear.Show();
        result.clearMessage = clear.Label1->text();
        clear.Command1_Click();
        result.reachedClearScreen = game.StaffRollRunning == kFalse && !result.endStatuses.isEmpty();
    } catch (const GameEnded& ended) {
        result.fatalError = QString::fromStdString(ended.what());
    }

    // Put every window away as the program would on the next run.
    Window<LwDemo>::Unload();
    Window<Form3>::Unload();
    Window<Form1>::Unload();
    Window<Form2>::Unload();
    Window<Form4>::Unload();
    Window<Form5>::Unload();
    runtime::DoEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    setFatalHandler(previousFatal);
    runtime::setEndHandler(previousEnd);
    setDialogs(nullptr);
    installWavePlayer(nullptr);
    installMusic(nullptr);
    engine->shutdown();
    game = GameState{};
    LastShownState() = 0;
    QDir::setCurrent(previousDirectory);
    return result;
}

} // namespace lw::e2e

// The in-process playthrough: the real Game, and a player that answers what is on screen.
//
// Mouse events go through the window system's path (QTEST_QPA_MOUSE_HANDLING): a click lands on
// whatever widget is at that point of the window, as a player's would.
#define QTEST_QPA_MOUSE_HANDLING

#include "Playthrough.h"

#include "AudioEngine.h"
#include "ClearWindow.h"
#include "Game.h"
#include "GameState.h"
#include "LogoDemo.h"
#include "MainWindow.h"
#include "MciSequencer.h"
#include "MessageWindow.h"
#include "Music.h"
#include "SceneCatalogue.h"
#include "StaffRollWindow.h"
#include "TitleWindow.h"
#include "WaveFilePlayer.h"
#include "WavePlayer.h"
#include "fakes/FakeDialogs.h"
#include "fakes/FakeSettings.h"
#include "fakes/FakeSoundControl.h"
#include "fakes/RecordingProgramEnd.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QScopedValueRollback>
#include <QTest>
#include <QTimer>

#include <array>
#include <stdexcept>

namespace lw::e2e {
namespace {

struct GameEnded : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Records every command and the pieces the game opens, and passes the commands on to the real
// service.
class WatchingService : public MidiService {
public:
    WatchingService(MidiService* inner, PlaythroughResult& result) : inner_(inner), result_(result) {}
    int sendString(std::string_view command, std::string* answer, int answerLength,
                   std::uintptr_t callbackWindow) override
    {
        result_.commands.emplace_back(command);
        if (!inner_) {
            if (answer)
                answer->clear();
            return 6; // no device
        }
        const int code = inner_->sendString(command, answer, answerLength, callbackWindow);
        if (code == 0 && command.rfind("open ", 0) == 0) {
            const auto slash = command.find_last_of('/');
            const auto quote = command.find('"', slash);
            if (slash != std::string_view::npos && quote != std::string_view::npos)
                result_.opened.emplace_back(command.substr(slash + 1, quote - slash - 1));
        }
        return code;
    }
    std::string errorString(int code) const override { return inner_ ? inner_->errorString(code) : "no device"; }

private:
    MidiService* inner_;
    PlaythroughResult& result_;
};

// Waves are noted, then handed to the real player.
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

// The game's windows on screen, by name.
QString windowsOnScreen(Game& game)
{
    QStringList names;
    auto add = [&names](const QWidget* window) {
        if (window && window->isVisible())
            names << window->objectName();
    };
    add(game.windows().demo.ifLoaded());
    add(game.windows().title.ifLoaded());
    add(game.windows().main.ifLoaded());
    add(game.windows().message.ifLoaded());
    add(game.windows().roll.ifLoaded());
    add(game.windows().clear.ifLoaded());
    return names.join(u' ');
}

// The route through the story: at each state the first command that moves it on, as a player
// trying the icons left to right would find it. Next is tried first.
constexpr int kCommandOrder[] = {9, 5, 6, 7, 8};
constexpr int kLookIcon = 5;
constexpr int kMaxClicks = 5000;
constexpr int kMaxRollTicks = 2000;
constexpr int kPatience = 500; // player turns to wait for a window to go before calling it stuck

// Answers whatever the game shows, one action per turn of the event loop.
class Player {
public:
    Player(Game& game, PlaythroughResult& result, const PlaythroughOptions& options, fakes::FakeDialogs& dialogs,
           std::function<void(int ms)> render)
        : game_(game), result_(result), options_(options), dialogs_(dialogs), render_(std::move(render))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { turn(); });
    }
    void start() { timer_.start(0); }
    void stop() { timer_.stop(); }
    void notePhase()
    {
        const QString now = windowsOnScreen(game_);
        if (!ended_ && (result_.phases.isEmpty() || result_.phases.back() != now))
            result_.phases << now;
    }
    void noteEnd() { ended_ = true; }

private:
    void turn()
    {
        // A click's handler may yield to the window system: no second action inside it.
        if (busy_)
            return;
        QScopedValueRollback guard(busy_, true);
        notePhase();
        if (forcing_)
            return force();
        if (closed_) {
            if (++waited_ > 50)
                fail(QStringLiteral("the program went on after the player closed ") + closedName_);
            return;
        }
        GameState& game = game_.state();
        if (LogoDemo* demo = game_.windows().demo.ifLoaded(); demo && demo->isVisible())
            return tickDemo(*demo);
        if (TitleWindow* title = game_.windows().title.ifLoaded(); title && title->isVisible())
            return answerTitle(*title);
        StaffRollWindow* roll = game_.windows().roll.ifLoaded();
        if (roll && (rolling_ || roll->stepTimer.isActive()) && !roll->ended())
            return tickRoll(*roll);
        if (MainWindow* form = game_.windows().main.ifLoaded();
            form && form->isVisible() && game.ScreenId < kEndingScreen)
            return play(*form);
    }

    void tickDemo(LogoDemo& demo)
    {
        demo.stepTimer.stop(); // its ticks come from here, 120 ms of music apart
        if (++demoTurns_ > kPatience)
            return fail(QStringLiteral("the demo did not end"));
        if (demo.figureX == 0) // not activated yet: its table starts with the activation
            return;
        demo.step();
        render_(demo.ticks == 45 ? 3000 : 120);
    }

    void answerTitle(TitleWindow& title)
    {
        if (titleAnswered_) {
            if (++titleTurns_ > kPatience)
                fail(QStringLiteral("the title stayed after the click"));
            return;
        }
        titleAnswered_ = true;
        render_(500);
        if (options_.close == CloseWindow::Title)
            return closeByPlayer(title, QStringLiteral("the title"));
        QTest::mouseClick(&title, Qt::LeftButton, {}, QPoint(title.width() - 3, title.height() - 3));
    }

    void tickRoll(StaffRollWindow& roll)
    {
        if (!rolling_) {
            rolling_ = true;
            roll.stepTimer.stop(); // its ticks come from here, 200 ms of music apart
        }
        if (++result_.rollTicks > kMaxRollTicks)
            return fail(QStringLiteral("the roll did not end"));
        render_(200);
        roll.step();
        const QString heading = roll.headingLabel->text();
        if (!heading.isEmpty() && !result_.rollHeadings.contains(heading))
            result_.rollHeadings << heading;
        if (options_.close == CloseWindow::Roll && result_.rollHeadings.size() == 5 && !rollClosed_) {
            rollClosed_ = true;
            result_.commandsAtClose = result_.commands.size();
            roll.close(); // the ending goes on to the clear screen
        }
    }

    void play(MainWindow& form)
    {
        GameState& game = game_.state();
        if (!started_) {
            started_ = true;
            return firstLook(form);
        }
        const int state = game.ScreenId;
        if (state != lastState_) {
            lastState_ = state;
            tries_ = 0;
            result_.visited.insert(state);
        }
        if (state == options_.closeAtState && options_.close == CloseWindow::MainWindow)
            return closeByPlayer(form, QStringLiteral("the main window"));
        if (state == options_.closeAtState && options_.close == CloseWindow::MessageWindow)
            return closeByPlayer(game_.windows().message.get(), QStringLiteral("the message window"));
        if (state == 150 && result_.columns.empty())
            return probeColumns(form);
        if (state == 20 && !jumpedBack_)
            return jumpBack();
        if (options_.jumpAround && nextJump_ < kJumps.size() && result_.clicks > int(60 * (nextJump_ + 1))) {
            dialogs_.nextAnswer = {QString::number(kJumps[nextJump_++]), false};
            QTest::keyClick(&game_.windows().message.get(), Qt::Key_J, Qt::ControlModifier);
            return;
        }
        if (result_.clicks >= kMaxClicks)
            return fail(QStringLiteral("stuck at state %1").arg(state));
        select(form, kCommandOrder[tries_++ % 5]);
        clickPicture(form, kProbePixels[result_.clicks % kProbePixels.size()]);
        render_(100);
        if (result_.clicks % 6 == 0)
            form.repeatMusic(); // the music poll, as its timer would
    }

    // Before choosing anything: the pointer over each command, then onto the picture, and a
    // click on the picture.
    void firstLook(MainWindow& form)
    {
        for (int icon = 5; icon <= 9; ++icon) {
            QTest::mouseMove(form.commandIcons[static_cast<std::size_t>(icon)]);
            result_.hoverNames << form.hoverLabel->text();
        }
        QTest::mouseMove(form.scenePicture, QPoint(100, 100));
        result_.hoverNames << form.hoverLabel->text();
        clickPicture(form, 240);
        result_.hint = game_.windows().message.get().line();
    }

    // Look at the statue, clicked across the picture.
    void probeColumns(MainWindow& form)
    {
        select(form, kLookIcon);
        for (int x : kProbePixels) {
            clickPicture(form, x);
            result_.columns.push_back({x, int(game_.state().clickColumn), game_.windows().message.get().line()});
        }
    }

    // The screen jump from scene 2 back to the first state: J alone does nothing, Ctrl+J asks.
    void jumpBack()
    {
        jumpedBack_ = true;
        dialogs_.nextAnswer = {QStringLiteral("10"), false};
        QTest::keyClick(&game_.windows().message.get(), Qt::Key_J);
        QTest::keyClick(&game_.windows().message.get(), Qt::Key_J, Qt::ControlModifier);
    }

    // Clicks the command's icon unless it already shows as selected (or is gone).
    void select(MainWindow& form, int icon)
    {
        ImageBox* image = form.commandIcons[static_cast<std::size_t>(icon)];
        if (image->isVisible())
            QTest::mouseClick(image, Qt::LeftButton);
    }

    void clickPicture(MainWindow& form, int x)
    {
        QTest::mouseClick(form.scenePicture, Qt::LeftButton, {}, QPoint(x, 100));
        ++result_.clicks;
    }

    void closeByPlayer(QWidget& window, const QString& name)
    {
        closed_ = true;
        closedName_ = name;
        result_.commandsAtClose = result_.commands.size();
        window.close(); // the close box: the same query as the window system's close
    }

    // Something went wrong: note it and push the game through to its end, so the run can finish.
    void fail(const QString& why)
    {
        if (result_.failure.isEmpty())
            result_.failure = why;
        forcing_ = true;
        if (options_.onEnd)
            options_.onEnd(result_);
        force();
    }
    void force()
    {
        game_.windows().demo.unload();
        if (TitleWindow* title = game_.windows().title.ifLoaded())
            title->startGame();
        if (game_.stage() == Stage::Playing && game_.state().ScreenId < kEndingScreen) {
            game_.state().ScreenId = kStoryEndMark;
            game_.storyStateChanged();
        }
        StaffRollWindow* roll = game_.windows().roll.ifLoaded();
        if (roll && game_.stage() == Stage::StaffRoll)
            roll->finishRoll();
    }

    static constexpr std::array<int, 6> kJumps{150, 300, 210, 400, 330, 345};

    Game& game_;
    PlaythroughResult& result_;
    const PlaythroughOptions& options_;
    fakes::FakeDialogs& dialogs_;
    std::function<void(int)> render_;
    QTimer timer_;
    bool busy_ = false, forcing_ = false, closed_ = false, ended_ = false;
    bool titleAnswered_ = false, rolling_ = false, rollClosed_ = false, started_ = false, jumpedBack_ = false;
    int demoTurns_ = 0, titleTurns_ = 0, waited_ = 0, lastState_ = -1, tries_ = 0;
    std::size_t nextJump_ = 0;
    QString closedName_;
};

constexpr int kFramesPerMs = audio::AudioEngine::kSampleRate / 1000;
constexpr int kGuardMs = 240000; // below the test's own time limit

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
    WatchingService service(options.noMidiDevice ? nullptr : &sequencer, result);
    WatchingWavePlayer watchedWave(wave, result.waveStarted);
    Music midi(service);
    fakes::FakeDialogs dialogs;
    fakes::FakeSettings settings;
    settings.value = options.noticeSetting;
    fakes::FakeSoundControl sound;
    fakes::RecordingProgramEnd programEnd;
    bool cleaningUp = false;
    // The game is made inside the first callback's reach, so it is declared before them.
    std::unique_ptr<Game> session;
    std::unique_ptr<Player> player;
    programEnd.onEnd = [&](int status) {
        if (cleaningUp) // the windows put away after the run, not the player
            return;
        player->notePhase();
        player->noteEnd();
        result.notices = dialogs.messages;
        result.prompts = dialogs.prompts;
        result.ends.push_back({status, result.commands.size(), windowsOnScreen(*session)});
        result.endStatuses << status;
        if (options.onEnd)
            options.onEnd(result);
    };
    programEnd.onFatal = [](const QString& message) { throw GameEnded(message.toStdString()); };
    session = std::make_unique<Game>(Services{midi, sound, watchedWave, dialogs, settings, programEnd});
    player = std::make_unique<Player>(*session, result, options, dialogs,
                                      [&engine](int ms) { engine->render(ms * kFramesPerMs); });

    player->start();
    try {
        // The game runs under the event loop until the clear screen shows; the player's patience
        // ends anything that stalls, and the guard ends the wait if even that fails.
        QEventLoop loop;
        QObject::connect(session.get(), &Game::stageChanged, &loop, [&loop](Stage stage) {
            if (stage == Stage::ClearScreen)
                loop.quit();
        });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, [&] {
            result.failure = QStringLiteral("the game did not reach the clear screen");
            loop.quit();
        });
        guard.start(kGuardMs);
        session->start();
        if (session->stage() != Stage::ClearScreen)
            loop.exec();
        player->notePhase();
        ClearWindow* clear = session->windows().clear.ifLoaded();
        result.reachedClearScreen = clear && clear->isVisible() && result.failure.isEmpty();
        if (clear) {
            result.clearMessage = clear->messageLabel->text();
            result.notices = dialogs.messages;
            result.prompts = dialogs.prompts;
            if (options.close != CloseWindow::Roll)
                result.commandsAtClose = result.commands.size();
            if (options.close == CloseWindow::ClearScreen) {
                clear->close();
            } else {
                QTest::mouseClick(clear->okButton, Qt::LeftButton);
            }
        }
    } catch (const GameEnded& ended) {
        result.fatalError = QString::fromStdString(ended.what());
    }
    player->stop();
    result.notices = dialogs.messages;
    result.prompts = dialogs.prompts;

    // Put every window away as the program would on the next run.
    cleaningUp = true;
    GameWindows& windows = session->windows();
    windows.demo.unload();
    windows.title.unload();
    windows.main.unload();
    windows.message.unload();
    windows.roll.unload();
    windows.clear.unload();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    player.reset();
    session.reset();
    engine->shutdown();
    QDir::setCurrent(previousDirectory);
    return result;
}

} // namespace lw::e2e

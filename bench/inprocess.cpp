// In-process timings: the story walked headless, a scene change, a click to its line, the catalogue,
// the chime decoded, the SoundFont read, music opened and rendered, and the window thread while a
// SoundFont loads.
// Run from the game's data directory; prints one line per measurement with median, min and max.
#include "AudioEngine.h"
#include "Game.h"
#include "GameState.h"
#include "MainWindow.h"
#include "MciSequencer.h"
#include "MessageWindow.h"
#include "Music.h"
#include "PlayerAdditions.h"
#include "Scenario.h"
#include "SceneCatalogue.h"
#include "ScenePictures.h"
#include "WaveDecode.h"
#include "fakes/FakeServices.h"
#include "fakes/RecordingMidiService.h"
#include "sound/WaveWriter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

using namespace lw;

namespace {

struct NullOutput : ScenarioOutput {
    int lines = 0;
    void ShowLine(std::string_view, std::string_view) override { ++lines; }
    void playMidiFile(std::string_view) override {}
    void startMusicTimer(int) override {}
    void hideNonNextIcons() override {}
    void yieldToWindowSystem() override {}
};

void report(const char* name, std::vector<double> samples, const char* unit)
{
    std::sort(samples.begin(), samples.end());
    const double median = samples[samples.size() / 2];
    std::printf("%-48s median %10.3f %s   min %10.3f   max %10.3f   (n=%zu)\n", name, median, unit, samples.front(),
                samples.back(), samples.size());
}

std::vector<double> timeRuns(int runs, const std::function<void()>& body, double scale = 1e-3)
{
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        body();
        samples.push_back(double(timer.nsecsElapsed()) * scale); // microseconds by default
    }
    return samples;
}

// Plays the story from 10 to 565: at each state the first command that moves it on.
// `watcher` runs before every click, as the main loop runs the scene watcher between events.
int walkStory(Scenario& story, GameState& game, const std::function<void()>& watcher)
{
    game = GameState{};
    game.ScreenId = kFirstScreen;
    int clicks = 0;
    const std::vector<std::function<void()>> commands{[&] { story.DoNext(); }, [&] { story.DoLook(); },
                                                      [&] { story.DoTalk(); }, [&] { story.DoThink(); },
                                                      [&] { story.DoMagic(); }};
    while (game.ScreenId < kEndingScreen && clicks < 2000) {
        watcher();
        const std::int16_t before = game.ScreenId;
        game.clickColumn = ClickColumn::Left;
        for (const auto& command : commands) {
            command();
            ++clicks;
            if (game.ScreenId != before)
                break;
        }
    }
    return clicks;
}

} // namespace

int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("LW_AUDIO_BACKEND"))
        qputenv("LW_AUDIO_BACKEND", LW_BENCH_AUDIO_BACKEND);
    QApplication app(argc, argv);
    fakes::RecordingMidiService midiService;
    Music midi(midiService);
    fakes::FakeServices fake;
    Game session(Services{midi, fake.sound, fake.wave, fake.dialogs, fake.settings, fake.programEnd});
    // The clicks are timed first without the player's additions, then with them.
    qApp->removeEventFilter(&session.additions());

    // The scenario alone.
    {
        GameState game;
        NullOutput output;
        Scenario story(game, output);
        int clicks = 0;
        int lastScene = -1;
        const auto entries = [&] {
            if (sceneOf(game.ScreenId) != lastScene) {
                lastScene = sceneOf(game.ScreenId);
                story.RunSceneEntry();
            }
        };
        report("story walked (scenario only)",
               timeRuns(200,
                        [&] {
                            lastScene = -1;
                            clicks = walkStory(story, game, entries);
                        }),
               "us");
        std::printf("%-34s %d clicks, ends at %d\n", "", clicks, int(game.ScreenId));
    }

    // The catalogue: 21 pictures into the roll window.
    report("BuildSceneCatalogue",
           timeRuns(
               5, [&session] { session.scenes().build(); }, 1e-6),
           "ms");

    MainWindow& form1 = session.windows().main.get();
    MessageWindow& form2 = session.windows().message.get();
    form1.showActive();
    form2.showActive();
    QApplication::processEvents();

    // A scene change: picture, caption and the scene's entry effects.
    GameState& game = session.state();
    bool flip = false;
    report("scene change (ShowSceneIfChanged)",
           timeRuns(
               101,
               [&] {
                   game.ScreenId = flip ? 30 : 40;
                   flip = !flip;
                   session.scenes().showSceneIfChanged();
               },
               1e-6),
           "ms");

    // Scene changes in the order the story enters its scenes, to the picture drawn, at the picture
    // box's density (run with QT_SCALE_FACTOR=2 for the 2x pictures): each picture read on the spot (every picture
    // decoded ahead forgotten first), then as a player gets it, the next scene's picture decoded
    // on the worker while the line is read (waited for here, up to a second, untimed).
    {
        std::vector<std::int16_t> entries;
        {
            GameState walked;
            NullOutput output;
            Scenario story(walked, output);
            int lastScene = sceneOf(walked.ScreenId);
            walkStory(story, walked, [&] {
                if (sceneOf(walked.ScreenId) != lastScene && walked.ScreenId <= kLastWatchedScreen &&
                    !session.scenes().pictureKeys[std::size_t(sceneOf(walked.ScreenId))].isEmpty())
                    entries.push_back(walked.ScreenId);
                lastScene = sceneOf(walked.ScreenId);
            });
        }
        ScenePictures& pictures = session.scenes().pictures();
        const double density = form1.scenePicture->density();
        const auto file = [&session](std::int16_t screen) {
            return session.scenes().pictureKeys[std::size_t(sceneOf(screen))] + QStringLiteral(".LWV");
        };
        const auto changes = [&](bool ahead, int& ready) {
            std::vector<double> samples;
            ready = 0;
            for (std::size_t i = 0; samples.size() < 101; ++i) {
                const std::int16_t screen = entries[i % entries.size()];
                if (i % entries.size() == 0) { // back to the first scene, untimed: no story move
                    session.scenes().lastShownState() = 0;
                    game.ScreenId = screen;
                    session.scenes().showSceneIfChanged();
                    continue;
                }
                if (ahead) {
                    QElapsedTimer reading;
                    reading.start();
                    while (!pictures.isReady(file(screen), density) && reading.elapsed() < 1000)
                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    ready += pictures.isReady(file(screen), density);
                } else {
                    pictures.prefetch({}, density);
                }
                game.ScreenId = screen;
                QElapsedTimer timer;
                timer.start();
                session.scenes().showSceneIfChanged();
                form1.scenePicture->repaint(); // to the picture drawn
                samples.push_back(double(timer.nsecsElapsed()) * 1e-6);
            }
            return samples;
        };
        int ready = 0;
        std::printf("%-48s density %.1f, %zu scenes in the story's order\n", "scene changes", density, entries.size());
        report("scene change + draw, read on the spot", changes(false, ready), "ms");
        const std::vector<double> ahead = changes(true, ready);
        report("scene change + draw, decoded ahead", ahead, "ms");
        std::printf("%-48s %d of %zu ready when the scene came\n", "", ready, ahead.size());
        if (qEnvironmentVariableIsSet("LW_BENCH_SCENES_ONLY"))
            return 0;
    }

    // A click with Next selected, from mouse-down to the line drawn in the message window.
    form1.resetIconBar();
    form1.iconClicked(9);
    const auto timeClicks = [&] {
        std::vector<double> clicks;
        for (int i = 0; i < 101; ++i) {
            game.ScreenId = 70; // a stretch of spoken lines
            QElapsedTimer timer;
            timer.start();
            QTest::mousePress(form1.scenePicture, Qt::LeftButton, {}, QPoint(200, 150));
            form2.lineLabel->repaint();
            clicks.push_back(double(timer.nsecsElapsed()) * 1e-6);
            QTest::mouseRelease(form1.scenePicture, Qt::LeftButton, {}, QPoint(200, 150));
        }
        return clicks;
    };
    report("click to line on screen", timeClicks(), "ms");

    // The same clicks with the player's additions filtering every event (history, keys,
    // announcements), then the history window opened over a full history.
    {
        PlayerAdditions& additions = session.additions();
        qApp->installEventFilter(&additions);
        const std::vector<double> withAdditions = timeClicks();
        report("click to line, player additions on", withAdditions, "ms");
        // Below the limit a new line is appended to what the window showed last; at the limit
        // the oldest line goes with each new one, and the text is written anew.
        int line = 0;
        const auto addLine = [&line, &session] {
            session.showLine(QStringLiteral("ルネッタ"),
                             QStringLiteral("履歴の行 %1、少し長めの台詞で折り返しを試す。").arg(line++));
        };
        const auto openWithNewLine = [&] {
            addLine();
            additions.openHistory(&form1);
            additions.historyWindow().repaint();
            additions.historyWindow().closeHistory();
        };
        while (additions.history().entries().size() < LineHistory::kLimit - 100)
            addLine();
        openWithNewLine();
        report("history reopened, one line more", timeRuns(21, openWithNewLine, 1e-6), "ms");
        while (additions.history().dropped() == 0)
            addLine();
        report("history at its limit (rewritten)", timeRuns(11, openWithNewLine, 1e-6), "ms");
    }

    // The closing chime as the demo plays it: decoded and resampled (22050 Hz mono to the output
    // rate) on the window thread, which waits for it.
    QFile chime(QStringLiteral("lwdemo2.WAV"));
    if (chime.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = chime.readAll();
        report("decode the chime (lwdemo2.WAV)",
               timeRuns(
                   21,
                   [&] {
                       const auto frames =
                           audio::decodeWave(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                             static_cast<std::size_t>(bytes.size()), audio::AudioEngine::kSampleRate);
                       if (!frames)
                           std::abort();
                   },
                   1e-6),
               "ms");
    }
    // The largest wave the player takes that needs resampling: 4 MB of 16-bit stereo at 48 kHz.
    {
        const std::vector<std::uint8_t> large =
            testing::writeWave(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 48000, testing::sine(997, 0.5, 48000, 21.8, 2));
        report("decode a 4 MB wave (48 kHz, 21.8 s)",
               timeRuns(
                   7,
                   [&] {
                       if (!audio::decodeWave(large.data(), large.size(), audio::AudioEngine::kSampleRate))
                           std::abort();
                   },
                   1e-6),
               "ms");
    }

    // Music: loading the SoundFont (done once, in the background, in the game) and opening and
    // starting a piece once it is loaded.
    for (const char* font : {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2"}) {
        if (!QFile::exists(QString::fromUtf8(font)))
            continue;
        std::unique_ptr<audio::AudioEngine> engine;
        audio::AudioOptions options;
        options.manualClock = true;
        options.soundFont = font;
        std::vector<double> loads;
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer timer;
            timer.start();
            engine = audio::AudioEngine::create(options);
            loads.push_back(double(timer.nsecsElapsed()) * 1e-6);
        }
        if (!engine->soundFontReady()) {
            std::printf("%s: the engine cannot load it; no music rows\n", font);
            continue;
        }
        report(QStringLiteral("SoundFont layout read: %1")
                   .arg(QFileInfo(QString::fromUtf8(font)).fileName())
                   .toUtf8()
                   .constData(),
               loads, "ms");
        audio::MciSequencer sequencer(*engine);
        Music music(sequencer);
        const char* pieces[] = {"okera.mid", "Sizuku.mid", "prum.mid", "Tinwaki.mid"};
        int n = 0;
        report("play, font cut on the caller",
               timeRuns(
                   40, [&] { music.play(pieces[n++ % 4]); }, 1e-6),
               "ms");
        // Rendering one second of music, as the audio thread does, against real time.
        std::vector<double> render;
        music.play("prum.mid");
        for (int i = 0; i < 10; ++i) {
            QElapsedTimer timer;
            timer.start();
            engine->render(audio::AudioEngine::kSampleRate);
            render.push_back(double(timer.nsecsElapsed()) * 1e-7); // ns per 1 s -> % of a core
        }
        report("music rendering (prum.mid), % of a core", render, "%");
        engine->shutdown();

        // The window thread while this SoundFont loads on the worker, with a real clock writing a
        // file: every music call during the load, and quitting in the middle of one. The load is
        // held back 300 ms first so that the calls surely meet it.
        const QString scratch = QDir::temp().filePath(QStringLiteral("lw-bench-load.wav"));
        std::vector<double> calls, quits, loaded;
        for (int round = 0; round < 3; ++round) {
            audio::AudioOptions live;
            live.soundFont = font;
            live.recordTo = scratch.toStdString();
            live.beforeSoundFontLoad = [] { std::this_thread::sleep_for(std::chrono::milliseconds(300)); };
            auto loading = audio::AudioEngine::create(live);
            audio::MciSequencer liveSequencer(*loading);
            Music liveMusic(liveSequencer);
            QElapsedTimer during;
            during.start();
            while (!loading->soundFontReady() && during.elapsed() < 5000) {
                for (const auto& call : std::initializer_list<std::function<void()>>{
                         [&] { liveMusic.play(pieces[n++ % 4]); }, [&] { liveMusic.isPlaying(); },
                         [&] { liveMusic.loop(); }, [&] { liveMusic.close(); }}) {
                    QElapsedTimer one;
                    one.start();
                    call();
                    calls.push_back(double(one.nsecsElapsed()) * 1e-6);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            for (int i = 0; i < 10 && loading->soundFontReady(); ++i) {
                QElapsedTimer one;
                one.start();
                liveMusic.play(pieces[n++ % 4]);
                loaded.push_back(double(one.nsecsElapsed()) * 1e-6);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            auto quitting = audio::AudioEngine::create(live);
            std::this_thread::sleep_for(std::chrono::milliseconds(350)); // into the load itself
            QElapsedTimer quit;
            quit.start();
            quitting->shutdown();
            quits.push_back(double(quit.nsecsElapsed()) * 1e-6);
        }
        QFile::remove(scratch);
        report("music call on the window thread during the load", calls, "ms");
        report("play on the window thread, font in", loaded, "ms");
        report("quit during the load (shutdown)", quits, "ms");
    }

    // The whole story through the shell: clicks, scene changes with pictures, offscreen windows.
    Scenario& story = session.scenario();
    session.scenes().lastShownState() = 0;
    report("story walked (shell, offscreen)",
           timeRuns(
               3,
               [&] {
                   session.scenes().lastShownState() = 0;
                   walkStory(story, game, [&session] { session.scenes().showSceneIfChanged(); });
               },
               1e-6),
           "ms");
    std::fflush(stdout);
    std::_Exit(0);
}

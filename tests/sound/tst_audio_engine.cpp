// The audio engine with its real threads: nothing the window thread does waits for a SoundFont
// that is loading; and the score and SoundFont cutting the engine plays from.
#include "AudioEngine.h"
#include "MciSequencer.h"
#include "SmfBuilder.h"
#include "SmfScore.h"
#include "SoundFontSubset.h"
#include "TinySoundFont.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

using namespace lw::audio;
using namespace lw::testing;

namespace {

constexpr const char* kTimFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

// A SoundFont load that stays blocked until the test lets it go. If the window thread were
// stuck behind the load, a watchdog lets it go after ten seconds and the test fails rather than
// hanging. The state is shared with the loading thread, which the engine does not wait for and
// which may still be waking from the hook after the test is over.
class SlowLoader {
    struct State {
        std::mutex lock;
        std::condition_variable changed;
        bool entered = false, released = false, timedOut = false;
    };

public:
    ~SlowLoader()
    {
        letGo();
        if (watchdog_.joinable())
            watchdog_.join();
    }
    std::function<void()> hook()
    {
        return [s = s_] {
            std::unique_lock guard(s->lock);
            s->entered = true;
            s->changed.notify_all();
            s->changed.wait(guard, [&s] { return s->released; });
        };
    }
    bool waitUntilBlocked()
    {
        std::unique_lock guard(s_->lock);
        if (!s_->changed.wait_for(guard, std::chrono::seconds(20), [this] { return s_->entered; }))
            return false;
        watchdog_ = std::thread([s = s_] {
            std::unique_lock g(s->lock);
            if (!s->changed.wait_for(g, std::chrono::seconds(10), [&s] { return s->released; })) {
                s->released = true;
                s->timedOut = true;
                s->changed.notify_all();
            }
        });
        return true;
    }
    // True while the load has not been let go: whatever returned before this is checked did not
    // wait for the load.
    bool stillBlocked()
    {
        std::lock_guard guard(s_->lock);
        return !s_->released && !s_->timedOut;
    }
    void letGo()
    {
        std::lock_guard guard(s_->lock);
        s_->released = true;
        s_->changed.notify_all();
    }

private:
    std::shared_ptr<State> s_ = std::make_shared<State>();
    std::thread watchdog_;
};

void writeFile(const QString& path, const Bytes& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

} // namespace

class TestAudioEngine : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        writeFile(path("long.mid"), heldNote(480, 500000, 480 * 40)); // 20 s
    }

    // The window thread's calls all return while the SoundFont load is still blocked; the piece's
    // clock and the output run on meanwhile, and the music joins once the font is in.
    void windowThreadNeverWaitsForTheSoundFont()
    {
        SlowLoader loader;
        AudioOptions options;
        options.recordTo = path("during-load.wav").toStdString();
        options.soundFont = QFile::exists(kTimFont) ? kTimFont : "/nonexistent.sf2";
        options.beforeSoundFontLoad = loader.hook();
        auto engine = AudioEngine::create(options);
        QVERIFY(loader.waitUntilBlocked());

        MciSequencer midi(*engine);
        const std::string open = "open \"" + path("long.mid").toStdString() + "\" type sequencer alias Midi";
        std::string answer;
        for (const std::string& command :
             {open, std::string("play Midi"), std::string("pause Midi"), std::string("resume Midi"),
              std::string("stop Midi"), std::string("close Midi"), open, std::string("play Midi"),
              std::string("status Midi mode")}) {
            QCOMPARE(midi.sendString(command, &answer, 512, 0), 0);
            QVERIFY2(loader.stillBlocked(), command.c_str());
        }
        QCOMPARE(answer, std::string("playing"));
        QVERIFY(engine->playWave(std::vector<float>(2000, 0.25f)));
        QVERIFY(loader.stillBlocked());

        // The piece moves on in real time, and the file output keeps being written.
        const qint64 sizeBefore = QFileInfo(path("during-load.wav")).size();
        QTRY_VERIFY_WITH_TIMEOUT((midi.sendString("status Midi position", &answer, 255, 0), std::stoi(answer) >= 4),
                                 5000);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(path("during-load.wav")).size() > sizeBefore + 20000, 5000);
        QVERIFY(loader.stillBlocked());
        const int positionDuringLoad = std::stoi(answer);

        loader.letGo();
        if (QFile::exists(kTimFont))
            QTRY_VERIFY_WITH_TIMEOUT(engine->soundFontReady(), 10000);
        QCOMPARE(midi.sendString("status Midi position", &answer, 255, 0), 0);
        QVERIFY2(std::stoi(answer) >= positionDuringLoad, answer.c_str()); // went on from there
        engine->shutdown();
    }

    void quittingDuringTheLoadReturnsAtOnce()
    {
        SlowLoader loader;
        AudioOptions options;
        options.recordTo = path("quit.wav").toStdString();
        options.soundFont = kTimFont;
        options.beforeSoundFontLoad = loader.hook();
        auto engine = AudioEngine::create(options);
        QVERIFY(loader.waitUntilBlocked());
        engine->shutdown();
        QVERIFY(loader.stillBlocked());
        engine.reset();
        QVERIFY(loader.stillBlocked());
    }

    // Tempo changes anywhere, program changes read through the GS bank select, notes before any
    // program change, and note-ons of velocity 0.
    void scoreTimesAndInstruments()
    {
        const Bytes file = smf(1, 480,
                               {TrackBuilder().tempo(0, 500000).tempo(960, 250000).end(),
                                TrackBuilder()
                                    .raw(0, {0xb0, 0, 8}) // bank 8 on channel 0
                                    .raw(0, {0xc0, 24})   // program 24 there
                                    .noteOn(0, 60)
                                    .raw(480, {0x90, 60, 0}) // a note-on of velocity 0 ends it
                                    .raw(0, {0xb9, 0, 8})    // bank select on the drum channel is ignored
                                    .noteOn(0, 36, 9)        // the drum channel sounds before a program change
                                    .raw(480, {0xc9, 16})
                                    .noteOff(960, 36, 9)
                                    .end()});
        const Score score = readScore(file.data(), file.size(), 44100);
        QCOMPARE(score.programs, (std::vector<ProgramRequest>{{8, 24}, {kDrumBank, 0}, {kDrumBank, 16}}));
        // The drum channel's opening program comes first, at frame 0.
        QCOMPARE(int(score.events.front().status), 0xc9);
        QCOMPARE(int(score.events.front().program), 1);
        // 960 ticks at 120 bpm (1 s), then 960 at 240 bpm (0.5 s).
        QCOMPARE(score.endTick, std::int64_t(1920));
        QCOMPARE(score.endFrame, std::int64_t(44100 + 22050));
        QCOMPARE(score.tickAt(44100 + 11025), std::int64_t(960 + 480));
        QCOMPARE(score.frameAt(480), std::int64_t(22050));
        int noteOffs = 0;
        for (const ScoreEvent& e : score.events)
            noteOffs += (e.status & 0xf0) == 0x80;
        QCOMPARE(noteOffs, 2);
        QCOMPARE(int(score.channels), (1 << 0) | (1 << 9));
    }

    // The cut font keeps the presets asked for and, of their instruments, only the zones that
    // the notes played reach; its sample data is the original's.
    void cutKeepsOnlyWhatIsPlayed()
    {
        writeFile(path("tiny.sf2"), tinySoundFont({{0, 47}, {48, 71}, {72, 127}}));
        const auto layout = SoundFontLayout::read(path("tiny.sf2").toStdString());
        QVERIFY(layout);
        const int all = layout->findPreset(0, 0), first = layout->findPreset(0, 5);
        QVERIFY(all >= 0 && first >= 0 && all != first);
        QCOMPARE(layout->findPreset(3, 5), first);      // an unknown bank falls back to bank 0
        QCOMPARE(layout->findPreset(0, 99), all);       // an unknown program to program 0
        QCOMPARE(layout->findPreset(kDrumBank, 3), -1); // no percussion in this font
        QCOMPARE(layout->samplesOf(all), (std::set<int>{0, 1, 2}));

        SoundFontLayout::Notes notes{SoundFontLayout::note(60, 100), SoundFontLayout::note(64, 80)};
        const auto image = layout->cut({{all, notes}});
        QFile cutFile(path("cut.sf2"));
        QVERIFY(cutFile.open(QIODevice::WriteOnly));
        std::vector<char> bytes(image->size());
        std::FILE* source = std::fopen(path("tiny.sf2").toUtf8().constData(), "rb");
        QVERIFY(image->read(0, bytes.data(), bytes.size(), source));
        std::fclose(source);
        cutFile.write(bytes.data(), static_cast<qint64>(bytes.size()));
        cutFile.close();

        const auto cut = SoundFontLayout::read(path("cut.sf2").toStdString());
        QVERIFY(cut);
        QCOMPARE(int(cut->presetCount()), 2);                   // the one preset and the terminal record
        QCOMPARE(cut->findPreset(0, 5), cut->findPreset(0, 0)); // preset 5 is not in it
        QCOMPARE(cut->samplesOf(cut->findPreset(0, 0)), (std::set<int>{1}));
        QVERIFY(!image->read(image->size() - 1, bytes.data(), 2, nullptr)); // past the end
    }

    // A piece opened after the one before was closed gets its own instruments, round after round,
    // even where it takes the memory the closed piece had; its first note sounds in its first
    // period, its samples loaded when it was opened.
    void eachPieceSoundsAfterTheOneBeforeIsClosed()
    {
        writeFile(path("rounds.sf2"), tinySoundFont({{0, 127}}));
        AudioOptions options;
        options.manualClock = true;
        options.soundFont = path("rounds.sf2").toStdString();
        auto engine = AudioEngine::create(options);
        QVERIFY(engine->soundFontReady());
        const auto piece = [](int program) {
            return smf(0, 480, {TrackBuilder().raw(0, {0xc0, program}).noteOn(0, 60).noteOff(960, 60).end()});
        };
        std::vector<float> out;
        for (int round = 0; round < 6; ++round) {
            engine->unloadPiece();
            QVERIFY(engine->loadPiece(piece(round % 2 ? 5 : 0)));
            engine->startFromBeginning();
            engine->render(512, &out);
            const float loudest = std::abs(
                *std::max_element(out.begin(), out.end(), [](float a, float b) { return std::abs(a) < std::abs(b); }));
            QVERIFY2(loudest > 0.01f, qPrintable(QStringLiteral("round %1: peak %2").arg(round).arg(loudest)));
        }
    }

    void unreadableFontsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const Bytes good = tinySoundFont({{0, 127}});
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not RIFF") << QByteArray("MThd\0\0\0\6", 8);
        QTest::newRow("cut short") << QByteArray(reinterpret_cast<const char*>(good.data()), int(good.size()) - 60);
        Bytes badSample = good;
        // The sample number of the instrument zone (the last gen before the terminal one) beyond shdr.
        const auto igen = std::search(badSample.begin(), badSample.end(), std::begin("igen"), std::end("igen") - 1);
        QVERIFY(igen != badSample.end());
        igen[8 + 4 + 2] = 9;
        QTest::newRow("sample number out of range")
            << QByteArray(reinterpret_cast<const char*>(badSample.data()), int(badSample.size()));
    }
    void unreadableFontsAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFile file(path("bad.sf2"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QVERIFY(!SoundFontLayout::read(path("bad.sf2").toStdString()));
    }
};

QTEST_GUILESS_MAIN(TestAudioEngine)
#include "tst_audio_engine.moc"

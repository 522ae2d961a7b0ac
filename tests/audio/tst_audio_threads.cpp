// The engine's hand-offs between threads under real contention, the score player's timing
// against a recording synthesizer, and quitting while the SoundFont load finishes with a sound
// card that keeps calling back. Meant to be run under ThreadSanitizer as well (LW_TSAN).
#include "AudioEngine.h"
#include "Handoff.h"
#include "ScorePlayer.h"
#include "SmfScore.h"
#include "sound/SmfBuilder.h"
#include "sound/TinySoundFont.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using namespace lw::audio;
using namespace lw::testing;

namespace {

// Four words that must always be read together.
struct Quad {
    std::uint64_t a, b, c, d;
    static Quad of(std::uint64_t n) { return {n, n * 3, ~n, n + 7}; }
    bool whole() const { return *this == of(a); }
    bool operator==(const Quad&) const = default;
};

// A synthesizer that notices being used by two threads at once; its count is plain memory, so
// ThreadSanitizer also sees any use that the hand-off does not order.
struct FakeSynth {
    std::atomic<bool> inUse{false};
    std::uint64_t uses = 0;
    bool use()
    {
        if (inUse.exchange(true))
            return false;
        ++uses;
        inUse.store(false);
        return true;
    }
};

// A synthesizer that records what it was sent, and when: the frames rendered before each event.
class RecordingSink final : public ScoreSink {
public:
    struct Sent {
        std::int64_t frame;
        int kind; // the status nibble of the event; 0 for a reset of the channel's controllers
        int channel, data1, data2;
        bool operator==(const Sent&) const = default;
    };
    std::vector<Sent> sent;
    std::size_t resetsEnd = 0; // sent[0, resetsEnd) reset the piece's channels
    std::int64_t rendered = 0;

    bool noteOn(int channel, int key, int velocity) override { return add(0x90, channel, key, velocity), true; }
    void noteOff(int channel, int key) override { add(0x80, channel, key, 0); }
    void keyPressure(int channel, int key, int value) override { add(0xa0, channel, key, value); }
    void controlChange(int channel, int controller, int value) override { add(0xb0, channel, controller, value); }
    void selectProgram(int channel, int, int bank, int program) override { add(0xc0, channel, bank, program); }
    void unsetProgram(int channel) override { add(0xc0, channel, -1, -1); }
    void channelPressure(int channel, int value) override { add(0xd0, channel, value, 0); }
    void pitchBend(int channel, int value) override { add(0xe0, channel, value, 0); }
    void pitchWheelSensitivity(int, int) override { resetsEnd = sent.size(); } // the last of a reset
    void allNotesOff(int) override {}
    void render(int frames, float* left, float* right, int stride) override
    {
        for (int i = 0; i < frames; ++i)
            left[i * stride] = right[i * stride] = 0.0f;
        rendered += frames;
    }
    // The piece's own events: what was sent after the channel resets.
    std::vector<Sent> played() const { return {sent.begin() + static_cast<std::ptrdiff_t>(resetsEnd), sent.end()}; }

private:
    void add(int kind, int channel, int data1, int data2) { sent.push_back({rendered, kind, channel, data1, data2}); }
};

// The player's whole setting, as the engine wires it, with a piece of the test's choosing.
struct PlayerBench {
    PlayerLink link;
    InstrumentState instruments;
    ScorePlayer player{link, instruments};
    Piece piece;
    std::vector<float> buffer = std::vector<float>(2 * 4096);

    explicit PlayerBench(const Bytes& smfBytes)
    {
        piece.serial = 1;
        piece.score = readScore(smfBytes.data(), smfBytes.size(), AudioEngine::kSampleRate);
        piece.fontId = 1;
        for (std::size_t i = 0; i < piece.score.programs.size(); ++i)
            piece.presets.emplace_back(piece.score.programs[i].bank, piece.score.programs[i].program);
        Request start;
        start.version = 1;
        start.piece = &piece;
        start.pieceSerial = 1;
        start.startSerial = 1;
        start.running = true;
        link.request.write(start);
    }
    void render(ScoreSink* sink, int frames, int periodFrames)
    {
        for (int done = 0; done < frames; done += periodFrames) {
            const int n = std::min(periodFrames, frames - done);
            player.period(sink, n, buffer.data(), buffer.data() + 1, 2);
        }
    }
    std::int64_t position() const { return PlayerLink::positionOf(link.published.load()); }
};

class FakeOutput final : public AudioOutput {
public:
    explicit FakeOutput(OutputCallback callback, std::atomic<int>& running) : running_(running)
    {
        ++running_;
        thread_ = std::thread([this, callback] {
            std::vector<float> left(256), right(256);
            while (!stop_.load()) {
                callback.render(callback.context, 256, left.data(), right.data());
                std::this_thread::sleep_for(std::chrono::microseconds(500));
            }
        });
    }
    ~FakeOutput() override
    {
        stop_.store(true);
        thread_.join();
        --running_;
    }

private:
    std::atomic<int>& running_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace

class TestAudioThreads : public QObject {
    Q_OBJECT

private slots:
    // A reader never sees half of one write and half of another, and never goes back in time.
    void latestValueIsNeverTorn()
    {
        LatestValue<Quad> value;
        value.write(Quad::of(0));
        constexpr std::uint64_t kWrites = 200000;
        std::thread writer([&] {
            for (std::uint64_t n = 1; n <= kWrites; ++n)
                value.write(Quad::of(n));
        });
        std::uint64_t last = 0, reads = 0, torn = 0, backwards = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (last < kWrites && std::chrono::steady_clock::now() < deadline) {
            Quad q;
            if (!value.tryRead(q))
                continue;
            ++reads;
            torn += !q.whole();
            backwards += q.a < last;
            last = q.a;
        }
        writer.join();
        QCOMPARE(torn, std::uint64_t(0));
        QCOMPARE(backwards, std::uint64_t(0));
        QCOMPARE(last, kWrites);
        QVERIFY(reads > 0);
    }

    // The worker borrows the synthesizer over and over while the audio thread renders it every
    // period: never both at once; a borrow waiting when the hand-off closes returns null.
    void synthesizerHandoffNeverShares()
    {
        FakeSynth synth;
        SynthHandoff<FakeSynth> handoff;
        handoff.workerEnd().publish(&synth);
        std::atomic<bool> audioStop{false};
        std::atomic<int> handOvers{0}, shared{0};
        std::thread audio([&] {
            auto& end = handoff.audioEnd();
            while (!audioStop.load()) {
                const auto turn = end.beginPeriod();
                if (turn.synth && !turn.synth->use())
                    ++shared;
                if (turn.handOver) {
                    end.handOver();
                    ++handOvers;
                }
            }
        });
        constexpr int kBorrows = 2000;
        int borrowed = 0;
        for (int i = 0; i < kBorrows; ++i) {
            FakeSynth* s = handoff.workerEnd().borrow([] {});
            if (!s)
                break;
            if (!s->use())
                ++shared;
            ++borrowed;
            handoff.workerEnd().giveBack();
        }
        audioStop.store(true);
        audio.join();
        QCOMPARE(borrowed, kBorrows);
        QCOMPARE(handOvers.load(), kBorrows);
        QCOMPARE(shared.load(), 0);
        QVERIFY(synth.uses > std::uint64_t(kBorrows));

        // The audio thread has stopped: a borrow now waits, until the close lets it go.
        std::atomic<bool> returned{false};
        FakeSynth* got = &synth;
        std::thread worker([&] {
            got = handoff.workerEnd().borrow([] {});
            returned.store(true);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        QVERIFY(!returned.load());
        handoff.close();
        worker.join();
        QCOMPARE(got, nullptr);
        QCOMPARE(handoff.audioEnd().beginPeriod().synth, nullptr);
        QCOMPARE(handoff.workerEnd().takeForDestruction(), &synth);
    }

    // Each event reaches the synthesizer at the first block boundary at or after its frame,
    // whatever the period, and in the score's order.
    void eventsLandOnTheirBlockInEveryPeriod_data()
    {
        QTest::addColumn<int>("periodFrames");
        QTest::newRow("sound card") << 512;
        QTest::newRow("odd period") << 300;
        QTest::newRow("file clock") << 4096;
        QTest::newRow("single block") << 64;
    }
    void eventsLandOnTheirBlockInEveryPeriod()
    {
        QFETCH(int, periodFrames);
        // 120 bpm at 480 ticks a quarter: 45.9375 frames a tick.
        const Bytes bytes = smf(0, 480,
                                {TrackBuilder()
                                     .tempo(0, 500000)
                                     .noteOn(0, 60)
                                     .noteOn(1, 62)
                                     .noteOff(99, 60)
                                     .raw(233, {0xb0, 7, 90})
                                     .noteOff(1, 62)
                                     .noteOn(146, 64)
                                     .noteOff(480, 64)
                                     .end()});
        PlayerBench bench(bytes);
        bench.instruments.fontLoaded = true;
        bench.instruments.prepared = 1;
        RecordingSink sink;
        bench.render(&sink, 2 * AudioEngine::kSampleRate, periodFrames);

        std::vector<RecordingSink::Sent> expected;
        for (const ScoreEvent& e : bench.piece.score.events) {
            if ((e.status & 0xf0) == 0xc0)
                continue;
            const int kind = e.status & 0xf0;
            expected.push_back({e.frame, kind, e.status & 0x0f, e.data1, kind == 0x80 ? 0 : e.data2});
        }
        auto played = sink.played();
        std::erase_if(played, [](const RecordingSink::Sent& s) { return s.kind == 0xc0; });
        QCOMPARE(played.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const auto& got = played[i];
            const QString where =
                QStringLiteral("event %1 at frame %2 sent at %3").arg(i).arg(expected[i].frame).arg(got.frame);
            QVERIFY2(got.kind == expected[i].kind && got.data1 == expected[i].data1, qPrintable(where));
            QVERIFY2(got.frame >= expected[i].frame && got.frame < expected[i].frame + ScorePlayer::kSynthBlock,
                     qPrintable(where));
        }
        QCOMPARE(bench.position(), bench.piece.score.endFrame);
    }

    // While the SoundFont loads the piece's clock runs without the synthesizer; once its
    // instruments are in, the synthesizer joins where the piece is: controllers and programs of
    // the passed events, no late note and no note-off for a note it never struck, then the rest
    // on time. With the SoundFont in but the piece's instruments not yet, the clock waits.
    void joiningAPieceUnderWay()
    {
        const Bytes bytes = smf(0, 480,
                                {TrackBuilder()
                                     .tempo(0, 500000)
                                     .raw(0, {0xc0, 5})
                                     .noteOn(0, 60)
                                     .raw(240, {0xb0, 7, 80})
                                     .noteOff(720, 60) // tick 960, after the join
                                     .noteOn(960, 67)  // tick 1920
                                     .noteOff(480, 67)
                                     .end()});
        PlayerBench bench(bytes);
        RecordingSink sink;
        bench.render(&sink, 33075, 512); // 0.75 s: tick 720
        QVERIFY(sink.sent.empty());
        QCOMPARE(bench.position(), std::int64_t(33075));

        bench.instruments.prepared = 1;
        bench.instruments.fontLoaded = true;
        bench.render(&sink, 2 * AudioEngine::kSampleRate, 512);
        const auto played = sink.played();
        QVERIFY(played.size() >= 4);
        QCOMPARE(played[0].kind, 0xc0); // program 5, caught up
        QCOMPARE(played[0].data2, 5);
        QCOMPARE(played[1].kind, 0xb0); // the volume set at tick 240, caught up
        QCOMPARE(played[1].data2, 80);
        QCOMPARE(played[0].frame, std::int64_t(33075)); // in the first period after the join
        QCOMPARE(played[1].frame, std::int64_t(33075));
        const auto next = std::find_if(played.begin(), played.end(), [](const auto& s) { return s.kind == 0x90; });
        QVERIFY(next != played.end());
        QCOMPARE(next->data1, 67); // the note under way is not struck late; the next one is on time
        const std::int64_t noteFrame = bench.piece.score.frameAt(1920);
        QVERIFY(next->frame >= noteFrame && next->frame < noteFrame + ScorePlayer::kSynthBlock);

        PlayerBench held(bytes);
        held.instruments.fontLoaded = true;
        held.render(&sink, 4096, 512);
        QCOMPARE(held.position(), std::int64_t(0));
    }

    // Quitting while the SoundFont load finishes, with a sound card calling back all along: no
    // use of a freed synthesizer (ThreadSanitizer and AddressSanitizer see it), and once
    // shutdown() returns the card is closed. Round after round, so that the quit lands at
    // different moments of the load.
    void quittingWhileTheLoadFinishesWithASoundCard()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString font = dir.filePath(QStringLiteral("tiny.sf2"));
        {
            QFile file(font);
            QVERIFY(file.open(QIODevice::WriteOnly));
            const Bytes bytes = tinySoundFont({{0, 127}});
            file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        }
        const Bytes piece = smf(0, 480, {TrackBuilder().raw(0, {0xc0, 0}).noteOn(0, 60).noteOff(4800, 60).end()});
        std::atomic<int> outputsOpen{0};
        int roundsWithSound = 0;
        for (int round = 0; round < 20; ++round) {
            // Shared with the worker, which may outlive this round.
            auto loadMayGo = std::make_shared<std::atomic<bool>>(false);
            AudioOptions options;
            options.soundFont = font.toStdString();
            options.openOutput = [&outputsOpen](OutputCallback callback) {
                return std::make_unique<FakeOutput>(callback, outputsOpen);
            };
            options.beforeSoundFontLoad = [loadMayGo] {
                const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
                while (!loadMayGo->load() && std::chrono::steady_clock::now() < deadline)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
            };
            auto engine = AudioEngine::create(options);
            QTRY_VERIFY_WITH_TIMEOUT(engine->hasOutput(), 10000);
            QVERIFY(engine->loadPiece(piece));
            engine->startFromBeginning();
            loadMayGo->store(true);
            // Spread the quit over the load: at once, then later and later, and in the last
            // rounds just after the synthesizer went to the audio thread.
            if (round < 15)
                std::this_thread::sleep_for(std::chrono::microseconds(300 * round));
            else
                QTRY_VERIFY_WITH_TIMEOUT(engine->soundFontReady(), 10000);
            roundsWithSound += engine->soundFontReady();
            engine->shutdown();
            QCOMPARE(outputsOpen.load(), 0);
            engine.reset();
        }
        QVERIFY2(roundsWithSound > 0, "no round quit after the load");
    }
};

QTEST_GUILESS_MAIN(TestAudioThreads)
#include "tst_audio_threads.moc"

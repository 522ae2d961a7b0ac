// The player's loudness settings on the audio engine: the music's gain, mute over music and wave,
// and the music's clock, which mute must not stop (the staff roll follows it).
#include "AudioEngine.h"
#include "GameState.h"
#include "MciSequencer.h"
#include "Music.h"
#include "SmfBuilder.h"
#include "StaffRollWindow.h"
#include "WaveFilePlayer.h"
#include "fakes/FakeDialogs.h"
#include "fakes/FakeSettings.h"
#include "fakes/FakeSoundControl.h"
#include "fakes/RecordingProgramEnd.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace lw;
using namespace lw::audio;
using namespace lw::testing;

namespace {

constexpr int kRate = AudioEngine::kSampleRate;
constexpr int kRamp = AudioEngine::kGainRampFrames; // a change of gain or mute is heard over these
const char* const kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

std::unique_ptr<AudioEngine> manualEngine(const std::string& soundFont = {})
{
    AudioOptions options;
    options.manualClock = true;
    options.soundFont = soundFont;
    return AudioEngine::create(options);
}

float peak(const std::vector<float>& samples)
{
    float most = 0;
    for (float v : samples)
        most = std::max(most, std::abs(v));
    return most;
}

// The largest difference between `scaled` and `reference` times `factor`.
float deviation(const std::vector<float>& scaled, const std::vector<float>& reference, float factor)
{
    float most = 0;
    for (std::size_t i = 0; i < scaled.size(); ++i)
        most = std::max(most, std::abs(scaled[i] - factor * reference[i]));
    return most;
}

} // namespace

class TestSoundControls : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    std::string file(const QString& name, const Bytes& bytes)
    {
        QFile out(dir_.filePath(name));
        if (!out.open(QIODevice::WriteOnly))
            return {};
        out.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
        return dir_.filePath(name).toStdString();
    }

private slots:
    // The wave passes the music's gain untouched; mute fades it out over a ramp and silences it.
    void waveIgnoresTheGainAndObeysMute()
    {
        Bytes samples;
        for (int i = 0; i < 2 * (3 * kRamp + 6); ++i) // samples of three ramps and six frames
            appendLe(samples, std::uint16_t(16384), 2);
        const std::string chime = file(QStringLiteral("chime.wav"), wave(2, 16, 44100, samples));
        auto engine = manualEngine(); // no SoundFont: the synthesizer adds silence
        WaveFilePlayer player(*engine);
        engine->setMusicGain(0.0f);
        QVERIFY(player.playAsync(chime));
        std::vector<float> out;
        engine->render(kRamp, &out); // the music's gain moves to 0; the wave is untouched
        QCOMPARE(out, std::vector<float>(2 * kRamp, 0.5f));
        engine->render(2, &out);
        QCOMPARE(out, std::vector<float>(4, 0.5f));
        engine->setMuted(true);
        engine->render(kRamp, &out); // fading out, without a click
        QVERIFY(out.front() > 0.49f && out[2 * kRamp - 4] > 0.0f && out.back() == 0.0f);
        engine->render(2, &out);
        QCOMPARE(out, std::vector<float>(4, 0.0f));
        engine->setMuted(false);
        engine->render(kRamp, &out);
        engine->render(2, &out);
        QCOMPARE(out, std::vector<float>(4, 0.5f));
    }

    // Two engines play the same piece; the second one's settings change along the way. Its
    // output is the first one's scaled by the gain, silent while muted, and its piece stays on
    // the same tick throughout.
    void gainScalesTheMusicAndMuteKeepsItsClock()
    {
        if (!QFile::exists(QLatin1String(kSoundFont)))
            QSKIP("no General MIDI SoundFont installed");
        // 120 bpm at 480 ticks per quarter, one note held for 4 s.
        const std::string piece = file(QStringLiteral("held.mid"), heldNote(480, 500000, 3840));
        auto reference = manualEngine(kSoundFont);
        auto player = manualEngine(kSoundFont);
        MciSequencer referenceMidi(*reference);
        MciSequencer playerMidi(*player);
        for (MciSequencer* midi : {&referenceMidi, &playerMidi}) {
            QCOMPARE(midi->sendString("open \"" + piece + "\" type sequencer alias Midi", nullptr, 0, 0), 0);
            QCOMPARE(midi->sendString("play Midi", nullptr, 0, 0), 0);
        }
        std::vector<float> expected;
        std::vector<float> actual;
        const auto both = [&] {
            reference->render(kRate / 4, &expected);
            player->render(kRate / 4, &actual);
            QCOMPARE(player->pieceClock().tick, reference->pieceClock().tick);
        };
        both();
        QVERIFY(peak(expected) > 0.01f);
        QCOMPARE(actual, expected);

        player->setMusicGain(0.25f);
        reference->render(kRamp);
        player->render(kRamp);
        both();
        QVERIFY2(deviation(actual, expected, 0.25f) < 1e-6f,
                 qPrintable(QString::number(deviation(actual, expected, 0.25f))));

        player->setMuted(true);
        reference->render(kRamp);
        player->render(kRamp);
        for (int i = 0; i < 8; ++i) { // two seconds, unheard
            both();
            QCOMPARE(peak(actual), 0.0f);
        }
        player->setMuted(false);
        reference->render(kRamp);
        player->render(kRamp);
        both();
        QVERIFY(peak(actual) > 0.0f); // the note is still sounding, fainter by now
        QVERIFY(deviation(actual, expected, 0.25f) < 1e-6f);
    }

    // The ending's roll follows the music's position whether or not it is heard: muted from its
    // third tick, it shows the same entries at the same ticks and ends on the same tick.
    void mutedStaffRollEndsOnTime()
    {
        const QString data = qEnvironmentVariable("LW_DATA_DIR");
        if (!QFile::exists(QDir(data).filePath(QStringLiteral("prum.mid"))))
            QSKIP("the ending music is not built");
        const QString before = QDir::currentPath();
        QDir::setCurrent(data);
        const auto roll = [](bool mute) {
            auto engine = manualEngine();
            MciSequencer sequencer(*engine);
            Music midi(sequencer);
            WaveFilePlayer wave(*engine);
            fakes::FakeDialogs dialogs;
            fakes::FakeSettings settings;
            fakes::FakeSoundControl sound;
            fakes::RecordingProgramEnd programEnd;
            const Services services{midi, sound, wave, dialogs, settings, programEnd};
            WindowSlot<StaffRollWindow> slot([&services] { return new StaffRollWindow(services); });
            StaffRollWindow& form = slot.get();
            form.start();
            form.stepTimer.stop(); // ticked by hand, 200 ms of music each
            QList<int> positions;
            while (!form.ended() && positions.size() < 2000) {
                if (positions.size() == 3)
                    engine->setMuted(mute);
                engine->render(kRate / 5);
                form.step();
                positions << form.lastPosition();
            }
            slot.unload();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return positions;
        };
        const QList<int> heard = roll(false);
        const QList<int> muted = roll(true);
        QDir::setCurrent(before);
        QVERIFY(heard.size() > 100 && heard.size() < 2000);
        QCOMPARE(muted, heard);
    }
};

QTEST_MAIN(TestSoundControls)
#include "tst_sound_controls.moc"

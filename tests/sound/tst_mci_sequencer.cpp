// The command-string sequencer over the audio engine with a manual clock, the wave player, and
// the music module driving the real sequencer.
#include "AudioEngine.h"
#include "AudioSystem.h"
#include "MciSequencer.h"
#include "Music.h"
#include "SmfBuilder.h"
#include "WaveDecode.h"
#include "WaveFilePlayer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <random>

#include <sys/stat.h>

using namespace lw::audio;
using namespace lw::testing;

Q_DECLARE_METATYPE(std::string)

namespace {

constexpr int kRate = AudioEngine::kSampleRate;

void writeFile(const QString& path, const Bytes& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

std::string utf8(const QString& s) { return s.toStdString(); }

AudioOptions manualClock(const std::string& soundFont = {})
{
    AudioOptions options;
    options.manualClock = true;
    options.soundFont = soundFont;
    return options;
}

struct Rig {
    std::unique_ptr<AudioEngine> engine = AudioEngine::create(manualClock());
    MciSequencer midi{*engine};

    int send(const std::string& command, std::string* answer = nullptr, int length = 512)
    {
        return midi.sendString(command, answer, length, 0);
    }
    std::string ask(const std::string& command)
    {
        std::string answer = "stale";
        const int code = send(command, &answer);
        return code == 0 ? answer : "error " + std::to_string(code) + (answer.empty() ? "" : " with answer");
    }
    void seconds(double s) { engine->render(static_cast<int>(s * kRate)); }
    std::int64_t position() { return std::stoll(ask("status Midi position")); }
};

} // namespace

class TestMciSequencer : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }
    std::string openCommand(const QString& name, const std::string& alias = "Midi") const
    {
        return "open \"" + utf8(path(name)) + "\" type sequencer alias " + alias;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        // 120 bpm at 480 ticks per quarter: 960 ticks, 8 sixteenths a second; ends at 4 s.
        writeFile(path("Tinwaki.mid"), heldNote(480, 500000, 3840));
        writeFile(path("short.mid"), heldNote(96, 500000, 96)); // half a second
        // 120 bpm for 960 ticks (1 s), then 240 bpm.
        writeFile(path("faster.mid"), smf(1, 480,
                                          {TrackBuilder().tempo(0, 500000).tempo(960, 250000).end(),
                                           TrackBuilder().noteOn(0, 60).noteOff(20000, 60).end()}));
        // 60 bpm at 96 ticks per quarter: 4 sixteenths a second.
        writeFile(path("slow.mid"), heldNote(96, 1000000, 9600));
        QVERIFY(QDir(dir_.path()).mkpath("音楽 フォルダ"));
        writeFile(path("音楽 フォルダ/ｼｽﾞｸ 雫.mid"), heldNote(96, 500000, 960));
        QVERIFY(QDir(dir_.path()).mkpath("a directory.mid"));
        writeFile(path("empty.mid"), {});
        writeFile(path("garbage.mid"), Bytes{'R', 'I', 'F', 'F', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
        Bytes truncated = heldNote(480, 500000, 3840);
        truncated.resize(truncated.size() - 3);
        writeFile(path("truncated.mid"), truncated);
        Bytes smpte = heldNote(480, 500000, 3840);
        smpte[12] = 0xe7;
        writeFile(path("smpte.mid"), smpte);
        // Opening a FIFO for reading blocks until a writer comes: it must be refused unopened.
        QCOMPARE(::mkfifo(QFile::encodeName(path("pipe.mid")).constData(), 0600), 0);
        QCOMPARE(::mkfifo(QFile::encodeName(path("pipe.wav")).constData(), 0600), 0);
        // 23.8 s of CD-quality sound, within the length limit, in a file just over the size limit.
        writeFile(path("large.wav"), wave(2, 16, 44100, Bytes(kMaxWaveBytes - 40, 0)));
    }

    void positionInSixteenths_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("sixteenths");
        QTest::newRow("120 bpm, 1 s") << "Tinwaki.mid" << 1.01 << 8;
        QTest::newRow("120 bpm, 2.5 s") << "Tinwaki.mid" << 2.51 << 20;
        QTest::newRow("60 bpm at 96 ticks, 3 s") << "slow.mid" << 3.01 << 12;
        QTest::newRow("tempo doubles after 1 s, 2 s") << "faster.mid" << 2.01 << 24;
        QTest::newRow("held at the end") << "short.mid" << 3.0 << 4;
    }
    void positionInSixteenths()
    {
        QFETCH(QString, file);
        QFETCH(double, seconds);
        QFETCH(int, sixteenths);
        Rig rig;
        QCOMPARE(rig.send(openCommand(file)), 0);
        QCOMPARE(rig.ask("status Midi position"), std::string("0"));
        QCOMPARE(rig.send("play Midi"), 0);
        rig.seconds(seconds);
        // The score player steps in blocks of 64 frames, so allow one sixteenth either way.
        const std::int64_t position = rig.position();
        QVERIFY2(std::abs(position - sixteenths) <= 1, qPrintable(QString::number(position)));
    }

    void modeThroughALife()
    {
        Rig rig;
        QCOMPARE(rig.send(openCommand("Tinwaki.mid")), 0);
        QCOMPARE(rig.ask("status Midi mode"), std::string("stopped"));
        rig.seconds(0.5); // nothing runs before play
        QCOMPARE(rig.ask("status Midi position"), std::string("0"));
        QCOMPARE(rig.send("play Midi"), 0);
        QCOMPARE(rig.ask("status Midi mode"), std::string("playing"));
        rig.seconds(1.01);
        QCOMPARE(rig.send("pause Midi"), 0);
        QCOMPARE(rig.ask("status Midi mode"), std::string("paused"));
        const std::int64_t held = rig.position();
        rig.seconds(1.0);
        QCOMPARE(rig.position(), held);
        QCOMPARE(rig.send("resume Midi"), 0);
        QCOMPARE(rig.ask("status Midi mode"), std::string("playing"));
        rig.seconds(1.0);
        QVERIFY(rig.position() > held);
        rig.seconds(2.5); // past the end at 4 s of playing
        QCOMPARE(rig.ask("status Midi mode"), std::string("stopped"));
        QCOMPARE(rig.ask("status Midi position"), std::string("32"));
        QCOMPARE(rig.send("play Midi"), 0); // an ended piece plays again from its start
        QCOMPARE(rig.ask("status Midi mode"), std::string("playing"));
        rig.seconds(0.26);
        QVERIFY(rig.position() <= 3);
        QCOMPARE(rig.send("stop Midi"), 0);
        QCOMPARE(rig.ask("status Midi mode"), std::string("stopped"));
        QCOMPARE(rig.send("close Midi"), 0);
        QCOMPARE(rig.ask("status Midi mode"), std::string("error 3"));
        QCOMPARE(rig.send("close Midi"), kMciUnknownAlias); // closing twice fails, harmlessly
        QCOMPARE(rig.send("close all"), 0);
    }

    void secondOpenClosesTheFirst()
    {
        Rig rig;
        QCOMPARE(rig.send(openCommand("Tinwaki.mid", "First")), 0);
        QCOMPARE(rig.send("play First"), 0);
        QCOMPARE(rig.send(openCommand("slow.mid", "Second")), 0);
        QCOMPARE(rig.ask("status First mode"), std::string("error 3"));
        QCOMPARE(rig.ask("status Second mode"), std::string("stopped"));
        // A failed open leaves the open piece alone.
        QCOMPARE(rig.send(openCommand("missing.mid", "Third")), kMciFileNotFound);
        QCOMPARE(rig.ask("status Second mode"), std::string("stopped"));
        // Opening the same name again starts over.
        QCOMPARE(rig.send("play Second"), 0);
        rig.seconds(1.0);
        QCOMPARE(rig.send(openCommand("slow.mid", "Second")), 0);
        QCOMPARE(rig.ask("status Second mode") + rig.ask("status second position"), std::string("stopped0"));
    }

    void opensByAnyPath_data()
    {
        QTest::addColumn<std::string>("command");
        const std::string base = utf8(dir_.path());
        QTest::newRow("exact name") << "open \"" + base + "/Tinwaki.mid\" type sequencer alias Midi";
        QTest::newRow("lower case name") << "open \"" + base + "/tinwaki.mid\" type sequencer alias Midi";
        QTest::newRow("upper case keywords") << "OPEN \"" + base + "/TINWAKI.MID\" TYPE SEQUENCER ALIAS Midi";
        QTest::newRow("blanks and Japanese")
            << "open \"" + base + "/音楽 フォルダ/ｼｽﾞｸ 雫.mid\" type sequencer alias Midi";
        QTest::newRow("doubled separator") << "open \"" + base + "//short.mid\" type sequencer alias Midi";
        QTest::newRow("unquoted, alias before type") << "open " + base + "/slow.mid alias Midi type sequencer";
        QTest::newRow("no type") << "open " + base + "/slow.mid alias Midi";
    }
    void opensByAnyPath()
    {
        QFETCH(std::string, command);
        Rig rig;
        QCOMPARE(rig.send(command), 0);
        QCOMPARE(rig.send("PLAY midi"), 0);
        QCOMPARE(rig.ask("Status MIDI Mode"), std::string("playing"));
    }

    void errors_data()
    {
        QTest::addColumn<std::string>("command");
        QTest::addColumn<int>("code");
        QTest::newRow("missing file") << openCommand("nothing.mid", "X") << int(kMciFileNotFound);
        QTest::newRow("directory") << openCommand("a directory.mid", "X") << int(kMciFileNotFound);
        QTest::newRow("directory itself") << "open \"" + utf8(dir_.path()) + "/\" alias X" << int(kMciFileNotFound);
        QTest::newRow("device file") << std::string("open /dev/zero alias X") << int(kMciFileNotFound);
        QTest::newRow("FIFO") << openCommand("pipe.mid", "X") << int(kMciFileNotFound);
        QTest::newRow("empty path") << std::string("open \"\" alias X") << int(kMciFileNotFound);
        QTest::newRow("empty file") << openCommand("empty.mid", "X") << int(kMciNotMidiFile);
        // A kernel file that blocks when read: it must fail at once, not hang.
        if (QFileInfo::exists(QStringLiteral("/proc/kmsg")))
            QTest::newRow("blocking kernel file") << std::string("open /proc/kmsg alias X") << int(kMciNotMidiFile);
        QTest::newRow("garbage") << openCommand("garbage.mid", "X") << int(kMciNotMidiFile);
        QTest::newRow("truncated") << openCommand("truncated.mid", "X") << int(kMciNotMidiFile);
        QTest::newRow("SMPTE timing") << openCommand("smpte.mid", "X") << int(kMciNotMidiFile);
        QTest::newRow("other device type")
            << "open \"" + utf8(path("short.mid")) + "\" type waveaudio alias X" << int(kMciNoDevice);
        QTest::newRow("unknown alias") << std::string("play Other") << int(kMciUnknownAlias);
        QTest::newRow("status of unknown alias") << std::string("status Other mode") << int(kMciUnknownAlias);
        QTest::newRow("play all") << std::string("play all") << int(kMciUnknownAlias);
        QTest::newRow("unknown command") << std::string("fly Midi") << int(kMciUnknownCommand);
        QTest::newRow("empty command") << std::string("   ") << int(kMciUnknownCommand);
        QTest::newRow("open without alias") << "open \"" + utf8(path("short.mid")) + "\"" << int(kMciBadSyntax);
        QTest::newRow("alias without name") << "open \"" + utf8(path("short.mid")) + "\" alias" << int(kMciBadSyntax);
        QTest::newRow("alias all") << "open \"" + utf8(path("short.mid")) + "\" alias all" << int(kMciBadSyntax);
        QTest::newRow("unclosed quote") << "open \"" + utf8(path("short.mid")) + " alias X" << int(kMciBadSyntax);
        QTest::newRow("quote inside a word") << std::string("play Mi\"di") << int(kMciBadSyntax);
        QTest::newRow("unknown status item") << std::string("status Midi colour") << int(kMciBadSyntax);
        QTest::newRow("play without alias") << std::string("play") << int(kMciBadSyntax);
        QTest::newRow("extra word") << std::string("play Midi wait") << int(kMciBadSyntax);
    }
    void errors()
    {
        QFETCH(std::string, command);
        QFETCH(int, code);
        Rig rig;
        QCOMPARE(rig.send(openCommand("Tinwaki.mid")), 0);
        std::string answer = "stale";
        QCOMPARE(rig.send(command, &answer), code);
        QVERIFY(answer.empty());
        QVERIFY(!rig.midi.errorString(code).empty());
        QCOMPARE(rig.ask("status Midi mode"), std::string("stopped")); // the open piece is untouched
    }

    void errorTextsDiffer()
    {
        Rig rig;
        QStringList texts;
        for (int code : std::initializer_list<int>{kMciOk, kMciFileNotFound, kMciNotMidiFile, kMciUnknownAlias,
                                                   kMciUnknownCommand, kMciBadSyntax, kMciNoDevice, 999})
            texts << QString::fromStdString(rig.midi.errorString(code));
        texts.removeDuplicates();
        QCOMPARE(texts.size(), 8);
    }

    void answersAreCutToTheBuffer_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<std::string>("mode");
        QTest::addColumn<std::string>("position");
        QTest::newRow("512") << 512 << std::string("playing") << std::string("16");
        QTest::newRow("4") << 4 << std::string("pla") << std::string("16");
        QTest::newRow("2") << 2 << std::string("p") << std::string("1");
        QTest::newRow("1") << 1 << std::string() << std::string();
        QTest::newRow("0") << 0 << std::string() << std::string();
        QTest::newRow("negative") << -3 << std::string() << std::string();
    }
    void answersAreCutToTheBuffer()
    {
        QFETCH(int, length);
        QFETCH(std::string, mode);
        QFETCH(std::string, position);
        Rig rig;
        QCOMPARE(rig.send(openCommand("Tinwaki.mid")), 0);
        QCOMPARE(rig.send("play Midi"), 0);
        rig.seconds(2.1);
        std::string answer;
        QCOMPARE(rig.send("status Midi mode", &answer, length), 0);
        QCOMPARE(answer, mode);
        QCOMPARE(rig.send("status Midi position", &answer, length), 0);
        QCOMPARE(answer, position);
        QCOMPARE(rig.send("status Midi mode", nullptr, 512), 0);
    }

    // Random command strings made of the sequencer's words, quotes, blanks and stray bytes.
    void survivesRandomCommands()
    {
        Rig rig;
        const std::vector<std::string> words{"open",      "play",
                                             "pause",     "resume",
                                             "stop",      "close",
                                             "status",    "Midi",
                                             "all",       "mode",
                                             "position",  "type",
                                             "sequencer", "alias",
                                             "\"",        " ",
                                             "\t",        utf8(path("short.mid")),
                                             "\xff",      std::string(1, '\0'),
                                             "x"};
        std::mt19937 random(99);
        for (int round = 0; round < 5000; ++round) {
            std::string command;
            const int n = static_cast<int>(random() % 8);
            for (int i = 0; i < n; ++i)
                command += words[random() % words.size()] + (random() % 3 ? " " : "");
            std::string answer;
            const int code = rig.send(command, &answer, static_cast<int>(random() % 20) - 2);
            QVERIFY(code >= 0 && code <= kMciNoDevice);
            if (round % 50 == 0)
                rig.engine->render(512);
        }
    }

    // The music module against the real sequencer: a piece that ends is started again by the poll.
    void musicModuleLoopsARealPiece()
    {
        Rig rig;
        lw::Music music(rig.midi, [this] { return utf8(dir_.path()); });
        music.backgroundPiece = "SHORT.MID";
        QVERIFY(!music.isPlaying());
        music.loop();
        QVERIFY(music.isPlaying());
        rig.seconds(0.3);
        QCOMPARE(music.position(), 2.0);
        rig.seconds(0.5);
        QVERIFY(!music.isPlaying());
        QCOMPARE(music.position(), 4.0);
        music.loop();
        QVERIFY(music.isPlaying());
        QCOMPARE(music.position(), 0.0);
        music.close();
        QCOMPARE(music.position(), 0.0);
        QVERIFY(!music.isPlaying());
        music.play("nothing.mid"); // fails unseen
        QVERIFY(!music.isPlaying());
    }

    void waveMixesIntoTheOutput()
    {
        Rig rig;
        Bytes samples;
        for (int v : {16384, -16384, 8192, 0})
            appendLe(samples, static_cast<std::uint16_t>(v), 2);
        writeFile(path("LWDEMO2.WAV"), wave(2, 16, 44100, samples));
        WaveFilePlayer player(*rig.engine);
        QVERIFY(player.playAsync(utf8(path("lwdemo2.WAV"))));
        std::vector<float> out;
        rig.engine->render(4, &out);
        // No SoundFont is loaded here, so the synthesizer adds silence.
        const std::vector<float> expected{0.5f, -0.5f, 0.25f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
        QCOMPARE(out.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            QVERIFY2(std::abs(out[i] - expected[i]) < 1e-4f,
                     qPrintable(QStringLiteral("sample %1: %2, expected %3").arg(i).arg(out[i]).arg(expected[i])));
    }

    // Each fails at once and quietly; none is opened if opening could block.
    void wavePlayerRefuses_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("missing") << path("missing.wav");
        QTest::newRow("MIDI file") << path("Tinwaki.mid");
        QTest::newRow("directory") << dir_.path();
        QTest::newRow("device file") << QStringLiteral("/dev/zero");
        QTest::newRow("FIFO") << path("pipe.wav");
        if (QFileInfo::exists(QStringLiteral("/proc/kmsg")))
            QTest::newRow("blocking kernel file") << QStringLiteral("/proc/kmsg");
        QTest::newRow("over 4 MB") << path("large.wav");
    }
    void wavePlayerRefuses()
    {
        QFETCH(QString, file);
        Rig rig;
        WaveFilePlayer player(*rig.engine);
        QVERIFY(!player.playAsync(utf8(file)));
    }

    void soundFontMakesSound()
    {
        const char* font = "/usr/share/sounds/sf2/TimGM6mb.sf2";
        if (!QFile::exists(font))
            QSKIP("no General MIDI SoundFont installed");
        auto engine = AudioEngine::create(manualClock(font));
        QVERIFY(engine->soundFontReady());
        MciSequencer midi(*engine);
        QCOMPARE(midi.sendString(openCommand("short.mid"), nullptr, 0, 0), 0);
        QCOMPARE(midi.sendString("play Midi", nullptr, 0, 0), 0);
        std::vector<float> out;
        engine->render(kRate / 4, &out);
        float peak = 0;
        for (float v : out)
            peak = std::max(peak, std::abs(v));
        QVERIFY2(peak > 0.01f, qPrintable(QString::number(peak)));
    }

    // Real time without an audio device: the piece advances and ends on its own.
    void realTimeWithoutAudio()
    {
        qputenv("LW_NO_AUDIO", "1");
        auto system = lw::AudioSystem::create();
        lw::MidiService& midi = system->midi();
        QCOMPARE(midi.sendString(openCommand("short.mid"), nullptr, 0, 0), 0);
        QCOMPARE(midi.sendString("play Midi", nullptr, 0, 0), 0);
        std::string mode;
        QTRY_VERIFY_WITH_TIMEOUT((midi.sendString("status Midi mode", &mode, 512, 0), mode == "stopped"), 20000);
        std::string position;
        QCOMPARE(midi.sendString("status Midi position", &position, 255, 0), 0);
        QCOMPARE(position, std::string("4"));
        QVERIFY(!system->wave().playAsync(utf8(path("LWDEMO2.WAV")))); // no output: ignored
        system->shutdown();
        system->shutdown();
        QCOMPARE(midi.sendString("play Midi", nullptr, 0, 0), 0);
        QCOMPARE(midi.sendString(openCommand("short.mid"), nullptr, 0, 0), 0);
        QCOMPARE(midi.sendString("status Midi mode", &mode, 512, 0), 0);
        QCOMPARE(mode, std::string("not ready"));
        qunsetenv("LW_NO_AUDIO");
    }

    // LW_AUDIO_FILE: the output is a WAV file written in real time, with the music and the wave
    // in it, and its sizes right once the engine shuts down.
    void recordsToAFile()
    {
        const char* font = "/usr/share/sounds/sf2/TimGM6mb.sf2";
        if (!QFile::exists(font))
            QSKIP("no General MIDI SoundFont installed");
        const QString file = dir_.filePath(QStringLiteral("録音 out.wav"));
        qputenv("LW_AUDIO_FILE", file.toUtf8());
        qputenv("LW_SOUNDFONT", font);
        auto system = lw::AudioSystem::create();
        qunsetenv("LW_AUDIO_FILE");
        qunsetenv("LW_SOUNDFONT");
        lw::MidiService& midi = system->midi();
        QCOMPARE(midi.sendString(openCommand("short.mid"), nullptr, 0, 0), 0);
        QCOMPARE(midi.sendString("play Midi", nullptr, 0, 0), 0);
        Bytes samples;
        for (int i = 0; i < 4410; ++i)
            appendLe(samples, static_cast<std::uint16_t>(i % 50 < 25 ? 12000 : -12000), 2);
        writeFile(path("chime.wav"), wave(1, 16, 44100, samples));
        QVERIFY(system->wave().playAsync(utf8(path("chime.wav"))));
        QTest::qWait(400);
        system->shutdown();

        QFile wav(file);
        QVERIFY(wav.open(QIODevice::ReadOnly));
        const QByteArray bytes = wav.readAll();
        QVERIFY(bytes.size() > 44);
        QCOMPARE(bytes.left(4), QByteArray("RIFF"));
        QCOMPARE(bytes.mid(8, 8), QByteArray("WAVEfmt "));
        const auto le32 = [&bytes](int at) {
            return quint32(quint8(bytes[at])) | quint32(quint8(bytes[at + 1])) << 8 |
                   quint32(quint8(bytes[at + 2])) << 16 | quint32(quint8(bytes[at + 3])) << 24;
        };
        QCOMPARE(le32(24), quint32(kRate));
        QCOMPARE(le32(40), quint32(bytes.size() - 44)); // data size patched in
        QCOMPARE(le32(4), quint32(bytes.size() - 8));
        // About the time it ran (4 bytes a frame), and not silent.
        QVERIFY2(le32(40) >= quint32(kRate / 10 * 4), qPrintable(QString::number(le32(40))));
        int peak = 0;
        for (int i = 44; i + 1 < bytes.size(); i += 2)
            peak =
                std::max(peak, std::abs(int(qint16(quint16(quint8(bytes[i])) | quint16(quint8(bytes[i + 1])) << 8))));
        QVERIFY2(peak > 300, qPrintable(QString::number(peak)));
    }
};

QTEST_GUILESS_MAIN(TestMciSequencer)
#include "tst_mci_sequencer.moc"

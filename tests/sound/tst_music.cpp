// The music module's command strings and answer handling, against a recording MIDI service.
#include "Music.h"
#include "fakes/RecordingMidiService.h"

#include <QTest>

using lw::Music;
using lw::fakes::RecordingMidiService;
using Call = RecordingMidiService::Call;

Q_DECLARE_METATYPE(std::string)

namespace {

void compareCalls(const std::vector<Call>& actual, const std::vector<Call>& expected)
{
    QCOMPARE(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QCOMPARE(actual[i].command, expected[i].command);
        QCOMPARE(actual[i].answerLength, expected[i].answerLength);
        QCOMPARE(actual[i].callbackWindow, std::uintptr_t{0});
    }
}

std::vector<Call> playCalls(const std::string& fullName)
{
    return {
        {"close Midi", 1, 0}, {"open \"" + fullName + "\" type sequencer alias Midi", 512, 0}, {"play Midi", 512, 0}};
}

} // namespace

class TestKsMidi : public QObject {
    Q_OBJECT
private slots:
    void playMidiSendsCloseOpenPlay_data()
    {
        QTest::addColumn<std::string>("directory");
        QTest::addColumn<std::string>("name");
        QTest::addColumn<std::string>("fullName");
        QTest::newRow("plain") << std::string("/home/runa/game") << std::string("Tinwaki.mid")
                               << std::string("/home/runa/game/Tinwaki.mid");
        QTest::newRow("blanks") << std::string("/home/runa/my games") << std::string("Sizuku.mid")
                                << std::string("/home/runa/my games/Sizuku.mid");
        QTest::newRow("root doubles the separator")
            << std::string("/") << std::string("okera.mid") << std::string("//okera.mid");
        QTest::newRow("japanese") << std::string("/ゲーム/ルナ") << std::string("prum.mid")
                                  << std::string("/ゲーム/ルナ/prum.mid");
        QTest::newRow("empty name") << std::string("/g") << std::string() << std::string("/g/");
    }
    void playMidiSendsCloseOpenPlay()
    {
        QFETCH(std::string, directory);
        QFETCH(std::string, name);
        QFETCH(std::string, fullName);
        RecordingMidiService service;
        Music midi(service, [directory] { return directory; });
        midi.play(name);
        compareCalls(service.calls, playCalls(fullName));
    }

    // The working directory is asked at every call, not remembered.
    void playMidiAsksTheDirectoryEachTime()
    {
        RecordingMidiService service;
        std::string directory = "/a";
        Music midi(service, [&directory] { return directory; });
        midi.play("x.mid");
        directory = "/b";
        midi.play("x.mid");
        QCOMPARE(service.calls.at(4).command, std::string("open \"/b/x.mid\" type sequencer alias Midi"));
    }

    void closeMidi()
    {
        RecordingMidiService service;
        Music midi(service, [] { return std::string("/g"); });
        midi.close();
        compareCalls(service.calls, {{"close Midi", 1, 0}});
    }

    void isMidiPlaying_data()
    {
        QTest::addColumn<std::string>("mode");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("playing");
        QTest::newRow("playing") << std::string("playing") << 0 << true;
        QTest::newRow("Paused counts as playing") << std::string("Paused") << 0 << true;
        QTest::newRow("stopped") << std::string("stopped") << 0 << false;
        QTest::newRow("not ready") << std::string("not ready") << 0 << false;
        QTest::newRow("empty") << std::string() << 0 << false;
        QTest::newRow("failed query") << std::string("playing") << 263 << false;
    }
    void isMidiPlaying()
    {
        QFETCH(std::string, mode);
        QFETCH(int, result);
        QFETCH(bool, playing);
        RecordingMidiService service;
        service.modeAnswer = mode;
        service.statusResult = result;
        Music midi(service, [] { return std::string("/g"); });
        QCOMPARE(midi.isPlaying(), playing);
        compareCalls(service.calls, {{"Status Midi mode", 512, 0}});
    }

    void loopMidi_data()
    {
        QTest::addColumn<std::string>("mode");
        QTest::addColumn<std::string>("midiFile");
        QTest::addColumn<bool>("restarts");
        QTest::newRow("playing: left alone") << std::string("playing") << std::string("okera.mid") << false;
        QTest::newRow("paused: left paused") << std::string("paused") << std::string("okera.mid") << false;
        QTest::newRow("stopped: restarts backgroundPiece")
            << std::string("stopped") << std::string("okera.mid") << true;
        QTest::newRow("empty backgroundPiece: opens the bare directory")
            << std::string("stopped") << std::string() << true;
    }
    void loopMidi()
    {
        QFETCH(std::string, mode);
        QFETCH(std::string, midiFile);
        QFETCH(bool, restarts);
        RecordingMidiService service;
        service.modeAnswer = mode;
        Music midi(service, [] { return std::string("/g"); });
        midi.backgroundPiece = midiFile;
        midi.loop();
        std::vector<Call> expected{{"Status Midi mode", 512, 0}};
        if (restarts) {
            for (const Call& call : playCalls("/g/" + midiFile))
                expected.push_back(call);
        }
        compareCalls(service.calls, expected);
    }

    // A piece started under its own name (the ending's) is never the one loop restarts.
    void loopMidiRestartsMidiFileNotTheLastPiece()
    {
        RecordingMidiService service;
        Music midi(service, [] { return std::string("/g"); });
        midi.backgroundPiece = "yoseiden.mid";
        midi.play("prum.mid");
        service.clear();
        service.modeAnswer = "stopped";
        midi.loop();
        QCOMPARE(service.calls.at(2).command, std::string("open \"/g/yoseiden.mid\" type sequencer alias Midi"));
        QCOMPARE(midi.backgroundPiece, std::string("yoseiden.mid"));
    }

    void midiPosition_data()
    {
        QTest::addColumn<std::string>("answer");
        QTest::addColumn<int>("result");
        QTest::addColumn<double>("position");
        QTest::newRow("number") << std::string("123") << 0 << 123.0;
        QTest::newRow("empty") << std::string() << 0 << 0.0;
        QTest::newRow("letters") << std::string("abc") << 0 << 0.0;
        QTest::newRow("number then letters") << std::string("12x") << 0 << 12.0;
        QTest::newRow("leading blank") << std::string(" 7") << 0 << 7.0;
        QTest::newRow("failed query") << std::string("99") << 263 << 0.0;
    }
    void midiPosition()
    {
        QFETCH(std::string, answer);
        QFETCH(int, result);
        QFETCH(double, position);
        RecordingMidiService service;
        service.positionAnswer = answer;
        service.statusResult = result;
        Music midi(service, [] { return std::string("/g"); });
        QCOMPARE(midi.position(), position);
        compareCalls(service.calls, {{"Status Midi Position", 255, 0}});
    }
};

QTEST_GUILESS_MAIN(TestKsMidi)
#include "tst_music.moc"

// Reads the generated MIDI files and the chime with a reader of its own and checks what the game needs.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <vector>

namespace {

struct MidiEvent {
    std::uint32_t tick;
    std::uint8_t status; // 0xff for meta events
    std::uint8_t metaType = 0;
    std::vector<std::uint8_t> data;
};

struct backgroundPiece {
    int format = 0;
    int division = 0; // ticks per quarter note
    std::vector<std::vector<MidiEvent>> tracks;
};

// A strict reader: throws on any structural fault instead of guessing.
class Reader {
public:
    explicit Reader(const QByteArray& bytes) : b_(bytes) {}

    backgroundPiece read()
    {
        backgroundPiece f;
        expectTag("MThd");
        if (be(4) != 6)
            throw std::runtime_error("header length is not 6");
        f.format = static_cast<int>(be(2));
        const auto count = be(2);
        f.division = static_cast<int>(be(2));
        if (f.division & 0x8000)
            throw std::runtime_error("SMPTE timing");
        for (std::uint32_t t = 0; t < count; ++t)
            f.tracks.push_back(readTrack());
        if (pos_ != b_.size())
            throw std::runtime_error("bytes after the last track");
        return f;
    }

private:
    std::uint8_t byte()
    {
        if (pos_ >= b_.size())
            throw std::runtime_error("unexpected end of file");
        return static_cast<std::uint8_t>(b_[pos_++]);
    }
    std::uint32_t be(int n)
    {
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i)
            v = v << 8 | byte();
        return v;
    }
    std::uint32_t varLen()
    {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const std::uint8_t c = byte();
            v = v << 7 | (c & 0x7f);
            if (!(c & 0x80))
                return v;
        }
        throw std::runtime_error("variable-length number longer than 4 bytes");
    }
    void expectTag(const char* tag)
    {
        for (int i = 0; i < 4; ++i)
            if (byte() != static_cast<std::uint8_t>(tag[i]))
                throw std::runtime_error(std::string("missing ") + tag);
    }

    std::vector<MidiEvent> readTrack()
    {
        expectTag("MTrk");
        const std::uint32_t length = be(4);
        const qsizetype end = pos_ + static_cast<qsizetype>(length);
        std::vector<MidiEvent> events;
        std::uint32_t tick = 0;
        std::uint8_t running = 0;
        bool ended = false;
        while (pos_ < end) {
            if (ended)
                throw std::runtime_error("events after End of Track");
            tick += varLen();
            std::uint8_t status = byte();
            MidiEvent e{tick, status, 0, {}};
            if (status == 0xff) {
                e.metaType = byte();
                const std::uint32_t n = varLen();
                for (std::uint32_t i = 0; i < n; ++i)
                    e.data.push_back(byte());
                ended = e.metaType == 0x2f;
            } else if (status == 0xf0 || status == 0xf7) {
                const std::uint32_t n = varLen();
                for (std::uint32_t i = 0; i < n; ++i)
                    byte();
            } else {
                if (status < 0x80) { // running status: this byte is the first data byte
                    if (running == 0)
                        throw std::runtime_error("running status without a status");
                    e.status = running;
                    e.data.push_back(status);
                } else {
                    running = status;
                }
                const int kind = e.status & 0xf0;
                const std::size_t n = kind == 0xc0 || kind == 0xd0 ? 1 : 2;
                while (e.data.size() < n)
                    e.data.push_back(byte());
                if (std::any_of(e.data.begin(), e.data.end(), [](std::uint8_t d) { return d & 0x80; }))
                    throw std::runtime_error("data byte with the high bit set");
            }
            events.push_back(std::move(e));
        }
        if (pos_ != end)
            throw std::runtime_error("track chunk length does not match its events");
        if (!ended)
            throw std::runtime_error("track without End of Track");
        return events;
    }

    const QByteArray& b_;
    qsizetype pos_ = 0;
};

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString dataDir() { return qEnvironmentVariable("LW_DATA_DIR"); }

std::uint32_t lastTick(const backgroundPiece& f)
{
    std::uint32_t last = 0;
    for (const auto& t : f.tracks)
        for (const MidiEvent& e : t)
            last = std::max(last, e.tick);
    return last;
}

// Seconds from the start to `tick`, through the file's tempo map (120 bpm until the first tempo).
double secondsAt(const backgroundPiece& f, std::uint32_t tick)
{
    std::map<std::uint32_t, std::uint32_t> tempos{{0, 500000}};
    for (const auto& t : f.tracks)
        for (const MidiEvent& e : t)
            if (e.status == 0xff && e.metaType == 0x51 && e.data.size() == 3)
                tempos[e.tick] = static_cast<std::uint32_t>(e.data[0] << 16 | e.data[1] << 8 | e.data[2]);
    double seconds = 0;
    for (auto it = tempos.begin(); it != tempos.end() && it->first < tick; ++it) {
        const auto next = std::next(it);
        const std::uint32_t until = next == tempos.end() ? tick : std::min(tick, next->first);
        seconds += static_cast<double>(until - it->first) * it->second / 1e6 / f.division;
    }
    return seconds;
}

std::optional<double> firstTempoBpm(const backgroundPiece& f)
{
    for (const MidiEvent& e : f.tracks.front())
        if (e.status == 0xff && e.metaType == 0x51 && e.tick == 0)
            return 60e6 / (e.data[0] << 16 | e.data[1] << 8 | e.data[2]);
    return std::nullopt;
}

bool isNoteOn(const MidiEvent& e) { return (e.status & 0xf0) == 0x90 && e.data[1] > 0; }
bool isNoteOff(const MidiEvent& e)
{
    return (e.status & 0xf0) == 0x80 || ((e.status & 0xf0) == 0x90 && e.data[1] == 0);
}

} // namespace

class MusicFilesTest : public QObject {
    Q_OBJECT

private slots:
    void midiFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("minSeconds");
        QTest::addColumn<double>("maxSeconds");
        QTest::newRow("okera") << "okera.mid" << 45.0 << 120.0;
        QTest::newRow("yoseiden") << "yoseiden.mid" << 45.0 << 120.0;
        QTest::newRow("Litldrm") << "Litldrm.mid" << 45.0 << 120.0;
        QTest::newRow("Showt") << "Showt.mid" << 45.0 << 120.0;
        QTest::newRow("Tinwaki") << "Tinwaki.mid" << 45.0 << 120.0;
        QTest::newRow("Sizuku") << "Sizuku.mid" << 45.0 << 120.0;
        QTest::newRow("Ksnet") << "Ksnet.mid" << 7.0 << 9.0;
        QTest::newRow("prum") << "prum.mid" << 60.0 << 90.0;
    }

    void midiFile()
    {
        QFETCH(QString, file);
        QFETCH(double, minSeconds);
        QFETCH(double, maxSeconds);
        const QByteArray bytes = readAll(dataDir() + "/" + file);
        QVERIFY2(!bytes.isEmpty(), qPrintable(file + " is missing or empty"));
        backgroundPiece f;
        try {
            f = Reader(bytes).read();
        } catch (const std::exception& e) {
            QFAIL(qPrintable(file + ": " + e.what()));
        }
        QCOMPARE(f.format, 1);
        QVERIFY(f.division > 0);
        QVERIFY(f.tracks.size() >= 4);
        QVERIFY2(firstTempoBpm(f).has_value(), "no tempo at the start of the conductor track");

        std::set<int> noteChannels, programChannels;
        std::map<std::pair<int, int>, int> sounding; // (channel, key) -> open note-ons
        for (const auto& t : f.tracks) {
            for (const MidiEvent& e : t) {
                const int channel = e.status & 0x0f;
                if ((e.status & 0xf0) == 0xc0)
                    programChannels.insert(channel);
                if (isNoteOn(e)) {
                    noteChannels.insert(channel);
                    ++sounding[{channel, e.data[0]}];
                } else if (isNoteOff(e)) {
                    auto& open = sounding[{channel, e.data[0]}];
                    QVERIFY2(open > 0, qPrintable(QString("note-off without a note-on at tick %1").arg(e.tick)));
                    --open;
                }
            }
            // Every track closes with End of Track as its last event.
            QCOMPARE(t.back().metaType, std::uint8_t{0x2f});
            QCOMPARE(t.back().status, std::uint8_t{0xff});
        }
        for (const auto& [key, open] : sounding)
            QVERIFY2(open == 0,
                     qPrintable(QString("note %1 on channel %2 never ends").arg(key.second).arg(key.first + 1)));

        QVERIFY2(noteChannels.count(9), "no drums on channel 10");
        QVERIFY2(noteChannels.size() >= 4, "fewer than three pitched parts besides the drums");
        for (int channel : noteChannels)
            if (channel != 9)
                QVERIFY2(programChannels.count(channel),
                         qPrintable(QString("channel %1 plays without a program change").arg(channel + 1)));

        const std::uint32_t end = lastTick(f);
        const double seconds = secondsAt(f, end);
        QVERIFY2(seconds >= minSeconds && seconds <= maxSeconds,
                 qPrintable(QString("%1 lasts %2 s").arg(file).arg(seconds)));

        // A clean ending: the last strike of the piece is a held chord together with a cymbal.
        std::uint32_t lastOn = 0;
        for (const auto& t : f.tracks)
            for (const MidiEvent& e : t)
                if (isNoteOn(e))
                    lastOn = std::max(lastOn, e.tick);
        std::set<int> finalKeys;
        bool cymbal = false;
        for (const auto& t : f.tracks)
            for (const MidiEvent& e : t)
                if (isNoteOn(e) && e.tick == lastOn) {
                    if ((e.status & 0x0f) == 9)
                        cymbal = cymbal || e.data[0] == 49 || e.data[0] == 57;
                    else
                        finalKeys.insert(e.data[0] % 12);
                }
        QVERIFY2(cymbal, "the last strike has no cymbal");
        QVERIFY2(finalKeys.size() >= 3, "the last strike is not a chord");
        QVERIFY2(end - lastOn >= static_cast<std::uint32_t>(f.division), "the final chord is not held");
    }

    // The staff roll ends when the position passes 690 sixteenths, so the ending piece must last
    // at least 704, and its tempo keeps the roll at about 72 seconds.
    void endingMusicOutlastsStaffRoll()
    {
        const backgroundPiece f = Reader(readAll(dataDir() + "/prum.mid")).read();
        const double sixteenths = lastTick(f) * 4.0 / f.division;
        QVERIFY2(sixteenths >= 704 && sixteenths <= 760, qPrintable(QString::number(sixteenths)));
        const auto bpm = firstTempoBpm(f);
        QVERIFY(bpm.has_value());
        QVERIFY2(*bpm > 145 && *bpm < 155, qPrintable(QString::number(*bpm)));
        // The roll's end mark (690 sixteenths) comes at about 69 s: the closing ritardando starts later.
        const double atEndMark = secondsAt(f, static_cast<std::uint32_t>(690 * f.division / 4));
        QVERIFY2(atEndMark > 67 && atEndMark < 71, qPrintable(QString::number(atEndMark)));
    }

    void chime()
    {
        const QByteArray w = readAll(dataDir() + "/lwdemo2.WAV");
        QVERIFY(w.size() > 44);
        auto le = [&](int at, int n) {
            std::uint32_t v = 0;
            for (int i = n - 1; i >= 0; --i)
                v = v << 8 | static_cast<std::uint8_t>(w[at + i]);
            return v;
        };
        QCOMPARE(w.left(4), QByteArray("RIFF"));
        QCOMPARE(le(4, 4), static_cast<std::uint32_t>(w.size() - 8));
        QCOMPARE(w.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(le(20, 2), 1u); // PCM
        const std::uint32_t channels = le(22, 2), rate = le(24, 4);
        QVERIFY(channels == 1 || channels == 2);
        QVERIFY(rate == 22050 || rate == 44100);
        QCOMPARE(le(34, 2), 16u);
        QCOMPARE(le(28, 4), rate * channels * 2);
        QCOMPARE(w.mid(36, 4), QByteArray("data"));
        const std::uint32_t dataBytes = le(40, 4);
        QCOMPARE(static_cast<qsizetype>(dataBytes), w.size() - 44);
        const double seconds = static_cast<double>(dataBytes) / (rate * channels * 2);
        QVERIFY2(seconds >= 1.0 && seconds <= 2.0, qPrintable(QString::number(seconds)));

        int peak = 0;
        for (std::uint32_t i = 0; i < dataBytes / 2; ++i)
            peak = std::max(peak, std::abs(static_cast<int>(static_cast<std::int16_t>(le(44 + 2 * i, 2)))));
        QVERIFY2(peak > 8000 && peak < 32767, qPrintable(QString("peak %1").arg(peak)));
        // It fades out instead of stopping with a click.
        QVERIFY(std::abs(static_cast<int>(static_cast<std::int16_t>(le(w.size() - 2, 2)))) < 64);
    }

    // Two runs write the same bytes, and the same bytes as the build wrote into the data directory.
    void generatorIsDeterministic()
    {
        QTemporaryDir first, second;
        QVERIFY(first.isValid() && second.isValid());
        for (const QString& dir : {first.path(), second.path()}) {
            QProcess p;
            p.start(LW_MUSICGEN_PATH, {dir});
            QVERIFY(p.waitForFinished(60000));
            QCOMPARE(p.exitStatus(), QProcess::NormalExit);
            QCOMPARE(p.exitCode(), 0);
        }
        const QStringList files = QDir(first.path()).entryList(QDir::Files, QDir::Name);
        QCOMPARE(files.size(), 9);
        QCOMPARE(QDir(second.path()).entryList(QDir::Files, QDir::Name), files);
        for (const QString& name : files) {
            const QByteArray a = readAll(first.path() + "/" + name);
            QVERIFY2(a == readAll(second.path() + "/" + name), qPrintable(name));
            QVERIFY2(a == readAll(dataDir() + "/" + name), qPrintable(name + " differs from the built one"));
        }
    }

    void generatorReportsFailure_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no directory given") << QStringList{};
        QTest::newRow("directory missing") << QStringList{"/nonexistent/lunaweave/music"};
    }

    void generatorReportsFailure()
    {
        QFETCH(QStringList, arguments);
        QProcess p;
        p.start(LW_MUSICGEN_PATH, arguments);
        QVERIFY(p.waitForFinished(60000));
        QVERIFY(p.exitCode() != 0);
        QVERIFY(!p.readAllStandardError().isEmpty());
    }
};

QTEST_GUILESS_MAIN(MusicFilesTest)
#include "MusicFilesTest.moc"

// Strict checking of MIDI files and decoding of wave files, on good, cut and hostile bytes.
#include "SmfBuilder.h"
#include "SmfCheck.h"
#include "WaveDecode.h"

#include <QTest>

#include <random>

using namespace lw::audio;
using namespace lw::testing;

Q_DECLARE_METATYPE(lw::testing::Bytes)
Q_DECLARE_METATYPE(lw::audio::SmfResult)

namespace {

SmfResult check(const Bytes& bytes, SmfInfo* info = nullptr) {
    return checkSmf(bytes.data(), bytes.size(), info);
}

Bytes withHeaderWord(Bytes bytes, int offset, int value) {
    bytes[offset] = static_cast<std::uint8_t>(value >> 8);
    bytes[offset + 1] = static_cast<std::uint8_t>(value);
    return bytes;
}

Bytes pcm16(std::initializer_list<int> samples) {
    Bytes out;
    for (int s : samples)
        appendLe(out, static_cast<std::uint32_t>(static_cast<std::uint16_t>(s)), 2);
    return out;
}

} // namespace

class TestAudioFormats : public QObject {
    Q_OBJECT
private slots:
    void acceptsWellFormedFiles_data() {
        QTest::addColumn<Bytes>("file");
        QTest::addColumn<int>("division");
        QTest::addColumn<qint64>("endTick");
        QTest::newRow("format 0") << heldNote(480, 500000, 1920) << 480 << qint64(1920);
        QTest::newRow("format 1, longest track wins")
            << smf(1, 96,
                   {TrackBuilder().tempo(0, 500000).end(10),
                    TrackBuilder().noteOn(5, 60).noteOff(300, 60).end()})
            << 96 << qint64(305);
        QTest::newRow("running status")
            << smf(0, 120, {TrackBuilder().raw(0, {0x90, 60, 100}).raw(10, {62, 100}).raw(10, {60, 0}).end()})
            << 120 << qint64(20);
        QTest::newRow("system exclusive and text meta") << smf(0, 120,
                                                               {TrackBuilder()
                                                                    .raw(0, {0xf0, 0x03, 0x7e, 0x7f, 0xf7})
                                                                    .raw(4, {0xff, 0x01, 0x02, 'h', 'i'})
                                                                    .end()})
                                                        << 120 << qint64(4);
        QTest::newRow("no end-of-track event")
            << smf(0, 120, {TrackBuilder().noteOn(0, 60).noteOff(50, 60)}) << 120 << qint64(50);
        Bytes trailing = heldNote(480, 500000, 10);
        trailing.insert(trailing.end(), {0, 0, 0});
        QTest::newRow("bytes after the last track") << trailing << 480 << qint64(10);
    }
    void acceptsWellFormedFiles() {
        QFETCH(Bytes, file);
        QFETCH(int, division);
        QFETCH(qint64, endTick);
        SmfInfo info;
        QCOMPARE(check(file, &info), SmfResult::Ok);
        QCOMPARE(info.division, division);
        QCOMPARE(qint64(info.endTick), endTick);
        QVERIFY(info.length <= file.size());
        // The checked part alone is a complete file.
        QCOMPARE(check(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(info.length))),
                 SmfResult::Ok);
    }

    void rejectsMalformedFiles_data() {
        QTest::addColumn<Bytes>("file");
        QTest::addColumn<SmfResult>("result");
        const Bytes good = heldNote(480, 500000, 1920);
        QTest::newRow("empty") << Bytes() << SmfResult::Empty;
        QTest::newRow("text") << Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}
                              << SmfResult::NotMidi;
        QTest::newRow("RIFF") << wave(1, 16, 44100, pcm16({0})) << SmfResult::NotMidi;
        QTest::newRow("header only") << Bytes{'M', 'T', 'h', 'd'} << SmfResult::NotMidi;
        QTest::newRow("header length 7") << withHeaderWord(good, 6, 7) << SmfResult::BadHeader;
        QTest::newRow("format 2") << withHeaderWord(good, 8, 2) << SmfResult::BadHeader;
        QTest::newRow("format 0 with two tracks")
            << smf(0, 96, {TrackBuilder().end(), TrackBuilder().end()}) << SmfResult::BadHeader;
        QTest::newRow("no tracks") << smf(1, 96, {}) << SmfResult::BadHeader;
        QTest::newRow("more tracks than the player takes")
            << smf(1, 96, std::vector<TrackBuilder>(129, TrackBuilder().end())) << SmfResult::BadHeader;
        QTest::newRow("SMPTE division") << withHeaderWord(good, 12, 0xe728) << SmfResult::SmpteDivision;
        QTest::newRow("division 0") << withHeaderWord(good, 12, 0) << SmfResult::BadHeader;
        QTest::newRow("track count above the tracks present")
            << withHeaderWord(withHeaderWord(good, 8, 1), 10, 2) << SmfResult::BadTrack;
        Bytes longTrack = good;
        longTrack[21] += 1;
        QTest::newRow("track length past the end") << longTrack << SmfResult::BadTrack;
        QTest::newRow("data byte without running status")
            << smf(0, 96, {TrackBuilder().raw(0, {60, 100}).end()}) << SmfResult::BadTrack;
        QTest::newRow("running status after a meta event")
            << smf(0, 96, {TrackBuilder().raw(0, {0x90, 60, 100}).tempo(0, 500000).raw(0, {60, 0}).end()})
            << SmfResult::BadTrack;
        TrackBuilder fiveByteDelta;
        fiveByteDelta.events = {0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 1};
        QTest::newRow("five-byte delta") << smf(0, 96, {fiveByteDelta}) << SmfResult::BadTrack;
        QTest::newRow("meta longer than its track")
            << smf(0, 96, {TrackBuilder().raw(0, {0xff, 0x01, 0x7f, 'x'})}) << SmfResult::BadTrack;
        QTest::newRow("sysex longer than its track")
            << smf(0, 96, {TrackBuilder().raw(0, {0xf0, 0x40, 1})}) << SmfResult::BadTrack;
        QTest::newRow("tempo 0") << smf(0, 96, {TrackBuilder().tempo(0, 0).end()}) << SmfResult::BadTrack;
        QTest::newRow("tempo of two bytes")
            << smf(0, 96, {TrackBuilder().raw(0, {0xff, 0x51, 0x02, 1, 2}).end()}) << SmfResult::BadTrack;
        QTest::newRow("event after end of track")
            << smf(0, 96, {TrackBuilder().end().noteOn(0, 60)}) << SmfResult::BadTrack;
        QTest::newRow("timing clock in a file")
            << smf(0, 96, {TrackBuilder().raw(0, {0xf8}).end()}) << SmfResult::BadTrack;
        QTest::newRow("data byte with the top bit")
            << smf(0, 96, {TrackBuilder().raw(0, {0x90, 0x80, 1}).end()}) << SmfResult::BadTrack;
        QTest::newRow("ticks past the player's counter") << smf(0, 96,
                                                                {TrackBuilder()
                                                                     .noteOn(0x0fffffff, 60)
                                                                     .noteOn(0x0fffffff, 61)
                                                                     .noteOn(0x0fffffff, 62)
                                                                     .noteOn(0x0fffffff, 63)
                                                                     .noteOn(0x0fffffff, 64)
                                                                     .noteOn(0x0fffffff, 65)
                                                                     .noteOn(0x0fffffff, 66)
                                                                     .noteOn(0x0fffffff, 67)
                                                                     .noteOn(0x0fffffff, 68)})
                                                         << SmfResult::BadTrack;
        Bytes huge = good;
        huge.resize(kMaxSmfBytes + 1);
        QTest::newRow("over 4 MB") << huge << SmfResult::TooLarge;
    }
    void rejectsMalformedFiles() {
        QFETCH(Bytes, file);
        QFETCH(SmfResult, result);
        QCOMPARE(check(file), result);
    }

    // Every cut of a good file short of its last track's end is refused.
    void rejectsEveryTruncation() {
        const Bytes good =
            smf(1, 96,
                {TrackBuilder().tempo(0, 400000).end(), TrackBuilder().noteOn(0, 60).noteOff(96, 60).end()});
        QCOMPARE(check(good), SmfResult::Ok);
        for (std::size_t n = 0; n < good.size(); ++n)
            QVERIFY2(check(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n))) !=
                         SmfResult::Ok,
                     qPrintable(QString::number(n)));
    }

    // Random damage: never a crash, and anything accepted stays inside the buffer.
    void survivesRandomDamage() {
        std::mt19937 random(20240607);
        const Bytes good = smf(1, 96,
                               {TrackBuilder().tempo(0, 400000).raw(0, {0xf0, 2, 1, 0xf7}).end(),
                                TrackBuilder().noteOn(0, 60).raw(3, {62, 9}).noteOff(96, 60).end()});
        for (int round = 0; round < 20000; ++round) {
            Bytes bytes = good;
            const int flips = 1 + static_cast<int>(random() % 4);
            for (int i = 0; i < flips; ++i)
                bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
            SmfInfo info;
            if (check(bytes, &info) == SmfResult::Ok) {
                QVERIFY(info.length <= bytes.size());
                QVERIFY(info.division > 0 && info.tracks >= 1);
            }
        }
    }

    void decodesWaves_data() {
        QTest::addColumn<Bytes>("file");
        QTest::addColumn<int>("outputRate");
        QTest::addColumn<std::vector<float>>("expected");
        QTest::newRow("16-bit mono, same rate") << wave(1, 16, 44100, pcm16({0, 16384, -32768})) << 44100
                                                << std::vector<float>{0, 0, 0.5f, 0.5f, -1, -1};
        QTest::newRow("8-bit mono") << wave(1, 8, 8000, Bytes{128, 192, 0}) << 8000
                                    << std::vector<float>{0, 0, 0.5f, 0.5f, -1, -1};
        QTest::newRow("16-bit stereo, doubled rate interpolates")
            << wave(2, 16, 22050, pcm16({0, 16384, 16384, 0})) << 44100
            << std::vector<float>{0, 0.5f, 0.25f, 0.25f, 0.5f, 0, 0.5f, 0};
        QTest::newRow("halved rate") << wave(1, 16, 44100, pcm16({0, 8192, 16384, 24576})) << 22050
                                     << std::vector<float>{0, 0, 0.5f, 0.5f};
        Bytes overlong = wave(1, 16, 44100, pcm16({16384, 8192}));
        overlong[40] = 0xff;   // data length claims more than the file holds
        overlong.push_back(7); // and the last sample is cut in half
        QTest::newRow("data chunk past the end is cut to whole frames")
            << overlong << 44100 << std::vector<float>{0.5f, 0.5f, 0.25f, 0.25f};
        Bytes listFirst{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
                        'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
        const Bytes plain = wave(1, 16, 44100, pcm16({16384}));
        listFirst.insert(listFirst.end(), plain.begin() + 12, plain.end());
        QTest::newRow("odd chunk before fmt is padded")
            << listFirst << 44100 << std::vector<float>{0.5f, 0.5f};
    }
    void decodesWaves() {
        QFETCH(Bytes, file);
        QFETCH(int, outputRate);
        QFETCH(std::vector<float>, expected);
        const auto frames = decodeWave(file.data(), file.size(), outputRate);
        QVERIFY(frames.has_value());
        QCOMPARE(frames->size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            QVERIFY2(std::abs((*frames)[i] - expected[i]) < 1e-4f, qPrintable(QString::number(i)));
    }

    void refusesBadWaves_data() {
        QTest::addColumn<Bytes>("file");
        const Bytes good = wave(1, 16, 44100, pcm16({1, 2}));
        auto patched = [&good](int offset, std::initializer_list<int> bytes) {
            Bytes b = good;
            for (int v : bytes)
                b[static_cast<std::size_t>(offset++)] = static_cast<std::uint8_t>(v);
            return b;
        };
        QTest::newRow("empty") << Bytes();
        QTest::newRow("MIDI file") << heldNote(96, 500000, 96);
        QTest::newRow("float samples") << patched(20, {3, 0});
        QTest::newRow("24-bit") << patched(34, {24, 0});
        QTest::newRow("three channels") << patched(22, {3, 0});
        QTest::newRow("block size wrong") << patched(32, {4, 0});
        QTest::newRow("rate 0") << patched(24, {0, 0, 0, 0});
        QTest::newRow("rate absurd") << patched(24, {0xff, 0xff, 0xff, 0x7f});
        QTest::newRow("fmt longer than the file") << patched(16, {0xff, 0xff, 0, 0});
        QTest::newRow("data before fmt") << Bytes{'R', 'I', 'F', 'F', 0,   0, 0, 0, 'W', 'A', 'V',
                                                  'E', 'd', 'a', 't', 'a', 2, 0, 0, 0,   1,   2};
        QTest::newRow("no data chunk") << Bytes(good.begin(), good.begin() + 36);
        QTest::newRow("cut inside the fmt chunk") << Bytes(good.begin(), good.begin() + 30);
    }
    void refusesBadWaves() {
        QFETCH(Bytes, file);
        QVERIFY(!decodeWave(file.data(), file.size(), 44100).has_value());
    }

    void waveSurvivesRandomDamage() {
        std::mt19937 random(7);
        const Bytes good = wave(2, 16, 11025, pcm16({1, 2, 3, 4, 5, 6, 7, 8}));
        for (int round = 0; round < 20000; ++round) {
            Bytes bytes = good;
            bytes.resize(bytes.size() - random() % 8);
            for (int i = 0; i < 3; ++i)
                bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
            const auto frames = decodeWave(bytes.data(), bytes.size(), 44100);
            if (frames) // never more than the bytes could hold, resampled up to 384 kHz input
                QVERIFY(frames->size() <= 2 * 44100 * bytes.size());
        }
    }
};

QTEST_GUILESS_MAIN(TestAudioFormats)
#include "tst_audio_formats.moc"

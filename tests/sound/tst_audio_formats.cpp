// Strict checking of MIDI files and decoding of wave files, on good, cut and hostile bytes.
#include "SmfBuilder.h"
#include "SmfCheck.h"
#include "WaveDecode.h"
#include "WaveWriter.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <random>

using namespace lw::audio;
using namespace lw::testing;

Q_DECLARE_METATYPE(lw::testing::Bytes)
Q_DECLARE_METATYPE(lw::audio::SmfResult)

namespace {

SmfResult check(const Bytes& bytes, SmfInfo* info = nullptr) { return checkSmf(bytes.data(), bytes.size(), info); }

Bytes withHeaderWord(Bytes bytes, int offset, int value)
{
    bytes[offset] = static_cast<std::uint8_t>(value >> 8);
    bytes[offset + 1] = static_cast<std::uint8_t>(value);
    return bytes;
}

Bytes pcm16(std::initializer_list<int> samples)
{
    Bytes out;
    for (int s : samples)
        appendLe(out, static_cast<std::uint32_t>(static_cast<std::uint16_t>(s)), 2);
    return out;
}

} // namespace

class TestAudioFormats : public QObject {
    Q_OBJECT
private slots:
    void acceptsWellFormedFiles_data()
    {
        QTest::addColumn<Bytes>("file");
        QTest::addColumn<int>("division");
        QTest::addColumn<qint64>("endTick");
        QTest::newRow("format 0") << heldNote(480, 500000, 1920) << 480 << qint64(1920);
        QTest::newRow("format 1, longest track wins")
            << smf(1, 96,
                   {TrackBuilder().tempo(0, 500000).end(10), TrackBuilder().noteOn(5, 60).noteOff(300, 60).end()})
            << 96 << qint64(305);
        QTest::newRow("running status")
            << smf(0, 120, {TrackBuilder().raw(0, {0x90, 60, 100}).raw(10, {62, 100}).raw(10, {60, 0}).end()}) << 120
            << qint64(20);
        QTest::newRow("system exclusive and text meta")
            << smf(0, 120,
                   {TrackBuilder().raw(0, {0xf0, 0x03, 0x7e, 0x7f, 0xf7}).raw(4, {0xff, 0x01, 0x02, 'h', 'i'}).end()})
            << 120 << qint64(4);
        QTest::newRow("no end-of-track event")
            << smf(0, 120, {TrackBuilder().noteOn(0, 60).noteOff(50, 60)}) << 120 << qint64(50);
        Bytes trailing = heldNote(480, 500000, 10);
        trailing.insert(trailing.end(), {0, 0, 0});
        QTest::newRow("bytes after the last track") << trailing << 480 << qint64(10);
    }
    void acceptsWellFormedFiles()
    {
        QFETCH(Bytes, file);
        QFETCH(int, division);
        QFETCH(qint64, endTick);
        SmfInfo info;
        QCOMPARE(check(file, &info), SmfResult::Ok);
        QCOMPARE(info.division, division);
        QCOMPARE(qint64(info.endTick), endTick);
        QVERIFY(info.length <= file.size());
        // The checked part alone is a complete file.
        QCOMPARE(check(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(info.length))), SmfResult::Ok);
    }

    void rejectsMalformedFiles_data()
    {
        QTest::addColumn<Bytes>("file");
        QTest::addColumn<SmfResult>("result");
        const Bytes good = heldNote(480, 500000, 1920);
        QTest::newRow("empty") << Bytes() << SmfResult::Empty;
        QTest::newRow("text") << Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'} << SmfResult::NotMidi;
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
    void rejectsMalformedFiles()
    {
        QFETCH(Bytes, file);
        QFETCH(SmfResult, result);
        QCOMPARE(check(file), result);
    }

    // Every cut of a good file short of its last track's end is refused.
    void rejectsEveryTruncation()
    {
        const Bytes good =
            smf(1, 96, {TrackBuilder().tempo(0, 400000).end(), TrackBuilder().noteOn(0, 60).noteOff(96, 60).end()});
        QCOMPARE(check(good), SmfResult::Ok);
        for (std::size_t n = 0; n < good.size(); ++n)
            QVERIFY2(check(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n))) != SmfResult::Ok,
                     qPrintable(QString::number(n)));
    }

    // Random damage: never a crash, and anything accepted stays inside the buffer.
    void survivesRandomDamage()
    {
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

    // Every encoding the player is expected to play, in each wave container: a 441 Hz tone
    // comes back as written, on both sides, to within the encoding's own precision.
    void decodesEachEncoding_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<double>("minSnr"); // dB of the tone over the decoding error
        QTest::newRow("8-bit") << (SF_FORMAT_WAV | SF_FORMAT_PCM_U8) << 35.0;
        QTest::newRow("16-bit") << (SF_FORMAT_WAV | SF_FORMAT_PCM_16) << 85.0;
        QTest::newRow("24-bit") << (SF_FORMAT_WAV | SF_FORMAT_PCM_24) << 130.0;
        QTest::newRow("32-bit") << (SF_FORMAT_WAV | SF_FORMAT_PCM_32) << 140.0;
        QTest::newRow("float") << (SF_FORMAT_WAV | SF_FORMAT_FLOAT) << 140.0;
        QTest::newRow("double") << (SF_FORMAT_WAV | SF_FORMAT_DOUBLE) << 140.0;
        QTest::newRow("µ-law") << (SF_FORMAT_WAV | SF_FORMAT_ULAW) << 30.0;
        QTest::newRow("A-law") << (SF_FORMAT_WAV | SF_FORMAT_ALAW) << 30.0;
        QTest::newRow("IMA ADPCM") << (SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM) << 20.0;
        QTest::newRow("MS ADPCM") << (SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM) << 20.0;
        QTest::newRow("extensible 24-bit") << (SF_FORMAT_WAVEX | SF_FORMAT_PCM_24) << 130.0;
        QTest::newRow("RF64 16-bit") << (SF_FORMAT_RF64 | SF_FORMAT_PCM_16) << 85.0;
        QTest::newRow("RIFX 16-bit") << (SF_FORMAT_WAV | SF_FORMAT_PCM_16 | SF_ENDIAN_BIG) << 85.0;
    }
    void decodesEachEncoding()
    {
        QFETCH(int, format);
        QFETCH(double, minSnr);
        const std::vector<float> tone = sine(441, 0.5, 44100, 0.2);
        const Bytes file = writeWave(format, 1, 44100, tone);
        WaveInfo info;
        const auto frames = decodeWave(file.data(), file.size(), 44100, &info);
        QVERIFY(frames.has_value());
        QCOMPARE(info.format & ~SF_FORMAT_ENDMASK, format & ~SF_FORMAT_ENDMASK);
        QCOMPARE(info.sampleRate, 44100);
        // ADPCM fills its last block (up to 4089 frames) with silence.
        QVERIFY2(frames->size() / 2 >= tone.size() && frames->size() / 2 < tone.size() + 4096,
                 qPrintable(QString::number(frames->size() / 2)));
        double signal = 0, error = 0;
        for (std::size_t i = 0; i < tone.size(); ++i) {
            QCOMPARE((*frames)[2 * i], (*frames)[2 * i + 1]);
            signal += double(tone[i]) * tone[i];
            error += std::pow(double((*frames)[2 * i]) - tone[i], 2);
        }
        const double snr = 10 * std::log10(signal / std::max(error, 1e-30));
        QVERIFY2(snr >= minSnr, qPrintable(QStringLiteral("%1 dB").arg(snr)));
    }

    // Exact samples through hand-made files, some of them bent in ways real files are.
    void decodesExactSamples_data()
    {
        QTest::addColumn<Bytes>("file");
        QTest::addColumn<std::vector<float>>("expected");
        QTest::newRow("16-bit mono") << wave(1, 16, 44100, pcm16({0, 16384, -32768}))
                                     << std::vector<float>{0, 0, 0.5f, 0.5f, -1, -1};
        QTest::newRow("8-bit mono") << wave(1, 8, 44100, Bytes{128, 192, 0})
                                    << std::vector<float>{0, 0, 0.5f, 0.5f, -1, -1};
        QTest::newRow("16-bit stereo") << wave(2, 16, 44100, pcm16({16384, -8192, 0, 32767}))
                                       << std::vector<float>{0.5f, -0.25f, 0, 32767 / 32768.0f};
        Bytes overlong = wave(1, 16, 44100, pcm16({16384, 8192}));
        overlong[40] = 0xff;   // data length claims more than the file holds
        overlong.push_back(7); // and the last sample is cut in half
        QTest::newRow("data chunk past the end is cut to whole frames")
            << overlong << std::vector<float>{0.5f, 0.5f, 0.25f, 0.25f};
        Bytes listFirst{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
                        'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
        const Bytes plain = wave(1, 16, 44100, pcm16({16384}));
        listFirst.insert(listFirst.end(), plain.begin() + 12, plain.end());
        QTest::newRow("odd chunk before fmt is padded") << listFirst << std::vector<float>{0.5f, 0.5f};
        QTest::newRow("float beyond full scale and not a number")
            << writeWave(SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 44100, {3.0f, -1e30f, NAN, INFINITY, 0.25f})
            << std::vector<float>{1, 1, -1, -1, 0, 0, 0, 0, 0.25f, 0.25f};
    }
    void decodesExactSamples()
    {
        QFETCH(Bytes, file);
        QFETCH(std::vector<float>, expected);
        const auto frames = decodeWave(file.data(), file.size(), 44100);
        QVERIFY(frames.has_value());
        QCOMPARE(frames->size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            QVERIFY2(std::abs((*frames)[i] - expected[i]) < 1e-4f, qPrintable(QString::number(i)));
    }

    // More than two channels: each constant channel lands on its side of the stereo mix.
    void downMixesChannels_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<std::vector<float>>("frame"); // one value per channel
        QTest::addColumn<uint>("mask");                // speaker positions, extensible files only
        QTest::addColumn<float>("left");
        QTest::addColumn<float>("right");
        const float h = 0.70710678f;
        QTest::newRow("three channels in the usual order: left, right, centre")
            << (SF_FORMAT_WAV | SF_FORMAT_FLOAT) << std::vector<float>{0.6f, -0.6f, 0.4f} << 0u
            << (0.6f + h * 0.4f) / (1 + h) << (-0.6f + h * 0.4f) / (1 + h);
        QTest::newRow("5.1 with its speaker mask, LFE left out")
            << (SF_FORMAT_WAVEX | SF_FORMAT_FLOAT) << std::vector<float>{0.4f, -0.4f, 0.2f, 0.9f, 0.1f, 0.3f}
            << 0x3fu // front left, right and centre, LFE, back left and right
            << (0.4f + h * 0.2f + h * 0.1f) / (1 + 2 * h) << (-0.4f + h * 0.2f + h * 0.3f) / (1 + 2 * h);
        QTest::newRow("the mask wins over the usual order")
            << (SF_FORMAT_WAVEX | SF_FORMAT_FLOAT) << std::vector<float>{0.5f, -0.5f, 0.9f}
            << 0x0bu // front left and right, LFE
            << 0.5f << -0.5f;
        QTest::newRow("twenty channels stay within full scale")
            << (SF_FORMAT_WAV | SF_FORMAT_FLOAT) << std::vector<float>(20, 1.0f) << 0u << 1.0f << 1.0f;
    }
    void downMixesChannels()
    {
        QFETCH(int, format);
        QFETCH(std::vector<float>, frame);
        QFETCH(uint, mask);
        QFETCH(float, left);
        QFETCH(float, right);
        std::vector<float> samples;
        for (int i = 0; i < 8; ++i)
            samples.insert(samples.end(), frame.begin(), frame.end());
        const Bytes file = writeWave(format, int(frame.size()), 44100, samples, mask);
        const auto frames = decodeWave(file.data(), file.size(), 44100);
        QVERIFY(frames.has_value());
        QCOMPARE(frames->size(), std::size_t(16));
        for (std::size_t i = 0; i < 16; i += 2) {
            QVERIFY2(std::abs((*frames)[i] - left) < 1e-5f, qPrintable(QString::number((*frames)[i])));
            QVERIFY2(std::abs((*frames)[i + 1] - right) < 1e-5f, qPrintable(QString::number((*frames)[i + 1])));
        }
    }

    // Other rates come out at the output rate, at the same length and pitch, with nothing above
    // the output's band folding back into it (straight-line interpolation misses both by far).
    void convertsRates_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<double>("hz");
        QTest::addColumn<double>("amplitude"); // expected in the output
        QTest::newRow("8000 Hz") << 8000 << 1000.0 << 0.5;
        QTest::newRow("22050 Hz, near the top of its band") << 22050 << 9000.0 << 0.5;
        QTest::newRow("48000 Hz") << 48000 << 1000.0 << 0.5;
        QTest::newRow("96000 Hz") << 96000 << 15000.0 << 0.5;
        QTest::newRow("48000 Hz, a tone above the output's band") << 48000 << 23000.0 << 0.0;
    }
    void convertsRates()
    {
        QFETCH(int, rate);
        QFETCH(double, hz);
        QFETCH(double, amplitude);
        const double seconds = 0.5;
        const Bytes file = writeWave(SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, rate, sine(hz, 0.5, rate, seconds));
        const auto frames = decodeWave(file.data(), file.size(), 44100);
        QVERIFY(frames.has_value());
        const std::size_t count = frames->size() / 2;
        QVERIFY2(std::abs(double(count) - seconds * 44100) <= 2, qPrintable(QString::number(count)));
        // The filter's start and end are left out.
        const std::vector<float> ideal = sine(hz, amplitude, 44100, seconds);
        float worst = 0;
        for (std::size_t i = 2000; i + 2000 < count; ++i)
            worst = std::max(worst, std::abs((*frames)[2 * i] - ideal[i]));
        QVERIFY2(worst < 2e-3f, qPrintable(QString::number(worst)));
    }

    void refusesBadWaves_data()
    {
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
        QTest::newRow("not a WAVE form") << patched(8, {'A', 'V', 'I', ' '});
        QTest::newRow("other sound file") << writeWave(SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 1, 44100, {0.5f, 0.25f});
        QTest::newRow("unknown encoding") << patched(20, {0x34, 0x12});
        QTest::newRow("no channels") << patched(22, {0, 0});
        QTest::newRow("rate 0") << patched(24, {0, 0, 0, 0});
        QTest::newRow("rate below 1000 Hz") << patched(24, {0xe7, 0x03, 0, 0});
        QTest::newRow("rate absurd") << patched(24, {0xff, 0xff, 0xff, 0x7f});
        QTest::newRow("fmt longer than the file") << patched(16, {0xff, 0xff, 0, 0});
        QTest::newRow("no data chunk") << Bytes(good.begin(), good.begin() + 36);
        QTest::newRow("cut inside the fmt chunk") << Bytes(good.begin(), good.begin() + 30);
        QTest::newRow("no frames") << wave(1, 16, 44100, Bytes());
        QTest::newRow("longer than 30 s")
            << writeWave(SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, 8000, std::vector<float>(8000 * 30 + 1, 0.5f));
        Bytes huge = good;
        huge.resize(kMaxWaveBytes + 1); // a sound well within the limit, in a file beyond it
        QTest::newRow("over 4 MB") << huge;
    }
    void refusesBadWaves()
    {
        QFETCH(Bytes, file);
        QVERIFY(!decodeWave(file.data(), file.size(), 44100).has_value());
    }

    // A file cut anywhere after its data chunk starts gives the whole frames before the cut.
    void cutFilesGiveTheFramesBeforeTheCut()
    {
        const Bytes good = writeWave(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, sine(441, 0.5, 44100, 0.01, 2));
        const auto whole = decodeWave(good.data(), good.size(), 44100);
        QVERIFY(whole.has_value());
        const std::size_t header = good.size() - 2 * whole->size();
        for (std::size_t n = header + 4; n < good.size(); n += 3) {
            const auto frames = decodeWave(good.data(), n, 44100);
            QVERIFY2(frames.has_value(), qPrintable(QString::number(n)));
            QCOMPARE(frames->size(), (n - header) / 4 * 2);
            QVERIFY(std::equal(frames->begin(), frames->end(), whole->begin()));
        }
    }

    // Random damage to files of several encodings: never a crash, and whatever decodes is a
    // bounded stream of stereo samples within full scale.
    void waveSurvivesRandomDamage()
    {
        const std::vector<float> three = sine(441, 0.9, 11025, 0.05, 3);
        const std::vector<float> two = sine(441, 0.9, 11025, 0.05, 2);
        const std::vector<Bytes> files = {
            writeWave(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 3, 11025, three),
            writeWave(SF_FORMAT_WAVEX | SF_FORMAT_FLOAT, 3, 11025, three, 0x7),
            writeWave(SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 2, 11025, two),
            writeWave(SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 2, 11025, two),
            writeWave(SF_FORMAT_WAV | SF_FORMAT_ULAW, 3, 11025, three),
        };
        std::mt19937 random(7);
        for (int round = 0; round < 5000; ++round) {
            Bytes bytes = files[std::size_t(round) % files.size()];
            bytes.resize(bytes.size() - random() % 64);
            for (int i = 0; i < 3; ++i)
                bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
            const auto frames = decodeWave(bytes.data(), bytes.size(), 44100);
            if (!frames)
                continue;
            QVERIFY(!frames->empty() && frames->size() % 2 == 0);
            QVERIFY(frames->size() <= 2 * std::size_t(44100) * (kMaxWaveSeconds + 1));
            for (float v : *frames)
                QVERIFY(v >= -1 && v <= 1); // false for a non-number too
        }
    }
};

QTEST_GUILESS_MAIN(TestAudioFormats)
#include "tst_audio_formats.moc"

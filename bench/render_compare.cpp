// The engine's own sequencer against FluidSynth's MIDI player: renders one piece both ways with the
// same SoundFont and synthesizer settings, in the same periods, and compares what each costs and
// what each sounds like.
//
// Usage: bench_render_compare <soundfont> <piece.mid> [seconds=30] [period frames=512] [out.wav]
// Prints, for each way: thread CPU per second of music (median of three passes); then how alike
// the RMS envelopes are in 10 ms and in 1 ms steps (correlation, and the lag that best lines them
// up), and the level difference. With out.wav, writes both renderings side by side (engine left, player
// right) for listening.
#include "AudioEngine.h"

#include "FloorSynth.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <numeric>
#include <string>
#include <vector>

namespace {

using lw::audio::AudioEngine;
constexpr int kRate = AudioEngine::kSampleRate;
constexpr int kWindow = kRate / 100; // envelope window, frames

double threadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// The engine on its manual clock, rendered period by period as the audio thread does.
std::vector<float> renderEngine(const std::string& font, const std::vector<std::uint8_t>& smf, int frames, int period,
                                double& cpu)
{
    lw::audio::AudioOptions options;
    options.manualClock = true;
    options.soundFont = font;
    auto engine = AudioEngine::create(options);
    if (!engine->soundFontReady()) {
        std::fprintf(stderr, "the engine cannot load %s\n", font.c_str());
        std::exit(1);
    }
    engine->loadPiece(smf);
    engine->startFromBeginning();
    std::vector<float> all;
    all.reserve(static_cast<std::size_t>(2 * frames));
    std::vector<float> block;
    const double start = threadCpuSeconds();
    for (int done = 0; done < frames; done += period) {
        engine->render(std::min(period, frames - done), &block);
        all.insert(all.end(), block.begin(), block.end());
    }
    cpu = threadCpuSeconds() - start;
    return all;
}

// FluidSynth alone: its own player with the game's settings, writing the same periods.
std::vector<float> renderPlayer(const std::string& font, const std::string& piece, int frames, int period, double& cpu)
{
    lw::bench::FloorSynth player(font.c_str(), piece.c_str(), false);
    std::vector<float> all(static_cast<std::size_t>(2 * frames));
    const double start = threadCpuSeconds();
    for (int done = 0; done < frames; done += period) {
        const int n = std::min(period, frames - done);
        float* out = all.data() + 2 * done;
        player.render(n, out);
    }
    cpu = threadCpuSeconds() - start;
    return all;
}

// RMS of each `window` frames.
std::vector<double> envelope(const std::vector<float>& stereo, int window)
{
    std::vector<double> env;
    const auto span = static_cast<std::size_t>(2 * window);
    for (std::size_t at = 0; at + span <= stereo.size(); at += span) {
        double sum = 0;
        for (std::size_t i = at; i < at + span; ++i)
            sum += double(stereo[i]) * stereo[i];
        env.push_back(std::sqrt(sum / double(span)));
    }
    return env;
}

double correlation(const std::vector<double>& a, const std::vector<double>& b, int lag)
{
    double ma = 0, mb = 0;
    int n = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const long j = static_cast<long>(i) + lag;
        if (j < 0 || j >= static_cast<long>(b.size()))
            continue;
        ma += a[i];
        mb += b[static_cast<std::size_t>(j)];
        ++n;
    }
    ma /= n;
    mb /= n;
    double sab = 0, saa = 0, sbb = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const long j = static_cast<long>(i) + lag;
        if (j < 0 || j >= static_cast<long>(b.size()))
            continue;
        const double x = a[i] - ma, y = b[static_cast<std::size_t>(j)] - mb;
        sab += x * y;
        saa += x * x;
        sbb += y * y;
    }
    return sab / std::sqrt(saa * sbb);
}

// The lag (in envelope steps, within +-maxLag) at which b best follows a, and that correlation.
std::pair<int, double> bestLag(const std::vector<double>& a, const std::vector<double>& b, int maxLag)
{
    std::pair<int, double> best{0, -2.0};
    for (int lag = -maxLag; lag <= maxLag; ++lag) {
        const double c = correlation(a, b, lag);
        if (c > best.second)
            best = {lag, c};
    }
    return best;
}

void writeWav(const std::string& path, const std::vector<float>& left, const std::vector<float>& right)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return;
    const auto frames = static_cast<std::uint32_t>(std::min(left.size(), right.size()) / 2);
    const auto put = [f](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            std::fputc(static_cast<int>((v >> (8 * i)) & 0xff), f);
    };
    std::fwrite("RIFF", 1, 4, f);
    put(36 + frames * 4, 4);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put(16, 4);
    put(1, 2);
    put(2, 2);
    put(kRate, 4);
    put(kRate * 4, 4);
    put(4, 2);
    put(16, 2);
    std::fwrite("data", 1, 4, f);
    put(frames * 4, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        for (float v : {0.5f * (left[2 * i] + left[2 * i + 1]), 0.5f * (right[2 * i] + right[2 * i + 1])})
            put(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::clamp(v, -1.0f, 1.0f) * 32767)), 2);
    }
    std::fclose(f);
}

} // namespace

int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("LW_AUDIO_BACKEND"))
        qputenv("LW_AUDIO_BACKEND", LW_BENCH_AUDIO_BACKEND);
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <soundfont> <piece.mid> [seconds] [period frames] [out.wav]\n", argv[0]);
        return 2;
    }
    lw::bench::silenceFluidLog();
    const std::string font = argv[1], piece = argv[2];
    const double seconds = argc > 3 ? std::atof(argv[3]) : 30.0;
    const int period = argc > 4 ? std::atoi(argv[4]) : 512;
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[2]);
        return 1;
    }
    const QByteArray bytes = file.readAll();
    const std::vector<std::uint8_t> smf(bytes.begin(), bytes.end());
    const int frames = static_cast<int>(seconds * kRate);

    std::vector<double> engineCpu, playerCpu;
    std::vector<float> engineOut, playerOut;
    for (int pass = 0; pass < 3; ++pass) {
        double cpu = 0;
        // Alternate which goes first, so neither always meets a warm cache.
        for (int way = 0; way < 2; ++way) {
            if ((way + pass) % 2 == 0) {
                engineOut = renderEngine(font, smf, frames, period, cpu);
                engineCpu.push_back(cpu / seconds);
            } else {
                playerOut = renderPlayer(font, piece, frames, period, cpu);
                playerCpu.push_back(cpu / seconds);
            }
        }
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("period %d frames, %.0f s of music\n", period, seconds);
    std::printf("engine  %.3f %% of a core\n", 100 * median(engineCpu));
    std::printf("player  %.3f %% of a core (FluidSynth alone)\n", 100 * median(playerCpu));
    std::printf("ratio   %.3f\n", median(engineCpu) / median(playerCpu));

    // The envelopes in 10 ms steps (the notes and dynamics as heard) and in 1 ms steps (the timing
    // of each attack); a lag of +1 ms means the player's notes come that much after the engine's.
    for (const int window : {kWindow, kRate / 1000}) {
        const auto a = envelope(engineOut, window), b = envelope(playerOut, window);
        const auto [lag, best] = bestLag(a, b, 20 * kWindow / window);
        std::printf("envelope in %2.0f ms steps: correlation %.4f at lag 0, best %.4f at %+.0f ms\n",
                    1000.0 * window / kRate, correlation(a, b, 0), best, 1000.0 * lag * window / kRate);
    }
    const double ra = std::sqrt(std::inner_product(engineOut.begin(), engineOut.end(), engineOut.begin(), 0.0)),
                 rb = std::sqrt(std::inner_product(playerOut.begin(), playerOut.end(), playerOut.begin(), 0.0));
    std::printf("level: engine %+.2f dB against the player\n", 20 * std::log10(ra / rb));
    if (argc > 5)
        writeWav(argv[5], engineOut, playerOut);
    return 0;
}

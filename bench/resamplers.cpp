// The two resampling libraries at each of their quality settings, against linear interpolation:
// tone purity, band edge, alias rejection and time per second of stereo audio, for every common
// wave rate converted to the output rate. Prints a Markdown table.
//
// Build: needs libsamplerate0-dev and libsoxr-dev (apt-get install libsoxr-dev); the target
// bench_resamplers is made only when both are found. Run: build/bench/bench_resamplers [--runs N]
#include <samplerate.h>
#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <numbers>
#include <string>
#include <time.h>
#include <vector>

namespace {

constexpr int kOutputRate = 44100;
constexpr double kAmplitude = 0.5;

using Resample = std::function<std::vector<float>(const std::vector<float>& stereo, int inRate)>;

struct Method {
    std::string name;
    Resample run;
};

std::size_t outFramesFor(std::size_t inFrames, int inRate)
{
    return static_cast<std::size_t>(std::ceil(static_cast<double>(inFrames) * kOutputRate / inRate));
}

// What the hand-written decoder did: straight lines between neighbouring input samples.
std::vector<float> linear(const std::vector<float>& in, int inRate)
{
    const std::size_t inFrames = in.size() / 2;
    const std::size_t outFrames = outFramesFor(inFrames, inRate);
    std::vector<float> out(outFrames * 2);
    const double step = static_cast<double>(inRate) / kOutputRate;
    for (std::size_t i = 0; i < outFrames; ++i) {
        const double position = static_cast<double>(i) * step;
        const std::size_t a = std::min(static_cast<std::size_t>(position), inFrames - 1);
        const std::size_t b = std::min(a + 1, inFrames - 1);
        const float t = static_cast<float>(position - static_cast<double>(a));
        for (int c = 0; c < 2; ++c)
            out[2 * i + c] = in[2 * a + c] + (in[2 * b + c] - in[2 * a + c]) * t;
    }
    return out;
}

// Both libraries are fed as the wave player feeds its resampler: stereo blocks of this many
// frames, then the end of the input.
constexpr std::size_t kBlockFrames = 8192;

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "%s failed\n", what);
    std::exit(1);
}

Resample libsamplerate(int converter)
{
    return [converter](const std::vector<float>& in, int inRate) {
        int error = 0;
        SRC_STATE* state = src_new(converter, 2, &error);
        if (!state)
            fail("libsamplerate");
        const double ratio = static_cast<double>(kOutputRate) / inRate;
        std::vector<float> out(outFramesFor(in.size() / 2, inRate) * 2 + 2 * 4096);
        std::size_t done = 0, made = 0;
        const std::size_t frames = in.size() / 2;
        for (;;) {
            const std::size_t count = std::min(kBlockFrames, frames - done);
            SRC_DATA data{};
            data.data_in = in.data() + 2 * done;
            data.data_out = out.data() + 2 * made;
            data.input_frames = static_cast<long>(count);
            data.output_frames = static_cast<long>(out.size() / 2 - made);
            data.end_of_input = done + count == frames;
            data.src_ratio = ratio;
            if (src_process(state, &data) != 0)
                fail("libsamplerate");
            done += static_cast<std::size_t>(data.input_frames_used);
            made += static_cast<std::size_t>(data.output_frames_gen);
            if (done == frames && data.output_frames_gen == 0)
                break;
        }
        src_delete(state);
        out.resize(made * 2);
        return out;
    };
}

Resample soxrStream(unsigned long recipe)
{
    return [recipe](const std::vector<float>& in, int inRate) {
        const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
        const soxr_quality_spec_t quality = soxr_quality_spec(recipe, 0);
        const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
        soxr_error_t error = nullptr;
        soxr_t soxr = soxr_create(inRate, kOutputRate, 2, &error, &io, &quality, &runtime);
        if (error)
            fail("soxr");
        std::vector<float> out(outFramesFor(in.size() / 2, inRate) * 2 + 2 * 4096);
        std::size_t done = 0, made = 0;
        const std::size_t frames = in.size() / 2;
        for (;;) {
            const bool end = done == frames;
            const std::size_t count = std::min(kBlockFrames, frames - done);
            std::size_t used = 0, got = 0;
            if (soxr_process(soxr, end ? nullptr : in.data() + 2 * done, count, &used, out.data() + 2 * made,
                             out.size() / 2 - made, &got))
                fail("soxr");
            done += used;
            made += got;
            if (end && got == 0)
                break;
        }
        soxr_delete(soxr);
        out.resize(made * 2);
        return out;
    };
}

std::vector<float> tone(double hz, int rate, double seconds)
{
    const auto frames = static_cast<std::size_t>(seconds * rate);
    std::vector<float> out(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const auto v = static_cast<float>(kAmplitude * std::sin(2 * std::numbers::pi * hz * i / rate));
        out[2 * i] = v;
        out[2 * i + 1] = v;
    }
    return out;
}

struct Fit {
    double amplitude; // of the fitted sine at the tone's frequency
    double residual;  // RMS of what is left: distortion, noise, aliases and images
    double rms;       // of the whole measured stretch
};

// Least-squares fit of a sine, a cosine and a constant at `hz` to the left channel, leaving out
// the first and last 0.1 s where the filters start and stop.
Fit fitTone(const std::vector<float>& stereo, double hz)
{
    const std::size_t frames = stereo.size() / 2;
    const std::size_t edge = kOutputRate / 10;
    double m[3][4] = {};
    std::size_t n = 0;
    double energy = 0;
    for (std::size_t i = edge; i + edge < frames; ++i, ++n) {
        const double w = 2 * std::numbers::pi * hz * i / kOutputRate;
        const double basis[3] = {std::sin(w), std::cos(w), 1.0};
        const double y = stereo[2 * i];
        energy += y * y;
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c)
                m[r][c] += basis[r] * basis[c];
            m[r][3] += basis[r] * y;
        }
    }
    for (int p = 0; p < 3; ++p) { // Gauss-Jordan; the system is well conditioned
        for (int r = 0; r < 3; ++r) {
            if (r == p)
                continue;
            const double f = m[r][p] / m[p][p];
            for (int c = 0; c < 4; ++c)
                m[r][c] -= f * m[p][c];
        }
    }
    const double coef[3] = {m[0][3] / m[0][0], m[1][3] / m[1][1], m[2][3] / m[2][2]};
    double left = 0;
    for (std::size_t i = edge; i + edge < frames; ++i) {
        const double w = 2 * std::numbers::pi * hz * i / kOutputRate;
        const double e = stereo[2 * i] - (coef[0] * std::sin(w) + coef[1] * std::cos(w) + coef[2]);
        left += e * e;
    }
    return {std::hypot(coef[0], coef[1]), std::sqrt(left / n), std::sqrt(energy / n)};
}

double dB(double ratio) { return 20 * std::log10(std::max(ratio, 1e-12)); }

// CPU time of this thread, in ms: other work on a loaded machine does not count against a method.
double threadMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Median CPU ms of each method over the same input, the methods taking turns run by run so that
// a change in the machine's load falls on all of them alike.
std::vector<double> medianMs(const std::vector<Method>& methods, const std::vector<float>& input, int inRate, int runs)
{
    std::vector<std::vector<double>> times(methods.size());
    for (int r = 0; r < runs; ++r) {
        for (std::size_t m = 0; m < methods.size(); ++m) {
            const double start = threadMs();
            const std::vector<float> out = methods[m].run(input, inRate);
            times[m].push_back(threadMs() - start);
            if (out.empty())
                std::exit(1);
        }
    }
    std::vector<double> medians;
    for (std::vector<double>& t : times) {
        std::sort(t.begin(), t.end());
        medians.push_back(t[t.size() / 2]);
    }
    return medians;
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 9;
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0)
        runs = std::max(1, std::atoi(argv[2]));

    const std::vector<Method> methods = {
        {"linear (the old decoder)", linear},
        {"libsamplerate linear", libsamplerate(SRC_LINEAR)},
        {"libsamplerate sinc fastest", libsamplerate(SRC_SINC_FASTEST)},
        {"libsamplerate sinc medium", libsamplerate(SRC_SINC_MEDIUM_QUALITY)},
        {"libsamplerate sinc best", libsamplerate(SRC_SINC_BEST_QUALITY)},
        {"soxr quick", soxrStream(SOXR_QQ)},
        {"soxr low", soxrStream(SOXR_LQ)},
        {"soxr medium", soxrStream(SOXR_MQ)},
        {"soxr high", soxrStream(SOXR_HQ)},
        {"soxr very high", soxrStream(SOXR_VHQ)},
    };
    const int rates[] = {8000, 11025, 22050, 32000, 48000, 96000};
    constexpr double kTimedSeconds = 10;

    std::printf("Each wave rate to %d Hz, stereo float. Tone: 1 kHz at %.1f, THD+N in dB below the tone.\n"
                "Edge: a tone at 90 %% of the narrower band's top: its THD+N and its gain in dB.\n"
                "Alias: a tone between the output's and the input's band top (downsampling only), "
                "level left in dB.\nCost: median of %d runs (the methods taking turns) over %.0f s of audio, CPU ms "
                "per second of audio, and the ratio to the first method in the same run.\n\n",
                kOutputRate, kAmplitude, runs, kTimedSeconds);
    std::printf("| in rate | method | 1 kHz THD+N | edge THD+N | edge gain | alias | ms per s | cost |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    for (int rate : rates) {
        const double edgeHz = 0.9 * std::min(rate, kOutputRate) / 2.0;
        const double aliasHz = (kOutputRate / 2.0 + rate / 2.0) / 2.0;
        const std::vector<float> timed = tone(997, rate, kTimedSeconds);
        const std::vector<double> costs = medianMs(methods, timed, rate, runs);
        for (std::size_t m = 0; m < methods.size(); ++m) {
            const Method& method = methods[m];
            const Fit mid = fitTone(method.run(tone(1000, rate, 2), rate), 1000);
            const Fit edge = fitTone(method.run(tone(edgeHz, rate, 2), rate), edgeHz);
            std::string alias = "-";
            if (rate > kOutputRate) {
                const Fit left = fitTone(method.run(tone(aliasHz, rate, 2), rate), aliasHz);
                char text[32];
                std::snprintf(text, sizeof text, "%.1f", dB(left.rms / (kAmplitude / std::sqrt(2.0))));
                alias = text;
            }
            const double ms = costs[m] / kTimedSeconds;
            const double baseline = costs[0] / kTimedSeconds;
            std::printf("| %d | %s | %.1f | %.1f | %.2f | %s | %.3f | %.1f× |\n", rate, method.name.c_str(),
                        dB(mid.residual / (mid.amplitude / std::sqrt(2.0))),
                        dB(edge.residual / (edge.amplitude / std::sqrt(2.0))), dB(edge.amplitude / kAmplitude),
                        alias.c_str(), ms, ms / baseline);
        }
    }
    return 0;
}

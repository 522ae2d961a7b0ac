// The closing chime: additive bell partials per note of a rolled C major triad, with decays.
#include "Chime.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>

namespace lw::musicgen {

std::vector<std::int16_t> chimeSamples()
{
    struct Partial {
        double ratio; // to the note's frequency; the inharmonic ones make it a bell
        double gain;
        double decay; // per second
    };
    static constexpr Partial kPartials[] = {
        {1.0, 1.0, 2.2}, {2.0, 0.45, 3.5}, {2.76, 0.30, 5.0}, {4.07, 0.16, 7.0}, {5.4, 0.08, 9.0}};
    struct Voice {
        double frequency; // Hz
        double delay;     // seconds: the triad is rolled upwards
        double gain;
    };
    static constexpr Voice kVoices[] = {{1046.50, 0.00, 1.0}, {1318.51, 0.07, 0.85}, {1567.98, 0.14, 0.8}};

    const int count = static_cast<int>(kChimeSeconds * kChimeSampleRate);
    std::vector<double> mix(static_cast<std::size_t>(count), 0.0);
    for (const Voice& v : kVoices) {
        for (int i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / kChimeSampleRate - v.delay;
            if (t < 0)
                continue;
            const double attack = std::min(1.0, t / 0.004); // 4 ms, so the strike does not click
            double s = 0;
            for (const Partial& p : kPartials)
                s += p.gain * std::exp(-p.decay * t) * std::sin(2 * std::numbers::pi * v.frequency * p.ratio * t);
            mix[static_cast<std::size_t>(i)] += v.gain * attack * s;
        }
    }
    double peak = 0;
    for (double s : mix)
        peak = std::max(peak, std::abs(s));
    const double scale = peak > 0 ? 0.707 * 32767 / peak : 0; // -3 dBFS
    const int fade = kChimeSampleRate / 10;                   // the last 100 ms fade to zero
    std::vector<std::int16_t> out(mix.size());
    for (int i = 0; i < count; ++i) {
        const double tail = std::min(1.0, static_cast<double>(count - 1 - i) / fade);
        out[static_cast<std::size_t>(i)] =
            static_cast<std::int16_t>(std::lround(mix[static_cast<std::size_t>(i)] * scale * tail));
    }
    return out;
}

std::vector<std::uint8_t> encodeWave(const std::vector<std::int16_t>& samples, int sampleRate)
{
    std::vector<std::uint8_t> out;
    auto put = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xff)); // little-endian
    };
    auto tag = [&](const char* t) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<std::uint8_t>(t[i]));
    };
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    out.reserve(44 + dataBytes);
    tag("RIFF");
    put(36 + dataBytes, 4);
    tag("WAVE");
    tag("fmt ");
    put(16, 4);
    put(1, 2); // PCM
    put(1, 2); // mono
    put(static_cast<std::uint32_t>(sampleRate), 4);
    put(static_cast<std::uint32_t>(sampleRate * 2), 4); // bytes per second
    put(2, 2);                                          // bytes per frame
    put(16, 2);                                         // bits per sample
    tag("data");
    put(dataBytes, 4);
    for (std::int16_t s : samples)
        put(static_cast<std::uint16_t>(s), 2);
    return out;
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

} // namespace lw::musicgen

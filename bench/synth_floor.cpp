// FluidSynth alone, the floor of the game phase's CPU: plays one piece, looping, through
// FluidSynth's own MIDI player with the game's synthesizer settings, rendering in real time in
// the steps the game's file output uses, and throws the sound away.
// With an output file it writes what it renders there as 16-bit samples, as the game does into
// LW_AUDIO_FILE, so both pay for the same sink.
// Usage: bench_synth_floor <soundfont> <piece.mid> <seconds> [step ms, default 40] [out.raw]
#include "FloorSynth.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

int main(int argc, char* argv[])
{
    if (argc < 4 || argc > 6) {
        std::fprintf(stderr, "usage: %s <soundfont> <piece.mid> <seconds> [step ms] [out.raw]\n", argv[0]);
        return 2;
    }
    lw::bench::FloorSynth floor(argv[1], argv[2], true);
    constexpr int kRate = lw::bench::kFloorRate;

    using Clock = std::chrono::steady_clock;
    const auto step = std::chrono::milliseconds(argc >= 5 ? std::atoi(argv[4]) : 40);
    std::FILE* out = argc == 6 ? std::fopen(argv[5], "wb") : nullptr;
    if (out)
        std::setvbuf(out, nullptr, _IOFBF, 64 * 1024);
    std::vector<std::int16_t> samples(2 * 4096);
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(std::atof(argv[3]));
    std::vector<float> buffer(2 * 4096);
    long long rendered = 0;
    while (Clock::now() < end) {
        std::this_thread::sleep_for(step);
        const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
        long long frames = elapsed * kRate / 1000000 - rendered;
        while (frames > 0) {
            const int n = static_cast<int>(frames < 4096 ? frames : 4096);
            floor.render(n, buffer.data());
            if (out) {
                for (int i = 0; i < 2 * n; ++i)
                    samples[i] = static_cast<std::int16_t>(std::clamp(buffer[i], -1.0f, 1.0f) * 32767.0f);
                std::fwrite(samples.data(), sizeof(std::int16_t), static_cast<std::size_t>(2 * n), out);
            }
            frames -= n;
            rendered += n;
        }
    }
    if (out)
        std::fclose(out);
    return 0;
}

// Fuzz target: wave file bytes decoded to stereo at the output rate, as the wave player does.
#include "FuzzSupport.h"

#include "AudioEngine.h"
#include "WaveDecode.h"

#include <sndfile.h>

#include <cmath>

namespace {

using lw::audio::AudioEngine;

// libsndfile is a system library without coverage counters; one counter per kind of file that
// decodes (encoding, channel count, rate and length classes) lets the fuzzer keep inputs that
// reach a new decoder or a new path through the down-mix and the resampler.
constexpr int kEncodings = 256;
__attribute__((used, section("__libfuzzer_extra_counters"))) std::uint8_t waveKinds[kEncodings * 3 * 4 * 4];

int channelClass(int channels) { return channels == 1 ? 0 : channels == 2 ? 1 : 2; }

int rateClass(int rate)
{
    return rate < AudioEngine::kSampleRate ? 0 : rate == AudioEngine::kSampleRate ? 1 : rate <= 96000 ? 2 : 3;
}

int lengthClass(std::int64_t frames) { return frames < 16 ? 0 : frames < 1024 ? 1 : frames < 65536 ? 2 : 3; }

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    lw::audio::WaveInfo info;
    const auto frames = lw::audio::decodeWave(data, size, AudioEngine::kSampleRate, &info);
    if (!frames)
        return 0;
    LW_FUZZ_CHECK(info.channels >= 1 && info.frames >= 1);
    LW_FUZZ_CHECK(info.frames <= static_cast<std::int64_t>(info.sampleRate) * lw::audio::kMaxWaveSeconds);
    LW_FUZZ_CHECK(!frames->empty() && frames->size() % 2 == 0);
    // The same length at the output rate, give or take the resampler's rounding.
    const double expected = static_cast<double>(info.frames) * AudioEngine::kSampleRate / info.sampleRate;
    LW_FUZZ_CHECK(std::abs(static_cast<double>(frames->size() / 2) - expected) <= 2);
    for (float v : *frames)
        LW_FUZZ_CHECK(v >= -1.0f && v <= 1.0f); // false for a non-number too

    const int encoding = info.format & (kEncodings - 1);
    ++waveKinds[((encoding * 3 + channelClass(info.channels)) * 4 + rateClass(info.sampleRate)) * 4 +
                lengthClass(info.frames)];
    return 0;
}

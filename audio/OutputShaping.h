// What the audio thread does to a rendered period before it is heard: gains that ramp instead of
// jumping, and no infinity or NaN let through.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace lw::audio {

// A gain that moves to a new value in a straight line over at most `length` frames, then holds
// it, so that a change of loudness never clicks.
struct Ramp {
    float value = 1.0f; // at the last frame shaped

    void apply(float target, float* left, float* right, int stride, int frames, int length)
    {
        if (value == 1.0f && target == 1.0f)
            return;
        const int n = std::min(frames, length);
        for (int i = 0; i < n; ++i) {
            const float g = value + (target - value) * static_cast<float>(i + 1) / static_cast<float>(n);
            left[i * stride] *= g;
            right[i * stride] *= g;
        }
        if (target != 1.0f) {
            for (int i = n; i < frames; ++i) {
                left[i * stride] *= target;
                right[i * stride] *= target;
            }
        }
        if (n > 0)
            value = target;
    }
};

// Whatever goes wrong inside the synthesizer, no infinity or NaN reaches the speakers.
inline void silenceNonFinite(float* samples, std::size_t count, std::size_t stride = 1)
{
    for (std::size_t i = 0; i < count; ++i) {
        float& sample = samples[i * stride];
        if (!std::isfinite(sample))
            sample = 0.0f;
    }
}

} // namespace lw::audio

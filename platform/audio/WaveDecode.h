// Decoding PCM wave files into stereo float samples at the output rate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace lw::audio {

// The largest wave file the player reads, in bytes.
inline constexpr std::size_t kMaxWaveBytes = 16 * 1024 * 1024;

// Decodes a RIFF/WAVE file of 8-bit unsigned or 16-bit signed PCM, mono or stereo, at any rate
// from 1000 to 384000 Hz, into interleaved stereo floats in [-1, 1] at `outputRate`, resampled
// linearly. Nothing on bytes that are not such a file; safe on any bytes. A data chunk that
// claims more than the file holds is cut to the whole frames present.
std::optional<std::vector<float>> decodeWave(const std::uint8_t* data, std::size_t size, int outputRate);

} // namespace lw::audio

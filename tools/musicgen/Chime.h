// The closing chime of the logo demo: a bell-like major triad, written as a 16-bit PCM wave file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lw::musicgen {

inline constexpr int kChimeSampleRate = 22050; // Hz, mono
inline constexpr double kChimeSeconds = 1.6;

// The chime's samples, peak about -3 dBFS, fading to silence at the end.
std::vector<std::int16_t> chimeSamples();
// A complete RIFF/WAVE file of mono 16-bit samples.
std::vector<std::uint8_t> encodeWave(const std::vector<std::int16_t>& samples, int sampleRate);
bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace lw::musicgen

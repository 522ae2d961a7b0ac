// Decoding wave files into stereo float samples at the output rate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace lw::audio {

// The largest wave file the player reads, in bytes, and the longest sound it plays, in seconds.
inline constexpr std::size_t kMaxWaveBytes = 4 * 1024 * 1024;
inline constexpr int kMaxWaveSeconds = 30;

// What the decoder found in a file.
struct WaveInfo {
    int format = 0;          // libsndfile's format code: container | sample encoding
    int channels = 0;        // in the file
    int sampleRate = 0;      // of the file, frames per second
    std::int64_t frames = 0; // decoded, at the file's rate
};

// Decodes a RIFF/WAVE file (RIFF, RIFX or RF64) in any sample encoding libsndfile reads there
// (8-, 16-, 24- and 32-bit PCM, float, µ-law, A-law, IMA and MS ADPCM, GSM 6.10 and more), with
// any number of channels at any rate from 1000 to 384000 Hz, into interleaved stereo floats in
// [-1, 1] at `outputRate`. Mono goes to both channels; more channels are down-mixed by their
// speaker positions. A different rate is converted with a band-limited resampler.
// Nothing for bytes that are not such a file, for more than kMaxWaveBytes, for a file that holds
// no sound or more than kMaxWaveSeconds of it; a file cut short gives the sound before the cut.
// Safe on any bytes. `info`, when given, is filled in for a file that decodes.
std::optional<std::vector<float>> decodeWave(const std::uint8_t* data, std::size_t size, int outputRate,
                                             WaveInfo* info = nullptr);

} // namespace lw::audio

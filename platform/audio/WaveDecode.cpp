// PCM wave decoding with bounds-checked chunk walking and linear resampling.
#include "WaveDecode.h"

#include <cstring>

namespace lw::audio {
namespace {

constexpr int kMinRate = 1000;
constexpr int kMaxRate = 384000;
constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xfffe;

std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}
std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

float sampleAt(const std::uint8_t* frame, int channel, int bits) {
    if (bits == 8)
        return (static_cast<int>(frame[channel]) - 128) / 128.0f;
    const auto value = static_cast<std::int16_t>(le16(frame + 2 * channel));
    return value / 32768.0f;
}

} // namespace

std::optional<std::vector<float>> decodeWave(const std::uint8_t* data, std::size_t size, int outputRate) {
    if (!data || size < 12 || size > kMaxWaveBytes || outputRate < kMinRate || outputRate > kMaxRate)
        return std::nullopt;
    if (std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return std::nullopt;

    int channels = 0, bits = 0, rate = 0;
    const std::uint8_t* samples = nullptr;
    std::size_t sampleBytes = 0;
    std::size_t offset = 12;
    while (size - offset >= 8) {
        const std::uint8_t* chunk = data + offset;
        const std::size_t length = le32(chunk + 4);
        const std::size_t available = size - offset - 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16 || length > available)
                return std::nullopt;
            std::uint16_t format = le16(chunk + 8);
            if (format == kFormatExtensible && length >= 40)
                format = le16(chunk + 8 + 24); // the sub-format's first two bytes
            if (format != kFormatPcm)
                return std::nullopt;
            channels = le16(chunk + 10);
            const std::uint32_t rawRate = le32(chunk + 12);
            rate = rawRate > static_cast<std::uint32_t>(kMaxRate) ? 0 : static_cast<int>(rawRate);
            bits = le16(chunk + 22);
            const int blockAlign = le16(chunk + 20);
            if ((channels != 1 && channels != 2) || (bits != 8 && bits != 16) || rate < kMinRate ||
                blockAlign != channels * bits / 8)
                return std::nullopt;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (channels == 0)
                return std::nullopt; // the format must come first
            samples = chunk + 8;
            sampleBytes = length < available ? length : available;
            break;
        }
        if (length > available)
            return std::nullopt;
        offset += 8 + length + (length & 1); // chunks are padded to an even length
        if (offset > size)
            return std::nullopt;
    }
    if (!samples)
        return std::nullopt;

    const std::size_t frameBytes = static_cast<std::size_t>(channels) * (bits / 8);
    const std::size_t inFrames = sampleBytes / frameBytes;
    if (inFrames == 0)
        return std::vector<float>();
    // Output frames: the same duration at the output rate.
    const std::size_t outFrames =
        static_cast<std::size_t>((static_cast<std::uint64_t>(inFrames) * outputRate + rate - 1) / rate);
    std::vector<float> out(outFrames * 2);
    const double step = static_cast<double>(rate) / outputRate;
    for (std::size_t i = 0; i < outFrames; ++i) {
        const double position = i * step;
        std::size_t index = static_cast<std::size_t>(position);
        if (index >= inFrames)
            index = inFrames - 1;
        const std::size_t next = index + 1 < inFrames ? index + 1 : index;
        const float fraction = static_cast<float>(position - static_cast<double>(index));
        const std::uint8_t* a = samples + index * frameBytes;
        const std::uint8_t* b = samples + next * frameBytes;
        for (int c = 0; c < 2; ++c) {
            const int source = channels == 2 ? c : 0;
            const float left = sampleAt(a, source, bits);
            const float right = sampleAt(b, source, bits);
            out[2 * i + c] = left + (right - left) * (fraction > 1.0f ? 1.0f : fraction);
        }
    }
    return out;
}

} // namespace lw::audio

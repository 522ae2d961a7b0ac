// Wave files of any encoding written by libsndfile into memory, for the wave decoder's tests.
#pragma once

#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <stdexcept>
#include <vector>

namespace lw::testing {

// A growing file in memory behind libsndfile's virtual I/O.
struct MemoryOutput {
    std::vector<std::uint8_t> bytes;
    sf_count_t position = 0;

    static MemoryOutput& of(void* user) { return *static_cast<MemoryOutput*>(user); }
    static sf_count_t length(void* user) { return static_cast<sf_count_t>(of(user).bytes.size()); }
    static sf_count_t seek(sf_count_t offset, int whence, void* user)
    {
        MemoryOutput& out = of(user);
        const sf_count_t base = whence == SEEK_CUR ? out.position : whence == SEEK_END ? length(user) : 0;
        if (base + offset < 0)
            return -1;
        out.position = base + offset;
        return out.position;
    }
    static sf_count_t read(void* destination, sf_count_t count, void* user)
    {
        MemoryOutput& out = of(user);
        const sf_count_t available = length(user) - out.position;
        const sf_count_t n = count < available ? count : available;
        if (n <= 0)
            return 0;
        std::memcpy(destination, out.bytes.data() + out.position, static_cast<std::size_t>(n));
        out.position += n;
        return n;
    }
    static sf_count_t write(const void* source, sf_count_t count, void* user)
    {
        MemoryOutput& out = of(user);
        const auto end = static_cast<std::size_t>(out.position + count);
        if (out.bytes.size() < end)
            out.bytes.resize(end);
        std::memcpy(out.bytes.data() + out.position, source, static_cast<std::size_t>(count));
        out.position += count;
        return count;
    }
    static sf_count_t tell(void* user) { return of(user).position; }
};

// The file libsndfile writes for `format` (container | encoding) holding `samples`, interleaved,
// `channels` to a frame. An extensible file gets `speakerMask` as its channel mask (libsndfile
// itself writes none).
inline std::vector<std::uint8_t> writeWave(int format, int channels, int rate, const std::vector<float>& samples,
                                           std::uint32_t speakerMask = 0)
{
    MemoryOutput out;
    SF_VIRTUAL_IO io{MemoryOutput::length, MemoryOutput::seek, MemoryOutput::read, MemoryOutput::write,
                     MemoryOutput::tell};
    SF_INFO info{};
    info.format = format;
    info.channels = channels;
    info.samplerate = rate;
    SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &info, &out);
    if (!file)
        throw std::runtime_error(sf_strerror(nullptr));
    const sf_count_t frames = static_cast<sf_count_t>(samples.size()) / channels;
    const sf_count_t written = sf_writef_float(file, samples.data(), frames);
    sf_close(file);
    if (written != frames)
        throw std::runtime_error("libsndfile wrote fewer frames than given");
    if (speakerMask) {
        // The mask follows the 16 plain format bytes, the extension's size and the valid bits.
        constexpr std::size_t kMaskOffset = 12 + 8 + 20;
        if ((format & SF_FORMAT_TYPEMASK) != SF_FORMAT_WAVEX || std::memcmp(out.bytes.data() + 12, "fmt ", 4) != 0)
            throw std::logic_error("a speaker mask needs an extensible wave file");
        for (int i = 0; i < 4; ++i)
            out.bytes[kMaskOffset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(speakerMask >> (8 * i));
    }
    return out.bytes;
}

// `seconds` of a sine of `hz` at `amplitude` and `rate`, the same in each of `channels`.
inline std::vector<float> sine(double hz, double amplitude, int rate, double seconds, int channels = 1)
{
    const auto frames = static_cast<std::size_t>(seconds * rate);
    std::vector<float> out;
    out.reserve(frames * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < frames; ++i) {
        const auto v =
            static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / rate));
        for (int c = 0; c < channels; ++c)
            out.push_back(v);
    }
    return out;
}

} // namespace lw::testing

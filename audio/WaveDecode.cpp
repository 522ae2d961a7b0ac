// Wave decoding through libsndfile over the bytes in memory, down-mixing to stereo and resampling
// with soxr.
#include "WaveDecode.h"

#include <sndfile.h>
#include <soxr.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

namespace lw::audio {
namespace {

constexpr int kMinRate = 1000;
constexpr int kMaxRate = 384000;
// Samples (of all channels together) read from the file at a time.
constexpr sf_count_t kBlockSamples = 16384;

// The bytes of a file, read by libsndfile through its virtual I/O.
struct MemoryFile {
    const std::uint8_t* data;
    sf_count_t size;
    sf_count_t position;
};

MemoryFile& memoryFile(void* user) { return *static_cast<MemoryFile*>(user); }

sf_count_t memoryLength(void* user) { return memoryFile(user).size; }

sf_count_t memorySeek(sf_count_t offset, int whence, void* user)
{
    MemoryFile& file = memoryFile(user);
    sf_count_t base = 0;
    if (whence == SEEK_CUR)
        base = file.position;
    else if (whence == SEEK_END)
        base = file.size;
    else if (whence != SEEK_SET)
        return -1;
    // Offsets come from the file's own headers: any value, so the sum is checked before it is made.
    if ((offset > 0 && base > std::numeric_limits<sf_count_t>::max() - offset) || base + offset < 0)
        return -1;
    file.position = base + offset; // past the end is allowed; reads there give nothing
    return file.position;
}

sf_count_t memoryRead(void* destination, sf_count_t count, void* user)
{
    MemoryFile& file = memoryFile(user);
    if (count <= 0 || file.position >= file.size)
        return 0;
    const sf_count_t n = std::min(count, file.size - file.position);
    std::memcpy(destination, file.data + file.position, static_cast<std::size_t>(n));
    file.position += n;
    return n;
}

sf_count_t memoryWrite(const void*, sf_count_t, void*) { return 0; }

sf_count_t memoryTell(void* user) { return memoryFile(user).position; }

// The wave containers: RIFF (and big-endian RIFX, and RF64) around a WAVE form. Checked before
// libsndfile sees the bytes, so no other of its many readers is ever reached.
bool isWaveContainer(const std::uint8_t* data, std::size_t size)
{
    if (size < 12 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return false;
    return std::memcmp(data, "RIFF", 4) == 0 || std::memcmp(data, "RIFX", 4) == 0 || std::memcmp(data, "RF64", 4) == 0;
}

struct Gains {
    float left = 0, right = 0;
};

constexpr float kHalfPower = 0.70710678f; // -3 dB: a centre or surround channel into one side

// Where one channel goes in the stereo mix, by its speaker position.
Gains gainsOf(int position)
{
    switch (position) {
    case SF_CHANNEL_MAP_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER:
        return {1, 0};
    case SF_CHANNEL_MAP_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER:
        return {0, 1};
    case SF_CHANNEL_MAP_REAR_LEFT:
    case SF_CHANNEL_MAP_SIDE_LEFT:
    case SF_CHANNEL_MAP_TOP_FRONT_LEFT:
    case SF_CHANNEL_MAP_TOP_REAR_LEFT:
        return {kHalfPower, 0};
    case SF_CHANNEL_MAP_REAR_RIGHT:
    case SF_CHANNEL_MAP_SIDE_RIGHT:
    case SF_CHANNEL_MAP_TOP_FRONT_RIGHT:
    case SF_CHANNEL_MAP_TOP_REAR_RIGHT:
        return {0, kHalfPower};
    case SF_CHANNEL_MAP_LFE:
    case SF_CHANNEL_MAP_AMBISONIC_B_X: // directional difference signals: the W channel carries
    case SF_CHANNEL_MAP_AMBISONIC_B_Y: // the whole sound field
    case SF_CHANNEL_MAP_AMBISONIC_B_Z:
        return {0, 0};
    default: // the centres, mono, ambisonic W and anything unnamed: both sides
        return {kHalfPower, kHalfPower};
    }
}

// The channel order of a multi-channel wave file without a channel mask: the order of the mask's
// bits.
constexpr std::array kWaveOrder = {
    SF_CHANNEL_MAP_FRONT_LEFT,
    SF_CHANNEL_MAP_FRONT_RIGHT,
    SF_CHANNEL_MAP_FRONT_CENTER,
    SF_CHANNEL_MAP_LFE,
    SF_CHANNEL_MAP_REAR_LEFT,
    SF_CHANNEL_MAP_REAR_RIGHT,
    SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER,
    SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER,
    SF_CHANNEL_MAP_REAR_CENTER,
    SF_CHANNEL_MAP_SIDE_LEFT,
    SF_CHANNEL_MAP_SIDE_RIGHT,
    SF_CHANNEL_MAP_TOP_CENTER,
    SF_CHANNEL_MAP_TOP_FRONT_LEFT,
    SF_CHANNEL_MAP_TOP_FRONT_CENTER,
    SF_CHANNEL_MAP_TOP_FRONT_RIGHT,
    SF_CHANNEL_MAP_TOP_REAR_LEFT,
    SF_CHANNEL_MAP_TOP_REAR_CENTER,
    SF_CHANNEL_MAP_TOP_REAR_RIGHT,
};

// The stereo gains of every channel: mono at full level on both sides; otherwise by the file's
// channel map, else the usual order, each side scaled down so its gains add up to at most 1 (a
// full-scale file stays within full scale).
std::vector<Gains> downMix(SNDFILE* file, int channels)
{
    if (channels == 1)
        return {Gains{1, 1}};
    std::vector<int> map(static_cast<std::size_t>(channels), SF_CHANNEL_MAP_INVALID);
    if (sf_command(file, SFC_GET_CHANNEL_MAP_INFO, map.data(), static_cast<int>(map.size() * sizeof(int))) != SF_TRUE) {
        for (std::size_t c = 0; c < map.size() && c < kWaveOrder.size(); ++c)
            map[c] = kWaveOrder[c];
    }
    std::vector<Gains> gains;
    float left = 0, right = 0;
    for (int position : map) {
        gains.push_back(gainsOf(position));
        left += gains.back().left;
        right += gains.back().right;
    }
    if (left == 0 && right == 0) // nothing but LFE or difference signals: keep them audible
        return std::vector<Gains>(map.size(), Gains{1.0f / channels, 1.0f / channels});
    for (Gains& g : gains) {
        g.left /= std::max(left, 1.0f);
        g.right /= std::max(right, 1.0f);
    }
    return gains;
}

// A float file can hold anything: non-numbers become silence, the rest is held to full scale.
float sanitised(float v) { return std::isfinite(v) ? std::clamp(v, -1.0f, 1.0f) : 0.0f; }

// Stereo frames at the file's rate in, stereo frames at the output rate out.
class RateConverter {
public:
    RateConverter(int inputRate, int outputRate, std::vector<float>& out)
        : ratio_(static_cast<double>(outputRate) / inputRate), out_(out)
    {
        if (inputRate == outputRate)
            return;
        const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
        const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
        const soxr_runtime_spec_t runtime = soxr_runtime_spec(1); // no threads of its own
        soxr_error_t error = nullptr;
        soxr_.reset(soxr_create(inputRate, outputRate, 2, &error, &io, &quality, &runtime));
        failed_ = error != nullptr || !soxr_;
    }

    bool failed() const { return failed_; }

    void push(const float* frames, std::size_t count)
    {
        if (!soxr_) {
            out_.insert(out_.end(), frames, frames + 2 * count);
            return;
        }
        while (count > 0 && !failed_) {
            std::size_t used = 0;
            run(frames, count, &used);
            frames += 2 * used;
            count -= used;
        }
    }

    // Everything still held in the filter.
    void finish()
    {
        while (soxr_ && !failed_ && run(nullptr, 0, nullptr) > 0) {
        }
    }

private:
    struct Deleter {
        void operator()(soxr_t s) const { soxr_delete(s); }
    };

    std::size_t run(const float* in, std::size_t count, std::size_t* used)
    {
        const std::size_t room = static_cast<std::size_t>(std::ceil(count * ratio_)) + 64;
        const std::size_t start = out_.size();
        out_.resize(start + 2 * room);
        std::size_t made = 0;
        if (soxr_process(soxr_.get(), in, count, used, out_.data() + start, room, &made) != nullptr ||
            (in && *used == 0 && made == 0))
            failed_ = true;
        out_.resize(start + 2 * made);
        return made;
    }

    double ratio_;
    std::vector<float>& out_;
    std::unique_ptr<soxr, Deleter> soxr_;
    bool failed_ = false;
};

} // namespace

std::optional<std::vector<float>> decodeWave(const std::uint8_t* data, std::size_t size, int outputRate, WaveInfo* info)
{
    if (!data || size > kMaxWaveBytes || outputRate < kMinRate || outputRate > kMaxRate || !isWaveContainer(data, size))
        return std::nullopt;

    MemoryFile memory{data, static_cast<sf_count_t>(size), 0};
    SF_VIRTUAL_IO io{memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell};
    SF_INFO format{};
    const std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file(sf_open_virtual(&io, SFM_READ, &format, &memory), sf_close);
    if (!file)
        return std::nullopt;
    const int container = format.format & SF_FORMAT_TYPEMASK;
    if ((container != SF_FORMAT_WAV && container != SF_FORMAT_WAVEX && container != SF_FORMAT_RF64) ||
        format.channels < 1 || format.samplerate < kMinRate || format.samplerate > kMaxRate)
        return std::nullopt;

    const int channels = format.channels;
    const std::vector<Gains> gains = downMix(file.get(), channels);
    const sf_count_t maxFrames = static_cast<sf_count_t>(format.samplerate) * kMaxWaveSeconds;
    const sf_count_t blockFrames = std::max<sf_count_t>(1, kBlockSamples / channels);
    std::vector<float> block(static_cast<std::size_t>(blockFrames * channels));
    std::vector<float> stereo(static_cast<std::size_t>(blockFrames * 2));

    std::vector<float> out;
    // The frame count in the header is only a claim: the reservation is held to the limit.
    const double expected =
        static_cast<double>(std::clamp<sf_count_t>(format.frames, 0, maxFrames)) * outputRate / format.samplerate;
    out.reserve(2 * static_cast<std::size_t>(expected + 1));
    RateConverter converter(format.samplerate, outputRate, out);
    if (converter.failed())
        return std::nullopt;

    sf_count_t frames = 0;
    for (;;) {
        const sf_count_t got = sf_readf_float(file.get(), block.data(), blockFrames);
        if (got <= 0)
            break;
        frames += got;
        if (frames > maxFrames)
            return std::nullopt;
        for (sf_count_t i = 0; i < got; ++i) {
            float left = 0, right = 0;
            const float* frame = block.data() + i * channels;
            for (int c = 0; c < channels; ++c) {
                const float v = sanitised(frame[c]);
                left += gains[static_cast<std::size_t>(c)].left * v;
                right += gains[static_cast<std::size_t>(c)].right * v;
            }
            stereo[static_cast<std::size_t>(2 * i)] = left;
            stereo[static_cast<std::size_t>(2 * i + 1)] = right;
        }
        converter.push(stereo.data(), static_cast<std::size_t>(got));
    }
    converter.finish();
    if (frames == 0 || converter.failed() || out.empty())
        return std::nullopt;
    // The filter rings slightly past full scale on a full-scale edge.
    for (float& v : out)
        v = sanitised(v);
    if (info)
        *info = {format.format, channels, format.samplerate, frames};
    return out;
}

} // namespace lw::audio

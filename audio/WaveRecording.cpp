// The WAV file output: 16-bit stereo PCM, header rewritten with the real sizes on close.
#include "WaveRecording.h"

#include <algorithm>

namespace lw::audio {
namespace {

void put32(std::FILE* file, std::uint32_t value)
{
    const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                    static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    std::fwrite(bytes, 1, 4, file);
}

void put16(std::FILE* file, std::uint16_t value)
{
    const unsigned char bytes[2] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8)};
    std::fwrite(bytes, 1, 2, file);
}

} // namespace

WaveRecording::WaveRecording(const char* path) : file_(std::fopen(path, "wb"))
{
    if (!file_)
        return;
    // A few writes a second rather than forty: the clock writes 176 KB a second.
    std::setvbuf(file_, nullptr, _IOFBF, 64 * 1024);
    samples_.reserve(2 * 4096); // the clock's largest block: no allocation on the audio thread
    writeHeader();
}

void WaveRecording::write(const float* interleaved, std::size_t count)
{
    if (!file_)
        return;
    if (samples_.size() < count)
        samples_.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        samples_[i] = static_cast<std::int16_t>(std::clamp(interleaved[i], -1.0f, 1.0f) * 32767.0f);
    dataBytes_ += std::fwrite(samples_.data(), sizeof(std::int16_t), count, file_) * sizeof(std::int16_t);
}

void WaveRecording::close()
{
    if (!file_)
        return;
    writeHeader(); // now with the real sizes
    std::fclose(file_);
    file_ = nullptr;
}

void WaveRecording::writeHeader()
{
    const long position = std::ftell(file_);
    std::fseek(file_, 0, SEEK_SET);
    const auto data = static_cast<std::uint32_t>(std::min<std::uint64_t>(dataBytes_, 0xFFFFFFFFu - 36));
    std::fwrite("RIFF", 1, 4, file_);
    put32(file_, 36 + data);
    std::fwrite("WAVEfmt ", 1, 8, file_);
    put32(file_, 16);
    put16(file_, 1); // PCM
    put16(file_, 2); // stereo
    put32(file_, kRecordingRate);
    put32(file_, kRecordingRate * 4);
    put16(file_, 4);
    put16(file_, 16);
    std::fwrite("data", 1, 4, file_);
    put32(file_, data);
    if (position > 44)
        std::fseek(file_, position, SEEK_SET);
}

} // namespace lw::audio

// The game's sound written to a WAV file in real time, for machines without a sound card.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

namespace lw::audio {

inline constexpr int kRecordingRate = 44100;

// A 16-bit stereo PCM WAV file at kRecordingRate frames a second, its sizes patched in when it is closed.
class WaveRecording {
public:
    explicit WaveRecording(const char* path);
    WaveRecording(const WaveRecording&) = delete;
    WaveRecording& operator=(const WaveRecording&) = delete;
    ~WaveRecording() { close(); }
    bool isOpen() const { return file_ != nullptr; }

    // Appends `count` interleaved stereo floats, clipped to 16 bits.
    void write(const float* interleaved, std::size_t count);
    void close(); // patches the sizes into the header

private:
    void writeHeader();

    std::FILE* file_;
    std::uint64_t dataBytes_ = 0;
    std::vector<std::int16_t> samples_; // conversion buffer, grown once
};

} // namespace lw::audio

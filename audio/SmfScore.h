// A checked standard MIDI file turned into what the audio thread plays: channel events in playing
// order, each timed in frames, and the instruments and notes the piece asks for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lw::audio {

inline constexpr int kMidiChannels = 16;
inline constexpr int kDrumChannel = 9; // the General MIDI percussion channel, counted from 0
inline constexpr int kDrumBank = 128;  // the bank every program of the percussion channel is in

// One channel message. Note-ons of velocity 0 are stored as note-offs; system exclusive and meta
// events are not kept (tempo changes are folded into the frames).
struct ScoreEvent {
    std::int64_t frame = 0;  // from the start of the piece, at the sample rate given to readScore
    std::uint8_t status = 0; // 0x80 to 0xef
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
    // Program changes and note-ons: the channel's instrument, an index into Score::programs.
    // -1 for every other event.
    std::int16_t program = -1;
};

// An instrument as a piece asks for it: the bank that the synthesizer's GS-style bank select
// gives (controller 0 on a melodic channel, kDrumBank on the percussion channel) and the program.
struct ProgramRequest {
    int bank = 0;
    int program = 0;
    friend bool operator==(const ProgramRequest&, const ProgramRequest&) = default;
};

class Score {
public:
    int division = 0;           // ticks per quarter note
    std::int64_t endTick = 0;   // the last event of the longest track
    std::int64_t endFrame = 0;  // the frame of endTick
    std::uint16_t channels = 0; // bit n: channel n has an event
    std::vector<ScoreEvent> events;
    // Every instrument the piece selects, each once. A channel that sounds a note before its first
    // program change starts on program 0 (of kDrumBank on the percussion channel); the score then
    // opens with that program change, at frame 0.
    std::vector<ProgramRequest> programs;

    std::int64_t frameAt(std::int64_t tick) const;
    std::int64_t tickAt(std::int64_t frame) const; // rounded down

private:
    struct TempoSegment {
        std::int64_t tick;
        std::int64_t frame;
        std::uint32_t microsPerQuarter;
    };
    std::vector<TempoSegment> tempo_; // from tick 0, in tick order
    int sampleRate_ = 0;

    friend Score readScore(const std::uint8_t* data, std::size_t size, int sampleRate);
};

// `data` must have passed checkSmf (format 0 or 1, timed in ticks, every event inside its track).
Score readScore(const std::uint8_t* data, std::size_t size, int sampleRate);

} // namespace lw::audio

// Strict checking of standard MIDI files before they reach the synthesizer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace lw::audio {

// The largest MIDI file the sequencer reads, in bytes.
inline constexpr std::size_t kMaxSmfBytes = 4 * 1024 * 1024;
// The most tracks a piece may have: a bound on the work of reading one, far above what any
// standard MIDI file of a game needs.
inline constexpr int kMaxSmfTracks = 128;

enum class SmfResult {
    Ok,
    Empty,
    TooLarge,
    NotMidi,       // no MThd chunk at the start
    BadHeader,     // header length, format or track count not usable
    SmpteDivision, // timed in SMPTE frames rather than ticks per quarter note
    BadTrack,      // a track chunk missing, cut short or holding a malformed event
};

struct SmfInfo {
    int format = 0;
    int tracks = 0;
    int division = 0;         // ticks per quarter note, > 0
    std::int64_t endTick = 0; // tick of the last event of the longest track
    std::size_t length = 0;   // bytes from the header to the end of the last track; anything after
                              // it is not part of the piece
};

// One event of a track as the checker walks it.
struct SmfEvent {
    int track = 0;
    std::int64_t tick = 0;
    std::uint8_t status = 0;            // running status resolved; 0xff a meta event, 0xf0 and 0xf7 system exclusive
    std::uint8_t metaType = 0;          // meta events only
    const std::uint8_t* data = nullptr; // channel messages: the data bytes; others: the payload
    std::uint32_t length = 0;
};

// Checks `size` bytes at `data` as a format 0 or 1 MIDI file timed in ticks per quarter note:
// every chunk length, every event and every variable-length number must lie inside its track.
// Safe on any bytes; `info` (may be null) is filled on success. `visit`, when given, sees every
// event checked so far, track by track (all of them when the result is Ok).
SmfResult checkSmf(const std::uint8_t* data, std::size_t size, SmfInfo* info,
                   const std::function<void(const SmfEvent&)>& visit = {});

} // namespace lw::audio

// Small, valid standard MIDI files the sequencer targets keep at hand, byte by byte.
#pragma once

#include <cstdint>
#include <vector>

namespace lw::fuzz {

// One event a line reads better than packed bytes.
// clang-format off

// Format 0, 96 ticks per quarter note: tempo 500000 µs, one note of two quarters, end.
inline std::vector<std::uint8_t> oneNotePiece()
{
    return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96,
            'M', 'T', 'r', 'k', 0, 0, 0, 20,
            0x00, 0xff, 0x51, 0x03, 0x07, 0xa1, 0x20, // tempo
            0x00, 0x90, 60, 100,                      // note on
            0x81, 0x40, 0x80, 60, 0,                  // 192 ticks later: note off
            0x00, 0xff, 0x2f, 0x00};                  // end of track
}

// Format 1, 480 ticks per quarter note, two tracks: a tempo map, then notes under running status
// with a program change, a controller, a system exclusive message and a text event.
inline std::vector<std::uint8_t> twoTrackPiece()
{
    return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0x01, 0xe0,
            'M', 'T', 'r', 'k', 0, 0, 0, 19,
            0x00, 0xff, 0x51, 0x03, 0x09, 0x27, 0xc0,       // tempo 600000 µs
            0x83, 0x60, 0xff, 0x51, 0x03, 0x03, 0xd0, 0x90, // 480 ticks later: faster
            0x00, 0xff, 0x2f, 0x00,
            'M', 'T', 'r', 'k', 0, 0, 0, 39,
            0x00, 0xc0, 19,                                 // program change
            0x00, 0xb0, 7, 90,                              // volume
            0x00, 0xf0, 0x05, 0x7e, 0x7f, 0x09, 0x01, 0xf7, // GM on
            0x00, 0xff, 0x01, 0x02, 'h', 'i',               // text
            0x00, 0x90, 64, 90,                             // note on
            0x00, 67, 90,                                   // running status
            0x87, 0x40, 64, 0,                              // 960 ticks later: off by velocity 0
            0x00, 67, 0,
            0x00, 0xff, 0x2f, 0x00};
}

// clang-format on

} // namespace lw::fuzz

// A small writer of standard MIDI files (format 1, ticks per quarter note).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lw::musicgen {

// One track of a format-1 file. Events are collected with absolute times in ticks and sorted when the
// file is written; at equal times note-offs go first, so a repeated note is never cut by its own end.
class SmfTrack {
public:
    void noteOn(std::uint32_t tick, int channel, int key, int velocity);
    void noteOff(std::uint32_t tick, int channel, int key);
    // A note-on and its note-off; a zero or negative length writes nothing.
    void note(std::uint32_t tick, std::uint32_t length, int channel, int key, int velocity);
    void programChange(std::uint32_t tick, int channel, int program);
    void controlChange(std::uint32_t tick, int channel, int controller, int value);
    // Tempo in quarter notes per minute, stored as microseconds per quarter note.
    void tempo(std::uint32_t tick, double quarterNotesPerMinute);
    // Time signature: numerator and denominator (4 for x/4, 8 for x/8).
    void timeSignature(std::uint32_t tick, int numerator, int denominator);
    // Key signature: sharps (positive) or flats (negative); minor = true for a minor key.
    void keySignature(std::uint32_t tick, int sharpsOrFlats, bool minor);
    void trackName(std::string_view name);

    // The time of the latest event in ticks.
    std::uint32_t lastTick() const;
    // The track chunk's body, events in time order, ended by End of Track at `endTick` (or at the
    // last event, whichever is later). Channel messages use running status.
    std::vector<std::uint8_t> encode(std::uint32_t endTick) const;

private:
    struct Event {
        std::uint32_t tick;
        int order;                       // 0 meta, 1 note-off, 2 control/program, 3 note-on
        std::uint32_t seq;               // insertion order, for a stable sort
        std::vector<std::uint8_t> bytes; // status byte first
    };
    void add(std::uint32_t tick, int order, std::vector<std::uint8_t> bytes);
    std::vector<Event> events_;
};

// Writes a format-1 file: all tracks end at the same tick (the latest event of any track).
// Returns false when the file cannot be written.
bool writeSmf(const std::string& path, int ticksPerQuarter, const std::vector<SmfTrack>& tracks);
std::vector<std::uint8_t> encodeSmf(int ticksPerQuarter, const std::vector<SmfTrack>& tracks);

} // namespace lw::musicgen

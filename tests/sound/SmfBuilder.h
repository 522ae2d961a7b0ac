// Small standard MIDI files and wave files made byte by byte for the sound tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace lw::testing {

using Bytes = std::vector<std::uint8_t>;

inline void append(Bytes& out, std::initializer_list<int> values)
{
    for (int v : values)
        out.push_back(static_cast<std::uint8_t>(v));
}

inline void appendBe(Bytes& out, std::uint32_t value, int size)
{
    for (int i = size - 1; i >= 0; --i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline void appendLe(Bytes& out, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline void appendVarLen(Bytes& out, std::uint32_t value)
{
    Bytes groups{static_cast<std::uint8_t>(value & 0x7f)};
    while (value >>= 7)
        groups.insert(groups.begin(), static_cast<std::uint8_t>(0x80 | (value & 0x7f)));
    out.insert(out.end(), groups.begin(), groups.end());
}

// The events of one track, each with its delta time in ticks.
struct TrackBuilder {
    Bytes events;
    TrackBuilder& tempo(std::uint32_t delta, std::uint32_t microsPerQuarter)
    {
        appendVarLen(events, delta);
        append(events, {0xff, 0x51, 0x03});
        appendBe(events, microsPerQuarter, 3);
        return *this;
    }
    TrackBuilder& noteOn(std::uint32_t delta, int key, int channel = 0)
    {
        appendVarLen(events, delta);
        append(events, {0x90 | channel, key, 100});
        return *this;
    }
    TrackBuilder& noteOff(std::uint32_t delta, int key, int channel = 0)
    {
        appendVarLen(events, delta);
        append(events, {0x80 | channel, key, 0});
        return *this;
    }
    TrackBuilder& raw(std::uint32_t delta, std::initializer_list<int> bytes)
    {
        appendVarLen(events, delta);
        append(events, bytes);
        return *this;
    }
    TrackBuilder& end(std::uint32_t delta = 0)
    {
        appendVarLen(events, delta);
        append(events, {0xff, 0x2f, 0x00});
        return *this;
    }
};

inline Bytes smf(int format, int division, const std::vector<TrackBuilder>& tracks)
{
    Bytes out{'M', 'T', 'h', 'd'};
    appendBe(out, 6, 4);
    appendBe(out, static_cast<std::uint32_t>(format), 2);
    appendBe(out, static_cast<std::uint32_t>(tracks.size()), 2);
    appendBe(out, static_cast<std::uint32_t>(division), 2);
    for (const TrackBuilder& track : tracks) {
        append(out, {'M', 'T', 'r', 'k'});
        appendBe(out, static_cast<std::uint32_t>(track.events.size()), 4);
        out.insert(out.end(), track.events.begin(), track.events.end());
    }
    return out;
}

// One held note of `lengthTicks` at a constant tempo: a piece that ends at `lengthTicks`.
inline Bytes heldNote(int division, std::uint32_t microsPerQuarter, std::uint32_t lengthTicks)
{
    return smf(0, division, {TrackBuilder().tempo(0, microsPerQuarter).noteOn(0, 60).noteOff(lengthTicks, 60).end()});
}

// A PCM wave file of the given layout holding `samples` (already in the file's sample format).
inline Bytes wave(int channels, int bits, std::uint32_t rate, const Bytes& samples)
{
    Bytes out{'R', 'I', 'F', 'F'};
    appendLe(out, static_cast<std::uint32_t>(36 + samples.size()), 4);
    append(out, {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    appendLe(out, 16, 4);
    appendLe(out, 1, 2);
    appendLe(out, static_cast<std::uint32_t>(channels), 2);
    appendLe(out, rate, 4);
    appendLe(out, rate * static_cast<std::uint32_t>(channels * bits / 8), 4);
    appendLe(out, static_cast<std::uint32_t>(channels * bits / 8), 2);
    appendLe(out, static_cast<std::uint32_t>(bits), 2);
    append(out, {'d', 'a', 't', 'a'});
    appendLe(out, static_cast<std::uint32_t>(samples.size()), 4);
    out.insert(out.end(), samples.begin(), samples.end());
    return out;
}

} // namespace lw::testing

// The standard MIDI file writer: event ordering, variable-length times, running status, chunks.
#include "SmfWriter.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace lw::musicgen {

namespace {

std::uint8_t clamp7(int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 127)); }

void putVarLen(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    std::uint8_t buf[5];
    int n = 0;
    buf[n++] = value & 0x7f;
    while ((value >>= 7) != 0)
        buf[n++] = static_cast<std::uint8_t>(0x80 | (value & 0x7f));
    while (n > 0)
        out.push_back(buf[--n]);
}

void putBE(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<std::uint8_t>((value >> (8 * i)) & 0xff));
}

std::uint8_t channelByte(int status, int channel)
{
    if (channel < 0 || channel > 15)
        throw std::invalid_argument("MIDI channel out of range");
    return static_cast<std::uint8_t>(status | channel);
}

} // namespace

void SmfTrack::add(std::uint32_t tick, int order, std::vector<std::uint8_t> bytes)
{
    events_.push_back({tick, order, static_cast<std::uint32_t>(events_.size()), std::move(bytes)});
}

void SmfTrack::noteOn(std::uint32_t tick, int channel, int key, int velocity)
{
    add(tick, 3, {channelByte(0x90, channel), clamp7(key), static_cast<std::uint8_t>(std::clamp(velocity, 1, 127))});
}

void SmfTrack::noteOff(std::uint32_t tick, int channel, int key)
{
    // Written as a note-on of velocity 0, so notes of a track share one running status.
    add(tick, 1, {channelByte(0x90, channel), clamp7(key), 0});
}

void SmfTrack::note(std::uint32_t tick, std::uint32_t length, int channel, int key, int velocity)
{
    if (length == 0)
        return;
    noteOn(tick, channel, key, velocity);
    noteOff(tick + length, channel, key);
}

void SmfTrack::programChange(std::uint32_t tick, int channel, int program)
{
    add(tick, 2, {channelByte(0xc0, channel), clamp7(program)});
}

void SmfTrack::controlChange(std::uint32_t tick, int channel, int controller, int value)
{
    add(tick, 2, {channelByte(0xb0, channel), clamp7(controller), clamp7(value)});
}

void SmfTrack::tempo(std::uint32_t tick, double quarterNotesPerMinute)
{
    const auto us = static_cast<std::uint32_t>(std::lround(60'000'000.0 / quarterNotesPerMinute));
    add(tick, 0,
        {0xff, 0x51, 0x03, static_cast<std::uint8_t>(us >> 16), static_cast<std::uint8_t>(us >> 8),
         static_cast<std::uint8_t>(us)});
}

void SmfTrack::timeSignature(std::uint32_t tick, int numerator, int denominator)
{
    std::uint8_t power = 0;
    while ((1 << power) < denominator)
        ++power;
    // 24 MIDI clocks per metronome click, 8 thirty-seconds per quarter; a 6/8 click is a dotted quarter.
    const std::uint8_t clocks = denominator == 8 && numerator % 3 == 0 ? 36 : 24;
    add(tick, 0, {0xff, 0x58, 0x04, clamp7(numerator), power, clocks, 8});
}

void SmfTrack::keySignature(std::uint32_t tick, int sharpsOrFlats, bool minor)
{
    add(tick, 0,
        {0xff, 0x59, 0x02, static_cast<std::uint8_t>(static_cast<std::int8_t>(sharpsOrFlats)),
         static_cast<std::uint8_t>(minor ? 1 : 0)});
}

void SmfTrack::trackName(std::string_view name)
{
    std::vector<std::uint8_t> bytes{0xff, 0x03};
    putVarLen(bytes, static_cast<std::uint32_t>(name.size()));
    bytes.insert(bytes.end(), name.begin(), name.end());
    add(0, 0, std::move(bytes));
}

std::uint32_t SmfTrack::lastTick() const
{
    std::uint32_t last = 0;
    for (const Event& e : events_)
        last = std::max(last, e.tick);
    return last;
}

std::vector<std::uint8_t> SmfTrack::encode(std::uint32_t endTick) const
{
    std::vector<const Event*> sorted;
    sorted.reserve(events_.size());
    for (const Event& e : events_)
        sorted.push_back(&e);
    std::sort(sorted.begin(), sorted.end(), [](const Event* a, const Event* b) {
        if (a->tick != b->tick)
            return a->tick < b->tick;
        if (a->order != b->order)
            return a->order < b->order;
        return a->seq < b->seq;
    });

    std::vector<std::uint8_t> out;
    std::uint32_t now = 0;
    std::uint8_t runningStatus = 0;
    for (const Event* e : sorted) {
        putVarLen(out, e->tick - now);
        now = e->tick;
        const std::uint8_t status = e->bytes.front();
        if (status >= 0xf0) {
            runningStatus = 0; // meta events cancel running status for safety of simple readers
            out.insert(out.end(), e->bytes.begin(), e->bytes.end());
        } else if (status == runningStatus) {
            out.insert(out.end(), e->bytes.begin() + 1, e->bytes.end());
        } else {
            runningStatus = status;
            out.insert(out.end(), e->bytes.begin(), e->bytes.end());
        }
    }
    putVarLen(out, std::max(endTick, now) - now);
    out.insert(out.end(), {0xff, 0x2f, 0x00});
    return out;
}

std::vector<std::uint8_t> encodeSmf(int ticksPerQuarter, const std::vector<SmfTrack>& tracks)
{
    std::uint32_t endTick = 0;
    for (const SmfTrack& t : tracks)
        endTick = std::max(endTick, t.lastTick());

    std::vector<std::uint8_t> out{'M', 'T', 'h', 'd'};
    putBE(out, 6, 4);
    putBE(out, 1, 2);
    putBE(out, static_cast<std::uint32_t>(tracks.size()), 2);
    putBE(out, static_cast<std::uint32_t>(ticksPerQuarter), 2);
    for (const SmfTrack& t : tracks) {
        const std::vector<std::uint8_t> body = t.encode(endTick);
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        putBE(out, static_cast<std::uint32_t>(body.size()), 4);
        out.insert(out.end(), body.begin(), body.end());
    }
    return out;
}

bool writeSmf(const std::string& path, int ticksPerQuarter, const std::vector<SmfTrack>& tracks)
{
    const std::vector<std::uint8_t> bytes = encodeSmf(ticksPerQuarter, tracks);
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

} // namespace lw::musicgen

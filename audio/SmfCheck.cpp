// Strict standard MIDI file checker: header, track chunks and every event in them.
#include "SmfCheck.h"

namespace lw::audio {
namespace {

constexpr std::uint32_t kHeaderLength = 6;
constexpr std::int64_t kMaxTick = 0x7fffffff; // the player counts ticks in an int

std::uint32_t be32(const std::uint8_t* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}
std::uint16_t be16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

bool isId(const std::uint8_t* p, const char* id)
{
    return p[0] == id[0] && p[1] == id[1] && p[2] == id[2] && p[3] == id[3];
}

// Reads a variable-length number of at most four bytes; false when it runs past `end`.
bool readVarLen(const std::uint8_t*& p, const std::uint8_t* end, std::uint32_t& value)
{
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (p == end)
            return false;
        const std::uint8_t byte = *p++;
        value = (value << 7) | (byte & 0x7f);
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

// The number of data bytes after a channel-message status byte.
int channelDataBytes(std::uint8_t status)
{
    const std::uint8_t kind = status & 0xf0;
    return (kind == 0xc0 || kind == 0xd0) ? 1 : 2;
}

using Visitor = std::function<void(const SmfEvent&)>;

// Checks one track's events, showing each to `visit`; returns its last tick through `endTick`.
bool checkTrack(int track, const std::uint8_t* p, const std::uint8_t* end, std::int64_t& endTick, const Visitor& visit)
{
    std::int64_t tick = 0;
    std::uint8_t running = 0; // 0: no running status in effect
    while (p < end) {
        std::uint32_t delta = 0;
        if (!readVarLen(p, end, delta))
            return false;
        tick += delta;
        if (tick > kMaxTick)
            return false;
        if (p == end)
            return false;
        std::uint8_t status = *p;
        if (status < 0x80) {
            if (!running)
                return false;
            status = running;
        } else {
            ++p;
        }
        if (status < 0xf0) {
            running = status;
            const int n = channelDataBytes(status);
            if (end - p < n)
                return false;
            for (int i = 0; i < n; ++i) {
                if (p[i] & 0x80)
                    return false;
            }
            if (visit)
                visit({track, tick, status, 0, p, static_cast<std::uint32_t>(n)});
            p += n;
        } else if (status == 0xf0 || status == 0xf7) {
            running = 0; // system exclusive cancels running status
            std::uint32_t length = 0;
            if (!readVarLen(p, end, length) || static_cast<std::uint64_t>(end - p) < length)
                return false;
            if (visit)
                visit({track, tick, status, 0, p, length});
            p += length;
        } else if (status == 0xff) {
            running = 0; // so does a meta event
            if (p == end)
                return false;
            const std::uint8_t type = *p++;
            if (type & 0x80)
                return false;
            std::uint32_t length = 0;
            if (!readVarLen(p, end, length) || static_cast<std::uint64_t>(end - p) < length)
                return false;
            if (type == 0x51) {
                // Tempo, microseconds per quarter note: a zero would stop the clock.
                if (length != 3 || ((p[0] << 16) | (p[1] << 8) | p[2]) == 0)
                    return false;
            }
            if (visit)
                visit({track, tick, status, type, p, length});
            p += length;
            if (type == 0x2f) {
                // End of track: nothing may follow it inside the chunk.
                if (length != 0 || p != end)
                    return false;
            }
        } else {
            return false; // real-time and common messages have no place in a file
        }
        endTick = tick;
    }
    return true;
}

} // namespace

SmfResult checkSmf(const std::uint8_t* data, std::size_t size, SmfInfo* info, const Visitor& visit)
{
    if (!data || size == 0)
        return SmfResult::Empty;
    if (size > kMaxSmfBytes)
        return SmfResult::TooLarge;
    if (size < 8 || !isId(data, "MThd"))
        return SmfResult::NotMidi;
    if (be32(data + 4) != kHeaderLength || size < 8 + kHeaderLength)
        return SmfResult::BadHeader;
    const int format = be16(data + 8);
    const int tracks = be16(data + 10);
    const std::uint16_t division = be16(data + 12);
    if (format > 1 || tracks < 1 || tracks > kMaxSmfTracks || (format == 0 && tracks != 1))
        return SmfResult::BadHeader;
    if (division & 0x8000)
        return SmfResult::SmpteDivision;
    if (division == 0)
        return SmfResult::BadHeader;

    std::size_t offset = 8 + kHeaderLength;
    std::int64_t endTick = 0;
    for (int t = 0; t < tracks; ++t) {
        if (size - offset < 8 || !isId(data + offset, "MTrk"))
            return SmfResult::BadTrack;
        const std::uint32_t length = be32(data + offset + 4);
        offset += 8;
        if (size - offset < length)
            return SmfResult::BadTrack;
        std::int64_t trackEnd = 0;
        if (!checkTrack(t, data + offset, data + offset + length, trackEnd, visit))
            return SmfResult::BadTrack;
        if (trackEnd > endTick)
            endTick = trackEnd;
        offset += length;
    }
    if (info) {
        info->format = format;
        info->tracks = tracks;
        info->division = division;
        info->endTick = endTick;
        info->length = offset;
    }
    return SmfResult::Ok;
}

} // namespace lw::audio

// Reading a checked standard MIDI file into a score timed in frames.
#include "SmfScore.h"

#include "SmfCheck.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lw::audio {
namespace {

constexpr std::uint32_t kDefaultMicrosPerQuarter = 500000; // 120 beats a minute
constexpr double kMicrosPerSecond = 1e6;

struct TimedEvent {
    std::int64_t tick;
    std::size_t order; // file order, tracks one after another: the tie-break for equal ticks
    ScoreEvent event;
};

} // namespace

std::int64_t Score::frameAt(std::int64_t tick) const
{
    if (tempo_.empty() || division <= 0)
        return 0;
    auto segment = std::upper_bound(tempo_.begin(), tempo_.end(), tick,
                                    [](std::int64_t t, const TempoSegment& s) { return t < s.tick; });
    if (segment != tempo_.begin())
        --segment;
    const double seconds =
        static_cast<double>(tick - segment->tick) * segment->microsPerQuarter / (division * kMicrosPerSecond);
    return segment->frame + static_cast<std::int64_t>(std::floor(seconds * sampleRate_));
}

std::int64_t Score::tickAt(std::int64_t frame) const
{
    if (tempo_.empty() || division <= 0 || sampleRate_ <= 0)
        return 0;
    auto segment = std::upper_bound(tempo_.begin(), tempo_.end(), frame,
                                    [](std::int64_t f, const TempoSegment& s) { return f < s.frame; });
    if (segment != tempo_.begin())
        --segment;
    const double seconds = static_cast<double>(frame - segment->frame) / sampleRate_;
    return segment->tick +
           static_cast<std::int64_t>(std::floor(seconds * kMicrosPerSecond * division / segment->microsPerQuarter));
}

Score readScore(const std::uint8_t* data, std::size_t size, int sampleRate)
{
    Score score;
    score.sampleRate_ = sampleRate;
    std::vector<TimedEvent> timed;
    std::vector<std::pair<std::int64_t, std::uint32_t>> tempoChanges; // tick, microseconds a quarter
    SmfInfo info;
    const auto visit = [&](const SmfEvent& e) {
        if (e.status == 0xff) {
            if (e.metaType == 0x51 && e.length == 3)
                tempoChanges.emplace_back(e.tick, (e.data[0] << 16) | (e.data[1] << 8) | e.data[2]);
            return;
        }
        if (e.status >= 0xf0)
            return;
        ScoreEvent event;
        event.status = e.status;
        event.data1 = e.data[0];
        event.data2 = e.length > 1 ? e.data[1] : 0;
        if ((event.status & 0xf0) == 0x90 && event.data2 == 0)
            event.status = static_cast<std::uint8_t>(0x80 | (event.status & 0x0f));
        timed.push_back({e.tick, timed.size(), event});
    };
    if (checkSmf(data, size, &info, visit) != SmfResult::Ok)
        return score;
    score.division = info.division;
    score.endTick = info.endTick;

    // The tempo map: the changes of every track apply to the whole piece.
    std::stable_sort(tempoChanges.begin(), tempoChanges.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    score.tempo_.push_back({0, 0, kDefaultMicrosPerQuarter});
    for (const auto& [tick, micros] : tempoChanges) {
        const std::int64_t frame = score.frameAt(tick);
        if (score.tempo_.back().tick == tick)
            score.tempo_.back().microsPerQuarter = micros; // the last change at a tick wins
        else
            score.tempo_.push_back({tick, frame, micros});
    }

    std::stable_sort(timed.begin(), timed.end(), [](const TimedEvent& a, const TimedEvent& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });

    // Instruments: bank select as the synthesizer's GS mode reads it, then each program change.
    const auto requestIndex = [&score](ProgramRequest request) {
        auto found = std::find(score.programs.begin(), score.programs.end(), request);
        if (found == score.programs.end()) {
            score.programs.push_back(request);
            found = score.programs.end() - 1;
        }
        return static_cast<std::int16_t>(found - score.programs.begin());
    };
    std::array<int, kMidiChannels> bank{};
    std::array<std::int16_t, kMidiChannels> current;
    current.fill(-1);
    std::vector<ScoreEvent> openingPrograms;
    score.events.reserve(timed.size());
    for (TimedEvent& t : timed) {
        ScoreEvent& event = t.event;
        const int channel = event.status & 0x0f;
        const int kind = event.status & 0xf0;
        score.channels = static_cast<std::uint16_t>(score.channels | (1u << channel));
        if (kind == 0xb0 && event.data1 == 0 && channel != kDrumChannel) {
            bank[channel] = event.data2;
        } else if (kind == 0xc0) {
            event.program = requestIndex({channel == kDrumChannel ? kDrumBank : bank[channel], event.data1});
            current[channel] = event.program;
        } else if (kind == 0x90) {
            if (current[channel] < 0) {
                current[channel] = requestIndex({channel == kDrumChannel ? kDrumBank : 0, 0});
                ScoreEvent opening;
                opening.status = static_cast<std::uint8_t>(0xc0 | channel);
                opening.program = current[channel];
                openingPrograms.push_back(opening);
            }
            event.program = current[channel];
        }
        event.frame = score.frameAt(t.tick);
        score.events.push_back(event);
    }
    score.events.insert(score.events.begin(), openingPrograms.begin(), openingPrograms.end());
    score.endFrame = score.frameAt(score.endTick);
    return score;
}

} // namespace lw::audio

// The audio thread's player of the loaded piece and the wave.
#include "ScorePlayer.h"

#include "AudioEngine.h"

#include <algorithm>

namespace lw::audio {

ScorePlayer::ScorePlayer(PlayerLink& link, const InstrumentState& instruments) : link_(link), instruments_(instruments)
{
}

void ScorePlayer::releaseNotes(ScoreSink* synth)
{
    if (synth && attached_)
        synth->allNotesOff(-1);
    sounding_.reset();
}

void ScorePlayer::publish()
{
    const std::uint64_t word =
        (std::uint64_t{applied_.version & PlayerLink::kVersionMask} << PlayerLink::kPositionBits) |
        (static_cast<std::uint64_t>(position_) & PlayerLink::kPositionMask);
    link_.published.store(word, std::memory_order_release);
}

void ScorePlayer::takeRequest(ScoreSink* synth)
{
    Request r;
    if (!link_.request.tryRead(r) || r.version == applied_.version)
        return; // nothing new, or a write in progress: the next period tries again
    const Request before = applied_;
    applied_ = r;
    if (r.pieceSerial != before.pieceSerial || r.startSerial != before.startSerial) {
        releaseNotes(synth);
        attached_ = nullptr;
        piece_ = r.piece;
        position_ = 0;
        next_ = 0;
    } else if (!r.running && running_) {
        releaseNotes(synth); // paused: sounding notes are released
    }
    running_ = r.running && piece_;
    if (r.waveSerial != before.waveSerial) {
        wave_ = r.wave;
        wavePosition_ = 0;
    }
    publish();
}

void ScorePlayer::synthGone()
{
    attached_ = nullptr;
    sounding_.reset();
}

void ScorePlayer::synthBack()
{
    synthGone();
    synthFade_.value = 0.0f;
}

bool ScorePlayer::moving() const { return piece_ && running_ && position_ < piece_->score.endFrame; }

// The channels the piece uses start from the synthesizer's power-on settings, without selecting
// any instrument (that would load samples here).
void ScorePlayer::resetChannel(ScoreSink& synth, int channel)
{
    synth.allNotesOff(channel);
    synth.controlChange(channel, 121, 0); // reset all controllers
    static constexpr std::pair<int, int> kDefaults[] = {{0, 0},   {32, 0},  {7, 100}, {39, 0},  {10, 64}, {42, 0},
                                                        {8, 64},  {40, 0},  {91, 0},  {92, 0},  {93, 0},  {94, 0},
                                                        {95, 0},  {70, 64}, {71, 64}, {72, 64}, {73, 64}, {74, 64},
                                                        {75, 64}, {76, 64}, {77, 64}, {78, 64}, {79, 64}};
    for (const auto& [controller, value] : kDefaults)
        synth.controlChange(channel, controller, value);
    synth.pitchWheelSensitivity(channel, 2);
}

void ScorePlayer::send(ScoreSink& synth, const ScoreEvent& e)
{
    const int channel = e.status & 0x0f;
    switch (e.status & 0xf0) {
    case 0x90:
        if (synth.noteOn(channel, e.data1, e.data2))
            sounding_.set(static_cast<std::size_t>(channel * 128 + e.data1));
        break;
    case 0x80:
        synth.noteOff(channel, e.data1);
        sounding_.reset(static_cast<std::size_t>(channel * 128 + e.data1));
        break;
    case 0xa0:
        synth.keyPressure(channel, e.data1, e.data2);
        break;
    case 0xb0:
        synth.controlChange(channel, e.data1, e.data2);
        break;
    case 0xc0: {
        const auto& presets = attached_->presets;
        const auto chosen = e.program >= 0 && static_cast<std::size_t>(e.program) < presets.size()
                                ? presets[static_cast<std::size_t>(e.program)]
                                : std::pair{-1, -1};
        if (chosen.first >= 0 && attached_->fontId >= 0)
            synth.selectProgram(channel, attached_->fontId, chosen.first, chosen.second);
        else
            synth.unsetProgram(channel);
        break;
    }
    case 0xd0:
        synth.channelPressure(channel, e.data1);
        break;
    case 0xe0:
        synth.pitchBend(channel, e.data1 | (e.data2 << 7));
        break;
    default:
        break;
    }
}

// Lets the synthesizer follow the current piece once its instruments are in, and brings it up to
// where the piece is: the controllers and programs of the events already passed (their notes are
// not struck late), a bounded number per period.
void ScorePlayer::followPiece(ScoreSink* synth)
{
    if (!synth || !piece_ || !running_)
        return;
    if (attached_ != piece_) {
        if (instruments_.prepared.load(std::memory_order_acquire) != piece_->serial)
            return;
        attached_ = piece_;
        synthSeen_ = 0;
        for (int channel = 0; channel < kMidiChannels; ++channel) {
            if (piece_->score.channels & (1u << channel))
                resetChannel(*synth, channel);
        }
    }
    const auto& events = piece_->score.events;
    for (std::size_t n = 0; synthSeen_ < next_ && n < kCatchUpEventsPerPeriod; ++n) {
        const ScoreEvent& e = events[synthSeen_++];
        const int kind = e.status & 0xf0;
        if (kind != 0x90 && kind != 0x80)
            send(*synth, e);
    }
}

// Whether the piece's clock stands still: its instruments are not in yet, though the SoundFont
// is (while the SoundFont itself loads, the clock runs).
bool ScorePlayer::pieceHeld() const
{
    return instruments_.fontLoaded.load(std::memory_order_acquire) &&
           instruments_.prepared.load(std::memory_order_acquire) != piece_->serial;
}

// Plays the events due at the current position.
void ScorePlayer::dispatchDue(ScoreSink* synth)
{
    const auto& events = piece_->score.events;
    while (next_ < events.size() && events[next_].frame <= position_) {
        const ScoreEvent& e = events[next_];
        const bool inStep = synth && attached_ == piece_ && synthSeen_ == next_;
        if (inStep) {
            send(*synth, e);
            ++synthSeen_;
        } else if (synth && (e.status & 0xf0) == 0x80 &&
                   sounding_.test(static_cast<std::size_t>((e.status & 0x0f) * 128 + e.data1))) {
            send(*synth, e); // a note struck before the synthesizer fell behind still ends
        }
        ++next_;
    }
}

// Renders `frames` of the synthesizer into left/right while moving the piece on, in spans that
// end on the synthesizer block at or after the next event; silence where there is no synthesizer.
void ScorePlayer::renderSpan(ScoreSink* synth, int frames, float* left, float* right, int stride)
{
    int done = 0;
    while (done < frames) {
        int n = frames - done;
        const bool movingNow = moving() && !pieceHeld();
        if (movingNow) {
            dispatchDue(synth);
            const auto& events = piece_->score.events;
            const std::int64_t until = next_ < events.size() ? events[next_].frame : piece_->score.endFrame;
            const std::int64_t ahead = std::max<std::int64_t>(until - position_, 1);
            const std::int64_t rounded = (ahead + kSynthBlock - 1) / kSynthBlock * kSynthBlock;
            n = static_cast<int>(std::min<std::int64_t>(n, rounded));
        }
        if (synth) {
            synth->render(n, left + done * stride, right + done * stride, stride);
        } else {
            for (int i = 0; i < n; ++i)
                left[(done + i) * stride] = right[(done + i) * stride] = 0.0f;
        }
        if (movingNow) {
            position_ = std::min(position_ + n, piece_->score.endFrame);
            if (position_ >= piece_->score.endFrame)
                dispatchDue(synth); // the events at the very end
        }
        done += n;
    }
}

// Adds the sounding wave into `left` and `right`.
void ScorePlayer::mixWave(float* left, float* right, int stride, int frames)
{
    if (!wave_)
        return;
    const std::vector<float>& data = wave_->frames;
    const int available = static_cast<int>((data.size() - wavePosition_) / 2);
    const int n = std::min(frames, available);
    for (int i = 0; i < n; ++i) {
        left[i * stride] += data[wavePosition_++];
        right[i * stride] += data[wavePosition_++];
    }
    if (wavePosition_ >= data.size())
        wave_ = nullptr;
}

void ScorePlayer::period(ScoreSink* synth, int frames, float* left, float* right, int stride, bool fadeOut)
{
    takeRequest(synth);
    followPiece(synth);
    renderSpan(synth, frames, left, right, stride);
    const auto count = static_cast<std::size_t>(frames), step = static_cast<std::size_t>(stride);
    silenceNonFinite(left, count, step);
    silenceNonFinite(right, count, step);
    // The synthesizer's part: faded for a lend (over the whole period), then scaled by the music
    // gain; the wave is added after, and the mute covers both.
    synthFade_.apply(fadeOut ? 0.0f : 1.0f, left, right, stride, frames, frames);
    gain_.apply(std::clamp(link_.musicGain.load(std::memory_order_relaxed), 0.0f, 1.0f), left, right, stride, frames,
                AudioEngine::kGainRampFrames);
    mixWave(left, right, stride, frames);
    mute_.apply(link_.muted.load(std::memory_order_relaxed) ? 0.0f : 1.0f, left, right, stride, frames,
                AudioEngine::kGainRampFrames);
    publish();
}

} // namespace lw::audio

// The audio thread's player: takes the window thread's latest request, moves the piece on in
// frames, sends its events to the synthesizer through a ScoreSink, and mixes the wave in.
#pragma once

#include "Handoff.h"
#include "OutputShaping.h"
#include "SmfScore.h"

#include <atomic>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace lw::audio {

// A loaded piece: its score, and what the worker prepared for it in the synthesizer.
struct Piece {
    Score score;
    // Unique over the engine's life. What the synthesizer holds is known by this number, never by
    // the address: a new piece may be given the memory of one already freed.
    std::uint64_t serial = 0;
    // Written by the worker before it publishes the piece as prepared (InstrumentState::prepared),
    // read by the audio thread only after: the cut font holding the piece's instruments, and for
    // each of the score's program requests the bank and program to select in it (-1: none).
    int fontId = -1;
    std::vector<std::pair<int, int>> presets;
};

struct Wave {
    std::vector<float> frames; // interleaved stereo
};

// What the window thread asks of the audio thread. Serials change with each load, start and wave.
// The piece and the wave stay alive until the audio thread has taken a later request.
struct Request {
    std::uint32_t version = 0;
    const Piece* piece = nullptr;
    std::uint32_t pieceSerial = 0;
    std::uint32_t startSerial = 0;
    bool running = false;
    const Wave* wave = nullptr;
    std::uint32_t waveSerial = 0;
};

// Between the window thread and the audio thread; neither side ever waits for the other.
struct PlayerLink {
    // The published word: the version of the last request taken in the high bits, the piece's
    // position in frames below.
    static constexpr int kPositionBits = 40;
    static constexpr std::uint64_t kPositionMask = (std::uint64_t{1} << kPositionBits) - 1;
    static constexpr std::uint32_t kVersionMask = (1u << (64 - kPositionBits)) - 1;

    // Window thread to audio thread.
    LatestValue<Request> request;
    std::atomic<float> musicGain{1.0f};
    std::atomic<bool> muted{false};
    // Audio thread to window thread.
    std::atomic<std::uint64_t> published{0};

    static std::uint32_t versionOf(std::uint64_t word) { return static_cast<std::uint32_t>(word >> kPositionBits); }
    static std::int64_t positionOf(std::uint64_t word) { return static_cast<std::int64_t>(word & kPositionMask); }
    // Whether version `applied` is `version` or later, across the wrap of the version counter.
    static bool reached(std::uint32_t applied, std::uint32_t version)
    {
        return ((applied - version) & kVersionMask) < (kVersionMask / 2);
    }
};

// Worker to audio thread: how far the synthesizer's instruments are.
struct InstrumentState {
    std::atomic<bool> fontLoaded{false};    // the synthesizer has its SoundFont
    std::atomic<std::uint64_t> prepared{0}; // serial of the piece whose instruments it holds
};

// Where the player's events go: the synthesizer, or a recording in tests.
class ScoreSink {
public:
    virtual ~ScoreSink() = default;
    virtual bool noteOn(int channel, int key, int velocity) = 0; // false: no voice started
    virtual void noteOff(int channel, int key) = 0;
    virtual void keyPressure(int channel, int key, int value) = 0;
    virtual void controlChange(int channel, int controller, int value) = 0;
    virtual void selectProgram(int channel, int fontId, int bank, int program) = 0;
    virtual void unsetProgram(int channel) = 0;
    virtual void channelPressure(int channel, int value) = 0;
    virtual void pitchBend(int channel, int value) = 0; // 0 to 16383, 8192 centred
    virtual void pitchWheelSensitivity(int channel, int semitones) = 0;
    virtual void allNotesOff(int channel) = 0; // -1: every channel
    // Renders `frames` frames into `left` and `right`, `stride` floats apart.
    virtual void render(int frames, float* left, float* right, int stride) = 0;
};

// Belongs to the audio thread (the output's callback, the file clock or the silent clock; the
// caller of render() with a manual clock): no other thread holds a reference to it. It takes no
// lock, allocates nothing and does no I/O.
class ScorePlayer {
public:
    // Events take effect on boundaries of this many frames (the synthesizer's own block).
    static constexpr int kSynthBlock = 64;
    // Earlier events replayed into the synthesizer per period when it joins a piece under way.
    static constexpr std::size_t kCatchUpEventsPerPeriod = 4096;

    ScorePlayer(PlayerLink& link, const InstrumentState& instruments);
    ScorePlayer(const ScorePlayer&) = delete;
    ScorePlayer& operator=(const ScorePlayer&) = delete;

    // One period: the latest request, the piece moved on by `frames`, the synthesizer rendered
    // (silence when `synth` is null), the music gain and the wave and the mute applied. With
    // `fadeOut` the synthesizer's part fades to silence over the period, for a lend.
    void period(ScoreSink* synth, int frames, float* left, float* right, int stride, bool fadeOut = false);
    // Takes the latest request without rendering (an idle clock).
    void takeRequest(ScoreSink* synth);
    // The synthesizer was given away (lent, or used by the worker between two periods): it
    // follows no piece until it is attached again, and no note of it is sounding.
    void synthGone();
    // The synthesizer came back silenced: its part fades in again.
    void synthBack();
    // A piece is running and not yet at its end.
    bool moving() const;

private:
    void releaseNotes(ScoreSink* synth);
    void publish();
    void resetChannel(ScoreSink& synth, int channel);
    void send(ScoreSink& synth, const ScoreEvent& e);
    void followPiece(ScoreSink* synth);
    bool pieceHeld() const;
    void dispatchDue(ScoreSink* synth);
    void renderSpan(ScoreSink* synth, int frames, float* left, float* right, int stride);
    void mixWave(float* left, float* right, int stride, int frames);

    PlayerLink& link_;
    const InstrumentState& instruments_;
    Request applied_;
    const Piece* piece_ = nullptr;
    bool running_ = false;
    std::int64_t position_ = 0;       // frames from the start of the piece
    std::size_t next_ = 0;            // the next event of the score
    const Piece* attached_ = nullptr; // the piece the synthesizer follows
    std::size_t synthSeen_ = 0;       // events [0, synthSeen_) are in the synthesizer
    std::bitset<kMidiChannels * 128> sounding_;
    Ramp synthFade_; // the synthesizer faded out for a lend, and back in after it
    Ramp gain_;      // the music gain
    Ramp mute_;      // 0 muted, 1 heard
    const Wave* wave_ = nullptr;
    std::size_t wavePosition_ = 0; // in floats
};

} // namespace lw::audio

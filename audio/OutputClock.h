// The audio thread's clock: a sound card's callback, or a thread of its own that renders what
// elapsed time asks for into a WAV file (LW_AUDIO_FILE) or into nothing (the silent clock).
#pragma once

#include "AudioEngine.h"
#include "Handoff.h"
#include "WaveRecording.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

namespace lw::audio {

// What the clock drives. Every call comes from the audio thread, which is at any moment exactly
// one of: the clock thread, or (once the clock thread has handed over) the sound card's callback.
class ClockedPlayer {
public:
    virtual ~ClockedPlayer() = default;
    // One period of `frames` frames into `left` and `right`, `stride` floats apart.
    virtual void period(int frames, float* left, float* right, int stride) = 0;
    // Nothing to render: take the latest request all the same.
    virtual void idle() = 0;
    // A piece moves: the silent clock must keep time.
    virtual bool moving() const = 0;
};

// Frames of the scratch buffer of the clocks that have no output buffer of their own.
inline constexpr int kScratchFrames = 4096;

// Renders `frames` into `scratch` (2 * kScratchFrames floats) in pieces; `out` (2 * frames floats)
// and `file` receive them when given.
void renderInterleaved(ClockedPlayer& player, std::vector<float>& scratch, std::int64_t frames, float* out,
                       WaveRecording* file);

class OutputClock {
public:
    // `recording`, when given, is the output: the clock thread writes it in real time.
    OutputClock(ClockedPlayer& player, std::unique_ptr<WaveRecording> recording);
    ~OutputClock();
    OutputClock(const OutputClock&) = delete;
    OutputClock& operator=(const OutputClock&) = delete;

    // Window thread: starts the clock thread.
    void start();
    // Worker: what a sound card is to call for each period.
    OutputCallback callback();
    // Worker: the sound card from now on. False when the clock has stopped meanwhile: the card
    // is closed again, and never rendered from.
    bool attach(std::unique_ptr<AudioOutput> output);
    // Any thread: someone listens (the file or a sound card).
    bool hasOutput() const { return outputOpen_.load(std::memory_order_acquire); }
    // Any thread: wakes a sleeping clock thread for a new request or a lend.
    void wake();
    // Window thread: stops the clock for good. When it returns the audio thread has stopped:
    // the clock thread is joined, the sound card closed and the file finalized. Idempotent.
    void stop();
    // Any thread: stop() has begun.
    bool stopping() const { return stopping_.load(); }

private:
    static void renderCallback(void* context, int frames, float* left, float* right);
    void clockLoop();

    ClockedPlayer& player_;
    std::unique_ptr<WaveRecording> recording_; // the clock thread's, closed by stop()
    std::atomic<bool> stopping_{false};
    std::atomic<bool> outputOpen_{false};
    std::atomic<bool> callbackOwnsClock_{false}; // the clock thread has handed over to the card
    std::atomic<AudioOutput*> output_{nullptr};
    ClockWake wake_;
    std::vector<float> scratch_ = std::vector<float>(2 * kScratchFrames);
    std::thread thread_;
};

} // namespace lw::audio

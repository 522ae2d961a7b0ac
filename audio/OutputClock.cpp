// The audio thread's clock: the silent clock, the file clock and the sound card's callback.
#include "OutputClock.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace lw::audio {
namespace {

using Clock = std::chrono::steady_clock;

// The file output and the silent clock render what real time asks for at this interval. Measured
// against FluidSynth alone writing the same file (bench/run_bench.py): 10 ms cost about 1.2x,
// 20 ms 1.06x, 40 ms 0.93x of its CPU at 20 ms; a file is not heard live, and positions a piece
// reports move in steps far finer than the window thread's 600 ms polling.
constexpr auto kClockPeriod = std::chrono::milliseconds(40);
// The silent clock, while no piece moves, looks again this often even when no wake reaches it.
constexpr auto kIdleCheck = std::chrono::milliseconds(250);
// After a stall (a suspended machine) a clock catches up by at most this much.
constexpr std::int64_t kMaxCatchUpFrames = AudioEngine::kSampleRate;

} // namespace

void renderInterleaved(ClockedPlayer& player, std::vector<float>& scratch, std::int64_t frames, float* out,
                       WaveRecording* file)
{
    std::int64_t done = 0;
    while (done < frames) {
        const int n = static_cast<int>(std::min<std::int64_t>(kScratchFrames, frames - done));
        float* buffer = scratch.data();
        player.period(n, buffer, buffer + 1, 2);
        if (out)
            std::copy(buffer, buffer + 2 * n, out + 2 * done);
        if (file)
            file->write(buffer, static_cast<std::size_t>(2 * n));
        done += n;
    }
}

OutputClock::OutputClock(ClockedPlayer& player, std::unique_ptr<WaveRecording> recording)
    : player_(player), recording_(std::move(recording))
{
    if (recording_)
        outputOpen_.store(true, std::memory_order_release);
}

OutputClock::~OutputClock() { stop(); }

void OutputClock::start()
{
    thread_ = std::thread([this] { clockLoop(); });
}

OutputCallback OutputClock::callback() { return {&OutputClock::renderCallback, this}; }

bool OutputClock::attach(std::unique_ptr<AudioOutput> output)
{
    // Sequentially consistent, with stop(): either stop() takes the card out, or this sees
    // that stop() has begun and takes it out itself.
    output_.store(output.release());
    if (stopping()) {
        delete output_.exchange(nullptr);
        return false;
    }
    outputOpen_.store(true, std::memory_order_release);
    wake(); // the clock thread hands over
    return true;
}

void OutputClock::wake()
{
    if (!callbackOwnsClock_.load(std::memory_order_relaxed))
        wake_.wake();
}

void OutputClock::stop()
{
    if (stopping_.exchange(true))
        return;
    wake_.wakeSurely(); // harmless when the callback owns the clock: nobody sleeps in it
    if (thread_.joinable())
        thread_.join();
    delete output_.exchange(nullptr); // returns once the callback has stopped
    outputOpen_.store(false, std::memory_order_release);
    if (recording_)
        recording_->close();
}

// The sound card's callback. Until the clock thread has handed over, the output stays silent, so
// the piece's clock never runs on two threads.
void OutputClock::renderCallback(void* context, int frames, float* left, float* right)
{
    auto* self = static_cast<OutputClock*>(context);
    std::memset(left, 0, sizeof(float) * static_cast<std::size_t>(frames));
    std::memset(right, 0, sizeof(float) * static_cast<std::size_t>(frames));
    if (self->stopping_.load(std::memory_order_relaxed) || !self->callbackOwnsClock_.load(std::memory_order_acquire))
        return;
    self->player_.period(frames, left, right, 1);
}

// Real time without a sound card: renders what the elapsed time asks for, into the file when
// there is one, else into nothing. Without a file it sleeps while nothing plays, and leaves once
// a sound card's callback takes over.
void OutputClock::clockLoop()
{
    const bool toFile = recording_ != nullptr;
    Clock::time_point origin = Clock::now();
    std::int64_t rendered = 0;
    bool idle = true;
    while (!stopping()) {
        if (!toFile && outputOpen_.load(std::memory_order_acquire)) {
            callbackOwnsClock_.store(true, std::memory_order_release);
            return;
        }
        // The silent clock sleeps while no piece moves, until a request, a lend, the output
        // opening or the end wakes it.
        if (!toFile && !player_.moving()) {
            wake_.sleepUntil(Clock::now() + kIdleCheck);
            idle = true;
            player_.idle();
            continue;
        }
        if (idle) {
            origin = Clock::now();
            rendered = 0;
            idle = false;
        }
        wake_.sleepUntil(Clock::now() + kClockPeriod);
        const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - origin);
        std::int64_t frames = elapsed.count() * AudioEngine::kSampleRate / 1000000 - rendered;
        if (frames > kMaxCatchUpFrames) {
            rendered += frames - kMaxCatchUpFrames;
            frames = kMaxCatchUpFrames;
        }
        if (frames <= 0) {
            player_.idle();
            continue;
        }
        renderInterleaved(player_, scratch_, frames, nullptr, recording_.get());
        rendered += frames;
    }
}

} // namespace lw::audio

// The hand-offs between the engine's threads: the window thread's latest request to the audio
// thread, the wake of a sleeping clock, and the synthesizer lent by the audio thread to the worker.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <type_traits>

namespace lw::audio {

// The latest value of a small trivially copyable T, written by one thread and read by another.
// A read that meets a write in progress fails and is simply tried again on the next audio period.
template <class T> class LatestValue {
    static_assert(std::is_trivially_copyable_v<T>);
    static constexpr std::size_t kWords = (sizeof(T) + 7) / 8;

public:
    void write(const T& value)
    {
        const std::uint32_t sequence = sequence_.load(std::memory_order_relaxed);
        sequence_.store(sequence + 1, std::memory_order_relaxed); // odd: a write is in progress
        std::atomic_thread_fence(std::memory_order_release);
        std::array<std::uint64_t, kWords> words{};
        std::memcpy(words.data(), &value, sizeof(T));
        for (std::size_t i = 0; i < kWords; ++i)
            words_[i].store(words[i], std::memory_order_relaxed);
        sequence_.store(sequence + 2, std::memory_order_release);
    }

    bool tryRead(T& value) const
    {
        const std::uint32_t before = sequence_.load(std::memory_order_acquire);
        if (before & 1)
            return false;
        std::array<std::uint64_t, kWords> words{};
        for (std::size_t i = 0; i < kWords; ++i)
            words[i] = words_[i].load(std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (sequence_.load(std::memory_order_relaxed) != before)
            return false;
        std::memcpy(static_cast<void*>(&value), words.data(), sizeof(T));
        return true;
    }

private:
    std::atomic<std::uint32_t> sequence_{0};
    std::array<std::atomic<std::uint64_t>, kWords> words_{};
};

// Wakes a sleeping clock thread before its time. Only the clock thread sleeps in it and takes its
// mutex; wake() only sets a flag and notifies, so whoever wakes it never waits. A wake that lands
// just as the clock goes to sleep is seen at the clock's next deadline; wakeSurely() (for the end)
// takes the mutex and is never missed. One futex wait per sleep: no spinning, no polling.
class ClockWake {
public:
    using Clock = std::chrono::steady_clock;

    void wake()
    {
        woken_.store(true, std::memory_order_release);
        condition_.notify_one();
    }
    void wakeSurely()
    {
        {
            std::lock_guard guard(mutex_);
            woken_.store(true, std::memory_order_release);
        }
        condition_.notify_one();
    }
    // Sleeps until `deadline` or a wake, whichever comes first, and clears the wake.
    void sleepUntil(Clock::time_point deadline)
    {
        std::unique_lock lock(mutex_);
        condition_.wait_until(lock, deadline, [this] { return woken_.load(std::memory_order_acquire); });
        woken_.store(false, std::memory_order_relaxed);
    }

private:
    std::mutex mutex_;
    std::condition_variable condition_;
    std::atomic<bool> woken_{false};
};

// The one synthesizer, shared by the audio thread, which renders it every period, and the
// worker, which borrows it between two periods to swap instruments. Each side reaches it only
// through its own end, so the type says who may call what:
//   - WorkerEnd: publish() once, then borrow() / giveBack() around each swap;
//   - AudioEnd: beginPeriod() at the start of every period and handOver() at its end;
//   - the owner: close() once the audio thread has stopped, which ends a borrow;
//   - WorkerEnd::takeForDestruction() once neither thread can reach it any more.
// Nothing else ever destroys the synthesizer: a worker that finds the engine closing simply
// leaves it here. The audio thread never waits; the worker sleeps in borrow()
// (an atomic wait, no polling) until the audio thread hands over or the hand-off is closed.
template <class Synth> class SynthHandoff {
    enum State : int { kWithAudio, kAsked, kLent, kClosed };

public:
    class AudioEnd {
    public:
        struct Turn {
            Synth* synth = nullptr; // null: none yet, lent out, or closed
            bool handOver = false;  // fade it out over this period, then call handOver()
            bool cameBack = false;  // first period after a lend: the worker cleared every channel
        };
        Turn beginPeriod()
        {
            Turn turn;
            const int state = h_.state_.load(std::memory_order_acquire);
            if (state == kLent || state == kClosed)
                return turn;
            turn.synth = h_.synth_.load(std::memory_order_acquire);
            if (lentOut_ && turn.synth) {
                lentOut_ = false;
                turn.cameBack = true;
            }
            if (state == kAsked) {
                if (!turn.synth) {
                    handOver(); // nothing to fade: the worker may go ahead at once
                    return turn;
                }
                turn.handOver = true;
            }
            return turn;
        }
        // The audio thread is done with the synthesizer until the worker gives it back.
        void handOver()
        {
            lentOut_ = true;
            int asked = kAsked;
            if (h_.state_.compare_exchange_strong(asked, kLent, std::memory_order_acq_rel))
                h_.state_.notify_all();
        }

    private:
        friend class SynthHandoff;
        explicit AudioEnd(SynthHandoff& h) : h_(h) {}
        SynthHandoff& h_;
        bool lentOut_ = false; // the audio thread's own memory of having lent it
    };

    class WorkerEnd {
    public:
        // The first synthesizer, made by the worker; the audio thread renders it from the next period.
        void publish(Synth* synth) { h_.synth_.store(synth, std::memory_order_release); }
        // The synthesizer, once the audio thread has let go of it; null when the hand-off closed
        // first. `wakeAudio` wakes an audio thread that may be asleep.
        template <class Wake> Synth* borrow(Wake&& wakeAudio)
        {
            int state = kWithAudio;
            if (!h_.state_.compare_exchange_strong(state, kAsked, std::memory_order_acq_rel))
                return state == kLent ? h_.synth_.load(std::memory_order_acquire) : nullptr;
            wakeAudio();
            for (;;) {
                state = h_.state_.load(std::memory_order_acquire);
                if (state == kLent)
                    return h_.synth_.load(std::memory_order_acquire);
                if (state == kClosed)
                    return nullptr;
                h_.state_.wait(state, std::memory_order_acquire);
            }
        }
        // With a manual clock the worker's caller is itself the audio thread and takes the
        // synthesizer between two periods without asking.
        Synth* takeBetweenPeriods() const { return h_.synth_.load(std::memory_order_acquire); }
        // For destruction, once the audio thread has stopped and the worker thread is done.
        Synth* takeForDestruction() { return h_.synth_.exchange(nullptr, std::memory_order_acq_rel); }
        // Back to the audio thread, which renders it again from its next period.
        void giveBack()
        {
            int lent = kLent;
            h_.state_.compare_exchange_strong(lent, kWithAudio, std::memory_order_acq_rel);
        }

    private:
        friend class SynthHandoff;
        explicit WorkerEnd(SynthHandoff& h) : h_(h) {}
        SynthHandoff& h_;
    };

    SynthHandoff() = default;
    SynthHandoff(const SynthHandoff&) = delete;
    SynthHandoff& operator=(const SynthHandoff&) = delete;

    AudioEnd& audioEnd() { return audio_; }
    WorkerEnd& workerEnd() { return worker_; }

    // The audio thread has stopped for good: it renders nothing more, and a borrow, waiting or
    // not, returns null.
    void close()
    {
        state_.store(kClosed, std::memory_order_release);
        state_.notify_all();
    }

private:
    std::atomic<Synth*> synth_{nullptr};
    std::atomic<int> state_{kWithAudio};
    AudioEnd audio_{*this};
    WorkerEnd worker_{*this};
};

} // namespace lw::audio

// A hand-off between the window thread and the audio thread in which neither ever waits.
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
template <class T>
class LatestValue {
    static_assert(std::is_trivially_copyable_v<T>);
    static constexpr std::size_t kWords = (sizeof(T) + 7) / 8;

public:
    void write(const T& value) {
        const std::uint32_t sequence = sequence_.load(std::memory_order_relaxed);
        sequence_.store(sequence + 1, std::memory_order_relaxed); // odd: a write is in progress
        std::atomic_thread_fence(std::memory_order_release);
        std::array<std::uint64_t, kWords> words{};
        std::memcpy(words.data(), &value, sizeof(T));
        for (std::size_t i = 0; i < kWords; ++i)
            words_[i].store(words[i], std::memory_order_relaxed);
        sequence_.store(sequence + 2, std::memory_order_release);
    }

    bool tryRead(T& value) const {
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

    void wake() {
        woken_.store(true, std::memory_order_release);
        condition_.notify_one();
    }
    void wakeSurely() {
        {
            std::lock_guard guard(mutex_);
            woken_.store(true, std::memory_order_release);
        }
        condition_.notify_one();
    }
    // Sleeps until `deadline` or a wake, whichever comes first, and clears the wake.
    void sleepUntil(Clock::time_point deadline) {
        std::unique_lock lock(mutex_);
        condition_.wait_until(lock, deadline, [this] { return woken_.load(std::memory_order_acquire); });
        woken_.store(false, std::memory_order_relaxed);
    }

private:
    std::mutex mutex_;
    std::condition_variable condition_;
    std::atomic<bool> woken_{false};
};

} // namespace lw::audio

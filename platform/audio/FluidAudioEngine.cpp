// The audio engine over FluidSynth: one synthesizer, its MIDI file player, the audio output
// with the wave mixed in, and a silent real-time clock when there is no output. With
// LW_AUDIO_FILE set, the output is a WAV file written in real time instead of a sound card.
// This is the only file of the game that sees FluidSynth.
#include "AudioEngine.h"

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string_view>
#include <thread>

namespace lw::audio {
namespace {

using Clock = std::chrono::steady_clock;

// Frames rendered per synthesizer call; also the size of the scratch buffer.
constexpr int kRenderBlock = 4096;
// The silent clock sleeps this long between renders while a piece runs.
constexpr auto kSilentClockStep = std::chrono::milliseconds(20);
// After a stall (a suspended machine) the silent clock catches up by at most this much.
constexpr std::int64_t kMaxCatchUpFrames = AudioEngine::kSampleRate;
// Audio output buffering: 4 periods of 512 frames, about 46 ms at 44.1 kHz.
constexpr int kPeriodFrames = 512;
constexpr int kPeriods = 4;

constexpr std::array kGeneralMidiFonts = {
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf3/default-GM.sf3",
};

void dropLogMessage(int, const char*, void*) {}

// Whatever goes wrong inside the synthesizer, no infinity or NaN reaches the speakers.
void silenceNonFinite(float* samples, std::size_t count, std::size_t stride = 1) {
    for (std::size_t i = 0; i < count; ++i) {
        float& sample = samples[i * stride];
        if (!std::isfinite(sample))
            sample = 0.0f;
    }
}

// A 16-bit stereo PCM WAV file at kSampleRate, its sizes patched in when it is closed.
class WaveRecording {
public:
    explicit WaveRecording(const char* path) : file_(std::fopen(path, "wb")) {
        if (file_)
            writeHeader();
    }
    ~WaveRecording() { close(); }
    bool isOpen() const { return file_ != nullptr; }

    void write(const std::vector<float>& interleaved) {
        if (!file_)
            return;
        std::vector<std::int16_t> samples(interleaved.size());
        for (std::size_t i = 0; i < interleaved.size(); ++i) {
            const float clipped = std::clamp(interleaved[i], -1.0f, 1.0f);
            samples[i] = static_cast<std::int16_t>(clipped * 32767.0f);
        }
        dataBytes_ += std::fwrite(samples.data(), sizeof(std::int16_t), samples.size(), file_) * sizeof(std::int16_t);
    }

    void close() {
        if (!file_)
            return;
        writeHeader(); // now with the real sizes
        std::fclose(file_);
        file_ = nullptr;
    }

private:
    void put32(std::uint32_t value) {
        const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                        static_cast<unsigned char>(value >> 16),
                                        static_cast<unsigned char>(value >> 24)};
        std::fwrite(bytes, 1, 4, file_);
    }
    void put16(std::uint16_t value) {
        const unsigned char bytes[2] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8)};
        std::fwrite(bytes, 1, 2, file_);
    }
    void writeHeader() {
        const long position = std::ftell(file_);
        std::fseek(file_, 0, SEEK_SET);
        const auto data = static_cast<std::uint32_t>(std::min<std::uint64_t>(dataBytes_, 0xFFFFFFFFu - 36));
        std::fwrite("RIFF", 1, 4, file_);
        put32(36 + data);
        std::fwrite("WAVEfmt ", 1, 8, file_);
        put32(16);
        put16(1); // PCM
        put16(2); // stereo
        put32(AudioEngine::kSampleRate);
        put32(AudioEngine::kSampleRate * 4);
        put16(4);
        put16(16);
        std::fwrite("data", 1, 4, file_);
        put32(data);
        if (position > 44)
            std::fseek(file_, position, SEEK_SET);
    }

    std::FILE* file_;
    std::uint64_t dataBytes_ = 0;
};

// FluidSynth writes its messages to the terminal unless told otherwise.
void silenceFluidLog() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level = 0; level < LAST_LOG_LEVEL; ++level)
            fluid_set_log_function(level, dropLogMessage, nullptr);
    });
}

bool envFlag(const char* name) {
    const char* value = std::getenv(name);
    return value && *value && std::string_view(value) != "0";
}

std::string chooseSoundFont(const std::string& requested) {
    if (!requested.empty())
        return requested;
    if (const char* fromEnv = std::getenv("LW_SOUNDFONT"); fromEnv && *fromEnv)
        return fromEnv;
    std::error_code error;
    for (const char* candidate : kGeneralMidiFonts) {
        if (std::filesystem::is_regular_file(candidate, error))
            return candidate;
    }
    return {};
}

// ALSA prints its own complaints to the terminal when the machine has no sound card, so it is
// only tried when there is a PCM device to open.
bool hasAlsaPcmDevice() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/snd", error)) {
        if (entry.path().filename().string().rfind("pcm", 0) == 0)
            return true;
    }
    return false;
}

} // namespace

struct AudioEngine::Impl {
    AudioOptions options;
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;

    // Guards the synthesizer's rendering, the player and the wave: rendering runs on the audio
    // (or silent clock) thread, commands come from the UI thread.
    mutable std::mutex lock;
    std::condition_variable wake; // for the silent clock: a piece started, output opened, shutdown
    fluid_player_t* player = nullptr;
    std::vector<std::uint8_t> piece; // the loaded piece's bytes, to start it again
    bool running = false;
    std::vector<float> wave;      // interleaved stereo at kSampleRate
    std::size_t wavePosition = 0; // in floats
    std::vector<float> scratch = std::vector<float>(2 * kRenderBlock);
    bool shutDown = false;

    std::atomic<bool> outputOpen{false};
    std::atomic<float> musicGain{1.0f};
    std::atomic<bool> muted{false};
    std::atomic<bool> fontReady{false};
    fluid_audio_driver_t* driver = nullptr; // set by the set-up thread, read at shutdown
    std::thread setupThread;
    std::thread clockThread;
    std::unique_ptr<WaveRecording> recording; // the output when LW_AUDIO_FILE names a file

    ~Impl() { stop(); }

    void stop() {
        {
            std::lock_guard guard(lock);
            if (shutDown)
                return;
            shutDown = true;
        }
        wake.notify_all();
        if (clockThread.joinable())
            clockThread.join();
        if (setupThread.joinable())
            setupThread.join(); // waits for a SoundFont still loading
        if (driver) {
            delete_fluid_audio_driver(driver); // returns once the callback has stopped
            driver = nullptr;
        }
        outputOpen = false;
        if (recording)
            recording->close();
        std::lock_guard guard(lock);
        if (player)
            delete_fluid_player(player);
        player = nullptr;
        if (synth)
            delete_fluid_synth(synth);
        synth = nullptr;
        if (settings)
            delete_fluid_settings(settings);
        settings = nullptr;
        wave.clear();
    }

    bool pieceActive() const {
        return player && running && fluid_player_get_status(player) != FLUID_PLAYER_DONE;
    }

    // Adds the sounding wave into `left` and `right` (stride in floats). Lock held.
    void mixWave(float* left, float* right, int stride, int frames) {
        if (wavePosition >= wave.size())
            return;
        const int available = static_cast<int>((wave.size() - wavePosition) / 2);
        const int n = std::min(frames, available);
        for (int i = 0; i < n; ++i) {
            left[i * stride] += wave[wavePosition++];
            right[i * stride] += wave[wavePosition++];
        }
        if (wavePosition >= wave.size()) {
            wave.clear();
            wavePosition = 0;
        }
    }

    // The music's gain, on the synthesizer's output before the wave is mixed in.
    void applyMusicGain(float* samples, std::size_t count) const {
        const float gain = musicGain.load(std::memory_order_relaxed);
        if (gain == 1.0f)
            return;
        for (std::size_t i = 0; i < count; ++i)
            samples[i] *= gain;
    }

    // Mute, on the finished mix. The synthesizer has rendered the block all the same, so the
    // piece's clock stands where it would.
    void applyMute(float* samples, std::size_t count) const {
        if (muted.load(std::memory_order_relaxed))
            std::fill_n(samples, count, 0.0f);
    }

    // Renders `frames` into the scratch buffer block by block, copying to `out` if given. Lock held.
    void renderLocked(std::int64_t frames, std::vector<float>* out) {
        if (out)
            out->assign(static_cast<std::size_t>(2 * frames), 0.0f);
        std::int64_t done = 0;
        while (done < frames && synth) {
            const int n = static_cast<int>(std::min<std::int64_t>(kRenderBlock, frames - done));
            float* buffer = scratch.data();
            fluid_synth_write_float(synth, n, buffer, 0, 2, buffer, 1, 2);
            silenceNonFinite(buffer, static_cast<std::size_t>(2 * n));
            applyMusicGain(buffer, static_cast<std::size_t>(2 * n));
            mixWave(buffer, buffer + 1, 2, n);
            applyMute(buffer, static_cast<std::size_t>(2 * n));
            if (out)
                std::copy(buffer, buffer + 2 * n, out->begin() + 2 * done);
            done += n;
        }
    }

    // The audio output's callback: renders the synthesizer and mixes the wave over it.
    static int audioCallback(void* data, int len, int nfx, float* fx[], int nout, float* out[]) {
        auto* self = static_cast<Impl*>(data);
        for (int i = 0; i < nfx; ++i)
            if (fx[i])
                std::memset(fx[i], 0, sizeof(float) * static_cast<std::size_t>(len));
        for (int i = 0; i < nout; ++i)
            if (out[i])
                std::memset(out[i], 0, sizeof(float) * static_cast<std::size_t>(len));
        // Until the hand-over from the silent clock is done the output stays silent, so the
        // piece's clock never runs twice.
        if (!self->outputOpen.load())
            return FLUID_OK;
        std::lock_guard guard(self->lock);
        if (!self->synth)
            return FLUID_OK;
        fluid_synth_process(self->synth, len, nfx, fx, nout, out);
        const auto samples = static_cast<std::size_t>(len);
        for (int i = 0; i < nout; ++i)
            if (out[i]) {
                silenceNonFinite(out[i], samples);
                self->applyMusicGain(out[i], samples);
            }
        for (int i = 0; i < nfx; ++i)
            if (fx[i])
                self->applyMusicGain(fx[i], samples);
        if (nout >= 2 && out[0] && out[1])
            self->mixWave(out[0], out[1], 1, len);
        for (int i = 0; i < nout; ++i)
            if (out[i])
                self->applyMute(out[i], samples);
        for (int i = 0; i < nfx; ++i)
            if (fx[i])
                self->applyMute(fx[i], samples);
        return FLUID_OK;
    }

    // The silent clock: while a piece runs and no output is open, renders into nothing in real
    // time so that the piece advances and ends as it would with speakers. It sleeps while nothing
    // plays and leaves when an output opens or at shutdown.
    void silentClock() {
        std::unique_lock guard(lock);
        while (!shutDown && !outputOpen) {
            wake.wait(guard, [this] { return shutDown || outputOpen || pieceActive(); });
            const Clock::time_point origin = Clock::now();
            std::int64_t rendered = 0;
            while (!shutDown && !outputOpen && pieceActive()) {
                wake.wait_for(guard, kSilentClockStep);
                const auto elapsed =
                    std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - origin);
                const std::int64_t target = elapsed.count() * kSampleRate / 1000000;
                std::int64_t frames = target - rendered;
                if (frames > kMaxCatchUpFrames) {
                    rendered += frames - kMaxCatchUpFrames;
                    frames = kMaxCatchUpFrames;
                }
                if (frames > 0 && !shutDown && !outputOpen) {
                    renderLocked(frames, nullptr);
                    rendered += frames;
                }
            }
        }
    }

    // The file output: renders everything, silence included, in real time into the recording, so
    // the file's timeline is the game's.
    void recordingClock() {
        std::unique_lock guard(lock);
        const Clock::time_point origin = Clock::now();
        std::int64_t rendered = 0;
        std::vector<float> block;
        while (!shutDown) {
            wake.wait_for(guard, kSilentClockStep);
            const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - origin);
            const std::int64_t frames =
                std::min<std::int64_t>(elapsed.count() * kSampleRate / 1000000 - rendered, kMaxCatchUpFrames);
            if (frames <= 0 || shutDown)
                continue;
            renderLocked(frames, &block);
            rendered += frames;
            recording->write(block);
        }
    }

    void openOutput() {
        std::vector<const char*> drivers{"pulseaudio"};
        if (hasAlsaPcmDevice())
            drivers.push_back("alsa");
        for (const char* name : drivers) {
            {
                std::lock_guard guard(lock);
                if (shutDown)
                    return;
            }
            fluid_settings_setstr(settings, "audio.driver", name);
            fluid_audio_driver_t* opened = new_fluid_audio_driver2(settings, audioCallback, this);
            if (opened) {
                std::lock_guard guard(lock);
                driver = opened;
                outputOpen = true;
                wake.notify_all();
                return;
            }
        }
    }

    void loadSoundFont(const std::string& path) {
        if (path.empty())
            return;
        // Not under our lock: the synthesizer guards its own font list, and the render thread
        // keeps running (the piece's clock goes on) while the font loads.
        if (fluid_synth_sfload(synth, path.c_str(), 1) != FLUID_FAILED)
            fontReady = true;
    }
};

AudioEngine::AudioEngine(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

AudioEngine::~AudioEngine() {
    shutdown();
}

std::unique_ptr<AudioEngine> AudioEngine::create(const AudioOptions& options) {
    silenceFluidLog();
    auto impl = std::make_unique<Impl>();
    impl->options = options;
    impl->settings = new_fluid_settings();
    if (impl->settings) {
        fluid_settings_setnum(impl->settings, "synth.sample-rate", kSampleRate);
        fluid_settings_setint(impl->settings, "audio.period-size", kPeriodFrames);
        fluid_settings_setint(impl->settings, "audio.periods", kPeriods);
        // The game's pieces use a handful of channels with few notes at a time; 64 voices is
        // ample, and the chorus effect, which the pieces do not ask for, is the synthesizer's
        // most expensive stage.
        fluid_settings_setint(impl->settings, "synth.polyphony", 64);
        fluid_settings_setint(impl->settings, "synth.chorus.active", 0);
        // The synthesizer's default gain (0.2) leaves the pieces some 8 dB quieter than a game's
        // sound usually is; at 0.5 the loudest piece still peaks below full scale.
        fluid_settings_setnum(impl->settings, "synth.gain", 0.5);
        impl->synth = new_fluid_synth(impl->settings);
        // A new synthesizer's effect buffers are not always cleared: its first block can carry
        // whatever the memory held (seen as -inf). A system reset clears the reverb and chorus.
        if (impl->synth)
            fluid_synth_system_reset(impl->synth);
    }
    Impl* raw = impl.get();
    if (raw->synth) {
        if (options.manualClock) {
            if (!options.soundFont.empty())
                raw->loadSoundFont(options.soundFont);
        } else {
            const bool wantOutput = !options.noAudio && !envFlag("LW_NO_AUDIO");
            const std::string font = chooseSoundFont(options.soundFont);
            const char* recordTo = std::getenv("LW_AUDIO_FILE");
            if (wantOutput && recordTo && *recordTo)
                raw->recording = std::make_unique<WaveRecording>(recordTo);
            if (raw->recording && raw->recording->isOpen()) {
                raw->outputOpen = true;
                raw->loadSoundFont(font); // on this thread: the recording must not start silent
                raw->clockThread = std::thread([raw] { raw->recordingClock(); });
            } else {
                raw->clockThread = std::thread([raw] { raw->silentClock(); });
                if (wantOutput) {
                    raw->setupThread = std::thread([raw, font] {
                        raw->openOutput();
                        if (raw->outputOpen)
                            raw->loadSoundFont(font);
                    });
                }
            }
        }
    }
    return std::unique_ptr<AudioEngine>(new AudioEngine(std::move(impl)));
}

bool AudioEngine::loadPiece(const std::vector<std::uint8_t>& smf) {
    std::lock_guard guard(impl_->lock);
    if (impl_->shutDown || !impl_->synth)
        return false;
    if (impl_->player) {
        delete_fluid_player(impl_->player);
        impl_->player = nullptr;
        fluid_synth_all_notes_off(impl_->synth, -1);
    }
    impl_->running = false;
    impl_->piece = smf;
    impl_->player = new_fluid_player(impl_->synth);
    if (impl_->player && fluid_player_add_mem(impl_->player, smf.data(), smf.size()) == FLUID_OK)
        return true;
    if (impl_->player)
        delete_fluid_player(impl_->player);
    impl_->player = nullptr;
    impl_->piece.clear();
    return false;
}

void AudioEngine::startFromBeginning() {
    {
        std::lock_guard guard(impl_->lock);
        if (impl_->shutDown || !impl_->player)
            return;
        // A fresh player is the one sure way back to tick 0, also after the piece has ended.
        delete_fluid_player(impl_->player);
        fluid_synth_all_notes_off(impl_->synth, -1);
        impl_->player = new_fluid_player(impl_->synth);
        if (!impl_->player ||
            fluid_player_add_mem(impl_->player, impl_->piece.data(), impl_->piece.size()) != FLUID_OK ||
            fluid_player_play(impl_->player) != FLUID_OK) {
            if (impl_->player)
                delete_fluid_player(impl_->player);
            impl_->player = nullptr;
            impl_->running = false;
            return;
        }
        impl_->running = true;
    }
    impl_->wake.notify_all();
}

void AudioEngine::pause() {
    std::lock_guard guard(impl_->lock);
    if (impl_->shutDown || !impl_->player || !impl_->running)
        return;
    fluid_player_stop(impl_->player); // keeps its place
    fluid_synth_all_notes_off(impl_->synth, -1);
    impl_->running = false;
}

void AudioEngine::resume() {
    {
        std::lock_guard guard(impl_->lock);
        if (impl_->shutDown || !impl_->player || impl_->running)
            return;
        fluid_player_play(impl_->player);
        impl_->running = true;
    }
    impl_->wake.notify_all();
}

void AudioEngine::unloadPiece() {
    std::lock_guard guard(impl_->lock);
    if (impl_->shutDown || !impl_->player)
        return;
    delete_fluid_player(impl_->player);
    impl_->player = nullptr;
    impl_->piece.clear();
    impl_->running = false;
    fluid_synth_all_notes_off(impl_->synth, -1);
}

PieceClock AudioEngine::pieceClock() const {
    std::lock_guard guard(impl_->lock);
    PieceClock clock;
    if (impl_->shutDown || !impl_->player)
        return clock;
    clock.loaded = true;
    clock.running = impl_->running;
    clock.finished = impl_->running && fluid_player_get_status(impl_->player) == FLUID_PLAYER_DONE;
    clock.tick = std::max(0, fluid_player_get_current_tick(impl_->player));
    return clock;
}

bool AudioEngine::playWave(std::vector<float> stereoFrames) {
    if (!hasOutput())
        return false;
    std::vector<float> previous;
    {
        std::lock_guard guard(impl_->lock);
        if (impl_->shutDown)
            return false;
        previous.swap(impl_->wave); // freed outside the lock
        impl_->wave = std::move(stereoFrames);
        impl_->wavePosition = 0;
    }
    return true;
}

void AudioEngine::render(int frames, std::vector<float>* out) {
    if (!impl_->options.manualClock || frames <= 0) {
        if (out)
            out->clear();
        return;
    }
    std::lock_guard guard(impl_->lock);
    if (impl_->shutDown) {
        if (out)
            out->assign(static_cast<std::size_t>(2 * frames), 0.0f);
        return;
    }
    impl_->renderLocked(frames, out);
}

void AudioEngine::setMusicGain(float gain) {
    impl_->musicGain.store(std::isfinite(gain) ? std::max(gain, 0.0f) : 1.0f, std::memory_order_relaxed);
}

void AudioEngine::setMuted(bool muted) {
    impl_->muted.store(muted, std::memory_order_relaxed);
}

bool AudioEngine::hasOutput() const {
    return impl_->options.manualClock || impl_->outputOpen.load();
}

bool AudioEngine::soundFontReady() const {
    return impl_->fontReady.load();
}

void AudioEngine::shutdown() {
    impl_->stop();
}

} // namespace lw::audio

// The audio engine over FluidSynth: one synthesizer, our own sequencer of the loaded piece, the
// audio output with the wave mixed in, and a silent real-time clock when there is no output.
// With LW_AUDIO_FILE set, the output is a WAV file written in real time instead of a sound card.
// FluidSynth is reached through the audio back end module's table (AudioBackend.h).
//
// Threads. The window thread never waits for the others: it publishes what it wants (the piece,
// started or paused, the wave) as one LatestValue and reads back what the audio thread publishes
// in one atomic word. The audio thread (the output's callback, the file clock or the silent
// clock; the caller of render() with a manual clock) owns the playing state and takes no lock.
// A worker does everything slow: it opens the output, reads the SoundFont, and for each piece
// cuts the font down to the instruments and notes the piece plays and loads their samples. The
// synthesizer belongs to the audio thread; the worker borrows it to swap those instruments, and
// the audio thread hands it over between two periods (it does not render the synthesizer while
// it is lent), so no FluidSynth call of either ever waits behind the other.
#include "AudioEngine.h"

#include "AudioBackend.h"
#include "CutFontFiles.h"
#include "Handoff.h"
#include "OutputShaping.h"
#include "SmfScore.h"
#include "SoundFontSubset.h"
#include "WaveRecording.h"

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <array>
#include <atomic>
#include <bitset>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <string_view>
#include <thread>

namespace lw::audio {
namespace {

using Clock = std::chrono::steady_clock;

// Frames the synthesizer renders at a time: events take effect on these boundaries.
constexpr int kSynthBlock = 64;
// Frames of the scratch buffer of the clocks that have no output buffer of their own.
constexpr int kScratchFrames = 4096;
// The file output and the silent clock render what real time asks for at this interval. Measured
// against FluidSynth alone writing the same file (bench/run_bench.py): 10 ms cost about 1.2x,
// 20 ms 1.06x, 40 ms 0.93x of its CPU at 20 ms; a file is not heard live, and positions a piece
// reports move in steps far finer than the window thread's 600 ms polling.
constexpr auto kClockPeriod = std::chrono::milliseconds(40);
// The silent clock, while no piece moves, looks again this often even when no wake reaches it.
constexpr auto kIdleCheck = std::chrono::milliseconds(250);
// After a stall (a suspended machine) a clock catches up by at most this much.
constexpr std::int64_t kMaxCatchUpFrames = AudioEngine::kSampleRate;
// Sound card buffering: 4 periods of 512 frames, about 46 ms at 44.1 kHz.
constexpr int kPeriodFrames = 512;
constexpr int kPeriods = 4;
// Earlier events replayed into the synthesizer per period when it joins a piece under way.
constexpr std::size_t kCatchUpEventsPerPeriod = 4096;
// Frames the worker renders, unheard, after silencing the synthesizer, so that no voice still
// reads a sample it is about to free.
constexpr int kDrainFrames = 8 * kSynthBlock;
// The published clock word: the request version in the high bits, the position in frames below.
constexpr int kPositionBits = 40;
constexpr std::uint64_t kPositionMask = (std::uint64_t{1} << kPositionBits) - 1;
constexpr std::uint32_t kVersionMask = (1u << (64 - kPositionBits)) - 1;

constexpr std::array kGeneralMidiFonts = {
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf3/default-GM.sf3",
};

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

// A loaded piece: its score, and what the worker prepared for it in the synthesizer.
struct Piece {
    Score score;
    // Unique over the engine's life. What the synthesizer holds is known by this number, never by
    // the address: a new piece may be given the memory of one already freed.
    std::uint64_t serial = 0;
    // Written by the worker before it publishes the piece as prepared, read by the audio thread
    // only after: the cut font holding the piece's instruments, and for each of the score's
    // program requests the bank and program to select in it (-1: the font has none).
    int fontId = -1;
    std::vector<std::pair<int, int>> presets;
};

struct Wave {
    std::vector<float> frames; // interleaved stereo
};

// What the window thread asks of the audio thread. Serials change with each load, start and wave.
struct Request {
    std::uint32_t version = 0;
    Piece* piece = nullptr;
    std::uint32_t pieceSerial = 0;
    std::uint32_t startSerial = 0;
    bool running = false;
    Wave* wave = nullptr;
    std::uint32_t waveSerial = 0;
};

struct AudioEngine::Core {
    explicit Core(const AudioOptions& o) : options(o) {}
    ~Core() {
        destroySynth(synth.exchange(nullptr));
        if (!cutName.empty())
            CutFonts::remove(cutName);
        if (fl && settings)
            fl->delete_fluid_settings(settings);
    }

    const AudioOptions options;
    // FluidSynth and its settings: set by the worker (by create() with a manual clock) before it
    // makes a synthesizer or an output, so whoever holds one of those may use them.
    const FluidApi* fl = nullptr;
    fluid_settings_t* settings = nullptr;
    std::unique_ptr<WaveRecording> recording;

    // --- Window thread to audio thread.
    LatestValue<Request> request;
    ClockWake clockWake; // wakes a sleeping clock: a request, a lend, the end
    std::atomic<float> musicGain{1.0f};
    std::atomic<bool> muted{false};
    // --- Audio thread to window thread: request version and position, see kPositionBits.
    std::atomic<std::uint64_t> published{0};

    // --- The synthesizer and who holds it.
    std::atomic<fluid_synth_t*> synth{nullptr}; // once the SoundFont is in; taken out while lent
    std::atomic<bool> fontLoaded{false};
    enum Lend : int { kWithAudio, kAsked, kLent };
    std::atomic<int> lend{kWithAudio};
    std::atomic<std::uint64_t> prepared{0}; // serial of the piece whose instruments the synthesizer holds

    // --- Lifetime.
    std::atomic<bool> closing{false};
    std::atomic<bool> outputOpen{false};      // a sound card or the file: someone listens
    bool manual = false;                       // the caller of render() is the audio thread
    std::atomic<bool> callbackOwnsClock{false}; // the silent clock has handed over to the callback
    std::atomic<fluid_audio_driver_t*> driver{nullptr};

    // --- Worker mailbox: the latest piece to prepare (a short lock, never held during work).
    std::mutex mailboxLock;
    std::condition_variable mailboxWake;
    std::shared_ptr<Piece> wanted;
    std::uint64_t wantedSerial = 0;
    bool workerStop = false;

    // --- Worker only (or the caller with a manual clock).
    std::optional<SoundFontLayout> layout;
    std::string cutName;
    int cutFontId = -1;
    std::vector<std::pair<int, SoundFontLayout::Notes>> cutNeeds;

    // --- Audio thread only.
    struct Play {
        Request applied;
        const Piece* piece = nullptr;
        bool running = false;
        std::int64_t position = 0; // frames from the start of the piece
        std::size_t next = 0;      // the next event of the score
        const Piece* attached = nullptr; // the piece the synthesizer follows
        std::size_t synthSeen = 0;      // events [0, synthSeen) are in the synthesizer
        std::bitset<kMidiChannels * 128> sounding;
        bool synthLentOut = false;
        Ramp synthFade; // the synthesizer faded out for a lend, and back in after it
        Ramp gain;      // the music gain
        Ramp mute;      // 0 muted, 1 heard
        const Wave* wave = nullptr;
        std::size_t wavePosition = 0; // in floats
        std::vector<float> scratch = std::vector<float>(2 * kScratchFrames);
    } play;

    std::thread clockThread;  // the silent clock or the file clock
    std::thread workerThread;

    // ---------------------------------------------------------------- audio thread

    void destroySynth(fluid_synth_t* s) {
        if (s)
            fl->delete_fluid_synth(s);
    }

    void releaseNotes(fluid_synth_t* s) {
        if (s && play.attached)
            fl->fluid_synth_all_notes_off(s, -1);
        play.sounding.reset();
    }

    // Takes what the window thread asked for last. Returns false when a write was in progress.
    void applyRequest(fluid_synth_t* s) {
        Request r;
        if (!request.tryRead(r) || r.version == play.applied.version)
            return;
        const Request before = play.applied;
        play.applied = r;
        if (r.pieceSerial != before.pieceSerial || r.startSerial != before.startSerial) {
            releaseNotes(s);
            play.attached = nullptr;
            play.piece = r.piece;
            play.position = 0;
            play.next = 0;
        } else if (!r.running && play.running) {
            releaseNotes(s); // paused: sounding notes are released
        }
        play.running = r.running && play.piece;
        if (r.waveSerial != before.waveSerial) {
            play.wave = r.wave;
            play.wavePosition = 0;
        }
        publish();
    }

    void publish() {
        const std::uint64_t word = (std::uint64_t{play.applied.version & kVersionMask} << kPositionBits) |
                                   (static_cast<std::uint64_t>(play.position) & kPositionMask);
        published.store(word, std::memory_order_release);
    }

    // The synthesizer for this period, minding a lend the worker asked for. `handOver` is set
    // when the synthesizer must be faded out over this period and then given to the worker.
    fluid_synth_t* synthForPeriod(bool& handOver) {
        handOver = false;
        const int state = lend.load(std::memory_order_acquire);
        if (state == kLent)
            return nullptr;
        fluid_synth_t* s = synth.load(std::memory_order_acquire);
        if (play.synthLentOut && s) {
            // Back from the worker: it silenced every voice and cleared the channels.
            play.synthLentOut = false;
            play.attached = nullptr;
            play.synthFade.value = 0.0f;
        }
        if (state == kAsked) {
            if (!s) {
                lend.store(kLent, std::memory_order_release);
                return nullptr;
            }
            handOver = true;
        }
        return s;
    }

    void finishHandOver() {
        play.attached = nullptr;
        play.sounding.reset();
        play.synthLentOut = true;
        lend.store(kLent, std::memory_order_release);
    }

    // The channels the piece uses start from the synthesizer's power-on settings, without
    // selecting any instrument (that would load samples here).
    void resetChannel(fluid_synth_t* s, int channel) {
        fl->fluid_synth_all_notes_off(s, channel);
        fl->fluid_synth_cc(s, channel, 121, 0); // reset all controllers
        static constexpr std::pair<int, int> kDefaults[] = {
            {0, 0},  {32, 0}, {7, 100}, {39, 0}, {10, 64}, {42, 0}, {8, 64}, {40, 0},
            {91, 0}, {92, 0}, {93, 0},  {94, 0}, {95, 0},  {70, 64}, {71, 64}, {72, 64},
            {73, 64}, {74, 64}, {75, 64}, {76, 64}, {77, 64}, {78, 64}, {79, 64}};
        for (const auto& [controller, value] : kDefaults)
            fl->fluid_synth_cc(s, channel, controller, value);
        fl->fluid_synth_pitch_wheel_sens(s, channel, 2);
    }

    void applyToSynth(fluid_synth_t* s, const ScoreEvent& e) {
        const int channel = e.status & 0x0f;
        switch (e.status & 0xf0) {
        case 0x90:
            if (fl->fluid_synth_noteon(s, channel, e.data1, e.data2) == FLUID_OK)
                play.sounding.set(static_cast<std::size_t>(channel * 128 + e.data1));
            break;
        case 0x80:
            fl->fluid_synth_noteoff(s, channel, e.data1);
            play.sounding.reset(static_cast<std::size_t>(channel * 128 + e.data1));
            break;
        case 0xa0:
            fl->fluid_synth_key_pressure(s, channel, e.data1, e.data2);
            break;
        case 0xb0:
            fl->fluid_synth_cc(s, channel, e.data1, e.data2);
            break;
        case 0xc0: {
            const auto& presets = play.attached->presets;
            const auto chosen = e.program >= 0 && static_cast<std::size_t>(e.program) < presets.size()
                                    ? presets[static_cast<std::size_t>(e.program)]
                                    : std::pair{-1, -1};
            if (chosen.first >= 0 && play.attached->fontId >= 0)
                fl->fluid_synth_program_select(s, channel, play.attached->fontId, chosen.first, chosen.second);
            else
                fl->fluid_synth_unset_program(s, channel);
            break;
        }
        case 0xd0:
            fl->fluid_synth_channel_pressure(s, channel, e.data1);
            break;
        case 0xe0:
            fl->fluid_synth_pitch_bend(s, channel, e.data1 | (e.data2 << 7));
            break;
        default:
            break;
        }
    }

    // Lets the synthesizer follow the current piece once its instruments are in, and brings it up
    // to where the piece is: the controllers and programs of the events already passed (their
    // notes are not struck late), a bounded number per period.
    void followPiece(fluid_synth_t* s) {
        if (!s || !play.piece || !play.running)
            return;
        if (play.attached != play.piece) {
            if (prepared.load(std::memory_order_acquire) != play.piece->serial)
                return;
            play.attached = play.piece;
            play.synthSeen = 0;
            for (int channel = 0; channel < kMidiChannels; ++channel) {
                if (play.piece->score.channels & (1u << channel))
                    resetChannel(s, channel);
            }
        }
        const auto& events = play.piece->score.events;
        for (std::size_t n = 0; play.synthSeen < play.next && n < kCatchUpEventsPerPeriod; ++n) {
            const ScoreEvent& e = events[play.synthSeen++];
            const int kind = e.status & 0xf0;
            if (kind != 0x90 && kind != 0x80)
                applyToSynth(s, e);
        }
    }

    // Whether the piece's clock stands still: its instruments are not in yet, though the
    // SoundFont is (while the SoundFont itself loads, the clock runs).
    bool pieceHeld() const {
        return fontLoaded.load(std::memory_order_acquire) && prepared.load(std::memory_order_acquire) != play.piece->serial;
    }

    // Plays the events due at the current position.
    void dispatchDue(fluid_synth_t* s) {
        const auto& events = play.piece->score.events;
        while (play.next < events.size() && events[play.next].frame <= play.position) {
            const ScoreEvent& e = events[play.next];
            const bool inStep = s && play.attached == play.piece && play.synthSeen == play.next;
            if (inStep) {
                applyToSynth(s, e);
                ++play.synthSeen;
            } else if (s && (e.status & 0xf0) == 0x80 &&
                       play.sounding.test(static_cast<std::size_t>((e.status & 0x0f) * 128 + e.data1))) {
                applyToSynth(s, e); // a note struck before the synthesizer fell behind still ends
            }
            ++play.next;
        }
    }

    // Renders `frames` of the synthesizer into left/right (stride in floats) while moving the
    // piece on; silence where there is no synthesizer. Either buffer pointer may be the scratch.
    void renderSpan(fluid_synth_t* s, int frames, float* left, float* right, int stride) {
        int done = 0;
        while (done < frames) {
            int n = frames - done;
            const bool moving = play.piece && play.running && !pieceHeld() && play.position < play.piece->score.endFrame;
            if (moving) {
                dispatchDue(s);
                const auto& events = play.piece->score.events;
                const std::int64_t until =
                    play.next < events.size() ? events[play.next].frame : play.piece->score.endFrame;
                const std::int64_t ahead = std::max<std::int64_t>(until - play.position, 1);
                const std::int64_t rounded = (ahead + kSynthBlock - 1) / kSynthBlock * kSynthBlock;
                n = static_cast<int>(std::min<std::int64_t>(n, rounded));
            }
            if (s) {
                fl->fluid_synth_write_float(s, n, left + done * stride, 0, stride, right + done * stride, 0, stride);
            } else {
                for (int i = 0; i < n; ++i)
                    left[(done + i) * stride] = right[(done + i) * stride] = 0.0f;
            }
            if (moving) {
                play.position = std::min(play.position + n, play.piece->score.endFrame);
                if (play.position >= play.piece->score.endFrame)
                    dispatchDue(s); // the events at the very end
            }
            done += n;
        }
    }

    // Scales the synthesizer's part by the music gain (ramped over kGainRampFrames) and by the
    // fade after a lend (ramped over the whole period); `fadeOut` fades it to silence.
    void shapeMusic(float* left, float* right, int stride, int frames, bool fadeOut) {
        play.synthFade.apply(fadeOut ? 0.0f : 1.0f, left, right, stride, frames, frames);
        play.gain.apply(std::clamp(musicGain.load(std::memory_order_relaxed), 0.0f, 1.0f), left, right, stride,
                        frames, AudioEngine::kGainRampFrames);
    }

    // Adds the sounding wave into `left` and `right`.
    void mixWave(float* left, float* right, int stride, int frames) {
        if (!play.wave)
            return;
        const std::vector<float>& data = play.wave->frames;
        const int available = static_cast<int>((data.size() - play.wavePosition) / 2);
        const int n = std::min(frames, available);
        for (int i = 0; i < n; ++i) {
            left[i * stride] += data[play.wavePosition++];
            right[i * stride] += data[play.wavePosition++];
        }
        if (play.wavePosition >= data.size())
            play.wave = nullptr;
    }

    void applyMute(float* left, float* right, int stride, int frames) {
        play.mute.apply(muted.load(std::memory_order_relaxed) ? 0.0f : 1.0f, left, right, stride, frames,
                        AudioEngine::kGainRampFrames);
    }

    // One audio period: the whole path from the window thread's request to the output samples.
    // No lock, no allocation, no I/O.
    void period(int frames, float* left, float* right, int stride) {
        bool handOver = false;
        fluid_synth_t* s = synthForPeriod(handOver);
        applyRequest(s);
        followPiece(s);
        renderSpan(s, frames, left, right, stride);
        silenceNonFinite(left, static_cast<std::size_t>(frames), static_cast<std::size_t>(stride));
        silenceNonFinite(right, static_cast<std::size_t>(frames), static_cast<std::size_t>(stride));
        shapeMusic(left, right, stride, frames, handOver);
        mixWave(left, right, stride, frames);
        applyMute(left, right, stride, frames);
        if (handOver)
            finishHandOver();
        publish();
    }

    // Renders `frames` into the scratch buffer in pieces; `out` receives them when given.
    void renderInterleaved(std::int64_t frames, std::vector<float>* out, WaveRecording* file) {
        std::int64_t done = 0;
        while (done < frames) {
            const int n = static_cast<int>(std::min<std::int64_t>(kScratchFrames, frames - done));
            float* buffer = play.scratch.data();
            period(n, buffer, buffer + 1, 2);
            if (out)
                std::copy(buffer, buffer + 2 * n, out->begin() + 2 * done);
            if (file)
                file->write(buffer, static_cast<std::size_t>(2 * n));
            done += n;
        }
    }

    // The sound card's callback.
    static int audioCallback(void* data, int len, int nfx, float* fx[], int nout, float* out[]) {
        auto* self = static_cast<Core*>(data);
        for (int i = 0; i < nfx; ++i)
            if (fx[i])
                std::memset(fx[i], 0, sizeof(float) * static_cast<std::size_t>(len));
        for (int i = 0; i < nout; ++i)
            if (out[i])
                std::memset(out[i], 0, sizeof(float) * static_cast<std::size_t>(len));
        // Until the silent clock has handed over, the output stays silent, so the piece's clock
        // never runs twice.
        if (nout < 2 || !out[0] || !out[1] || self->closing.load(std::memory_order_relaxed) ||
            !self->callbackOwnsClock.load(std::memory_order_acquire))
            return FLUID_OK;
        self->period(len, out[0], out[1], 1);
        return FLUID_OK;
    }

    // Real time without a sound card: renders what the elapsed time asks for, into the file when
    // there is one, else into nothing. Without a file it sleeps while nothing plays, and leaves
    // once a sound card's callback takes over.
    void clockLoop() {
        const bool toFile = recording != nullptr;
        Clock::time_point origin = Clock::now();
        std::int64_t rendered = 0;
        bool idle = true;
        while (!closing.load(std::memory_order_acquire)) {
            if (!toFile && outputOpen.load(std::memory_order_acquire)) {
                callbackOwnsClock.store(true, std::memory_order_release);
                return;
            }
            // The silent clock (it never has a synthesizer) sleeps while no piece moves, until a
            // request, the output opening or the end wakes it.
            const bool active =
                toFile || (play.piece && play.running && play.position < play.piece->score.endFrame);
            if (!active) {
                clockWake.sleepUntil(Clock::now() + kIdleCheck);
                idle = true;
                applyRequest(nullptr);
                continue;
            }
            if (idle) {
                origin = Clock::now();
                rendered = 0;
                idle = false;
            }
            clockWake.sleepUntil(Clock::now() + kClockPeriod);
            const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - origin);
            std::int64_t frames = elapsed.count() * AudioEngine::kSampleRate / 1000000 - rendered;
            if (frames > kMaxCatchUpFrames) {
                rendered += frames - kMaxCatchUpFrames;
                frames = kMaxCatchUpFrames;
            }
            if (frames <= 0) {
                applyRequest(nullptr);
                continue;
            }
            renderInterleaved(frames, nullptr, recording.get());
            rendered += frames;
        }
    }

    // ---------------------------------------------------------------- worker

    fluid_synth_t* newSynth() {
        fluid_synth_t* s = fl->new_fluid_synth(settings);
        if (!s)
            return nullptr;
        // A new synthesizer's effect buffers are not always cleared: its first block can carry
        // whatever the memory held (seen as -inf). A system reset clears the reverb and chorus;
        // with no SoundFont yet it selects no instrument.
        fl->fluid_synth_system_reset(s);
        fluid_sfloader_t* loader = fl->new_fluid_defsfloader(settings);
        if (loader) {
            CutFonts::installCallbacks(fl, loader);
            fl->fluid_synth_add_sfloader(s, loader);
        }
        return s;
    }

    // What the piece needs of the font: for each program request the preset it selects, and
    // for each preset the notes struck with it.
    std::vector<std::pair<int, SoundFontLayout::Notes>> needsOf(const Piece& piece, std::vector<int>& chosen) const {
        chosen.clear();
        std::map<int, SoundFontLayout::Notes> notes;
        for (const ProgramRequest& r : piece.score.programs) {
            chosen.push_back(layout->findPreset(r.bank, r.program));
            if (chosen.back() >= 0)
                notes[chosen.back()];
        }
        for (const ScoreEvent& e : piece.score.events) {
            if ((e.status & 0xf0) == 0x90 && e.program >= 0) {
                const int preset = chosen[static_cast<std::size_t>(e.program)];
                if (preset >= 0)
                    notes[preset].insert(SoundFontLayout::note(e.data1, e.data2));
            }
        }
        return {notes.begin(), notes.end()};
    }

    // Puts the piece's instruments into the synthesizer `s`, which the caller holds: the
    // previous cut font out, the new one in, its samples loaded.
    void swapInstruments(fluid_synth_t* s, const std::vector<std::pair<int, SoundFontLayout::Notes>>& needs) {
        fl->fluid_synth_all_sounds_off(s, -1);
        std::vector<float> drain(2 * kDrainFrames);
        fl->fluid_synth_write_float(s, kDrainFrames, drain.data(), 0, 2, drain.data(), 1, 2);
        for (int channel = 0; channel < kMidiChannels; ++channel)
            fl->fluid_synth_unset_program(s, channel);
        if (cutFontId >= 0)
            fl->fluid_synth_sfunload(s, cutFontId, 0);
        cutFontId = -1;
        cutNeeds.clear();
        if (needs.empty())
            return;
        auto image = layout->cut(needs);
        if (cutName.empty())
            cutName = CutFonts::add(std::move(image));
        else
            CutFonts::replace(cutName, std::move(image));
        const int id = fl->fluid_synth_sfload(s, cutName.c_str(), 0);
        if (id == FLUID_FAILED)
            return;
        for (const auto& [preset, notes] : needs)
            fl->fluid_synth_pin_preset(s, id, layout->presetBank(preset), layout->presetProgram(preset));
        cutFontId = id;
        cutNeeds = needs;
    }

    // Records in the piece what to select for each of its program requests.
    void fillPresets(Piece& piece, const std::vector<int>& chosen) const {
        piece.fontId = cutFontId;
        piece.presets.clear();
        for (int preset : chosen) {
            if (preset >= 0 && cutFontId >= 0)
                piece.presets.emplace_back(layout->presetBank(preset), layout->presetProgram(preset));
            else
                piece.presets.emplace_back(-1, -1);
        }
    }

    // Wakes the silent clock or the file clock; a sound card's callback needs no waking.
    void wakeClock() {
        if (!callbackOwnsClock.load(std::memory_order_relaxed))
            clockWake.wake();
    }

    // Borrows the synthesizer from the audio thread; null when the engine closes meanwhile.
    // With a manual clock the caller is the audio thread and simply forgets what was playing.
    fluid_synth_t* borrowSynth() {
        if (manual) {
            play.attached = nullptr;
            play.sounding.reset();
            return synth.load();
        }
        lend.store(kAsked, std::memory_order_release);
        wakeClock();
        while (lend.load(std::memory_order_acquire) != kLent) {
            if (closing.load())
                return nullptr;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return synth.exchange(nullptr); // null: shutdown took it
    }

    void returnSynth(fluid_synth_t* s) {
        if (manual)
            return;
        synth.store(s);
        if (closing.load())
            destroySynth(synth.exchange(nullptr));
        lend.store(kWithAudio, std::memory_order_release);
    }

    // Makes the piece ready to sound: its instruments and notes in the synthesizer.
    void prepare(const std::shared_ptr<Piece>& piece) {
        if (!layout || !piece || prepared.load(std::memory_order_acquire) == piece->serial)
            return;
        std::vector<int> chosen;
        const auto needs = needsOf(*piece, chosen);
        if (needs != cutNeeds) {
            fluid_synth_t* s = borrowSynth();
            if (!s)
                return;
            swapInstruments(s, needs);
            fillPresets(*piece, chosen);
            prepared.store(piece->serial, std::memory_order_release);
            returnSynth(s);
            return;
        }
        fillPresets(*piece, chosen);
        prepared.store(piece->serial, std::memory_order_release);
    }

    // Reads the SoundFont into a new synthesizer, with the wanted piece's instruments in it, and
    // hands the synthesizer to the audio thread.
    void loadSoundFont(const std::string& path) {
        if (options.beforeSoundFontLoad)
            options.beforeSoundFontLoad();
        if (path.empty() || closing.load())
            return;
        layout = SoundFontLayout::read(path);
        if (!layout || closing.load())
            return;
        fluid_synth_t* s = newSynth();
        if (!s)
            return;
        std::shared_ptr<Piece> piece;
        {
            std::lock_guard guard(mailboxLock);
            piece = wanted;
        }
        if (piece) {
            std::vector<int> chosen;
            swapInstruments(s, needsOf(*piece, chosen));
            fillPresets(*piece, chosen);
            prepared.store(piece->serial, std::memory_order_release);
        }
        synth.store(s);
        fontLoaded.store(true, std::memory_order_release);
        if (closing.load())
            destroySynth(synth.exchange(nullptr));
    }

    void openOutput() {
        std::vector<const char*> drivers{"pulseaudio"};
        if (hasAlsaPcmDevice())
            drivers.push_back("alsa");
        for (const char* name : drivers) {
            if (closing.load())
                return;
            fl->fluid_settings_setstr(settings, "audio.driver", name);
            fluid_audio_driver_t* opened = fl->new_fluid_audio_driver2(settings, audioCallback, this);
            if (!opened)
                continue;
            driver.store(opened);
            if (closing.load()) {
                if (fluid_audio_driver_t* mine = driver.exchange(nullptr))
                    fl->delete_fluid_audio_driver(mine);
                return;
            }
            outputOpen.store(true, std::memory_order_release);
            wakeClock(); // the silent clock hands over
            return;
        }
    }

    // Opens the back end module and makes the settings that every synthesizer and output here share.
    bool openSynthesizerLibrary() {
        const AudioBackend* backend = audioBackend();
        fl = backend ? &backend->fluid : nullptr;
        if (!fl || !(settings = fl->new_fluid_settings()))
            return false;
        fl->fluid_settings_setnum(settings, "synth.sample-rate", AudioEngine::kSampleRate);
        fl->fluid_settings_setint(settings, "audio.period-size", kPeriodFrames);
        fl->fluid_settings_setint(settings, "audio.periods", kPeriods);
        // The game's pieces use a handful of channels with few notes at a time; 64 voices is
        // ample, and the chorus effect, which the pieces do not ask for, is the synthesizer's
        // most expensive stage.
        fl->fluid_settings_setint(settings, "synth.polyphony", 64);
        fl->fluid_settings_setint(settings, "synth.chorus.active", 0);
        // The synthesizer's default gain (0.2) leaves the pieces some 8 dB quieter than a game's
        // sound usually is; at 0.5 the loudest piece still peaks below full scale.
        fl->fluid_settings_setnum(settings, "synth.gain", 0.5);
        // Samples load when their instruments are chosen, not with the font; and the
        // synthesizer takes no lock of its own, since only one thread at a time uses it.
        fl->fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
        fl->fluid_settings_setint(settings, "synth.threadsafe-api", 0);
        return true;
    }

    static void workerMain(std::shared_ptr<Core> self, bool wantDevice, std::string font) {
#ifdef __linux__
        // Background work: on a busy machine the window thread goes first (it starts at the same
        // moment as the first window is built).
        setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
#endif
        if (!self->openSynthesizerLibrary())
            return;
        if (wantDevice)
            self->openOutput();
        if (self->outputOpen.load())
            self->loadSoundFont(font);
        std::uint64_t seen = 0;
        for (;;) {
            std::shared_ptr<Piece> piece;
            {
                std::unique_lock guard(self->mailboxLock);
                self->mailboxWake.wait(guard, [&] { return self->workerStop || self->wantedSerial != seen; });
                if (self->workerStop)
                    return;
                seen = self->wantedSerial;
                piece = self->wanted;
            }
            if (self->fontLoaded.load())
                self->prepare(piece);
        }
    }
};

// The window thread's side: what it has asked for, and the objects the audio thread may still use.
struct AudioEngine::Front {
    std::shared_ptr<Core> core;
    bool manual = false;
    bool shutDown = false;
    std::uint64_t pieceSerial = 0; // the last serial given to a piece
    Request asked;
    std::shared_ptr<Piece> piece;
    std::uint32_t positionVersion = 0; // the request that last set the position to 0
    std::unique_ptr<Wave> wave;
    struct Retired {
        std::uint32_t version; // the request from which on the audio thread no longer uses it
        std::shared_ptr<Piece> piece;
        std::unique_ptr<Wave> wave;
    };
    std::vector<Retired> retired;

    std::uint32_t appliedVersion() const {
        return static_cast<std::uint32_t>(core->published.load(std::memory_order_acquire) >> kPositionBits);
    }
    static bool reached(std::uint32_t applied, std::uint32_t version) {
        return ((applied - version) & kVersionMask) < (kVersionMask / 2);
    }

    void send() {
        asked.version = (asked.version + 1) & kVersionMask;
        core->request.write(asked);
        if (manual)
            core->applyRequest(core->synth.load());
        else
            core->wakeClock();
        const std::uint32_t applied = appliedVersion();
        std::erase_if(retired, [applied](const Retired& r) { return reached(applied, r.version); });
    }

    void retire(std::shared_ptr<Piece> old, std::unique_ptr<Wave> oldWave) {
        retired.push_back({(asked.version + 1) & kVersionMask, std::move(old), std::move(oldWave)});
    }

    void wantPiece(const std::shared_ptr<Piece>& p) {
        if (manual) {
            core->prepare(p);
            return;
        }
        {
            std::lock_guard guard(core->mailboxLock);
            core->wanted = p;
            ++core->wantedSerial;
        }
        core->mailboxWake.notify_one();
    }
};

AudioEngine::AudioEngine(std::unique_ptr<Front> front) : front_(std::move(front)) {}

AudioEngine::~AudioEngine() {
    shutdown();
}

std::unique_ptr<AudioEngine> AudioEngine::create(const AudioOptions& options) {
    locateAudioBackend(); // the worker opens it, off the window thread
    auto front = std::make_unique<Front>();
    auto core = std::make_shared<Core>(options);
    front->core = core;
    front->manual = options.manualClock;
    core->manual = options.manualClock;

    if (options.manualClock) {
        core->outputOpen = true;
        if (!options.soundFont.empty() && core->openSynthesizerLibrary()) {
            if (options.beforeSoundFontLoad)
                options.beforeSoundFontLoad();
            core->layout = SoundFontLayout::read(options.soundFont);
            if (core->layout) {
                core->synth = core->newSynth();
                core->fontLoaded = core->synth.load() != nullptr;
            }
        }
        return std::unique_ptr<AudioEngine>(new AudioEngine(std::move(front)));
    }

    const bool wantOutput = !options.noAudio && !envFlag("LW_NO_AUDIO");
    std::string recordTo = options.recordTo;
    if (recordTo.empty()) {
        if (const char* fromEnv = std::getenv("LW_AUDIO_FILE"); fromEnv && *fromEnv)
            recordTo = fromEnv;
    }
    if (wantOutput && !recordTo.empty()) {
        core->recording = std::make_unique<WaveRecording>(recordTo.c_str());
        if (!core->recording->isOpen())
            core->recording.reset();
        else
            core->outputOpen = true;
    }
    core->clockThread = std::thread([raw = core.get()] { raw->clockLoop(); });
    if (wantOutput) {
        core->workerThread = std::thread(Core::workerMain, core, core->recording == nullptr,
                                         chooseSoundFont(options.soundFont));
    }
    return std::unique_ptr<AudioEngine>(new AudioEngine(std::move(front)));
}

bool AudioEngine::loadPiece(const std::vector<std::uint8_t>& smf) {
    Front& f = *front_;
    if (f.shutDown)
        return false;
    auto piece = std::make_shared<Piece>();
    piece->serial = ++f.pieceSerial;
    piece->score = readScore(smf.data(), smf.size(), kSampleRate);
    f.retire(std::move(f.piece), nullptr);
    f.piece = piece;
    f.asked.piece = piece.get();
    ++f.asked.pieceSerial;
    f.asked.running = false;
    f.positionVersion = (f.asked.version + 1) & kVersionMask;
    f.wantPiece(piece);
    f.send();
    return true;
}

void AudioEngine::startFromBeginning() {
    Front& f = *front_;
    if (f.shutDown || !f.piece)
        return;
    ++f.asked.startSerial;
    f.asked.running = true;
    f.positionVersion = (f.asked.version + 1) & kVersionMask;
    f.send();
}

void AudioEngine::pause() {
    Front& f = *front_;
    if (f.shutDown || !f.piece || !f.asked.running)
        return;
    f.asked.running = false;
    f.send();
}

void AudioEngine::resume() {
    Front& f = *front_;
    if (f.shutDown || !f.piece || f.asked.running)
        return;
    f.asked.running = true;
    f.send();
}

void AudioEngine::unloadPiece() {
    Front& f = *front_;
    if (f.shutDown || !f.piece)
        return;
    f.retire(std::move(f.piece), nullptr);
    f.asked.piece = nullptr;
    ++f.asked.pieceSerial;
    f.asked.running = false;
    f.send();
}

PieceClock AudioEngine::pieceClock() const {
    const Front& f = *front_;
    PieceClock clock;
    if (f.shutDown || !f.piece)
        return clock;
    clock.loaded = true;
    clock.running = f.asked.running;
    const std::uint64_t word = f.core->published.load(std::memory_order_acquire);
    const auto applied = static_cast<std::uint32_t>(word >> kPositionBits);
    // Until the audio thread has taken the last load or start, the piece stands at its start.
    const std::int64_t position =
        Front::reached(applied, f.positionVersion) ? static_cast<std::int64_t>(word & kPositionMask) : 0;
    const Score& score = f.piece->score;
    clock.finished = clock.running && position >= score.endFrame;
    clock.tick = std::max<std::int64_t>(0, score.tickAt(position));
    return clock;
}

bool AudioEngine::playWave(std::vector<float> stereoFrames) {
    Front& f = *front_;
    if (f.shutDown || !hasOutput())
        return false;
    auto wave = std::make_unique<Wave>();
    wave->frames = std::move(stereoFrames);
    f.retire(nullptr, std::move(f.wave));
    f.wave = std::move(wave);
    f.asked.wave = f.wave.get();
    ++f.asked.waveSerial;
    f.send();
    return true;
}

void AudioEngine::setMusicGain(float gain) {
    front_->core->musicGain.store(std::isfinite(gain) ? std::clamp(gain, 0.0f, 1.0f) : 1.0f);
}

void AudioEngine::setMuted(bool muted) {
    front_->core->muted.store(muted);
}

void AudioEngine::render(int frames, std::vector<float>* out) {
    Front& f = *front_;
    if (!f.manual || frames <= 0) {
        if (out)
            out->clear();
        return;
    }
    if (out)
        out->assign(static_cast<std::size_t>(2 * frames), 0.0f);
    if (f.shutDown)
        return;
    f.core->renderInterleaved(frames, out, nullptr);
}

bool AudioEngine::hasOutput() const {
    return front_->core->outputOpen.load();
}

bool AudioEngine::soundFontReady() const {
    return front_->core->fontLoaded.load();
}

void AudioEngine::shutdown() {
    Front& f = *front_;
    if (f.shutDown)
        return;
    f.shutDown = true;
    Core& core = *f.core;
    core.closing.store(true);
    {
        std::lock_guard guard(core.mailboxLock);
        core.workerStop = true;
    }
    core.mailboxWake.notify_all();
    core.clockWake.wakeSurely(); // harmless when the callback owns the clock: nobody sleeps in it
    if (core.clockThread.joinable())
        core.clockThread.join();
    if (fluid_audio_driver_t* driver = core.driver.exchange(nullptr))
        core.fl->delete_fluid_audio_driver(driver); // returns once the callback has stopped
    // A worker still opening the output or reading the SoundFont is not waited for: it finds
    // the engine closing when it is done, and frees what it made. The core lives until then.
    if (core.workerThread.joinable())
        core.workerThread.detach();
    core.outputOpen = false;
    if (core.recording)
        core.recording->close();
    core.destroySynth(core.synth.exchange(nullptr));
    f.retired.clear();
    f.wave.reset();
}

} // namespace lw::audio

// The audio engine over FluidSynth: the window thread's side, and the wiring of the threads.
// With LW_AUDIO_FILE set, the output is a WAV file written in real time instead of a sound card.
// FluidSynth is reached through the audio back end module's table (AudioBackend.h).
//
// Threads, each with its own part:
//   - the window thread: this file's FluidAudioEngine. It never waits for the others: it
//     publishes what it wants (the piece, started or paused, the wave) through the PlayerLink
//     and reads back what the audio thread publishes there;
//   - the audio thread (the sound card's callback, the file clock or the silent clock of
//     OutputClock; the caller of render() with a manual clock): the ScorePlayer. It takes no lock;
//   - the worker (InstrumentWorker): everything slow. The synthesizer belongs to the audio
//     thread; the worker borrows it through the SynthHandoff to swap instruments, and the audio
//     thread hands it over between two periods, so no FluidSynth call of either ever waits
//     behind the other.
#include "AudioEngine.h"

#include "FluidSink.h"
#include "InstrumentWorker.h"
#include "OutputClock.h"
#include "ScorePlayer.h"
#include "WaveRecording.h"

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <thread>

namespace lw::audio {
namespace {

constexpr std::array kGeneralMidiFonts = {
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf3/default-GM.sf3",
};

bool envFlag(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value && std::string_view(value) != "0";
}

std::string chooseSoundFont(const std::string& requested)
{
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

// What the engine's threads share. The window thread's engine and the worker thread each hold
// it; it goes when the last of them lets go, by which time the audio thread has stopped. Its
// public members are where the threads meet; the audio thread's own state, the player, is
// private and reached only through ClockedPlayer, which only the clock (or, with a manual clock,
// the caller of render()) calls.
class EngineCore final : public ClockedPlayer {
public:
    EngineCore(const AudioOptions& options, std::unique_ptr<WaveRecording> recording, bool manual)
        : clock(manual ? nullptr : std::make_unique<OutputClock>(*this, std::move(recording))),
          worker(options, handoff.workerEnd(), instruments, clock.get(), [this] { player_.synthGone(); })
    {
    }
    ~EngineCore() override
    {
        if (clock)
            clock->stop();
        handoff.close();
        // The worker goes before the hand-off (members in reverse): it destroys the synthesizer.
    }

    PlayerLink link;                    // window thread and audio thread
    InstrumentState instruments;        // worker to audio thread
    FluidHandoff handoff;               // audio thread and worker; closed once the audio thread stops
    std::unique_ptr<OutputClock> clock; // null with a manual clock
    InstrumentWorker worker;

    // ---- ClockedPlayer: the audio thread only.
    void period(int frames, float* left, float* right, int stride) override
    {
        const auto turn = handoff.audioEnd().beginPeriod();
        if (turn.cameBack)
            player_.synthBack(); // the worker silenced every voice and cleared the channels
        if (turn.synth) {
            FluidSink sink(*worker.api(), turn.synth); // set before the synthesizer was published
            player_.period(&sink, frames, left, right, stride, turn.handOver);
        } else {
            player_.period(nullptr, frames, left, right, stride);
        }
        if (turn.handOver) {
            player_.synthGone();
            handoff.audioEnd().handOver();
        }
    }
    void idle() override
    {
        // A lend waits for the next rendered period, where the synthesizer can fade out.
        const auto turn = handoff.audioEnd().beginPeriod();
        if (turn.cameBack)
            player_.synthBack();
        if (turn.synth) {
            FluidSink sink(*worker.api(), turn.synth);
            player_.takeRequest(&sink);
        } else {
            player_.takeRequest(nullptr);
        }
    }
    bool moving() const override { return player_.moving(); }

private:
    ScorePlayer player_{link, instruments};
};

void workerMain(std::shared_ptr<EngineCore> core, bool wantDevice, std::string font)
{
#ifdef __linux__
    // Background work: on a busy machine the window thread goes first (it starts at the same
    // moment as the first window is built).
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
#endif
    InstrumentWorker& worker = core->worker;
    if (!worker.openLibrary())
        return;
    if (wantDevice)
        worker.openOutput();
    if (core->clock->hasOutput())
        worker.loadSoundFont(font);
    worker.run();
}

// The window thread's side: what it has asked for, and the objects the audio thread may still use.
class FluidAudioEngine final : public AudioEngine {
public:
    FluidAudioEngine(std::shared_ptr<EngineCore> core, bool manual) : core_(std::move(core)), manual_(manual) {}
    ~FluidAudioEngine() override { shutdown(); }

    bool loadPiece(const std::vector<std::uint8_t>& smf) override;
    void startFromBeginning() override;
    void pause() override;
    void resume() override;
    void unloadPiece() override;
    PieceClock pieceClock() const override;
    bool playWave(std::vector<float> stereoFrames) override;
    void setMusicGain(float gain) override;
    void setMuted(bool muted) override;
    void render(int frames, std::vector<float>* out) override;
    bool hasOutput() const override;
    bool soundFontReady() const override;
    void shutdown() override;

private:
    void send();
    void retire(std::shared_ptr<Piece> old, std::unique_ptr<Wave> oldWave);
    std::uint32_t nextVersion() const { return (asked_.version + 1) & PlayerLink::kVersionMask; }

    std::shared_ptr<EngineCore> core_;
    const bool manual_;
    bool shutDown_ = false;
    std::uint64_t pieceSerial_ = 0; // the last serial given to a piece
    Request asked_;
    std::shared_ptr<Piece> piece_;
    std::uint32_t positionVersion_ = 0; // the request that last set the position to 0
    std::unique_ptr<Wave> wave_;
    struct Retired {
        std::uint32_t version; // the request from which on the audio thread no longer uses it
        std::shared_ptr<Piece> piece;
        std::unique_ptr<Wave> wave;
    };
    std::vector<Retired> retired_;
    std::vector<float> scratch_ = std::vector<float>(2 * kScratchFrames); // the manual clock's
};

void FluidAudioEngine::send()
{
    asked_.version = nextVersion();
    core_->link.request.write(asked_);
    if (manual_)
        core_->idle(); // the caller is the audio thread
    else
        core_->clock->wake();
    const std::uint32_t applied = PlayerLink::versionOf(core_->link.published.load(std::memory_order_acquire));
    std::erase_if(retired_, [applied](const Retired& r) { return PlayerLink::reached(applied, r.version); });
}

void FluidAudioEngine::retire(std::shared_ptr<Piece> old, std::unique_ptr<Wave> oldWave)
{
    retired_.push_back({nextVersion(), std::move(old), std::move(oldWave)});
}

bool FluidAudioEngine::loadPiece(const std::vector<std::uint8_t>& smf)
{
    if (shutDown_)
        return false;
    auto piece = std::make_shared<Piece>();
    piece->serial = ++pieceSerial_;
    piece->score = readScore(smf.data(), smf.size(), kSampleRate);
    retire(std::move(piece_), nullptr);
    piece_ = piece;
    asked_.piece = piece.get();
    ++asked_.pieceSerial;
    asked_.running = false;
    positionVersion_ = nextVersion();
    core_->worker.want(piece);
    send();
    return true;
}

void FluidAudioEngine::startFromBeginning()
{
    if (shutDown_ || !piece_)
        return;
    ++asked_.startSerial;
    asked_.running = true;
    positionVersion_ = nextVersion();
    send();
}

void FluidAudioEngine::pause()
{
    if (shutDown_ || !piece_ || !asked_.running)
        return;
    asked_.running = false;
    send();
}

void FluidAudioEngine::resume()
{
    if (shutDown_ || !piece_ || asked_.running)
        return;
    asked_.running = true;
    send();
}

void FluidAudioEngine::unloadPiece()
{
    if (shutDown_ || !piece_)
        return;
    retire(std::move(piece_), nullptr);
    asked_.piece = nullptr;
    ++asked_.pieceSerial;
    asked_.running = false;
    send();
}

PieceClock FluidAudioEngine::pieceClock() const
{
    PieceClock clock;
    if (shutDown_ || !piece_)
        return clock;
    clock.loaded = true;
    clock.running = asked_.running;
    const std::uint64_t word = core_->link.published.load(std::memory_order_acquire);
    // Until the audio thread has taken the last load or start, the piece stands at its start.
    const std::int64_t position =
        PlayerLink::reached(PlayerLink::versionOf(word), positionVersion_) ? PlayerLink::positionOf(word) : 0;
    const Score& score = piece_->score;
    clock.finished = clock.running && position >= score.endFrame;
    clock.tick = std::max<std::int64_t>(0, score.tickAt(position));
    return clock;
}

bool FluidAudioEngine::playWave(std::vector<float> stereoFrames)
{
    if (shutDown_ || !hasOutput())
        return false;
    auto wave = std::make_unique<Wave>();
    wave->frames = std::move(stereoFrames);
    retire(nullptr, std::move(wave_));
    wave_ = std::move(wave);
    asked_.wave = wave_.get();
    ++asked_.waveSerial;
    send();
    return true;
}

void FluidAudioEngine::setMusicGain(float gain)
{
    core_->link.musicGain.store(std::isfinite(gain) ? std::clamp(gain, 0.0f, 1.0f) : 1.0f);
}

void FluidAudioEngine::setMuted(bool muted) { core_->link.muted.store(muted); }

void FluidAudioEngine::render(int frames, std::vector<float>* out)
{
    if (!manual_ || frames <= 0) {
        if (out)
            out->clear();
        return;
    }
    if (out)
        out->assign(static_cast<std::size_t>(2 * frames), 0.0f);
    if (shutDown_)
        return;
    renderInterleaved(*core_, scratch_, frames, out ? out->data() : nullptr, nullptr);
}

bool FluidAudioEngine::hasOutput() const { return !shutDown_ && (manual_ || core_->clock->hasOutput()); }

bool FluidAudioEngine::soundFontReady() const { return core_->instruments.fontLoaded.load(); }

void FluidAudioEngine::shutdown()
{
    if (shutDown_)
        return;
    shutDown_ = true;
    core_->worker.stop();
    // When stop() returns the audio thread has stopped for good and the file is finalized.
    if (core_->clock)
        core_->clock->stop();
    // A worker waiting to borrow the synthesizer gives up; one still opening the output or
    // reading the SoundFont is not waited for: it finds the engine closing when it is done, and
    // the core (with the synthesizer) goes when it lets go of it.
    core_->handoff.close();
    retired_.clear();
    wave_.reset();
}

} // namespace

std::unique_ptr<AudioEngine> AudioEngine::create(const AudioOptions& options)
{
    locateAudioBackend(); // the worker opens it, off the window thread
    if (options.manualClock) {
        auto core = std::make_shared<EngineCore>(options, nullptr, true);
        if (!options.soundFont.empty() && core->worker.openLibrary())
            core->worker.loadSoundFont(options.soundFont);
        return std::make_unique<FluidAudioEngine>(std::move(core), true);
    }

    const bool wantOutput = !options.noAudio && !envFlag("LW_NO_AUDIO");
    std::string recordTo = options.recordTo;
    if (recordTo.empty()) {
        if (const char* fromEnv = std::getenv("LW_AUDIO_FILE"); fromEnv && *fromEnv)
            recordTo = fromEnv;
    }
    std::unique_ptr<WaveRecording> recording;
    if (wantOutput && !recordTo.empty()) {
        recording = std::make_unique<WaveRecording>(recordTo.c_str());
        if (!recording->isOpen())
            recording.reset();
    }
    const bool toFile = recording != nullptr;
    auto core = std::make_shared<EngineCore>(options, std::move(recording), false);
    core->clock->start();
    if (wantOutput)
        std::thread(workerMain, core, !toFile, chooseSoundFont(options.soundFont)).detach();
    return std::make_unique<FluidAudioEngine>(std::move(core), false);
}

} // namespace lw::audio

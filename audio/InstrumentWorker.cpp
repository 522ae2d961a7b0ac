// The engine's worker: the synthesizer library, the sound card, the SoundFont and each piece's
// instruments.
#include "InstrumentWorker.h"

#include "OutputClock.h"

#include <cstring>
#include <filesystem>
#include <map>

namespace lw::audio {
namespace {

// Sound card buffering: 4 periods of 512 frames, about 46 ms at 44.1 kHz.
constexpr int kPeriodFrames = 512;
constexpr int kPeriods = 4;
// Frames the worker renders, unheard, after silencing the synthesizer, so that no voice still
// reads a sample it is about to free.
constexpr int kDrainFrames = 8 * ScorePlayer::kSynthBlock;

// ALSA prints its own complaints to the terminal when the machine has no sound card, so it is
// only tried when there is a PCM device to open.
bool hasAlsaPcmDevice()
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/snd", error)) {
        if (entry.path().filename().string().rfind("pcm", 0) == 0)
            return true;
    }
    return false;
}

// A sound card opened through FluidSynth's audio drivers.
class FluidOutput final : public AudioOutput {
public:
    static std::unique_ptr<AudioOutput> open(const FluidApi& fl, fluid_settings_t* settings, const char* driverName,
                                             OutputCallback callback)
    {
        auto output = std::unique_ptr<FluidOutput>(new FluidOutput(fl, callback));
        fl.fluid_settings_setstr(settings, "audio.driver", driverName);
        output->driver_ = fl.new_fluid_audio_driver2(settings, &FluidOutput::render, output.get());
        if (!output->driver_)
            return nullptr;
        return output;
    }
    ~FluidOutput() override
    {
        if (driver_)
            fl_.delete_fluid_audio_driver(driver_); // returns once the callback has stopped
    }

private:
    FluidOutput(const FluidApi& fl, OutputCallback callback) : fl_(fl), callback_(callback) {}

    static int render(void* data, int len, int nfx, float* fx[], int nout, float* out[])
    {
        auto* self = static_cast<FluidOutput*>(data);
        for (int i = 0; i < nfx; ++i)
            if (fx[i])
                std::memset(fx[i], 0, sizeof(float) * static_cast<std::size_t>(len));
        for (int i = 0; i < nout; ++i)
            if (out[i])
                std::memset(out[i], 0, sizeof(float) * static_cast<std::size_t>(len));
        if (nout >= 2 && out[0] && out[1])
            self->callback_.render(self->callback_.context, len, out[0], out[1]);
        return FLUID_OK;
    }

    const FluidApi& fl_;
    const OutputCallback callback_;
    fluid_audio_driver_t* driver_ = nullptr;
};

} // namespace

InstrumentWorker::InstrumentWorker(const AudioOptions& options, FluidHandoff::WorkerEnd& synth, InstrumentState& state,
                                   OutputClock* clock, std::function<void()> synthTaken)
    : options_(options), synth_(synth), state_(state), clock_(clock), synthTaken_(std::move(synthTaken))
{
}

InstrumentWorker::~InstrumentWorker()
{
    // The owner destroys this only once the audio thread has stopped and the worker thread is done.
    if (fluid_synth_t* synth = synth_.takeForDestruction())
        fl_->delete_fluid_synth(synth);
    if (fl_ && settings_)
        fl_->delete_fluid_settings(settings_);
}

bool InstrumentWorker::closing() const { return clock_ && clock_->stopping(); }

bool InstrumentWorker::openLibrary()
{
    const AudioBackend* backend = audioBackend();
    fl_ = backend ? &backend->fluid : nullptr;
    if (!fl_ || !(settings_ = fl_->new_fluid_settings()))
        return false;
    fl_->fluid_settings_setnum(settings_, "synth.sample-rate", AudioEngine::kSampleRate);
    fl_->fluid_settings_setint(settings_, "audio.period-size", kPeriodFrames);
    fl_->fluid_settings_setint(settings_, "audio.periods", kPeriods);
    // The game's pieces use a handful of channels with few notes at a time; 64 voices is ample,
    // and the chorus effect, which the pieces do not ask for, is the synthesizer's most expensive
    // stage.
    fl_->fluid_settings_setint(settings_, "synth.polyphony", 64);
    fl_->fluid_settings_setint(settings_, "synth.chorus.active", 0);
    // The synthesizer's default gain (0.2) leaves the pieces some 8 dB quieter than a game's sound
    // usually is; at 0.5 the loudest piece still peaks below full scale.
    fl_->fluid_settings_setnum(settings_, "synth.gain", 0.5);
    // Samples load when their instruments are chosen, not with the font; and the synthesizer
    // takes no lock of its own, since only one thread at a time uses it.
    fl_->fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
    fl_->fluid_settings_setint(settings_, "synth.threadsafe-api", 0);
    return true;
}

void InstrumentWorker::openOutput()
{
    if (!clock_)
        return;
    if (options_.openOutput) {
        if (auto output = options_.openOutput(clock_->callback()))
            clock_->attach(std::move(output));
        return;
    }
    std::vector<const char*> drivers{"pulseaudio"};
    if (hasAlsaPcmDevice())
        drivers.push_back("alsa");
    for (const char* name : drivers) {
        if (closing())
            return;
        if (auto output = FluidOutput::open(*fl_, settings_, name, clock_->callback())) {
            clock_->attach(std::move(output));
            return;
        }
    }
}

fluid_synth_t* InstrumentWorker::newSynth()
{
    fluid_synth_t* synth = fl_->new_fluid_synth(settings_);
    if (!synth)
        return nullptr;
    // A new synthesizer's effect buffers are not always cleared: its first block can carry
    // whatever the memory held (seen as -inf). A system reset clears the reverb and chorus; with
    // no SoundFont yet it selects no instrument.
    fl_->fluid_synth_system_reset(synth);
    if (fluid_sfloader_t* loader = fl_->new_fluid_defsfloader(settings_)) {
        CutFonts::installCallbacks(fl_, loader);
        fl_->fluid_synth_add_sfloader(synth, loader);
    }
    return synth;
}

void InstrumentWorker::loadSoundFont(const std::string& path)
{
    if (options_.beforeSoundFontLoad)
        options_.beforeSoundFontLoad();
    if (path.empty() || closing())
        return;
    layout_ = SoundFontLayout::read(path);
    if (!layout_ || closing())
        return;
    fluid_synth_t* synth = newSynth();
    if (!synth)
        return;
    std::shared_ptr<Piece> piece;
    {
        std::lock_guard guard(mailboxLock_);
        piece = wanted_;
    }
    if (piece) {
        std::vector<int> chosen;
        swapInstruments(synth, needsOf(*piece, chosen));
        fillPresets(*piece, chosen);
        state_.prepared.store(piece->serial, std::memory_order_release);
    }
    // From here on the audio thread may render it; whatever happens next, only the hand-off's
    // owner destroys it, once the audio thread has stopped.
    synth_.publish(synth);
    state_.fontLoaded.store(true, std::memory_order_release);
}

void InstrumentWorker::prepare(const std::shared_ptr<Piece>& piece)
{
    if (!layout_ || !piece || state_.prepared.load(std::memory_order_acquire) == piece->serial)
        return;
    std::vector<int> chosen;
    const auto needs = needsOf(*piece, chosen);
    if (needs != cutNeeds_) {
        fluid_synth_t* synth = nullptr;
        if (clock_) {
            synth = synth_.borrow([this] { clock_->wake(); });
        } else {
            synth = synth_.takeBetweenPeriods();
            synthTaken_();
        }
        if (!synth)
            return; // the audio thread has stopped for good
        swapInstruments(synth, needs);
        fillPresets(*piece, chosen);
        state_.prepared.store(piece->serial, std::memory_order_release);
        if (clock_)
            synth_.giveBack();
        return;
    }
    fillPresets(*piece, chosen);
    state_.prepared.store(piece->serial, std::memory_order_release);
}

void InstrumentWorker::run()
{
    std::uint64_t seen = 0;
    for (;;) {
        std::shared_ptr<Piece> piece;
        {
            std::unique_lock guard(mailboxLock_);
            mailboxWake_.wait(guard, [&] { return stopRequested_ || wantedSerial_ != seen; });
            if (stopRequested_)
                return;
            seen = wantedSerial_;
            piece = wanted_;
        }
        if (state_.fontLoaded.load(std::memory_order_acquire))
            prepare(piece);
    }
}

void InstrumentWorker::want(std::shared_ptr<Piece> piece)
{
    if (!clock_) {
        prepare(piece);
        return;
    }
    {
        std::lock_guard guard(mailboxLock_);
        wanted_ = std::move(piece);
        ++wantedSerial_;
    }
    mailboxWake_.notify_one();
}

void InstrumentWorker::stop()
{
    {
        std::lock_guard guard(mailboxLock_);
        stopRequested_ = true;
    }
    mailboxWake_.notify_all();
}

// What the piece needs of the font: for each program request the preset it selects, and for each
// preset the notes struck with it.
InstrumentWorker::Needs InstrumentWorker::needsOf(const Piece& piece, std::vector<int>& chosen) const
{
    chosen.clear();
    std::map<int, SoundFontLayout::Notes> notes;
    for (const ProgramRequest& r : piece.score.programs) {
        chosen.push_back(layout_->findPreset(r.bank, r.program));
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

// Puts the piece's instruments into `synth`, which the worker holds: the previous cut font out,
// the new one in, its samples loaded.
void InstrumentWorker::swapInstruments(fluid_synth_t* synth, const Needs& needs)
{
    fl_->fluid_synth_all_sounds_off(synth, -1);
    std::vector<float> drain(2 * kDrainFrames);
    fl_->fluid_synth_write_float(synth, kDrainFrames, drain.data(), 0, 2, drain.data(), 1, 2);
    for (int channel = 0; channel < kMidiChannels; ++channel)
        fl_->fluid_synth_unset_program(synth, channel);
    if (cutFontId_ >= 0)
        fl_->fluid_synth_sfunload(synth, cutFontId_, 0);
    cutFontId_ = -1;
    cutNeeds_.clear();
    if (needs.empty())
        return;
    auto image = layout_->cut(needs);
    if (cutName_.empty())
        cutName_ = cutFonts_.add(std::move(image));
    else
        cutFonts_.replace(cutName_, std::move(image));
    const int id = fl_->fluid_synth_sfload(synth, cutName_.c_str(), 0);
    if (id == FLUID_FAILED)
        return;
    for (const auto& [preset, notes] : needs)
        fl_->fluid_synth_pin_preset(synth, id, layout_->presetBank(preset), layout_->presetProgram(preset));
    cutFontId_ = id;
    cutNeeds_ = needs;
}

// Records in the piece what to select for each of its program requests.
void InstrumentWorker::fillPresets(Piece& piece, const std::vector<int>& chosen) const
{
    piece.fontId = cutFontId_;
    piece.presets.clear();
    for (int preset : chosen) {
        if (preset >= 0 && cutFontId_ >= 0)
            piece.presets.emplace_back(layout_->presetBank(preset), layout_->presetProgram(preset));
        else
            piece.presets.emplace_back(-1, -1);
    }
}

} // namespace lw::audio

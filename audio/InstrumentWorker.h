// The engine's slow work, on a worker thread of its own: opening the synthesizer library and the
// sound card, reading the SoundFont, and for each piece cutting the font down to the instruments
// and notes the piece plays and loading their samples into the synthesizer.
#pragma once

#include "AudioBackend.h"
#include "AudioEngine.h"
#include "CutFontFiles.h"
#include "Handoff.h"
#include "ScorePlayer.h"
#include "SoundFontSubset.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lw::audio {

class OutputClock;

using FluidHandoff = SynthHandoff<fluid_synth_t>;

// Everything but want() and stop() runs on the worker thread (with a manual clock: on the caller
// of the engine, which is then also the audio thread). Its members are the worker's alone.
class InstrumentWorker {
public:
    // `clock` is null with a manual clock. `synthTaken` runs when the synthesizer was taken
    // between two periods of a manual clock, on that clock's thread.
    InstrumentWorker(const AudioOptions& options, FluidHandoff::WorkerEnd& synth, InstrumentState& state,
                     OutputClock* clock, std::function<void()> synthTaken);
    ~InstrumentWorker(); // destroys the synthesizer still in the hand-off: only once nobody renders it
    InstrumentWorker(const InstrumentWorker&) = delete;
    InstrumentWorker& operator=(const InstrumentWorker&) = delete;

    // Opens the back end module and makes the settings every synthesizer and output here share.
    bool openLibrary();
    // FluidSynth, once openLibrary() has succeeded.
    const FluidApi* api() const { return fl_; }
    // Opens a sound card for the clock (the options' own, else FluidSynth's drivers).
    void openOutput();
    // Reads the SoundFont into a new synthesizer, with the wanted piece's instruments in it, and
    // publishes it to the audio thread.
    void loadSoundFont(const std::string& path);
    // Makes the piece ready to sound: its instruments and notes in the synthesizer.
    void prepare(const std::shared_ptr<Piece>& piece);
    // The worker thread's loop: prepares the latest wanted piece until stop().
    void run();

    // Window thread: the piece to prepare next (the latest wins). Never waits for the work.
    void want(std::shared_ptr<Piece> piece);
    // Window thread: ends run() at its next look at the mailbox.
    void stop();

private:
    using Needs = std::vector<std::pair<int, SoundFontLayout::Notes>>;
    bool closing() const;
    fluid_synth_t* newSynth();
    Needs needsOf(const Piece& piece, std::vector<int>& chosen) const;
    void swapInstruments(fluid_synth_t* synth, const Needs& needs);
    void fillPresets(Piece& piece, const std::vector<int>& chosen) const;

    const AudioOptions options_;
    FluidHandoff::WorkerEnd& synth_;
    InstrumentState& state_;
    OutputClock* const clock_;
    const std::function<void()> synthTaken_;

    // FluidSynth and its settings, made before any synthesizer or output.
    const FluidApi* fl_ = nullptr;
    fluid_settings_t* settings_ = nullptr;
    std::optional<SoundFontLayout> layout_;
    CutFonts cutFonts_; // outlives the synthesizer, which may open its names
    std::string cutName_;
    int cutFontId_ = -1;
    Needs cutNeeds_;

    // The mailbox from the window thread: a short lock, never held during work.
    std::mutex mailboxLock_;
    std::condition_variable mailboxWake_;
    std::shared_ptr<Piece> wanted_;
    std::uint64_t wantedSerial_ = 0;
    bool stopRequested_ = false;
};

} // namespace lw::audio

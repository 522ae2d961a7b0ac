// The one synthesizer and audio output of the game, shared by the music and the wave player.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lw::audio {

// A sound card as the engine sees it: once open, it calls its render callback from a thread of
// its own. Destroying it closes it, and returns only once the callback has stopped.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
};

// What a sound card calls for each period: `frames` frames into `left` and `right`.
struct OutputCallback {
    void (*render)(void* context, int frames, float* left, float* right) = nullptr;
    void* context = nullptr;
};

struct AudioOptions {
    // Manual clock: no threads and no audio output; time advances only through render(), and
    // render() is the output (waves mix into what it returns).
    bool manualClock = false;
    // Never open an audio output (also forced by the environment variable LW_NO_AUDIO=1); the
    // music then runs in real time without sound.
    bool noAudio = false;
    // The SoundFont to load; empty: LW_SOUNDFONT, else the first General MIDI font found in the
    // system's SoundFont folder. With a real clock it loads on a background thread, and only once
    // an audio output is open (nobody would hear it otherwise); with a manual clock it loads at
    // once, and only when named here.
    std::string soundFont;
    // The output is this 16-bit stereo WAV file, written in real time; empty: the file named by
    // LW_AUDIO_FILE, if any, else a sound card.
    std::string recordTo;
    // Runs on the loading thread just before the SoundFont is read (tests make the load slow).
    std::function<void()> beforeSoundFontLoad;
    // Opens the sound card in place of the synthesizer's own audio drivers (tests stand a thread
    // in for one); null when there is none. Called on the loading thread.
    std::function<std::unique_ptr<AudioOutput>(OutputCallback)> openOutput;
};

// Playback state of the loaded piece as the audio thread last published it.
struct PieceClock {
    bool loaded = false;   // a piece is in the player
    bool running = false;  // started and not paused
    bool finished = false; // running, but the player has played all of it
    std::int64_t tick = 0; // ticks played from the start of the piece
};

class AudioEngine {
public:
    static constexpr int kSampleRate = 44100; // frames per second of every output
    // A change of music gain or mute moves in a straight line over this many frames (5.8 ms).
    static constexpr int kGainRampFrames = 256;

    // The engine over FluidSynth. Returns at once: the output opens and the SoundFont loads in
    // the background.
    static std::unique_ptr<AudioEngine> create(const AudioOptions& options = {});
    virtual ~AudioEngine() = default;

    // Music, one piece at a time; all from the UI thread, and none of these calls waits for the
    // audio thread or the SoundFont: they hand the request over and return. The bytes must have
    // passed checkSmf. Loading replaces (and silences) the previous piece and leaves the new one
    // at its start, not running; the samples of its instruments load in the background, and it
    // starts sounding once they are in (its clock waits for them when the SoundFont is loaded;
    // while the SoundFont itself loads, the clock runs and the music joins where it has got to).
    // False after shutdown.
    virtual bool loadPiece(const std::vector<std::uint8_t>& smf) = 0;
    virtual void startFromBeginning() = 0; // (re)starts the loaded piece at tick 0
    virtual void pause() = 0;              // holds the piece where it is; sounding notes are released
    virtual void resume() = 0;             // goes on from where pause left it
    virtual void unloadPiece() = 0;        // stops and forgets the piece
    virtual PieceClock pieceClock() const = 0;

    // Replaces whatever wave is sounding with these interleaved stereo frames at kSampleRate.
    // False (and nothing happens) when there is no audio output.
    virtual bool playWave(std::vector<float> stereoFrames) = 0;

    // The player's loudness, from any thread, heard from the next block on, ramped over
    // kGainRampFrames. The gain scales the music only (1 as written); mute silences music and
    // wave alike. Neither touches the piece's clock: a muted piece plays on, unheard, and ends
    // when it would have.
    virtual void setMusicGain(float gain) = 0;
    virtual void setMuted(bool muted) = 0;

    // Manual clock only: advances time by `frames` (at kSampleRate); when `out` is given it
    // receives the mixed interleaved stereo output (2 * frames floats).
    virtual void render(int frames, std::vector<float>* out = nullptr) = 0;

    virtual bool hasOutput() const = 0;      // a real audio output is open (or the manual clock stands in)
    virtual bool soundFontReady() const = 0; // the synthesizer has its SoundFont
    // Stops the audio output and the threads; every later call is a harmless no-op. Idempotent.
    // Returns at once even while the SoundFont loads: the load ends on its own and is dropped.
    virtual void shutdown() = 0;
};

} // namespace lw::audio

// The one synthesizer and audio output of the game, shared by the music and the wave player.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lw::audio {

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
};

// Playback state of the loaded piece as the synthesizer's player sees it.
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

    static std::unique_ptr<AudioEngine> create(const AudioOptions& options = {});
    ~AudioEngine();
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    // Music, one piece at a time; all from the UI thread, and none of these calls waits for the
    // audio thread or the SoundFont: they hand the request over and return. The bytes must have
    // passed checkSmf. Loading replaces (and silences) the previous piece and leaves the new one
    // at its start, not running; the samples of its instruments load in the background, and it
    // starts sounding once they are in (its clock waits for them when the SoundFont is loaded;
    // while the SoundFont itself loads, the clock runs and the music joins where it has got to).
    // False after shutdown.
    bool loadPiece(const std::vector<std::uint8_t>& smf);
    void startFromBeginning(); // (re)starts the loaded piece at tick 0
    void pause();              // holds the piece where it is; sounding notes are released
    void resume();             // goes on from where pause left it
    void unloadPiece();        // stops and forgets the piece
    PieceClock pieceClock() const;

    // Replaces whatever wave is sounding with these interleaved stereo frames at kSampleRate.
    // False (and nothing happens) when there is no audio output.
    bool playWave(std::vector<float> stereoFrames);

    // The player's loudness, from any thread, heard from the next block on, ramped over
    // kGainRampFrames. The gain scales the music only (1 as written); mute silences music and
    // wave alike. Neither touches the piece's clock: a muted piece plays on, unheard, and ends
    // when it would have.
    void setMusicGain(float gain);
    void setMuted(bool muted);

    // Manual clock only: advances time by `frames` (at kSampleRate); when `out` is given it
    // receives the mixed interleaved stereo output (2 * frames floats).
    void render(int frames, std::vector<float>* out = nullptr);

    bool hasOutput() const; // a real audio output is open (or the manual clock stands in)
    bool soundFontReady() const; // the synthesizer has its SoundFont
    // Stops the audio output and the threads; every later call is a harmless no-op. Idempotent.
    // Returns at once even while the SoundFont loads: the load ends on its own and is dropped.
    void shutdown();

    struct Core;

private:
    struct Front;
    explicit AudioEngine(std::unique_ptr<Front> front);
    std::unique_ptr<Front> front_;
};

} // namespace lw::audio

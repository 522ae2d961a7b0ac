// The one synthesizer and audio output of the game, shared by the music and the wave player.
#pragma once

#include <cstdint>
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

    static std::unique_ptr<AudioEngine> create(const AudioOptions& options = {});
    ~AudioEngine();
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    // Music, one piece at a time; all from the UI thread. The bytes must have passed checkSmf.
    // Loading replaces (and silences) the previous piece and leaves the new one at its start,
    // not running. False when there is no synthesizer (creation failed or shut down).
    bool loadPiece(const std::vector<std::uint8_t>& smf);
    void startFromBeginning(); // (re)starts the loaded piece at tick 0
    void pause();              // holds the piece where it is; sounding notes are released
    void resume();             // goes on from where pause left it
    void unloadPiece();        // stops and forgets the piece
    PieceClock pieceClock() const;

    // Replaces whatever wave is sounding with these interleaved stereo frames at kSampleRate.
    // False (and nothing happens) when there is no audio output.
    bool playWave(std::vector<float> stereoFrames);

    // The player's loudness, from any thread, heard from the next block on. The gain scales the
    // music only (1 as written); mute silences music and wave alike. Neither touches the piece's
    // clock: a muted piece plays on, unheard, and ends when it would have.
    void setMusicGain(float gain);
    void setMuted(bool muted);

    // Manual clock only: advances time by `frames` (at kSampleRate); when `out` is given it
    // receives the mixed interleaved stereo output (2 * frames floats).
    void render(int frames, std::vector<float>* out = nullptr);

    bool hasOutput() const; // a real audio output is open (or the manual clock stands in)
    bool soundFontReady() const;
    // Stops the audio output and the threads; every later call is a harmless no-op. Idempotent.
    void shutdown();

    struct Impl;

private:
    explicit AudioEngine(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace lw::audio

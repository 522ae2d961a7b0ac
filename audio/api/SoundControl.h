// The player's sound settings for this run: the music's loudness and mute.
#pragma once

namespace lw {

class SoundControl {
public:
    virtual ~SoundControl() = default;
    // Scales the music: 1 as the pieces are written, 0 silent. The wave is not touched.
    virtual void setMusicGain(float gain) = 0;
    // Silences everything the game plays, music and wave alike. The music keeps its time, so
    // whatever follows the music's position goes on as if it were heard.
    virtual void setMuted(bool muted) = 0;
};

} // namespace lw

// What the scenario does to the world: the only way story code reaches windows and music.
#pragma once

#include <string_view>

namespace lw {

class ScenarioOutput {
public:
    virtual ~ScenarioOutput() = default;
    // Replaces the message window's line; an empty speaker shows the text as narration.
    virtual void ShowLine(std::string_view speaker, std::string_view text) = 0;
    // Stores `file` in the music module's backgroundPiece, then starts it with play(backgroundPiece).
    virtual void playMidiFile(std::string_view file) = 0;
    // Enables the main window's music timer, then sets its interval.
    virtual void startMusicTimer(int intervalMs) = 0;
    // Hides, then disables, the Look, Talk, Think and Use-magic icons in both looks
    // (items 0, 1, 2, 3, then 5, 6, 7, 8 of the icon bar).
    virtual void hideNonNextIcons() = 0;
    // The story's last step has been taken: window events already queued (clicks of that step)
    // must run, and be ignored, before the ending starts.
    virtual void yieldToWindowSystem() = 0;
    // ScreenId has been given a new value (it may be the same as before).
    virtual void stateChanged() {}
};

} // namespace lw

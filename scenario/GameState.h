// The story variables shared by the scenario and the shell: one instance for the whole run.
#pragma once

#include <cstdint>

namespace lw {

// Story states at which the shell and the scenario change behaviour.
constexpr std::int16_t kFirstScreen = 10;
constexpr std::int16_t kFirstGateScreen = 150;       // below: only Next drives the story
constexpr std::int16_t kLastScreenWithAllIcons = 384; // above: only the Next icon can be picked
constexpr std::int16_t kLastPlayableScreen = 562;    // above: picture clicks run no response
constexpr std::int16_t kEndingScreen = 563;          // from here on the ending runs
constexpr std::int16_t kStoryEndMark = 565;          // what the last step of the story stores
constexpr std::int16_t kLastWatchedScreen = 990;     // above: the scene watcher shows nothing

// Codes of SelectedCommand.
enum Command : std::int16_t {
    kNoCommand = 0,
    kLook = 1,
    kTalk = 2,
    kThink = 3,
    kMagic = 4,
    kNext = 5,
};

struct GameState {
    std::int16_t ScreenId = 0;         // story position: scene = ScreenId / 10, step = unit digit
    std::int16_t SelectedCommand = 0;  // a Command
    std::int16_t ClickColumn = 0;      // third of the picture clicked last: 1 left, 2 middle, 3 right
    std::int16_t StaffRollRunning = 0; // -1 while the ending's staff roll runs
};

// Booleans as the game stores them.
constexpr std::int16_t kTrue = -1;
constexpr std::int16_t kFalse = 0;

// Scene index of a story state: the largest whole number not above state / 10.
constexpr int sceneOf(int screen) { return screen >= 0 ? screen / 10 : -((-screen + 9) / 10); }

} // namespace lw

namespace lw {
// The game's one set of story variables.
GameState& gameState();
} // namespace lw

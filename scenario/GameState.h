// The story variables shared by the scenario and the shell: one instance for the whole run.
#pragma once

#include <cstdint>

namespace lw {

// Story states at which the shell and the scenario change behaviour.
constexpr std::int16_t kFirstScreen = 10;
constexpr std::int16_t kFirstGateScreen = 150;        // below: only Next drives the story
constexpr std::int16_t kLastScreenWithAllIcons = 384; // above: only the Next icon can be picked
constexpr std::int16_t kEndingScreen = 563;           // from here on the ending runs
constexpr std::int16_t kStoryEndMark = 565;           // what the last step of the story stores
constexpr std::int16_t kLastWatchedScreen = 990;      // above: the scene watcher shows nothing

// The command picked on the icon bar, numbered as the icons from the left (Look 1 ... Next 5).
enum class Command : std::int16_t {
    None = 0, // nothing picked yet: a click on the picture shows the hint
    Look = 1,
    Talk = 2,
    Think = 3,
    Magic = 4,
    Next = 5,
};

// The third of the scene picture a click fell into.
enum class ClickColumn : std::int16_t {
    None = 0, // no click yet
    Left = 1,
    Middle = 2,
    Right = 3,
};

struct GameState {
    std::int16_t ScreenId = 0; // story position: scene = ScreenId / 10, step = unit digit
    Command selectedCommand = Command::None;
    ClickColumn clickColumn = ClickColumn::None; // of the last click on the picture
};

// Scene index of a story state: the largest whole number not above state / 10.
constexpr int sceneOf(int screen) { return screen >= 0 ? screen / 10 : -((-screen + 9) / 10); }

} // namespace lw

// The scene catalogue, the staff roll's picture cache and the scene watcher.
#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace lw {

constexpr int kSceneSlots = 101; // scene indices 0..100

extern std::array<QString, kSceneSlots> ScenePictureKey;
extern std::array<QString, kSceneSlots> SceneCaption;
extern std::array<QString, kSceneSlots> RollPictureKey;

// Fills the scene table and loads the 21 staff-roll pictures into the hidden roll window,
// yielding to the window system before each load so the opening demo keeps running.
void BuildSceneCatalogue();

// Shows the scene of ScreenId when its scene index differs from the one shown last: picture,
// caption, then the scene's entry effects.
void ShowSceneIfChanged();

// The state whose scene is on screen (0 before the first scene); tests reset it.
std::int16_t& lastShownState();

// "Lunaweave　【caption】"
QString sceneWindowCaption(const QString& caption);

} // namespace lw

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

// The catalogue is built in parts, so the game can load it one part per turn of the event loop
// while the opening demo runs: the hidden roll window with the keys of its pictures, each of
// its pictures, then the scene table.
void loadRollWindow();
// Loads roll picture `index` (0..20) into the roll's cache; false when the roll window is gone,
// which happens only when the program is ending.
bool loadRollPicture(int index);
void fillSceneTable();
// Every part, one after the other.
void BuildSceneCatalogue();

// Shows the scene of ScreenId when its scene index differs from the one shown last: picture,
// caption, then the scene's entry effects.
void ShowSceneIfChanged();

class MainWindow;
// Loads the picture of the scene on screen again, at the picture box's density (after a zoom).
void reloadScenePicture(MainWindow& main);

// The state whose scene is on screen (0 before the first scene); tests reset it.
std::int16_t& lastShownState();

// "Lunaweave　【caption】"
QString sceneWindowCaption(const QString& caption);
// A scene window's caption with the scene table's ruby marks in it; any other caption as it is.
QString markedSceneWindowCaption(const QString& windowCaption);

} // namespace lw

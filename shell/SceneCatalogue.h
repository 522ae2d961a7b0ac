// The scene catalogue: each scene's picture and caption, the staff roll's pictures, and the
// scene on screen.
#pragma once

#include "GameState.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>

namespace lw {

class MainWindow;
class ProgramEnd;
class Scenario;
class ScenePictures;
struct GameWindows;

constexpr int kSceneSlots = 101; // scene indices 0..100

class SceneCatalogue {
public:
    SceneCatalogue(GameWindows& windows, const GameState& state, Scenario& scenario, ProgramEnd& errors);
    ~SceneCatalogue();

    // Each scene's picture key and caption by scene index; empty where the story has no scene.
    std::array<QString, kSceneSlots> pictureKeys;
    std::array<QString, kSceneSlots> captions;
    std::array<QString, kSceneSlots> rollPictureKeys;

    // The catalogue is built in parts, so the game can load it one part per turn of the event
    // loop while the opening demo runs: the hidden roll window with the keys of its pictures,
    // each of its pictures, then the scene table.
    void loadRollWindow();
    // Loads roll picture `index` (0..20) into the roll's cache; false when the roll window is
    // gone, which happens only when the program is ending.
    bool loadRollPicture(int index);
    void fillSceneTable();
    // Every part, one after the other.
    void build();

    // Shows the scene of ScreenId when its scene index differs from the one shown last: picture,
    // caption, then the scene's entry effects.
    void showSceneIfChanged();
    // Loads the picture of the scene on screen again, at the picture box's density (after a zoom).
    void reloadScenePicture(MainWindow& main);

    // The state whose scene is on screen (0 before the first scene); tests set it.
    std::int16_t& lastShownState() { return lastShownState_; }
    // The scene pictures decoded ahead.
    ScenePictures& pictures() { return *pictures_; }

    // The caption of the scene on screen; empty before the first scene.
    QString captionOnScreen() const;

private:
    QString pictureFile(int scene) const;
    void loadScenePicture(MainWindow& main, int scene);

    GameWindows& windows_;
    const GameState& state_;
    Scenario& scenario_;
    ProgramEnd& errors_;
    std::unique_ptr<ScenePictures> pictures_; // decoded ahead while the player reads
    std::int16_t lastShownState_ = 0;
};

// "Lunaweave　【caption】"
QString sceneWindowCaption(const QString& caption);
// The caption in a scene window's caption; empty for any other window caption.
QString captionOfSceneWindow(const QString& windowCaption);
// A scene window's caption with the scene table's ruby marks in it; any other caption as it is.
QString markedSceneWindowCaption(const QString& windowCaption);

} // namespace lw

// Scene catalogue and watcher.
#include "SceneCatalogue.h"

#include "MarkedText.h"

#include "Game.h"
#include "GameState.h"
#include "MainWindow.h"
#include "PictureLoader.h"
#include "Scenario.h"
#include "ScenePictures.h"
#include "SceneTable.h"
#include "StaffRollWindow.h"

namespace lw {
namespace {

QString pictureExt() { return QString::fromUtf16(kPictureExt.data(), static_cast<qsizetype>(kPictureExt.size())); }

QString scenePictureFile(int scene) { return ScenePictureKey[static_cast<std::size_t>(scene)] + pictureExt(); }

// Shows the scene's picture, decoded ahead where the story could come here, and has the pictures
// of the scenes it can go to next decoded while the player reads.
void loadScenePicture(MainWindow& form, int scene)
{
    ScenePictures& pictures = ScenePictures::of(form);
    const double density = form.scenePicture->density();
    form.scenePicture->setPicture(pictures.take(scenePictureFile(scene), density));
    QStringList next;
    for (const int after : scenesAfter(scene))
        if (after >= 0 && after < kSceneSlots && !ScenePictureKey[static_cast<std::size_t>(after)].isEmpty())
            next << scenePictureFile(after);
    pictures.prefetch(next, density);
}

} // namespace

std::array<QString, kSceneSlots> ScenePictureKey;
std::array<QString, kSceneSlots> SceneCaption;
std::array<QString, kSceneSlots> RollPictureKey;

std::int16_t& lastShownState()
{
    static std::int16_t state = 0;
    return state;
}

QString sceneWindowCaption(const QString& caption)
{
    return QStringLiteral("Lunaweave　【") + caption + QStringLiteral("】");
}

QString markedSceneWindowCaption(const QString& windowCaption)
{
    for (const SceneRow& row : kSceneTable) {
        const QString marked = QString::fromUtf16(row.caption.data(), static_cast<qsizetype>(row.caption.size()));
        if (sceneWindowCaption(shownText(marked)) == windowCaption)
            return sceneWindowCaption(marked);
    }
    return windowCaption;
}

void loadRollWindow()
{
    for (int i = 0; i < kRollPictures; ++i) {
        const std::u16string_view key = kRollPictureKeys[static_cast<std::size_t>(i)];
        RollPictureKey[static_cast<std::size_t>(i)] =
            QString::fromUtf16(key.data(), static_cast<qsizetype>(key.size()));
    }
    Window<StaffRollWindow>::Load();
}

bool loadRollPicture(int index)
{
    StaffRollWindow* roll = Window<StaffRollWindow>::ifLoaded();
    if (!roll)
        return false;
    // Both densities: the roll reads no file at the ending, whatever the density is by then.
    const QString file = RollPictureKey[static_cast<std::size_t>(index)] + pictureExt();
    roll->cachedPicture(index)->setPicture(LoadPicture(file), readSharpPictureFile(file));
    return true;
}

void BuildSceneCatalogue()
{
    loadRollWindow();
    for (int i = 0; i < kRollPictures; ++i) {
        if (!loadRollPicture(i))
            return;
    }
    fillSceneTable();
}

void fillSceneTable()
{
    for (const SceneRow& row : kSceneTable) {
        const auto s = static_cast<std::size_t>(row.scene);
        ScenePictureKey[s] = QString::fromUtf16(row.pictureKey.data(), static_cast<qsizetype>(row.pictureKey.size()));
        SceneCaption[s] = shownText(row.caption);
    }
}

void reloadScenePicture(MainWindow& main)
{
    const int scene = sceneOf(lastShownState());
    if (!main.scenePicture->picture().isNull() && scene >= 0 && scene < kSceneSlots &&
        !ScenePictureKey[static_cast<std::size_t>(scene)].isEmpty())
        loadScenePicture(main, scene);
}

void ShowSceneIfChanged()
{
    const std::int16_t screen = gameState().ScreenId;
    if (screen > kLastWatchedScreen)
        return;
    const int scene = sceneOf(screen);
    if (scene == sceneOf(lastShownState()))
        return;
    // A scene with no picture is never entered by the story, and the screen jump refuses it;
    // anything else that stores such a state gets no scene change at all.
    if (scene < 0 || scene >= kSceneSlots || ScenePictureKey[static_cast<std::size_t>(scene)].isEmpty())
        return;
    lastShownState() = screen;
    MainWindow& form = Window<MainWindow>::get();
    loadScenePicture(form, scene);
    form.setWindowTitle(sceneWindowCaption(SceneCaption[static_cast<std::size_t>(scene)]));
    scenario().RunSceneEntry();
}

} // namespace lw

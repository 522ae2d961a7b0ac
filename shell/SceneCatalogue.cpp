// Scene catalogue and watcher.
#include "SceneCatalogue.h"

#include "GameWindows.h"
#include "MarkedText.h"
#include "PictureLoader.h"
#include "Scenario.h"
#include "ScenePictures.h"
#include "SceneTable.h"

namespace lw {
namespace {

QString pictureExt() { return QString::fromUtf16(kPictureExt.data(), static_cast<qsizetype>(kPictureExt.size())); }

const QString kSceneCaptionStart = QStringLiteral("Lunaweave　【");
const QString kSceneCaptionEnd = QStringLiteral("】");

} // namespace

SceneCatalogue::SceneCatalogue(GameWindows& windows, const GameState& state, Scenario& scenario, ProgramEnd& errors)
    : windows_(windows), state_(state), scenario_(scenario), errors_(errors),
      pictures_(std::make_unique<ScenePictures>(errors))
{
}

SceneCatalogue::~SceneCatalogue() = default;

QString sceneWindowCaption(const QString& caption) { return kSceneCaptionStart + caption + kSceneCaptionEnd; }

QString captionOfSceneWindow(const QString& windowCaption)
{
    if (!windowCaption.startsWith(kSceneCaptionStart) || !windowCaption.endsWith(kSceneCaptionEnd))
        return {};
    return windowCaption.sliced(kSceneCaptionStart.size(),
                                windowCaption.size() - kSceneCaptionStart.size() - kSceneCaptionEnd.size());
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

QString SceneCatalogue::captionOnScreen() const
{
    const int scene = sceneOf(lastShownState_);
    return scene > 0 && scene < kSceneSlots ? captions[static_cast<std::size_t>(scene)] : QString();
}

QString SceneCatalogue::pictureFile(int scene) const
{
    return pictureKeys[static_cast<std::size_t>(scene)] + pictureExt();
}

// Shows the scene's picture, decoded ahead where the story could come here, and has the pictures
// of the scenes it can go to next decoded while the player reads.
void SceneCatalogue::loadScenePicture(MainWindow& main, int scene)
{
    const double density = main.scenePicture->density();
    main.scenePicture->setPicture(pictures_->take(pictureFile(scene), density));
    QStringList next;
    for (const int after : scenesAfter(scene))
        if (after >= 0 && after < kSceneSlots && !pictureKeys[static_cast<std::size_t>(after)].isEmpty())
            next << pictureFile(after);
    pictures_->prefetch(next, density);
}

void SceneCatalogue::loadRollWindow()
{
    for (int i = 0; i < kRollPictures; ++i) {
        const std::u16string_view key = kRollPictureKeys[static_cast<std::size_t>(i)];
        rollPictureKeys[static_cast<std::size_t>(i)] =
            QString::fromUtf16(key.data(), static_cast<qsizetype>(key.size()));
    }
    windows_.roll.load();
}

bool SceneCatalogue::loadRollPicture(int index)
{
    StaffRollWindow* roll = windows_.roll.ifLoaded();
    if (!roll)
        return false;
    // Both densities: the roll reads no file at the ending, whatever the density is by then.
    const QString file = rollPictureKeys[static_cast<std::size_t>(index)] + pictureExt();
    roll->cachedPicture(index)->setPicture(LoadPicture(file, 1.0, errors_), readSharpPictureFile(file));
    return true;
}

void SceneCatalogue::build()
{
    loadRollWindow();
    for (int i = 0; i < kRollPictures; ++i) {
        if (!loadRollPicture(i))
            return;
    }
    fillSceneTable();
}

void SceneCatalogue::fillSceneTable()
{
    for (const SceneRow& row : kSceneTable) {
        const auto s = static_cast<std::size_t>(row.scene);
        pictureKeys[s] = QString::fromUtf16(row.pictureKey.data(), static_cast<qsizetype>(row.pictureKey.size()));
        captions[s] = shownText(row.caption);
    }
}

void SceneCatalogue::reloadScenePicture(MainWindow& main)
{
    const int scene = sceneOf(lastShownState_);
    if (!main.scenePicture->picture().isNull() && scene >= 0 && scene < kSceneSlots &&
        !pictureKeys[static_cast<std::size_t>(scene)].isEmpty())
        loadScenePicture(main, scene);
}

void SceneCatalogue::showSceneIfChanged()
{
    const std::int16_t screen = state_.ScreenId;
    if (screen > kLastWatchedScreen)
        return;
    const int scene = sceneOf(screen);
    if (scene == sceneOf(lastShownState_))
        return;
    // A scene with no picture is never entered by the story, and the screen jump refuses it;
    // anything else that stores such a state gets no scene change at all.
    if (scene < 0 || scene >= kSceneSlots || pictureKeys[static_cast<std::size_t>(scene)].isEmpty())
        return;
    lastShownState_ = screen;
    MainWindow& main = windows_.main.get();
    loadScenePicture(main, scene);
    main.setWindowTitle(sceneWindowCaption(captions[static_cast<std::size_t>(scene)]));
    scenario_.RunSceneEntry();
}

} // namespace lw

// Scene catalogue and watcher.
#include "SceneCatalogue.h"

#include "Form1.h"
#include "Form4.h"
#include "GameState.h"
#include "Lunaweave.h"
#include "PictureLoader.h"
#include "Runtime.h"
#include "Scenario.h"
#include "SceneTable.h"

namespace lw {

std::array<QString, kSceneSlots> ScenePictureKey;
std::array<QString, kSceneSlots> SceneCaption;
std::array<QString, kSceneSlots> RollPictureKey;

std::int16_t& LastShownState()
{
    static std::int16_t state = 0;
    return state;
}

QString sceneWindowCaption(const QString& caption)
{
    return QStringLiteral("Lunaweave　【") + caption + QStringLiteral("】");
}

void BuildSceneCatalogue()
{
    for (int i = 0; i < kRollPictures; ++i)
        RollPictureKey[static_cast<std::size_t>(i)] = QString::fromUtf16(kRollPictureKeys[static_cast<std::size_t>(i)].data(),
                                                                 static_cast<qsizetype>(kRollPictureKeys[static_cast<std::size_t>(i)].size()));
    runtime::DoEvents();
    Window<Form4>::Load();
    for (int i = 0; i < kRollPictures; ++i) {
        runtime::DoEvents();
        // The roll window may have been closed by now only if the program is ending.
        Form4* roll = Window<Form4>::ifLoaded();
        if (!roll)
            return;
        // Both densities: the roll reads no file at the ending, whatever the density is by then.
        const QString file = RollPictureKey[static_cast<std::size_t>(i)] + PictureExt;
        roll->Image2(i)->setPicture(LoadPicture(file), readSharpPictureFile(file));
    }
    for (const SceneRow& row : kSceneTable) {
        const auto s = static_cast<std::size_t>(row.scene);
        ScenePictureKey[s] = QString::fromUtf16(row.pictureKey.data(), static_cast<qsizetype>(row.pictureKey.size()));
        SceneCaption[s] = QString::fromUtf16(row.caption.data(), static_cast<qsizetype>(row.caption.size()));
    }
}

void ShowSceneIfChanged()
{
    const std::int16_t screen = gameState().ScreenId;
    if (screen > kLastWatchedScreen)
        return;
    const int scene = sceneOf(screen);
    if (scene == sceneOf(LastShownState()))
        return;
    // A scene with no picture is never entered by the story, and the screen jump refuses it;
    // anything else that stores such a state gets no scene change at all.
    if (scene < 0 || scene >= kSceneSlots || ScenePictureKey[static_cast<std::size_t>(scene)].isEmpty())
        return;
    LastShownState() = screen;
    Form1& form = Window<Form1>::get();
    form.Image1->setPicture(
        LoadPicture(ScenePictureKey[static_cast<std::size_t>(scene)] + PictureExt, form.Image1->density()));
    form.setWindowTitle(sceneWindowCaption(SceneCaption[static_cast<std::size_t>(scene)]));
    scenario().RunSceneEntry();
}

} // namespace lw

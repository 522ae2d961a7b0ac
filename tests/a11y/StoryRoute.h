// The walkthrough's first stretch played headless on the scenario alone: which command and third
// of the picture each click uses, and what the game should show after it. Tests drive the real
// windows along this route and compare.
#pragma once

#include "Game.h"
#include "GameState.h"
#include "MarkedText.h"
#include "Ruby.h"
#include "Scenario.h"
#include "SceneCatalogue.h"
#include "SceneTable.h"

#include <QString>

#include <cassert>
#include <vector>

namespace lw::route {

struct Step {
    int command = 0;      // 1-5 as on the icon bar; 0 for the opening of the first scene
    int column = 0;       // 1 left, 2 middle, 3 right
    QString line;         // the message window's text afterwards, LF between speaker and speech
    QString title;        // the main window's caption afterwards
    int state = 0;        // ScreenId afterwards
    int linesShown = 0;   // lines the click showed, the new scene's included (some rows show none)
    QString reading;      // the line as kana speech says it
    QString titleReading; // the caption's 【】 part as kana speech says it
};

namespace detail {

class LastLine : public ScenarioOutput {
public:
    QString line;
    QString reading;
    int shown = 0;
    void ShowLine(std::string_view speaker, std::string_view text) override
    {
        line = formatLine(QString::fromStdString(story::displayText(speaker)),
                          QString::fromStdString(story::displayText(text)));
        line.remove(QLatin1Char('\r'));
        reading = formatLine(QString::fromStdString(story::kanaReading(speaker)),
                             QString::fromStdString(story::kanaReading(text)));
        reading.remove(QLatin1Char('\r'));
        ++shown;
    }
    void playMidiFile(std::string_view) override {}
    void startMusicTimer(int) override {}
    void hideNonNextIcons() override {}
    void yieldToWindowSystem() override {}
};

inline QString captionOf(int scene)
{
    for (const SceneRow& row : kSceneTable)
        if (row.scene == scene)
            return QString::fromUtf16(row.caption.data(), qsizetype(row.caption.size())); // with its marks
    return {};
}

} // namespace detail

// Clicks until the story reaches `untilState` (at most 384, where every icon still answers),
// trying Next first and then the icons left to right at each state, as a player would, and
// moving the click one third to the right each time.
inline std::vector<Step> storyRoute(int untilState)
{
    assert(untilState <= kLastScreenWithAllIcons);
    GameState state;
    state.ScreenId = kFirstScreen;
    detail::LastLine output;
    Scenario story(state, output);
    int sceneShown = -1;
    QString title;
    QString titleReading;
    const auto watch = [&] {
        if (sceneOf(state.ScreenId) != sceneShown) {
            sceneShown = sceneOf(state.ScreenId);
            const QString marked = detail::captionOf(sceneShown);
            title = sceneWindowCaption(shownText(marked));
            titleReading = QStringLiteral("【") + QString::fromStdString(story::kanaReading(marked.toStdString())) +
                           QStringLiteral("】");
            story.RunSceneEntry();
        }
    };
    watch();
    std::vector<Step> steps{{0, 0, output.line, title, state.ScreenId, output.shown, output.reading, titleReading}};
    int column = 1;
    while (state.ScreenId < untilState && steps.size() < 2000) {
        const int before = state.ScreenId;
        for (int command :
             {int(Command::Next), int(Command::Look), int(Command::Talk), int(Command::Think), int(Command::Magic)}) {
            state.selectedCommand = Command(command);
            state.clickColumn = ClickColumn(column);
            const int shownBefore = output.shown;
            story.RunCommand(Command(command));
            watch();
            steps.push_back({command, column, output.line, title, state.ScreenId, output.shown - shownBefore,
                             output.reading, titleReading});
            column = column % 3 + 1;
            if (state.ScreenId != before)
                break;
        }
    }
    return steps;
}

} // namespace lw::route

// The game: its stages from the series notice to the clear screen, the scenario that drives play,
// and the link between the story and the windows.
#pragma once

#include "GameState.h"
#include "Scenario.h"

#include <QObject>
#include <QString>

#include <string_view>

namespace lw {

// The stages of a run, one after the other, each ended by a window's signal.
enum class Stage {
    NotStarted,
    Demo,        // the opening logo demo, while the staff roll's pictures load
    Title,       // the title window, until a click on it
    Playing,     // the main and message windows, until the story reaches the ending
    StaffRoll,   // the ending's staff roll, until it has passed the end of its music
    ClearScreen, // the last window: it ends the program
};

class Game : public QObject {
    Q_OBJECT
public:
    Game();
    ~Game() override;

    // Shows the series notice when it is wanted (a modal box), then the opening demo, and
    // returns. The other stages follow under the application's event loop.
    void start();
    Stage stage() const { return stage_; }

    // The story state may have changed (a click's answer, the screen jump): shows the new
    // scene if the scene index changed, and once the state has reached the ending, starts the
    // staff roll after the events already queued (clicks then do nothing).
    void storyStateChanged();

signals:
    void stageChanged(lw::Stage stage);

private:
    void enter(Stage stage);
    void loadCataloguePart();
    void demoGone();
    void showTitleWhenReady();
    void startPlaying();
    void startEnding();
    void showClearScreen();

    bool demoGone_ = false;
    bool catalogueDone_ = false;
    int nextCataloguePart_ = 0;
    bool endingQueued_ = false;
    Stage stage_ = Stage::NotStarted;
};

// Sets the story to its first state, then loads, lays out and shows the main and message windows
// with every command not selected.
void OpenGameWindows();

// Places the main and message windows for a screen of this size (twips) and sizes the message
// window and its label; the windows' design sizes go in, outer sizes count.
void layOutAndShowGameWindows(double screenWidth, double screenHeight);

// The one scenario of the run, acting on gameState() and writing to the game windows; a new
// story state shows its scene at once and is reported to the game that is running, if any.
Scenario& scenario();

// Replaces the message window's line; an empty speaker shows the text as narration.
void ShowLine(const QString& speaker, const QString& text);
// The whole caption ShowLine gives a line.
QString formatLine(const QString& speaker, const QString& text);

// Shown when the picture is clicked with no command chosen; the text with its ruby marks.
void ShowCommandHint();
inline constexpr std::string_view kCommandHint =
    "上《うえ》の方《ほう》にあるアイコンを選択《せんたく》してから、画面《がめん》のどこかをクリックしてね。";

} // namespace lw

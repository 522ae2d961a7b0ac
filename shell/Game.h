// The game: it owns the windows, the story state and the scenario, the scene catalogue and the
// player's additions, and steps through its stages from the series notice to the clear screen.
#pragma once

#include "GameState.h"
#include "GameWindows.h"
#include "PlayerAdditions.h"
#include "Scenario.h"
#include "SceneCatalogue.h"
#include "Services.h"

#include <QObject>
#include <QString>

#include <string_view>

namespace lw {

// The stages of a run, one after the other, each ended by a window's signal.
enum class Stage {
    NotStarted,  // the game's parts exist; nothing is on screen yet
    Demo,        // the opening logo demo, while the staff roll's pictures load
    Title,       // the title window, until a click on it
    Playing,     // the main and message windows, until the story reaches the ending
    StaffRoll,   // the ending's staff roll, until it has passed the end of its music
    ClearScreen, // the last window: it ends the program
};

// Shown when the picture is clicked with no command chosen; the text with its ruby marks.
inline constexpr std::string_view kCommandHint =
    "上《うえ》の方《ほう》にあるアイコンを選択《せんたく》してから、画面《がめん》のどこかをクリックしてね。";

class Game : public QObject {
    Q_OBJECT
public:
    explicit Game(const Services& services);
    ~Game() override;

    // Shows the series notice when it is wanted (a modal box), then the opening demo, and
    // returns. The other stages follow under the application's event loop.
    void start();
    Stage stage() const { return stage_; }

    const Services& services() const { return services_; }
    GameState& state() { return state_; }
    Scenario& scenario() { return scenario_; }
    GameWindows& windows() { return windows_; }
    SceneCatalogue& scenes() { return scenes_; }
    PlayerAdditions& additions() { return additions_; }

    // The story state may have changed (a click's answer, the screen jump): shows the new scene
    // if the scene index changed, and once the state has reached the ending while playing,
    // starts the staff roll after the events already queued (clicks then do nothing). A game
    // whose stages have not started (its parts driven one by one) shows scenes but starts no
    // ending.
    void storyStateChanged();

    // Sets the story to its first state, then loads, lays out and shows the main and message
    // windows with every command not selected.
    void openGameWindows();
    // Places the main and message windows for a screen of this size (twips) and sizes the message
    // window and its label; the windows' design sizes go in, outer sizes count.
    void layOutGameWindows(double screenWidth, double screenHeight);

    // Replaces the message window's line; an empty speaker shows the text as narration.
    void showLine(const QString& speaker, const QString& text);
    // The hint for a click on the picture with no command chosen.
    void showCommandHint();

    // What the main window's clicks do: an icon picks a command, the picture runs it.
    void commandIconClicked(int index);
    void pictureClicked(ClickColumn column);
    // The screen jump: the story goes to `state`.
    void screenJump(std::int16_t state);

signals:
    void stageChanged(lw::Stage stage);

private:
    // The scenario's hands on the windows and the music.
    class Output : public ScenarioOutput {
    public:
        explicit Output(Game& game) : game_(game) {}
        void ShowLine(std::string_view speaker, std::string_view text) override;
        void playMidiFile(std::string_view file) override;
        void startMusicTimer(int intervalMs) override;
        void hideNonNextIcons() override;
        // Nothing to do: the game starts the ending from the event loop, after the events queued
        // by then, so the clicks of the last step run (and are ignored) first.
        void yieldToWindowSystem() override {}
        void stateChanged() override { game_.storyStateChanged(); }

    private:
        Game& game_;
    };

    void wireMainWindow(MainWindow& main);
    void wireMessageWindow(MessageWindow& message);
    void enter(Stage stage);
    void loadCataloguePart();
    void demoGone();
    void showTitleWhenReady();
    void startPlaying();
    void startEnding();
    void showClearScreen();

    Services services_;
    GameState state_;
    Output output_{*this};
    Scenario scenario_{state_, output_};
    GameWindows windows_;
    SceneCatalogue scenes_{windows_, state_, scenario_, services_.programEnd};
    PlayerAdditions additions_{windows_, state_, scenes_, services_.soundControl};

    bool demoGone_ = false;
    bool catalogueDone_ = false;
    int nextCataloguePart_ = 0;
    bool endingQueued_ = false;
    Stage stage_ = Stage::NotStarted;
};

} // namespace lw

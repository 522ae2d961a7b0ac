// The game's stages, from the series notice to the clear screen, and the scenario's hands on the
// windows and the music.
#include "Game.h"

#include "ClearWindow.h"
#include "Dialogs.h"
#include "Fonts.h"
#include "Layout.h"
#include "LineBreak.h"
#include "LogoDemo.h"
#include "MainWindow.h"
#include "MessageWindow.h"
#include "Music.h"
#include "PlayerAdditions.h"
#include "Ruby.h"
#include "SceneCatalogue.h"
#include "SceneTable.h"
#include "Settings.h"
#include "ShellServices.h"
#include "StaffRollWindow.h"
#include "TitleWindow.h"
#include "Twips.h"

#include <QTimer>

namespace lw {

namespace {

// The scenario's hands on the game windows and the music module.
class GameOutput : public ScenarioOutput {
public:
    Game* game = nullptr; // the game that is running, told of every new story state

    void ShowLine(std::string_view speaker, std::string_view text) override
    {
        // The script's lines carry ruby marks; the windows show them without. The marks stay with
        // the reading help, for the furigana, and with the speech, which reads them.
        noteLineMarks(QString::fromUtf8(speaker.data(), static_cast<qsizetype>(speaker.size())),
                      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        noteMarkedLine(speaker, text);
        lw::ShowLine(QString::fromStdString(story::displayText(speaker)),
                     QString::fromStdString(story::displayText(text)));
    }
    void playMidiFile(std::string_view file) override
    {
        music().backgroundPiece = std::string(file);
        music().play(music().backgroundPiece);
    }
    void startMusicTimer(int intervalMs) override { Window<MainWindow>::get().musicRepeatTimer.start(intervalMs); }
    void hideNonNextIcons() override { Window<MainWindow>::get().hideNonNextIcons(); }
    // Nothing to do: the game starts the ending from the event loop, after the events queued by
    // then, so the clicks of the last step run (and are ignored) first.
    void yieldToWindowSystem() override {}
    void stateChanged() override
    {
        if (game)
            game->storyStateChanged();
        else
            ShowSceneIfChanged();
    }
};

GameOutput& gameOutput()
{
    static GameOutput output;
    return output;
}

} // namespace

Scenario& scenario()
{
    static Scenario story(gameState(), gameOutput());
    return story;
}

void layOutAndShowGameWindows(double screenWidth, double screenHeight)
{
    MainWindow& main = Window<MainWindow>::get();
    MessageWindow& message = Window<MessageWindow>::get();
    const GameLayout layout = layOutGameWindows(
        screenWidth, screenHeight, {main.leftTwips(), main.topTwips(), main.widthTwips(), main.heightTwips()},
        {message.leftTwips(), message.topTwips(), message.widthTwips(), message.heightTwips()},
        pixelsToTwips(message.lineLabel->width()));
    main.setLeftTwips(layout.form1.left);
    main.setTopTwips(layout.form1.top);
    message.setLeftTwips(layout.form2.left);
    message.setTopTwips(layout.form2.top);
    message.setWidthTwips(layout.form2.width);
    message.setHeightTwips(layout.form2.height);
    message.lineLabel->setFixedWidth(twipsToPixels(layout.form2LabelWidth));
}

bool seriesNoticeWanted(const QString& settingValue) { return settingValue != QStringLiteral("OFF"); }

bool seriesNoticeWillShow()
{
    return seriesNoticeWanted(
        settingsStore().GetSetting(QStringLiteral("Kestrune"), QStringLiteral("Solvenne"), QStringLiteral("LWFLock")));
}

QString seriesNoticeText()
{
    return QStringLiteral("このたびはダウンロードありがとうございました。") + kLineBreak +
           QStringLiteral("このゲームはシリーズの3作目です。できれば、前作「Solvenne」をクリアしておいてくださいね。") +
           kLineBreak + QStringLiteral("SolvenneもFilewharfでダウンロードできます。");
}

void OpenGameWindows()
{
    gameState().ScreenId = kFirstScreen;
    Window<MainWindow>::Load();
    Window<MessageWindow>::Load();
    layOutAndShowGameWindows(screenWidthTwips(), screenHeightTwips());
    noteGameWindowsLaidOut(); // the zoom, if one was chosen before play
    Window<MainWindow>::get().showActive();
    Window<MessageWindow>::get().showActive();
    Window<MainWindow>::get().resetIconBar();
}

Game::Game() { gameOutput().game = this; }

Game::~Game()
{
    if (gameOutput().game == this)
        gameOutput().game = nullptr;
}

void Game::enter(Stage stage)
{
    stage_ = stage;
    emit stageChanged(stage);
}

void Game::start()
{
    if (seriesNoticeWillShow()) {
        // The notice's text and icons wait for these; they load on another core while the
        // message box is built.
        warmUpFontsAndPictureFormats();
        dialogs().MsgBox(seriesNoticeText(), QStringLiteral("Lunaweave"));
    }

    enter(Stage::Demo);
    LogoDemo& demo = Window<LogoDemo>::get();
    // However the demo goes (it unloads itself at its end), the title comes next.
    connect(&demo, &GameWindow::unloaded, this, &Game::demoGone);
    demo.showActive();
    QTimer::singleShot(0, this, &Game::loadCataloguePart);
}

void Game::loadCataloguePart()
{
    // One part per turn of the event loop, so the demo's ticks run between the loads: the roll
    // window first, then its pictures one by one, and the scene table with the last of them.
    const int part = nextCataloguePart_++;
    if (part == 0) {
        loadRollWindow();
    } else {
        if (!loadRollPicture(part - 1))
            return; // the roll window is gone: the program is ending
        if (part == kRollPictures) {
            fillSceneTable();
            catalogueDone_ = true;
            showTitleWhenReady();
            return;
        }
    }
    QTimer::singleShot(0, this, &Game::loadCataloguePart);
}

void Game::demoGone()
{
    demoGone_ = true;
    showTitleWhenReady();
}

void Game::showTitleWhenReady()
{
    if (!demoGone_ || !catalogueDone_ || stage_ != Stage::Demo)
        return;
    enter(Stage::Title);
    TitleWindow& title = Window<TitleWindow>::get();
    // Only a click starts the game; closed any other way, the title ends the program.
    connect(&title, &TitleWindow::finished, this, &Game::startPlaying);
    title.showActive();
}

void Game::startPlaying()
{
    if (stage_ != Stage::Title)
        return;
    enter(Stage::Playing);
    OpenGameWindows();
    connect(&Window<MessageWindow>::get(), &MessageWindow::screenJumped, this, &Game::storyStateChanged);
    // The first scene shows once the windows are up, as every later one does when the state
    // changes.
    QTimer::singleShot(0, this, &Game::storyStateChanged);
}

void Game::storyStateChanged()
{
    if (stage_ != Stage::Playing)
        return;
    ShowSceneIfChanged();
    if (gameState().ScreenId >= kEndingScreen && !endingQueued_) {
        endingQueued_ = true;
        QTimer::singleShot(0, this, &Game::startEnding);
    }
}

void Game::startEnding()
{
    enter(Stage::StaffRoll);
    StaffRollWindow& roll = Window<StaffRollWindow>::get();
    // The roll takes the place of the game windows when its first entry is due.
    connect(&roll, &StaffRollWindow::hideGameWindows, this, [] {
        Window<MainWindow>::get().hide();
        Window<MessageWindow>::get().hide();
    });
    connect(&roll, &StaffRollWindow::stopMusicRepeat, this, [] { Window<MainWindow>::get().musicRepeatTimer.stop(); });
    connect(&roll, &StaffRollWindow::finished, this, &Game::showClearScreen);
    StartStaffRoll();
}

void Game::showClearScreen()
{
    if (stage_ != Stage::StaffRoll)
        return;
    Window<StaffRollWindow>::Unload();
    enter(Stage::ClearScreen);
    Window<ClearWindow>::get().showActive();
}

} // namespace lw

// The game's stages, from the series notice to the clear screen, and the scenario's hands on the
// windows and the music.
#include "Game.h"

#include "Fonts.h"
#include "Layout.h"
#include "Ruby.h"
#include "SceneTable.h"
#include "SeriesNotice.h"
#include "Twips.h"

#include <QTimer>

namespace lw {
void Game::Output::ShowLine(std::string_view speaker, std::string_view text)
{
    // The script's lines carry ruby marks; the windows show them without. The marks stay with the
    // reading help, for the furigana, and with the speech, which reads them.
    game_.additions_.markedLineComing(QString::fromUtf8(speaker), QString::fromUtf8(text));
    game_.showLine(QString::fromStdString(story::displayText(speaker)),
                   QString::fromStdString(story::displayText(text)));
}

void Game::Output::playMidiFile(std::string_view file)
{
    Music& music = game_.services_.music;
    music.backgroundPiece = std::string(file);
    music.play(music.backgroundPiece);
}

void Game::Output::startMusicTimer(int intervalMs) { game_.windows_.main.get().musicRepeatTimer.start(intervalMs); }

void Game::Output::hideNonNextIcons() { game_.windows_.main.get().hideNonNextIcons(); }

Game::Game(const Services& services)
    : services_(services), windows_(
                               services_, [this](MainWindow& main) { wireMainWindow(main); },
                               [this](MessageWindow& message) { wireMessageWindow(message); })
{
}

Game::~Game() = default;

void Game::wireMainWindow(MainWindow& main)
{
    connect(&main, &MainWindow::commandPicked, this, &Game::commandIconClicked);
    connect(&main, &MainWindow::pictureClicked, this, &Game::pictureClicked);
    // The message window follows the main window into and out of the task bar.
    connect(&main, &MainWindow::minimized, this, [this] { windows_.message.get().hide(); });
    connect(&main, &MainWindow::restored, this, [this] { windows_.message.get().showActive(); });
}

void Game::wireMessageWindow(MessageWindow& message)
{
    connect(&message, &MessageWindow::screenJumpRequested, this, &Game::screenJump);
}

void Game::layOutGameWindows(double screenWidth, double screenHeight)
{
    MainWindow& main = windows_.main.get();
    MessageWindow& message = windows_.message.get();
    const GameLayout layout = lw::layOutGameWindows(
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

void Game::openGameWindows()
{
    state_.ScreenId = kFirstScreen;
    windows_.main.load();
    windows_.message.load();
    layOutGameWindows(screenWidthTwips(), screenHeightTwips());
    additions_.gameWindowsLaidOut(); // the zoom, if one was chosen before play
    windows_.main.get().showActive();
    windows_.message.get().showActive();
    windows_.main.get().resetIconBar();
}

void Game::showLine(const QString& speaker, const QString& text)
{
    windows_.message.get().setLine(formatLine(speaker, text));
    additions_.lineShown(speaker, text);
}

void Game::showCommandHint()
{
    additions_.markedLineComing(QString(), QString::fromUtf8(kCommandHint));
    showLine(QString(), QString::fromStdString(story::displayText(kCommandHint)));
}

void Game::commandIconClicked(int index)
{
    if (state_.ScreenId > kLastScreenWithAllIcons && index != kNextIconNotSelected)
        return;
    additions_.commandPicked(index % kCommandSlots);
    if (index < kCommandSlots) // the slot is already selected
        return;
    state_.selectedCommand = static_cast<Command>(index - kCommandSlots + 1);
    windows_.main.get().showSelected(index, state_.ScreenId <= kLastScreenWithAllIcons);
}

void Game::pictureClicked(ClickColumn column)
{
    state_.clickColumn = column;
    if (state_.ScreenId >= kEndingScreen)
        return;
    if (!scenario_.RunCommand(state_.selectedCommand))
        showCommandHint();
}

void Game::screenJump(std::int16_t state)
{
    state_.ScreenId = state;
    additions_.screenJumped(state);
    storyStateChanged();
}

void Game::enter(Stage stage)
{
    stage_ = stage;
    emit stageChanged(stage);
}

void Game::start()
{
    if (seriesNoticeWillShow(services_.settings)) {
        // The notice's text and icons wait for these; they load on another core while the
        // message box is built.
        warmUpFontsAndPictureFormats();
        services_.dialogs.MsgBox(seriesNoticeText(), QStringLiteral("Lunaweave"));
    }

    enter(Stage::Demo);
    LogoDemo& demo = windows_.demo.get();
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
        scenes_.loadRollWindow();
    } else {
        if (!scenes_.loadRollPicture(part - 1))
            return; // the roll window is gone: the program is ending
        if (part == kRollPictures) {
            scenes_.fillSceneTable();
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
    TitleWindow& title = windows_.title.get();
    // Only a click starts the game; closed any other way, the title ends the program.
    connect(&title, &TitleWindow::finished, this, &Game::startPlaying);
    title.showActive();
}

void Game::startPlaying()
{
    if (stage_ != Stage::Title)
        return;
    enter(Stage::Playing);
    openGameWindows();
    // The first scene shows once the windows are up, as every later one does when the state
    // changes.
    QTimer::singleShot(0, this, &Game::storyStateChanged);
}

void Game::storyStateChanged()
{
    if (stage_ != Stage::Playing && stage_ != Stage::NotStarted)
        return;
    scenes_.showSceneIfChanged();
    if (stage_ == Stage::Playing && state_.ScreenId >= kEndingScreen && !endingQueued_) {
        endingQueued_ = true;
        QTimer::singleShot(0, this, &Game::startEnding);
    }
}

void Game::startEnding()
{
    enter(Stage::StaffRoll);
    StaffRollWindow& roll = windows_.roll.get();
    // The roll takes the place of the game windows when its first entry is due.
    connect(&roll, &StaffRollWindow::hideGameWindows, this, [this] {
        windows_.main.get().hide();
        windows_.message.get().hide();
    });
    connect(&roll, &StaffRollWindow::stopMusicRepeat, this, [this] { windows_.main.get().musicRepeatTimer.stop(); });
    connect(&roll, &StaffRollWindow::finished, this, &Game::showClearScreen);
    roll.start();
}

void Game::showClearScreen()
{
    if (stage_ != Stage::StaffRoll)
        return;
    windows_.roll.unload();
    enter(Stage::ClearScreen);
    windows_.clear.get().showActive();
}

} // namespace lw

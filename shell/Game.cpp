// Start-up: the series notice, the opening demo, the title, the game and the ending.
#include "Game.h"

#include "ClearWindow.h"
#include "Dialogs.h"
#include "Fonts.h"
#include "GameState.h"
#include "Layout.h"
#include "LineBreak.h"
#include "LogoDemo.h"
#include "MainWindow.h"
#include "MessageWindow.h"
#include "Music.h"
#include "Runtime.h"
#include "Scenario.h"
#include "SceneCatalogue.h"
#include "Settings.h"
#include "ShellServices.h"
#include "StaffRollWindow.h"
#include "TitleWindow.h"
#include "Twips.h"

namespace lw {

namespace {

// The scenario's hands on the game windows and the music module.
class GameOutput : public ScenarioOutput {
public:
    void ShowLine(std::string_view speaker, std::string_view text) override
    {
        lw::ShowLine(QString::fromUtf8(speaker.data(), static_cast<qsizetype>(speaker.size())),
                     QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    void playMidiFile(std::string_view file) override
    {
        music().backgroundPiece = std::string(file);
        music().play(music().backgroundPiece);
    }
    void startMusicTimer(int intervalMs) override
    {
        QTimer& timer = Window<MainWindow>::get().musicRepeatTimer;
        timer.start(intervalMs);
    }
    void hideNonNextIcons() override { Window<MainWindow>::get().hideNonNextIcons(); }
    void yieldToWindowSystem() override { runtime::DoEvents(); }
};

} // namespace

Scenario& scenario()
{
    static GameOutput output;
    static Scenario story(gameState(), output);
    return story;
}

void layOutAndShowGameWindows(double screenWidth, double screenHeight)
{
    MainWindow& form1 = Window<MainWindow>::get();
    MessageWindow& form2 = Window<MessageWindow>::get();
    const GameLayout layout = layOutGameWindows(
        screenWidth, screenHeight, {form1.leftTwips(), form1.topTwips(), form1.widthTwips(), form1.heightTwips()},
        {form2.leftTwips(), form2.topTwips(), form2.widthTwips(), form2.heightTwips()},
        pixelsToTwips(form2.lineLabel->width()));
    form1.setLeftTwips(layout.form1.left);
    form1.setTopTwips(layout.form1.top);
    form2.setLeftTwips(layout.form2.left);
    form2.setTopTwips(layout.form2.top);
    form2.setWidthTwips(layout.form2.width);
    form2.setHeightTwips(layout.form2.height);
    form2.lineLabel->setFixedWidth(twipsToPixels(layout.form2LabelWidth));
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
    Window<MainWindow>::get().showActive();
    Window<MessageWindow>::get().showActive();
    Window<MainWindow>::get().resetIconBar();

    // What the staff roll does to the game windows when it takes their place.
    setGameWindowActions({[] {
                              Window<MainWindow>::get().hide();
                              Window<MessageWindow>::get().hide();
                          },
                          [] { Window<MainWindow>::get().musicRepeatTimer.stop(); }});
}

void playGame()
{
    GameState& game = gameState();

    if (seriesNoticeWillShow()) {
        // The notice's text and icons wait for these; they load on another core while the
        // message box is built.
        warmUpFontsAndPictureFormats();
        dialogs().MsgBox(seriesNoticeText(), QStringLiteral("Lunaweave"));
    }

    Window<LogoDemo>::get().showActive();
    BuildSceneCatalogue();
    runtime::waitWhile([] { return Window<LogoDemo>::exists() && Window<LogoDemo>::get().isVisible(); });
    Window<LogoDemo>::Unload();

    Window<TitleWindow>::get().showActive();
    runtime::waitWhile([] { return Window<TitleWindow>::exists() && Window<TitleWindow>::get().isVisible(); });
    Window<TitleWindow>::Unload();

    OpenGameWindows();

    // The main loop sleeps in the event loop and looks at the story state after every batch
    // of events, which is when a click or the screen jump can have changed it.
    runtime::DoEvents();
    ShowSceneIfChanged();
    while (game.ScreenId < kEndingScreen) {
        runtime::waitForEvents();
        ShowSceneIfChanged();
    }

    StartStaffRoll();
    game.staffRollRunning = true;
    runtime::waitWhile([&game] { return game.staffRollRunning; });
    Window<StaffRollWindow>::Unload();

    Window<ClearWindow>::get().showActive();
}

} // namespace lw

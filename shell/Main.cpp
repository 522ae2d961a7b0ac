// Start-up: the series notice, the opening demo, the title, the game and the ending.
#include "Lunaweave.h"

#include "Dialogs.h"
#include "Fonts.h"
#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "Form4.h"
#include "Form5.h"
#include "GameState.h"
#include "KS_Midi.h"
#include "Layout.h"
#include "LwDemo.h"
#include "PlayerAdditions.h"
#include "Ruby.h"
#include "Runtime.h"
#include "Scenario.h"
#include "SceneCatalogue.h"
#include "Settings.h"
#include "ShellServices.h"
#include "Twips.h"

namespace lw {

QString LineBreak = QStringLiteral("\r\n");
QString PictureExt = QStringLiteral(".LWV");

namespace {

// The scenario's hands on the game windows and the music module.
class GameOutput : public ScenarioOutput {
public:
    // The script's lines carry ruby marks; the windows show them without.
    void ShowLine(std::string_view speaker, std::string_view text) override
    {
        // The marks stay with the reading help, for the furigana; the windows get the text as shown.
        noteLineMarks(QString::fromUtf8(speaker.data(), static_cast<qsizetype>(speaker.size())),
                      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        lw::ShowLine(QString::fromStdString(story::displayText(speaker)),
                     QString::fromStdString(story::displayText(text)));
    }
    void playMidiFile(std::string_view file) override
    {
        music().MidiFile = std::string(file);
        music().PlayMidi(music().MidiFile);
    }
    void startMusicTimer(int intervalMs) override
    {
        QTimer& timer = Window<Form1>::get().Timer1;
        timer.start(intervalMs);
    }
    void hideNonNextIcons() override { Window<Form1>::get().hideNonNextIcons(); }
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
    Form1& form1 = Window<Form1>::get();
    Form2& form2 = Window<Form2>::get();
    const GameLayout layout = layOutGameWindows(
        screenWidth, screenHeight, {form1.Left(), form1.Top(), form1.Width(), form1.Height()},
        {form2.Left(), form2.Top(), form2.Width(), form2.Height()}, pixelsToTwips(form2.Label1->width()));
    form1.setLeft(layout.form1.left);
    form1.setTop(layout.form1.top);
    form2.setLeft(layout.form2.left);
    form2.setTop(layout.form2.top);
    form2.setWidth(layout.form2.width);
    form2.setHeight(layout.form2.height);
    form2.Label1->setFixedWidth(twipsToPixels(layout.form2LabelWidth));
}

bool seriesNoticeWanted(const QString& settingValue) { return settingValue != QStringLiteral("OFF"); }

bool seriesNoticeWillShow()
{
    return seriesNoticeWanted(
        settingsStore().GetSetting(QStringLiteral("Kestrune"), QStringLiteral("Solvenne"), QStringLiteral("LWFLock")));
}

QString seriesNoticeText()
{
    return QStringLiteral("このたびはダウンロードありがとうございました。") + QStringLiteral("\r\n") +
           QStringLiteral("このゲームはシリーズの3作目です。できれば、前作「Solvenne」をクリアしておいてくださいね。") +
           QStringLiteral("\r\n") + QStringLiteral("SolvenneもFilewharfでダウンロードできます。");
}

void OpenGameWindows()
{
    gameState().ScreenId = kFirstScreen;
    LineBreak = QStringLiteral("\r\n");
    Window<Form1>::Load();
    Window<Form2>::Load();
    layOutAndShowGameWindows(screenWidthTwips(), screenHeightTwips());
    Window<Form1>::get().Show();
    Window<Form2>::get().Show();
    Window<Form1>::get().resetIconBar();

    // What the staff roll does to the game windows when it takes their place.
    setGameWindowActions({[] {
                              Window<Form1>::get().Hide();
                              Window<Form2>::get().Hide();
                          },
                          [] { Window<Form1>::get().Timer1.stop(); }});
}

void Main()
{
    GameState& game = gameState();

    if (seriesNoticeWillShow()) {
        // The notice's text and icons wait for these; they load on another core while the
        // message box is built.
        warmUpFontsAndPictureFormats();
        dialogs().MsgBox(seriesNoticeText(), QStringLiteral("Lunaweave"));
    }

    PictureExt = QStringLiteral(".LWV");

    Window<LwDemo>::get().Show();
    BuildSceneCatalogue();
    runtime::waitWhile([] { return Window<LwDemo>::exists() && Window<LwDemo>::get().Visible(); });
    Window<LwDemo>::Unload();

    Window<Form3>::get().Show();
    runtime::waitWhile([] { return Window<Form3>::exists() && Window<Form3>::get().Visible(); });
    Window<Form3>::Unload();

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
    game.StaffRollRunning = kTrue;
    runtime::waitWhile([&game] { return game.StaffRollRunning != kFalse; });
    Window<Form4>::Unload();

    Window<Form5>::get().Show();
}

} // namespace lw

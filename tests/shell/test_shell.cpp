// Tests of the game shell: layout, the icon bar and clicks, the message window, the screen jump
// and the scene watcher.
//
// Mouse events go through the window system's path: they land on whatever is at that point.
#define QTEST_QPA_MOUSE_HANDLING

#include "ClearWindow.h"
#include "ErrorReport.h"
#include "Game.h"
#include "GameState.h"
#include "Layout.h"
#include "LogoDemo.h"
#include "MainWindow.h"
#include "MessageWindow.h"
#include "Music.h"
#include "Runtime.h"
#include "SceneCatalogue.h"
#include "SceneTable.h"
#include "SeriesNotice.h"
#include "ShellTestBase.h"
#include "StaffRollWindow.h"
#include "TitleWindow.h"
#include "fakes/FakeDialogs.h"
#include "fakes/RecordingMidiService.h"

#include <QDir>
#include <QKeyEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <stdexcept>

using namespace lw;
using namespace lw::testing;

namespace {

// A small picture per key, each a different colour so a reload can be told apart.
void writePictures(const QDir& dir)
{
    int n = 0;
    for (const SceneRow& row : kSceneTable) {
        QImage image(480, 349, QImage::Format_RGB32);
        image.fill(QColor::fromHsv((n++ * 23) % 360, 160, 200));
        image.save(dir.filePath(str(row.pictureKey) + QStringLiteral(".LWV")), "PNG");
    }
}

} // namespace

class TestShell : public ShellTestBase {
    Q_OBJECT

    QTemporaryDir data_;

    MainWindow& form1() { return session().windows().main.get(); }
    MessageWindow& form2() { return session().windows().message.get(); }

private slots:
    void initTestCase()
    {
        writePictures(QDir(data_.path()));
        installShellServices(data_.path());
    }
    void cleanupTestCase() { removeShellServices(); }
    void init()
    {
        GameState& game = session().state();
        game = GameState{};
        game.ScreenId = kFirstScreen;
        form1().resetIconBar();
        for (ImageBox* icon : form1().commandIcons)
            icon->setEnabled(true);
        midiService_.clear();
        ended_.clear();
    }

    void layoutFollowsTheScreenWidth_data()
    {
        QTest::addColumn<double>("screenWidth");
        QTest::addColumn<double>("screenHeight");
        QTest::addColumn<QList<double>>("expected"); // f1 left, top; f2 left, top, width, height; label width
        QTest::newRow("exactly 10000: stacked")
            << 10000.0 << 7500.0 << QList<double>{1370, -187.5, -445, 6287.5, 10890, 1500, double(float(10890 * 0.98))};
        QTest::newRow("9999: side by side, centred on the design width")
            << 9999.0 << 7500.0 << QList<double>{259.5, 562.5, 7519.5, 562.5, 2200, 6375, 2100};
        QTest::newRow("1024 × 768 pixels")
            << 15360.0 << 11520.0
            << QList<double>{4050, 1420.5, 2235, 7895.5, 10890, 1500, double(float(10890 * 0.98))};
    }
    void layoutFollowsTheScreenWidth()
    {
        QFETCH(double, screenWidth);
        QFETCH(double, screenHeight);
        QFETCH(QList<double>, expected);
        const GameLayout layout =
            layOutGameWindows(screenWidth, screenHeight, {0, 0, 7260, 6375}, {0, 0, 2220, 6375}, 2175);
        const QList<double> actual{layout.form1.left,  layout.form1.top,    layout.form2.left,     layout.form2.top,
                                   layout.form2.width, layout.form2.height, layout.form2LabelWidth};
        QCOMPARE(actual, expected);
        QCOMPARE(layout.form1.width, 7260.0);
        QCOMPARE(layout.form1.height, 6375.0);
    }

    // Zoom steps offered for screens of both branches; `expected` lists the steps, then the
    // largest step's layout: f1 left, top; f2 left, top, width, height; label width.
    void zoomStepsThatFitTheScreen_data()
    {
        QTest::addColumn<QSizeF>("area"); // twips
        QTest::addColumn<QList<int>>("steps");
        QTest::addColumn<QList<double>>("largest");
        QTest::newRow("1920 × 1080: stacked, up to 200 %")
            << QSizeF(28800, 16200) << QList<int>{100, 150, 200}
            << QList<double>{7140, 105, 3510, 13055, 21780, 3000, double(float(10890 * 0.98)) * 2};
        QTest::newRow("1280 × 1024: 200 % turns side by side")
            << QSizeF(19200, 15360) << QList<int>{100, 150, 200}
            << QList<double>{120, 1305, 14640, 1305, 4400, 12750, 4200};
        QTest::newRow("3840 × 2160: every step")
            << QSizeF(57600, 32400) << QList<int>{100, 150, 200, 250, 300}
            << QList<double>{17910, 3397.5, 12465, 22822.5, 32670, 4500, double(float(10890 * 0.98)) * 3};
        QTest::newRow("1024 × 768: only the design's size")
            << QSizeF(15360, 11520) << QList<int>{100}
            << QList<double>{4050, 1420.5, 2235, 7895.5, 10890, 1500, double(float(10890 * 0.98))};
    }
    void zoomStepsThatFitTheScreen()
    {
        QFETCH(QSizeF, area);
        QFETCH(QList<int>, steps);
        QFETCH(QList<double>, largest);
        const WindowPlacement f1{0, 0, 7260, 6375}, f2{0, 0, 2220, 6375};
        const std::vector<int> offered = zoomStepsThatFit(area.width(), area.height(), f1, f2, 2175);
        QCOMPARE(QList<int>(offered.begin(), offered.end()), steps);
        const GameLayout layout =
            layOutZoomedGameWindows(area.width(), area.height(), f1, f2, 2175, steps.last() / 100.0);
        const QList<double> actual{layout.form1.left,  layout.form1.top,    layout.form2.left,     layout.form2.top,
                                   layout.form2.width, layout.form2.height, layout.form2LabelWidth};
        QCOMPARE(actual, largest);
        QCOMPARE(layout.form1.width, 7260.0 * steps.last() / 100);
    }

    // The layout applied to the real windows, with frames of 8 × 30 pixels (120 × 450 twips): the
    // design outer sizes go in, outer sizes come out, and each value lands on whole pixels.
    void layoutAppliedToTheWindows_data()
    {
        QTest::addColumn<QSizeF>("screen");  // twips
        QTest::addColumn<QRect>("main");     // MainWindow, outer, pixels
        QTest::addColumn<QRect>("message");  // MessageWindow, outer, pixels
        QTest::addColumn<int>("labelWidth"); // pixels
        // MainWindow 7290 × 6285 outer, MessageWindow 2250 × 6285 outer.
        QTest::newRow("1024 × 768: stacked")
            << QSizeF(15360, 11520) << QRect(269, 98, 486, 419) << QRect(148, 523, 729, 100) << 714;
        QTest::newRow("exactly 10000: stacked")
            << QSizeF(10000, 7500) << QRect(90, -10, 486, 419) << QRect(-31, 416, 729, 100) << 714;
        QTest::newRow("9990: side by side on the design width")
            << QSizeF(9990, 7500) << QRect(15, 41, 486, 419) << QRect(501, 41, 147, 419) << 140;
    }
    void layoutAppliedToTheWindows()
    {
        QFETCH(QSizeF, screen);
        QFETCH(QRect, main);
        QFETCH(QRect, message);
        QFETCH(int, labelWidth);
        session().windows().main.unload();
        session().windows().message.unload();
        GameWindow::assumeFrameExtra({8, 30});
        session().layOutGameWindows(screen.width(), screen.height());
        GameWindow::assumeFrameExtra({0, 0});
        const auto outer = [](const GameWindow& w) {
            return QRect(qRound(w.leftTwips() / 15), qRound(w.topTwips() / 15), qRound(w.widthTwips() / 15),
                         qRound(w.heightTwips() / 15));
        };
        const auto client = [](const QRect& r) { return r.size() - QSize(8, 30); };
        GameWindow::assumeFrameExtra({8, 30});
        QCOMPARE(outer(form1()), main);
        QCOMPARE(outer(form2()), message);
        GameWindow::assumeFrameExtra({0, 0});
        QCOMPARE(form1().size(), client(main));
        QCOMPARE(form2().size(), client(message));
        QCOMPARE(form2().lineLabel->width(), labelWidth);
        session().windows().main.unload();
        session().windows().message.unload();
    }

    void seriesNoticeOnlyForExactlyOff_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("shown");
        QTest::newRow("OFF") << QStringLiteral("OFF") << false;
        QTest::newRow("lower case") << QStringLiteral("off") << true;
        QTest::newRow("trailing blank") << QStringLiteral("OFF ") << true;
        QTest::newRow("missing") << QString() << true;
        QTest::newRow("full-width") << QStringLiteral("ＯＦＦ") << true;
    }
    void seriesNoticeOnlyForExactlyOff()
    {
        QFETCH(QString, value);
        QFETCH(bool, shown);
        QCOMPARE(seriesNoticeWanted(value), shown);
        QCOMPARE(seriesNoticeText().split(QStringLiteral("\r\n")).size(), 3);
    }

    void iconBarSelection()
    {
        MainWindow& form = form1();
        auto visible = [&form] {
            QString looks;
            for (ImageBox* icon : form.commandIcons)
                looks += icon->isVisibleTo(&form) ? u'1' : u'0';
            return looks;
        };
        QCOMPARE(visible(), QStringLiteral("0000011111")); // nothing selected at the start
        form.iconClicked(6);
        QCOMPARE(session().state().selectedCommand, Command::Talk);
        QCOMPARE(visible(), QStringLiteral("0100010111"));
        form.iconClicked(1); // the selected look: nothing happens
        QCOMPARE(visible(), QStringLiteral("0100010111"));
        form.iconClicked(8);
        QCOMPARE(session().state().selectedCommand, Command::Magic);
        QCOMPARE(visible(), QStringLiteral("0001011101"));

        // Past 384 only Next is accepted, and the bar is not reset.
        form.hideNonNextIcons();
        session().state().ScreenId = 385;
        form.iconClicked(5);
        QCOMPARE(session().state().selectedCommand, Command::Magic);
        form.iconClicked(9);
        QCOMPARE(session().state().selectedCommand, Command::Next);
        QCOMPARE(visible(), QStringLiteral("0000100000"));
        QVERIFY(!form.commandIcons[0]->isEnabled());
        QVERIFY(form.commandIcons[4]->isEnabled());
    }

    void hoverNamesTheCommandAndKeepsIt()
    {
        MainWindow& form = form1();
        form.iconHovered(7, 0, 0, 10, 10);
        QCOMPARE(form.hoverLabel->text(), QStringLiteral("考えてみる"));
        form.iconHovered(4, 0, 0, 10, 10);
        QCOMPARE(form.hoverLabel->text(), QStringLiteral("次へ"));
        form.scenePictureMouseDown(1, 0, 100, 100); // moving onto the picture leaves the name
        QCOMPARE(form.hoverLabel->text(), QStringLiteral("次へ"));
    }

    void clickColumns_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("width");
        QTest::addColumn<int>("column");
        QTest::newRow("2399") << 2399.0 << 7200.0 << 1;
        QTest::newRow("2400") << 2400.0 << 7200.0 << 2;
        QTest::newRow("4799") << 4799.0 << 7200.0 << 2;
        QTest::newRow("4800") << 4800.0 << 7200.0 << 3;
        QTest::newRow("left edge") << 0.0 << 7200.0 << 1;
        QTest::newRow("odd width third") << 2400.0 << 7201.0 << 1; // 7201 / 3 = 2400.33
        QTest::newRow("wide picture, no overflow") << 30000.0 << 40000.0 << 3;
        QTest::newRow("wide picture, middle") << 20000.0 << 40000.0 << 2;
    }
    void clickColumns()
    {
        QFETCH(double, x);
        QFETCH(double, width);
        QFETCH(int, column);
        QCOMPARE(int(clickColumnFor(x, width)), column);
    }

    // Real mouse events: a command is picked when the left button is released over its icon; the
    // picture answers on the press, once for every press, whatever the button.
    void mouseOnTheIconsAndThePicture()
    {
        MainWindow& form = form1();
        form.showActive();
        form2().showActive();
        GameState& game = session().state();
        ImageBox* talk = form.commandIcons[6];
        QTest::mousePress(talk, Qt::LeftButton);
        QCOMPARE(game.selectedCommand, Command::None);
        QTest::mouseRelease(talk, Qt::LeftButton);
        QCOMPARE(game.selectedCommand, Command::Talk);

        ImageBox* next = form.commandIcons[9];
        QTest::mousePress(next, Qt::LeftButton);
        QTest::mouseRelease(next, Qt::LeftButton, {}, QPoint(-20, 10)); // released beside it
        QTest::mouseClick(next, Qt::RightButton);
        QCOMPARE(game.selectedCommand, Command::Talk);
        QTest::mouseDClick(next, Qt::LeftButton);
        QCOMPARE(game.selectedCommand, Command::Next);

        game.ScreenId = 20; // Next walks 20, 21, 22, 23 one line per press
        QTest::mousePress(form.scenePicture, Qt::LeftButton, {}, QPoint(100, 100));
        QCOMPARE(game.ScreenId, std::int16_t(21));
        QTest::mouseRelease(form.scenePicture, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseClick(form.scenePicture, Qt::RightButton, {}, QPoint(100, 100));
        QCOMPARE(game.ScreenId, std::int16_t(22));
        // A double click is two presses: two lines, not three.
        game.ScreenId = 20;
        QTest::mouseDClick(form.scenePicture, Qt::LeftButton, {}, QPoint(100, 100));
        QCOMPARE(game.ScreenId, std::int16_t(22));
    }

    void pictureClickWithoutCommandShowsTheHint()
    {
        form2().setLine(QStringLiteral("before"));
        form1().scenePicture->setPicture(QImage(480, 349, QImage::Format_RGB32));
        form1().scenePictureMouseDown(1, 0, 5000, 10);
        QCOMPARE(session().state().clickColumn, ClickColumn(3));
        QCOMPARE(form2().line(), QStringLiteral("上の方にあるアイコンを選択してから、画面のどこかをクリックしてね。"));
        QCOMPARE(session().state().ScreenId, std::int16_t(10));

        // From 563 on a click still sets the column but runs nothing.
        form2().setLine(QStringLiteral("before"));
        session().state().ScreenId = 563;
        form1().scenePictureMouseDown(1, 0, 100, 10);
        QCOMPARE(session().state().clickColumn, ClickColumn(1));
        QCOMPARE(form2().line(), QStringLiteral("before"));
    }

    void showLineFormats()
    {
        session().showLine(QString(), QStringLiteral("渋谷の街。"));
        QCOMPARE(form2().line(), QStringLiteral("渋谷の街。"));
        session().showLine(QStringLiteral("ルネッタ"), QStringLiteral("遅いわね"));
        QCOMPARE(form2().line(), QStringLiteral("【ルネッタ】\r\n「遅いわね」"));
        QCOMPARE(form2().lineLabel->text(), QStringLiteral("【ルネッタ】\n「遅いわね」"));
    }

    void closingTheGameWindowsEndsTheProgram()
    {
        form1().showActive();
        form2().showActive();
        midiService_.clear();
        // MainWindow's query closes the music and ends; MessageWindow's ends without touching the music.
        form1().close();
        QCOMPARE(ended_, QList<int>{0});
        QCOMPARE(midiService_.commands(), std::vector<std::string>{"close Midi"});
        midiService_.clear();
        form2().close();
        QCOMPARE(ended_, (QList<int>{0, 0}));
        QVERIFY(midiService_.commands().empty());
    }

    void minimisingHidesTheMessageWindow()
    {
        MainWindow& main = form1();
        main.showActive();
        form2().showActive();
        main.setWindowState(Qt::WindowMinimized);
        QVERIFY(!form2().isVisible());
        main.setWindowState(Qt::WindowNoState);
        QVERIFY(form2().isVisible());
    }

    void screenJumpChord_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("shift");
        QTest::addColumn<bool>("jumps");
        QTest::newRow("Ctrl+J") << 74 << 2 << true;
        QTest::newRow("J") << 74 << 0 << false;
        QTest::newRow("Ctrl+Shift+J") << 74 << 3 << false;
        QTest::newRow("Ctrl+Alt+J") << 74 << 6 << false;
        QTest::newRow("Ctrl+K") << 75 << 2 << false;
    }
    void screenJumpChord()
    {
        QFETCH(int, key);
        QFETCH(int, shift);
        QFETCH(bool, jumps);
        QCOMPARE(isScreenJumpChord(key, shift), jumps);
    }

    void screenJumpAnswers_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("state"); // -1: refused
        QTest::newRow("default") << "10" << 10;
        QTest::newRow("blanks") << "  340 " << 340;
        QTest::newRow("full-width digits") << "３４０" << 340;
        QTest::newRow("a state the story never reaches") << "215" << 215;
        QTest::newRow("the ending") << "563" << 563;
        QTest::newRow("above 990") << "995" << 995;
        QTest::newRow("half rounds to even") << "340.5" << 340;
        QTest::newRow("other half rounds to even") << "341.5" << 342;
        QTest::newRow("largest") << "32767" << 32767;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("words") << "abc" << -1;
        QTest::newRow("trailing junk") << "12x" << -1;
        QTest::newRow("hex") << "&H10" << -1;
        QTest::newRow("overflow") << "32768" << -1;
        QTest::newRow("huge") << "99999999999999999999" << -1;
        QTest::newRow("negative") << "-10" << -1;
        QTest::newRow("scene 0") << "5" << -1;
        QTest::newRow("scene without picture") << "120" << -1;
        QTest::newRow("scene 45") << "455" << -1;
        QTest::newRow("990 has no scene") << "990" << -1;
        QTest::newRow("sign only") << "-" << -1;
        QTest::newRow("point only") << "." << -1;
    }
    void screenJumpAnswers()
    {
        QFETCH(QString, answer);
        QFETCH(int, state);
        const auto parsed = parseScreenJumpAnswer(answer.toStdString());
        QCOMPARE(parsed ? int(*parsed) : -1, state);
    }

    void ctrlJAsksAndJumps()
    {
        MessageWindow& form = form2();
        session().state().ScreenId = 340;
        dialogs_.prompts.clear();
        dialogs_.nextAnswer = {QStringLiteral("10"), false};
        QKeyEvent plainJ(QEvent::KeyPress, Qt::Key_J, Qt::NoModifier, QStringLiteral("j"));
        QApplication::sendEvent(&form, &plainJ);
        QVERIFY(dialogs_.prompts.isEmpty());
        QKeyEvent ctrlJ(QEvent::KeyPress, Qt::Key_J, Qt::ControlModifier);
        QApplication::sendEvent(&form, &ctrlJ);
        QCOMPARE(dialogs_.prompts,
                 QStringList{QStringLiteral("ずるちゃん|ずるちゃん画面じゃーんぷ！画面IDを入力してね。|10")});
        QCOMPARE(session().state().ScreenId, std::int16_t(10));

        dialogs_.nextAnswer = {QStringLiteral("300"), true}; // cancelled
        int key = 74;
        form.screenJumpKey(key, 2);
        QCOMPARE(key, 0);
        QCOMPARE(session().state().ScreenId, std::int16_t(10));
    }

    // The stages follow the windows: the title waits for the demo and for every roll picture,
    // a click on it opens the game on its first scene, a screen jump shows its scene at once,
    // and a jump to the ending shows scene 56 first, then starts the roll once the events queued
    // by then have run; the roll's end brings the clear screen.
    void stagesFollowTheWindows()
    {
        restartGame();
        Game& game = session();
        game.start();
        QVERIFY(game.stage() == Stage::Demo);
        session().windows().demo.get().unload(); // the demo is gone before a single picture has loaded
        QVERIFY(game.stage() == Stage::Demo);
        QTRY_VERIFY_WITH_TIMEOUT(game.stage() == Stage::Title, 10000);
        for (int i = 0; i < kRollPictures; ++i)
            QVERIFY(!session().windows().roll.get().cachedPicture(i)->picture().isNull());

        session().scenes().lastShownState() = 0;
        session().windows().title.get().startGame();
        QVERIFY(game.stage() == Stage::Playing);
        QVERIFY(form1().isVisible() && form2().isVisible());
        QTRY_COMPARE(form1().windowTitle(), QStringLiteral("Lunaweave　【映画「楢山女子高」】"));

        dialogs_.nextAnswer = {QStringLiteral("300"), false};
        QTest::keyClick(&form2(), Qt::Key_J, Qt::ControlModifier);
        QCOMPARE(form1().windowTitle(), QStringLiteral("Lunaweave　【谷川プロダクション】"));

        dialogs_.nextAnswer = {QStringLiteral("563"), false};
        QTest::keyClick(&form2(), Qt::Key_J, Qt::ControlModifier);
        QCOMPARE(form1().windowTitle(), QStringLiteral("Lunaweave　【妖性大学教頭室】"));
        QVERIFY(game.stage() == Stage::Playing);
        QTRY_VERIFY(game.stage() == Stage::StaffRoll);
        QVERIFY(session().windows().roll.get().stepTimer.isActive());

        session().windows().roll.get().finishRoll();
        QVERIFY(game.stage() == Stage::ClearScreen);
        QVERIFY(!session().windows().roll.exists());
        QVERIFY(session().windows().clear.get().isVisible());
        session().windows().clear.unload();
        ended_.clear();
        restartGame();
    }

    void sceneWatcher()
    {
        MainWindow& form = form1();
        session().scenes().lastShownState() = 0;
        session().state().ScreenId = 10;
        session().scenes().showSceneIfChanged();
        QCOMPARE(form.windowTitle(), QStringLiteral("Lunaweave　【映画「楢山女子高」】"));
        QCOMPARE(session().scenes().lastShownState(), std::int16_t(10));
        const QImage scene1 = form.scenePicture->picture();

        // Inside one scene nothing is reloaded and no entry runs.
        session().state().ScreenId = 20;
        session().scenes().showSceneIfChanged();
        midiService_.clear();
        form2().setLine(QStringLiteral("kept"));
        session().state().ScreenId = 25;
        session().scenes().showSceneIfChanged();
        QCOMPARE(form2().line(), QStringLiteral("kept"));
        QCOMPARE(session().scenes().lastShownState(), std::int16_t(20));

        // A new scene loads its picture and runs its entry: scene 3 starts its music.
        session().state().ScreenId = 30;
        session().scenes().showSceneIfChanged();
        QCOMPARE(form.windowTitle(), QStringLiteral("Lunaweave　【妖性大学院研究室】"));
        QVERIFY(form2().line() != QStringLiteral("kept"));
        QCOMPARE(midiService_.commands().at(1), std::string("open \"/game/yoseiden.mid\" type sequencer alias Midi"));
        QCOMPARE(form.scenePicture->picture().size(), QSize(480, 349));

        // Going back reloads and re-runs the entry.
        session().state().ScreenId = 10;
        session().scenes().showSceneIfChanged();
        QCOMPARE(form.scenePicture->picture(), scene1);

        // Above 990 nothing at all.
        session().state().ScreenId = 995;
        session().scenes().showSceneIfChanged();
        QCOMPARE(session().scenes().lastShownState(), std::int16_t(10));

        // A missing picture ends the game with the report naming the file.
        QDir(data_.path()).remove(QStringLiteral("谷川1.LWV"));
        session().state().ScreenId = 260;
        QVERIFY_THROWS_EXCEPTION(FatalCaught, session().scenes().showSceneIfChanged());
    }
};

QTEST_MAIN(TestShell)
#include "test_shell.moc"

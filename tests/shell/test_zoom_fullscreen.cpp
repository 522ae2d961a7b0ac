// Zoom and fullscreen on the real game windows, on a 1920×1080 screen: the steps that fit, every
// window back exactly as it was, the thirds of the picture as it is shown, and the 2x art on a
// second screen of twice the density.
#include "ClearWindow.h"
#include "Game.h"
#include "GameState.h"
#include "MainWindow.h"
#include "MessageWindow.h"
#include "PlayerAdditions.h"
#include "SceneCatalogue.h"
#include "ShellTestBase.h"
#include "StaffRollWindow.h"
#include "TitleWindow.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTemporaryFile>
#include <QTextBrowser>
#include <QWindow>
#include <QtTest>

#include <memory>

using namespace lw;
using namespace lw::testing;

namespace {

// Where each window is and how big its client is.
QList<QRect> placed(const QWidget& main, const QWidget& message)
{
    return {QRect(main.pos(), main.size()), QRect(message.pos(), message.size())};
}

// A window as drawn: its client size, and each widget's geometry and font size, in the order
// findChildren gives them, each multiplied by `factor`.
using Look = QList<QRectF>;
Look lookOf(const QWidget& window, double factor = 1)
{
    Look look{QRectF(QPointF(), window.size() * factor)};
    for (const QWidget* part : window.findChildren<QWidget*>()) {
        const QFont font = part->font();
        look << QRectF(part->geometry().topLeft() * factor, part->geometry().size() * factor)
             << QRectF(0, 0, (font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF()) * factor, 0);
    }
    return look;
}

} // namespace

class TestZoomFullscreen : public ShellTestBase {
    Q_OBJECT

    PlayerAdditions* additions_ = nullptr; // the game's

    MainWindow& main() { return session().windows().main.get(); }
    MessageWindow& message() { return session().windows().message.get(); }

    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(&main(), k, modifiers); }
    StaffRollWindow& rollWithEntry()
    {
        session().scenes().build();
        StaffRollWindow& roll = session().windows().roll.get();
        roll.showEntry(3, QStringLiteral("heading"), QStringLiteral("credit"));
        roll.centreOnScreen();
        return roll;
    }
    void zoomKeys(QWidget* window, int steps)
    {
        for (int i = 0; i < steps; ++i)
            QTest::keyClick(window, Qt::Key_Equal, Qt::ControlModifier);
    }

    // Which third a click at the 1x picture column `x` lands in, on the picture as it is shown:
    // the click goes to the middle of that column's pixels on screen.
    ClickColumn columnOfClickAt(int x)
    {
        ImageBox* picture = main().scenePicture;
        const double scale = picture->width() / 480.0;
        QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(int((x + 0.5) * scale), picture->height() / 2));
        return session().state().clickColumn;
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::primaryScreen()->size(), QSize(1920, 1080));
        installShellServices(qEnvironmentVariable("LW_DATA_DIR"));
    }
    void cleanupTestCase() { removeShellServices(); }
    void init()
    {
        restartGame();
        additions_ = &session().additions();
        session().state() = GameState{};
        session().scenes().lastShownState() = 0;
        session().openGameWindows();
        session().scenes().showSceneIfChanged();
        QVERIFY(QTest::qWaitForWindowExposed(&main(), 5000));
    }
    void cleanup()
    {
        additions_ = nullptr;
        session().windows().main.unload();
        session().windows().message.unload();
        session().windows().title.unload();
        session().windows().roll.unload();
        session().windows().clear.unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Ctrl+= and Ctrl++ step up through what fits (250 % does not on 1080 lines), Ctrl+- down,
    // Ctrl+0 back; at 200 % everything is twice its size and the pictures are the 2x artwork.
    void zoomStepsScaleEverythingAndComeBack()
    {
        const QList<QRect> at100 = placed(main(), message());
        const QFont lineFont = message().lineLabel->font();
        const int lineWidth = message().lineLabel->width();
        const QRect area = main().screen()->availableGeometry();

        key(Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(main().size(), at100[0].size() * 1.5);
        key(Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
        key(Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(main().size(), at100[0].size() * 2);
        QVERIFY(area.contains(main().frameGeometry()));
        QVERIFY(area.contains(message().frameGeometry()));
        QVERIFY(message().y() > main().frameGeometry().bottom()); // still below the picture
        QCOMPARE(main().scenePicture->size(), QSize(960, 698));
        QCOMPARE(main().scenePicture->picture().devicePixelRatio(), 2.0);
        QCOMPARE(main().commandIcons[5]->size(), QSize(64, 64));
        QCOMPARE(main().commandIcons[5]->picture().devicePixelRatio(), 2.0);
        QCOMPARE(message().lineLabel->font().pixelSize(), lineFont.pixelSize() * 2);

        key(Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(main().size(), at100[0].size() * 1.5);
        key(Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(placed(main(), message()), at100);
        QCOMPARE(main().scenePicture->size(), QSize(480, 349));
        QCOMPARE(main().scenePicture->picture().devicePixelRatio(), 1.0);
        QCOMPARE(message().lineLabel->font(), lineFont);
        QCOMPARE(message().lineLabel->width(), lineWidth);
    }

    // F11 fills the screen with the picture, aspect kept, and the line in a band; Alt+Enter
    // leaves, and both windows are back exactly, at 100 % and at 200 %.
    void fullscreenAndBackRestoresBothWindows_data()
    {
        QTest::addColumn<int>("zoomSteps");
        QTest::newRow("100 %") << 0;
        QTest::newRow("200 %") << 2;
    }
    void fullscreenAndBackRestoresBothWindows()
    {
        QFETCH(int, zoomSteps);
        const QFont lineFont = message().lineLabel->font();
        for (int i = 0; i < zoomSteps; ++i)
            key(Qt::Key_Equal, Qt::ControlModifier);
        const QList<QRect> before = placed(main(), message());
        const QSize picture = main().scenePicture->size();
        session().showCommandHint();

        key(Qt::Key_F11);
        QVERIFY(main().isFullScreen());
        QVERIFY(!message().isVisible());
        const QRect shown = main().scenePicture->geometry();
        QVERIFY(QRect(QPoint(0, 0), main().screen()->size()).contains(shown));
        QCOMPARE(shown.height() + main().iconStrip->height() >= 1080 - 2, true); // the height filled
        QVERIFY(qAbs(shown.width() * 349.0 / shown.height() - 480) < 2);         // the aspect kept
        QVERIFY(qAbs(shown.left() + shown.width() / 2.0 - 960) < 3);             // centred, with the icon bar
        const auto* band = main().findChild<QLabel*>(QStringLiteral("fullscreenLine"));
        QVERIFY(band && band->isVisible());
        QCOMPARE(band->text(), message().lineLabel->text());
        QCOMPARE(band->font().family(), lineFont.family());
        QVERIFY(band->font().pixelSize() > lineFont.pixelSize()); // larger than in the 100 % window
        key(Qt::Key_Equal, Qt::ControlModifier);                  // no zoom while fullscreen
        QCOMPARE(main().scenePicture->geometry(), shown);

        key(Qt::Key_Return, Qt::AltModifier);
        QVERIFY(!main().isFullScreen());
        QVERIFY(message().isVisible());
        QCOMPARE(placed(main(), message()), before);
        QCOMPARE(main().scenePicture->size(), picture);
        QVERIFY(!main().findChild<QLabel*>(QStringLiteral("fullscreenLine")));
    }

    // A click on either side of each third's boundary lands in the same third at 100 %, at 200 %
    // and in fullscreen.
    void clicksLandInTheSameThirdAtAnySize_data()
    {
        QTest::addColumn<QList<Qt::Key>>("keys");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("100 %") << QList<Qt::Key>{} << Qt::KeyboardModifiers{};
        QTest::newRow("200 %") << QList<Qt::Key>{Qt::Key_Equal, Qt::Key_Equal}
                               << Qt::KeyboardModifiers(Qt::ControlModifier);
        QTest::newRow("fullscreen") << QList<Qt::Key>{Qt::Key_F11} << Qt::KeyboardModifiers{};
    }
    void clicksLandInTheSameThirdAtAnySize()
    {
        QFETCH(QList<Qt::Key>, keys);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        for (const Qt::Key k : keys)
            key(k, modifiers);
        const QList<std::pair<int, ClickColumn>> expected{{0, ClickColumn::Left},     {159, ClickColumn::Left},
                                                          {160, ClickColumn::Middle}, {319, ClickColumn::Middle},
                                                          {320, ClickColumn::Right},  {479, ClickColumn::Right}};
        for (const auto& [x, column] : expected)
            QCOMPARE(columnOfClickAt(x), column);
    }

    // The title, the staff roll and the clear screen take the zoom keys: at 200 % every widget and
    // font is twice its size, the window stays centred on the screen and inside it, and the roll's
    // picture is the 2x art; Ctrl+0 brings each back exactly.
    void windowsOnTheirOwnZoomAsAWhole_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("title") << QStringLiteral("title");
        QTest::newRow("staff roll") << QStringLiteral("roll");
        QTest::newRow("clear screen") << QStringLiteral("clear");
    }
    void windowsOnTheirOwnZoomAsAWhole()
    {
        QFETCH(QString, name);
        main().hide(); // as in the game, where these come before or after play
        message().hide();
        GameWindow* window = nullptr;
        if (name == QLatin1String("title")) {
            window = &session().windows().title.get();
        } else if (name == QLatin1String("clear")) {
            window = &session().windows().clear.get();
        } else {
            window = &rollWithEntry();
        }
        window->showActive();
        QVERIFY(QTest::qWaitForWindowExposed(window, 5000));
        const Look at100 = lookOf(*window, 2);
        const QPoint centre = window->frameGeometry().center();

        zoomKeys(window, 2);
        QCOMPARE(lookOf(*window), at100);
        QVERIFY((window->frameGeometry().center() - centre).manhattanLength() <= 2); // give or take rounding
        QVERIFY(window->screen()->availableGeometry().contains(window->frameGeometry()));
        if (auto* roll = qobject_cast<StaffRollWindow*>(window))
            QCOMPARE(roll->entryPicture->picture().devicePixelRatio(), 2.0);

        QTest::keyClick(window, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(lookOf(*window, 2), at100);
        QCOMPARE(window->frameGeometry().center(), centre);
        if (auto* roll = qobject_cast<StaffRollWindow*>(window))
            QCOMPARE(roll->entryPicture->picture().devicePixelRatio(), 1.0);
    }

    // The zoom chosen on the title is the game's: the main window opens at it, or at the largest
    // step that fits it (300 % does not, on 1080 lines).
    void zoomChosenOnTheTitleCarriesIntoPlay_data()
    {
        QTest::addColumn<int>("titleSteps");
        QTest::addColumn<int>("playPercent");
        QTest::newRow("200 %") << 2 << 200;
        QTest::newRow("300 % on the title") << 4 << 200;
    }
    void zoomChosenOnTheTitleCarriesIntoPlay()
    {
        QFETCH(int, titleSteps);
        QFETCH(int, playPercent);
        const QSize mainAt100 = main().size();
        session().windows().main.unload();
        session().windows().message.unload();
        TitleWindow& title = session().windows().title.get();
        const QSize titleAt100 = title.size();
        title.showActive();
        zoomKeys(&title, titleSteps);
        QCOMPARE(title.size(), titleAt100 * (1 + titleSteps * 0.5));
        title.startGame();

        session().state() = GameState{};
        session().scenes().lastShownState() = 0;
        session().openGameWindows();
        session().scenes().showSceneIfChanged();
        QCOMPARE(main().size(), mainAt100 * (playPercent / 100.0));
        QCOMPARE(additions_->zoom().percent(), playPercent);
        QCOMPARE(main().scenePicture->picture().devicePixelRatio(), 2.0);
    }

    // Zoomed from the history, the game zooms and the history still covers the scene picture, in
    // the message window's font.
    void historyFollowsTheZoom()
    {
        session().showCommandHint();
        key(Qt::Key_H);
        QWidget* history = &additions_->historyWindow();
        QVERIFY(history->isVisible());
        const QSize mainAt100 = main().size();
        zoomKeys(history, 2);
        QCOMPARE(main().size(), mainAt100 * 2);
        const ImageBox* picture = main().scenePicture;
        QCOMPARE(history->geometry(), QRect(picture->mapToGlobal(QPoint(0, 0)), picture->size()));
        QCOMPARE(history->findChild<QTextBrowser*>()->font(), message().lineLabel->font());
    }

    // Moved to a screen of twice the pixel ratio, a window shows its pictures from the 2x art at
    // their 1x sizes; moved back, from the 1x art.
    void screenOfAnotherDensityReloadsThePictures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("main window: scene picture and icons") << QStringLiteral("main");
        QTest::newRow("staff roll") << QStringLiteral("roll");
    }
    void screenOfAnotherDensityReloadsThePictures()
    {
        QFETCH(QString, name);
        QWidget* window = &main();
        QList<const ImageBox*> pictures{main().scenePicture, main().commandIcons[5]};
        if (name == QLatin1String("roll")) {
            StaffRollWindow& roll = rollWithEntry();
            roll.show();
            window = &roll;
            pictures = {roll.entryPicture};
        }
        QList<QSize> sizes;
        for (const ImageBox* picture : pictures)
            sizes << picture->size();
        const QList<QScreen*> screens = QGuiApplication::screens();
        QCOMPARE(screens.size(), 2);
        for (const int screen : {1, 0}) {
            window->windowHandle()->setScreen(screens[screen]);
            QCOMPARE(window->devicePixelRatio(), screens[screen]->devicePixelRatio());
            for (qsizetype i = 0; i < pictures.size(); ++i) {
                QCOMPARE(pictures[i]->picture().devicePixelRatio(), screens[screen]->devicePixelRatio());
                QCOMPARE(pictures[i]->size(), sizes[i]);
            }
        }
    }
};

int main(int argc, char** argv)
{
    // A 1920×1080 screen, and beside it one of twice the density, on whatever platform the tests
    // run on headless. The offscreen platform makes the first by name the primary screen.
    QTemporaryFile screens;
    if (!screens.open())
        return 1;
    screens.write(R"({"screens": [{"name": "main", "x": 0, "y": 0, "width": 1920, "height": 1080,
                      "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
                     {"name": "sharp", "x": 1920, "y": 0, "width": 1280, "height": 800,
                      "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 2}]})");
    screens.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    QApplication app(argc, argv);
    TestZoomFullscreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_zoom_fullscreen.moc"

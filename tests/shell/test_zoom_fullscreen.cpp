// Zoom and fullscreen on the real game windows, on a 1920×1080 screen: the steps that fit, both
// windows back exactly as they were, and the thirds of the picture as it is shown.
#include "Game.h"
#include "GameState.h"
#include "MainWindow.h"
#include "MessageWindow.h"
#include "PlayerAdditions.h"
#include "SceneCatalogue.h"
#include "ShellTestBase.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTemporaryFile>
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

} // namespace

class TestZoomFullscreen : public ShellTestBase {
    Q_OBJECT

    PlayerAdditions* additions_ = nullptr; // the game's

    MainWindow& main() { return session().windows().main.get(); }
    MessageWindow& message() { return session().windows().message.get(); }

    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(&main(), k, modifiers); }

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
};

int main(int argc, char** argv)
{
    // One 1920×1080 screen, on whatever platform the tests run on headless.
    QTemporaryFile screens;
    if (!screens.open())
        return 1;
    screens.write(R"({"screens": [{"name": "wide", "x": 0, "y": 0, "width": 1920, "height": 1080,
                      "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    screens.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    QApplication app(argc, argv);
    TestZoomFullscreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_zoom_fullscreen.moc"

// Tests of the window-system check: which environments count as "no display", the line printed,
// and the game itself started with no display.
#include "DisplayCheck.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace lw;

namespace {

const QByteArray kEnglish = "lunaweave: cannot open a window: no display (set DISPLAY or run it on a desktop)\n";
const QByteArray kJapanese = "lunaweave: ウィンドウを開けません: ディスプレイがありません"
                             "（DISPLAY を設定するか、デスクトップ上で起動してください）\n";

} // namespace

class TestDisplayCheck : public QObject {
    Q_OBJECT

private slots:
    void noDisplayReachable_data()
    {
        QTest::addColumn<QByteArray>("platform");    // QT_QPA_PLATFORM
        QTest::addColumn<QByteArray>("sessionType"); // XDG_SESSION_TYPE
        QTest::addColumn<bool>("waylandNamed");
        QTest::addColumn<bool>("commandLine");
        QTest::addColumn<bool>("x11Up");
        QTest::addColumn<bool>("waylandUp");
        QTest::addColumn<bool>("noDisplay");

        QTest::newRow("nothing reachable") << QByteArray() << QByteArray() << false << false << false << false << true;
        QTest::newRow("X server up") << QByteArray() << QByteArray() << false << false << true << false << false;
        QTest::newRow("Wayland named and up")
            << QByteArray() << QByteArray() << true << false << false << true << false;
        QTest::newRow("Wayland session and up")
            << QByteArray() << QByteArray("wayland") << false << false << false << true << false;
        // Qt tries Wayland only when the session names it, so a compositor alone is no display.
        QTest::newRow("Wayland up, not named")
            << QByteArray() << QByteArray("x11") << false << false << false << true << true;
        QTest::newRow("xcb chosen, X down")
            << QByteArray("xcb") << QByteArray() << true << false << false << true << true;
        QTest::newRow("xcb in capitals, with options")
            << QByteArray("XCB:nograb") << QByteArray() << false << false << false << false << true;
        QTest::newRow("wayland-egl chosen, down")
            << QByteArray("wayland-egl") << QByteArray() << true << false << true << false << true;
        QTest::newRow("list, X up") << QByteArray("wayland;xcb") << QByteArray() << false << false << true << false
                                    << false;
        QTest::newRow("list with offscreen")
            << QByteArray("xcb;offscreen") << QByteArray() << false << false << false << false << false;
        QTest::newRow("offscreen") << QByteArray("offscreen") << QByteArray() << false << false << false << false
                                   << false;
        QTest::newRow("unknown platform: Qt's own error")
            << QByteArray("nosuchplatform") << QByteArray() << false << false << false << false << false;
        QTest::newRow("empty entries only")
            << QByteArray(";") << QByteArray() << false << false << false << false << false;
        QTest::newRow("-platform on the command line")
            << QByteArray() << QByteArray() << false << true << false << false << false;
    }
    void noDisplayReachable()
    {
        QFETCH(QByteArray, platform);
        QFETCH(QByteArray, sessionType);
        QFETCH(bool, waylandNamed);
        QFETCH(bool, commandLine);
        QFETCH(bool, x11Up);
        QFETCH(bool, waylandUp);
        QFETCH(bool, noDisplay);
        const DisplayEnvironment environment{platform, sessionType, waylandNamed, commandLine};
        QCOMPARE(lw::noDisplayReachable(environment, {[x11Up] { return x11Up; }, [waylandUp] { return waylandUp; }}),
                 noDisplay);
    }

    void messageLanguage_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<bool>("japanese");
        QTest::newRow("unset") << QByteArray() << false;
        QTest::newRow("C") << QByteArray("C") << false;
        QTest::newRow("English") << QByteArray("en_GB.UTF-8") << false;
        QTest::newRow("Japanese UTF-8") << QByteArray("ja_JP.UTF-8") << true;
        QTest::newRow("Japanese utf8 with modifier") << QByteArray("ja_JP.utf8@euro") << true;
        // A terminal in EUC-JP (or the codeset-less "ja_JP", which means it) would garble UTF-8.
        QTest::newRow("Japanese EUC-JP") << QByteArray("ja_JP.eucJP") << false;
        QTest::newRow("Japanese, no codeset") << QByteArray("ja_JP") << false;
    }
    void messageLanguage()
    {
        QFETCH(QByteArray, locale);
        QFETCH(bool, japanese);
        QCOMPARE(noDisplayMessage(locale), japanese ? kJapanese : kEnglish);
    }

    // The game itself, with every display variable cleared and then the row's set.
    void gameWithoutDisplay_data()
    {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<bool>("japanese");
        QTest::newRow("no display variables") << QStringList{} << false;
        QTest::newRow("Japanese LANG") << QStringList{QStringLiteral("LANG=ja_JP.UTF-8")} << true;
        QTest::newRow("LC_ALL over LANG")
            << QStringList{QStringLiteral("LANG=ja_JP.UTF-8"), QStringLiteral("LC_ALL=C.UTF-8")} << false;
        QTest::newRow("LC_MESSAGES over LANG")
            << QStringList{QStringLiteral("LANG=en_US.UTF-8"), QStringLiteral("LC_MESSAGES=ja_JP.UTF-8")} << true;
        QTest::newRow("DISPLAY naming no server") << QStringList{QStringLiteral("DISPLAY=:7613")} << false;
        QTest::newRow("xcb chosen without DISPLAY") << QStringList{QStringLiteral("QT_QPA_PLATFORM=xcb")} << false;
        QTest::newRow("Wayland named, no compositor") << QStringList{QStringLiteral("WAYLAND_DISPLAY=wayland-lw-test"),
                                                                     QStringLiteral("XDG_SESSION_TYPE=wayland")}
                                                      << false;
    }
    void gameWithoutDisplay()
    {
        QFETCH(QStringList, environment);
        QFETCH(bool, japanese);
        QTemporaryDir runtimeDir; // no compositor socket in it
        QVERIFY(runtimeDir.isValid());

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE",
                                 "LC_ALL", "LC_MESSAGES", "LANG"})
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir.path());
        for (const QString& pair : environment)
            env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));

        QProcess game;
        game.setProcessEnvironment(env);
        game.start(QStringLiteral(LW_GAME_PROGRAM), {});
        QVERIFY2(game.waitForFinished(30'000), "the game did not end by itself");
        QCOMPARE(game.exitStatus(), QProcess::NormalExit); // not killed by SIGABRT
        QCOMPARE(game.exitCode(), 1);
        QCOMPARE(game.readAllStandardError(), japanese ? kJapanese : kEnglish);
        QCOMPARE(game.readAllStandardOutput(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestDisplayCheck)
#include "test_display_check.moc"

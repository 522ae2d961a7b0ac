// Tests of the session bus check: when the search for a bus can only fail, and what the game
// then names for itself.
#include "SessionBus.h"

#include <QtTest>

using namespace lw;

class TestSessionBus : public QObject {
    Q_OBJECT

private slots:
    void searchCanOnlyFail_data()
    {
        QTest::addColumn<QByteArray>("address");
        QTest::addColumn<QByteArray>("runtimeDir");
        QTest::addColumn<bool>("runtimeSocket");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<bool>("launcher");
        QTest::addColumn<bool>("canOnlyFail");

        QTest::newRow("nothing to find on an X display")
            << QByteArray() << QByteArray() << false << QByteArray(":0") << false << true;
        QTest::newRow("runtime directory without a bus")
            << QByteArray() << QByteArray("/run/user/1000") << false << QByteArray(":0") << false << true;
        QTest::newRow("address named") << QByteArray("unix:path=/run/user/1000/bus") << QByteArray() << false
                                       << QByteArray(":0") << false << false;
        QTest::newRow("user bus in the runtime directory")
            << QByteArray() << QByteArray("/run/user/1000") << true << QByteArray(":0") << false << false;
        QTest::newRow("dbus-launch can start one")
            << QByteArray() << QByteArray() << false << QByteArray(":0") << true << false;
        // Without an X display nothing is started anyway: the library fails by itself.
        QTest::newRow("no X display") << QByteArray() << QByteArray() << false << QByteArray() << false << false;
    }

    void searchCanOnlyFail()
    {
        QFETCH(QByteArray, address);
        QFETCH(QByteArray, runtimeDir);
        QFETCH(bool, runtimeSocket);
        QFETCH(QByteArray, display);
        QFETCH(bool, launcher);
        QFETCH(bool, canOnlyFail);

        QByteArray askedSocket;
        SessionBusEnvironment environment{address, runtimeDir, display,
                                          [&](const QByteArray& path) {
                                              askedSocket = path;
                                              return runtimeSocket;
                                          },
                                          [launcher] { return launcher; }};
        QCOMPARE(sessionBusSearchCanOnlyFail(environment), canOnlyFail);
        if (!askedSocket.isEmpty())
            QCOMPARE(askedSocket, runtimeDir + "/bus");
    }

    // The process's own environment: an address the search cannot fail to find is never
    // replaced, and the address named otherwise is the one that fails at once.
    void namesAnAddressOnlyWhenTheSearchCanOnlyFail()
    {
        const auto restore = [](const char* name, const QByteArray& value) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        };
        const QByteArray savedDisplay = qgetenv("DISPLAY");
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        const QByteArray savedAddress = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        qputenv("DISPLAY", ":0");
        qunsetenv("XDG_RUNTIME_DIR");

        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/tmp/a-bus");
        skipSessionBusSearchThatCanOnlyFail();
        QCOMPARE(qgetenv("DBUS_SESSION_BUS_ADDRESS"), QByteArray("unix:path=/tmp/a-bus"));

        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        skipSessionBusSearchThatCanOnlyFail();
        QCOMPARE(qgetenv("DBUS_SESSION_BUS_ADDRESS"),
                 dbusLaunchInstalled() ? QByteArray() : QByteArray(kNoSessionBusAddress));

        restore("DISPLAY", savedDisplay);
        restore("XDG_RUNTIME_DIR", savedRuntime);
        restore("DBUS_SESSION_BUS_ADDRESS", savedAddress);
    }
};

QTEST_GUILESS_MAIN(TestSessionBus)
#include "test_session_bus.moc"

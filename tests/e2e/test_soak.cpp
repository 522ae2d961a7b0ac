// Many whole playthroughs in one process, jumping back and forth with the screen jump; meant to
// run under AddressSanitizer and UndefinedBehaviorSanitizer (see the README).
#include "Playthrough.h"

#include <QtTest>

using namespace lw::e2e;

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void manyPlaythroughs()
    {
        const int runs = qEnvironmentVariableIsSet("LW_SOAK_RUNS") ? qEnvironmentVariableIntValue("LW_SOAK_RUNS") : 10;
        const QString data = qEnvironmentVariable("LW_DATA_DIR");
        for (int run = 0; run < runs; ++run) {
            PlaythroughOptions options;
            options.jumpAround = run % 2 == 1;
            const PlaythroughResult result = playThrough(data, options);
            QVERIFY2(result.fatalError.isEmpty(), qPrintable(result.fatalError));
            QVERIFY2(result.reachedClearScreen, qPrintable(QStringLiteral("run %1").arg(run)));
        }
    }
};

QTEST_MAIN(TestSoak)
#include "test_soak.moc"

// Many whole playthroughs in one process, jumping back and forth with the screen jump; meant to
// run under AddressSanitizer and UndefinedBehaviorSanitizer (see the README). Prints a report of
// every run and a summary.
#include "Playthrough.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace lw::e2e;

namespace {

const char* sanitizers()
{
#if defined(__SANITIZE_ADDRESS__)
    return "AddressSanitizer and UndefinedBehaviorSanitizer";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return "AddressSanitizer and UndefinedBehaviorSanitizer";
#else
    return "no sanitizer";
#endif
#else
    return "no sanitizer";
#endif
}

} // namespace

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void manyPlaythroughs()
    {
        const int runs = qEnvironmentVariableIsSet("LW_SOAK_RUNS") ? qEnvironmentVariableIntValue("LW_SOAK_RUNS") : 10;
        const QString data = qEnvironmentVariable("LW_DATA_DIR");
        QElapsedTimer total;
        total.start();
        long long clicks = 0;
        long long pieces = 0;
        for (int run = 0; run < runs; ++run) {
            PlaythroughOptions options;
            options.jumpAround = run % 2 == 1;
            QElapsedTimer timer;
            timer.start();
            const PlaythroughResult result = playThrough(data, options);
            clicks += result.clicks;
            pieces += qsizetype(result.opened.size());
            qInfo("soak run %d/%d: %s, %d clicks, %d roll ticks, %zu pieces played, %lld ms", run + 1, runs,
                  options.jumpAround ? "with screen jumps" : "straight", result.clicks, result.rollTicks,
                  result.opened.size(), timer.elapsed());
            QVERIFY2(result.fatalError.isEmpty(), qPrintable(result.fatalError));
            QVERIFY2(result.reachedClearScreen, qPrintable(QStringLiteral("run %1").arg(run)));
        }
        qInfo("soak summary: %d playthroughs, %lld clicks, %lld pieces played in %lld ms, built with %s; "
              "leaks are reported by LeakSanitizer when the process exits",
              runs, clicks, pieces, total.elapsed(), sanitizers());
    }
};

QTEST_MAIN(TestSoak)
#include "test_soak.moc"

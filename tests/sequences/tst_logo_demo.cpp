// The opening logo demo: its tick table, music, closing wave, reactivation, first activation and mascots.
#include "LogoDemo.h"
#include "SequenceFixture.h"
#include "Twips.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace lw;

namespace {

// What the window shows, as one comparable value.
struct DemoView {
    QString shown; // which of Line1, Label1, Line2, Label2, Label3 are visible
    QPoint image[3];
    int demoX, demoY, interval;
    bool operator==(const DemoView&) const = default;
};

char* toStringImpl(const DemoView& v)
{
    QString text =
        QStringLiteral("shown[%1] x=%2 y=%3 interval=%4").arg(v.shown).arg(v.demoX).arg(v.demoY).arg(v.interval);
    for (const QPoint& p : v.image)
        text += QStringLiteral(" (%1,%2)").arg(p.x()).arg(p.y());
    return qstrdup(text.toUtf8().constData());
}

DemoView viewOf(const LogoDemo& demo)
{
    DemoView v;
    auto all = [](const auto& items) {
        for (const auto* item : items)
            if (!item->isVisibleTo(item->parentWidget()))
                return false;
        return true;
    };
    const QStringList names{
        all(demo.firstLetter) ? "Line1" : "", demo.firstWordRest->isVisibleTo(&demo) ? "Label1" : "",
        all(demo.secondLetter) ? "Line2" : "", demo.secondWordRest->isVisibleTo(&demo) ? "Label2" : "",
        demo.makerWord->isVisibleTo(&demo) ? "Label3" : ""};
    QStringList nonEmpty;
    for (const QString& n : names)
        if (!n.isEmpty())
            nonEmpty << n;
    v.shown = nonEmpty.join(' ');
    for (int i = 0; i < 3; ++i)
        v.image[i] = demo.mascots[i]->pos();
    v.demoX = demo.figureX;
    v.demoY = demo.figureY;
    v.interval = demo.stepTimer.interval();
    return v;
}

QPoint at(int left, int top) { return {twipsToPixels(left), twipsToPixels(top)}; }

} // namespace

namespace QTest {
template <> char* toString(const DemoView& v) { return toStringImpl(v); }
} // namespace QTest

class TestLwDemo : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<testing::SequenceFixture> fx;
    QTemporaryDir dir;
    QString oldCwd;

    // A loaded demo with its timer held still: the ticks are driven by hand.
    LogoDemo& freshDemo()
    {
        LogoDemo& demo = fx->demo.get();
        demo.stepTimer.stop();
        demo.onActivate();
        return demo;
    }
    void runTicks(LogoDemo& demo, int ticks)
    {
        for (int i = 0; i < ticks; ++i)
            demo.step();
    }

private slots:
    void init()
    {
        fx = std::make_unique<testing::SequenceFixture>();
        oldCwd = QDir::currentPath();
        QVERIFY(dir.isValid());
        QDir::setCurrent(dir.path());
    }
    void cleanup()
    {
        fx->demo.unload();
        testing::flushDeletes();
        QDir::setCurrent(oldCwd);
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        fx.reset();
    }

    void tickTable_data()
    {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<DemoView>("expected");
        const QPoint walk0 = at(6240, 120), stand0 = at(5280, 240), fly0 = at(6480, 1680);
        QTest::newRow("1: interval only") << 1 << DemoView{"", {walk0, stand0, fly0}, 5000, 0, 120};
        QTest::newRow("2: first word only, figure not moved")
            << 2 << DemoView{"Line1 Label1", {walk0, stand0, fly0}, 5000, 0, 120};
        QTest::newRow("3: walking figure enters at 4850, top 0")
            << 3 << DemoView{"Line1 Label1", {at(4850, 0), stand0, fly0}, 4850, 50, 120};
        QTest::newRow("4: bobs to 50") << 4 << DemoView{"Line1 Label1", {at(4700, 50), stand0, fly0}, 4700, 0, 120};
        QTest::newRow("28: reaches 1100") << 28 << DemoView{"Line1 Label1", {at(1100, 50), stand0, fly0}, 1100, 0, 120};
        QTest::newRow("29: nothing") << 29 << DemoView{"Line1 Label1", {at(1100, 50), stand0, fly0}, 1100, 0, 120};
        QTest::newRow("30: second word only, walker out")
            << 30 << DemoView{"Line1 Label1 Line2 Label2", {at(5000, 50), stand0, fly0}, 1100, 0, 120};
        QTest::newRow("31: flyer at 1100, 50")
            << 31 << DemoView{"Line1 Label1 Line2 Label2", {at(5000, 50), stand0, at(1100, 50)}, 1100, 50, 120};
        QTest::newRow("35: flyer sinks to 250")
            << 35 << DemoView{"Line1 Label1 Line2 Label2", {at(5000, 50), stand0, at(1100, 250)}, 1100, 250, 120};
        QTest::newRow("36: third word only, flyer out")
            << 36
            << DemoView{"Line1 Label1 Line2 Label2 Label3", {at(5000, 50), stand0, at(5000, 250)}, 1100, 250, 120};
        QTest::newRow("37: stander at 300")
            << 37
            << DemoView{
                   "Line1 Label1 Line2 Label2 Label3", {at(5000, 50), at(1100, 300), at(5000, 250)}, 1100, 300, 120};
        QTest::newRow("44: stander rests at 550")
            << 44
            << DemoView{
                   "Line1 Label1 Line2 Label2 Label3", {at(5000, 50), at(1100, 550), at(5000, 250)}, 1100, 550, 120};
        QTest::newRow("45: closing interval")
            << 45
            << DemoView{
                   "Line1 Label1 Line2 Label2 Label3", {at(5000, 50), at(1100, 550), at(5000, 250)}, 1100, 550, 3000};
    }
    void tickTable()
    {
        QFETCH(int, ticks);
        QFETCH(DemoView, expected);
        LogoDemo& demo = freshDemo();
        runTicks(demo, ticks);
        QCOMPARE(viewOf(demo), expected);
        // Out of sight means a left edge at or past the client width, never a hidden widget.
        for (ImageBox* image : demo.mascots)
            QVERIFY(image->isVisibleTo(&demo));
        QVERIFY(pixelsToTwips(demo.mascots[0]->x()) >= demo.clientWidthTwips() || ticks < 30);
    }

    void musicAndWave_data()
    {
        QTest::addColumn<QString>("waveFile");
        QTest::newRow("wave present, other letter case") << "LWDEMO2.wav";
        QTest::newRow("wave missing") << "";
    }
    void musicAndWave()
    {
        QFETCH(QString, waveFile);
        if (!waveFile.isEmpty()) {
            QFile file(QDir(dir.path()).filePath(waveFile));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        LogoDemo& demo = freshDemo();
        const std::vector<std::string> start = fx->midi.commands();
        QCOMPARE(start, (std::vector<std::string>{"close Midi", "open \"/game/Ksnet.mid\" type sequencer alias Midi",
                                                  "play Midi"}));
        fx->midi.clear();
        QSignalSpy unloaded(&demo, &GameWindow::unloaded);
        runTicks(demo, 44);
        QVERIFY(fx->midi.calls.empty());
        QVERIFY(fx->wave.played.empty());
        runTicks(demo, 1);
        if (waveFile.isEmpty()) {
            QVERIFY(fx->wave.played.empty());
        } else {
            QCOMPARE(fx->wave.played.size(), std::size_t(1));
            QCOMPARE(QString::fromStdString(fx->wave.played[0]), QDir(dir.path()).filePath(waveFile));
        }
        QVERIFY(fx->midi.calls.empty());
        QVERIFY(fx->demo.exists());
        runTicks(demo, 1);
        QCOMPARE(fx->midi.commands(), std::vector<std::string>{"close Midi"});
        QVERIFY(!demo.stepTimer.isActive());
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!demo.isVisible());
        QVERIFY(!fx->demo.exists());
        QVERIFY(fx->ends.empty());
    }

    void reactivationRestartsTableNotWidgets()
    {
        LogoDemo& demo = freshDemo();
        runTicks(demo, 33);
        const DemoView before = viewOf(demo);
        fx->midi.clear();
        demo.onActivate();
        QCOMPARE(fx->countContaining("Ksnet.mid"), 1);
        QCOMPARE(demo.ticks, 0);
        DemoView expected = before;
        expected.demoX = 5000;
        expected.demoY = 0;
        QCOMPARE(viewOf(demo), expected);
        // From tick 1 again: the walking figure comes back in from the right.
        runTicks(demo, 3);
        QCOMPARE(demo.mascots[0]->pos(), at(4850, 0));
        QCOMPARE(demo.mascots[2]->pos(), before.image[2]);
    }

    // The mascots are built in: pictures of the same names in the working directory are not read.
    void mascotsAreBuiltIn()
    {
        QImage green(98, 90, QImage::Format_RGB32);
        green.fill(Qt::green);
        QVERIFY(green.save(QDir(dir.path()).filePath("mascot0.png")));
        LogoDemo& demo = freshDemo();
        QCOMPARE(demo.mascots[0]->size(), QSize(98, 90));
        QVERIFY(demo.mascots[0]->picture().pixel(49, 45) != QColor(Qt::green).rgb());
    }

    // The platform may or may not activate a shown window; either way the demo starts exactly once.
    void showActivatesOnce()
    {
        LogoDemo& demo = fx->demo.get();
        demo.stepTimer.stop();
        fx->midi.clear();
        demo.showActive();
        QTRY_COMPARE_WITH_TIMEOUT(fx->countContaining("Ksnet.mid"), 1, 10000);
        QTest::qWait(500);
        QCOMPARE(fx->countContaining("Ksnet.mid"), 1);
        QCOMPARE(demo.figureX, 5000);
    }
};

QTEST_MAIN(TestLwDemo)
#include "tst_logo_demo.moc"

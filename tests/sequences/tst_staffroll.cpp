// The staff roll: driven by scripted music positions, checked against the picture list and credits.
#include "GameState.h"
#include "SceneTable.h"
#include "SequenceFixture.h"
#include "StaffRollWindow.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

#include <map>
#include <memory>

using namespace lw;

class TestStaffRoll : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<testing::SequenceFixture> fx;
    int hideCalls = 0;
    int timerCalls = 0;

    // A loaded roll with a distinct one-pixel picture in each cache holder: red = holder number + 1.
    StaffRollWindow& freshRoll()
    {
        StaffRollWindow& roll = fx->roll.get();
        for (int i = 0; i < kRollPictures; ++i) {
            QImage picture(1, 1, QImage::Format_RGB32);
            picture.fill(qRgb(i + 1, 0, 0));
            roll.cachedPicture(i)->setPicture(picture);
        }
        return roll;
    }
    static int shownHolder(const StaffRollWindow& roll)
    {
        return roll.entryPicture->picture().isNull() ? -1 : qRed(roll.entryPicture->picture().pixel(0, 0)) - 1;
    }
    void tick(StaffRollWindow& roll, const QString& position, const QString& mode = QStringLiteral("playing"))
    {
        fx->midi.positionAnswer = position.toStdString();
        fx->midi.modeAnswer = mode.toStdString();
        roll.step();
    }
    // Ticks on with the device's last answers until the roll ends; fails if it never does or if
    // the position ever goes back.
    int tickToEnd(StaffRollWindow& roll, int limit = 2000)
    {
        int ticks = 0;
        int last = roll.lastPosition();
        while (!roll.ended() && ticks < limit) {
            roll.step();
            ++ticks;
            if (roll.lastPosition() < last)
                return -1;
            last = roll.lastPosition();
        }
        return roll.ended() ? ticks : -2;
    }

private slots:
    void init()
    {
        fx = std::make_unique<testing::SequenceFixture>();
        hideCalls = timerCalls = 0;
        StaffRollWindow& roll = fx->roll.get();
        connect(&roll, &StaffRollWindow::hideGameWindows, this, [this] { ++hideCalls; });
        connect(&roll, &StaffRollWindow::stopMusicRepeat, this, [this] { ++timerCalls; });
    }
    void cleanup()
    {
        fx->roll.unload();
        testing::flushDeletes();
        fx.reset();
    }

    void startStaffRoll()
    {
        StaffRollWindow& roll = freshRoll();
        roll.onLoad(); // a second centring changes nothing that matters; the roll must stay hidden
        fx->roll.get().start();
        QCOMPARE(&fx->roll.get(), &roll);
        QCOMPARE(
            fx->midi.commands(),
            (std::vector<std::string>{"close Midi", "open \"/game/prum.mid\" type sequencer alias Midi", "play Midi"}));
        QVERIFY(roll.stepTimer.isActive());
        QCOMPARE(roll.stepTimer.interval(), 200);
        QVERIFY(!roll.isVisible());
        QCOMPARE(roll.rollCounter, std::int16_t(0));
    }

    void followsPosition_data()
    {
        QTest::addColumn<QStringList>("positions");
        QTest::addColumn<int>("holder"); // -1: nothing shown yet
        QTest::addColumn<QString>("heading");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("hides");
        QTest::addColumn<int>("timerStops");
        const QStringList zeros9(9, "0");
        QTest::newRow("nine ticks of 0: rollCounter at 18") << zeros9 << -1 << "" << false << true << 0 << 0;
        QTest::newRow("ten ticks of 0: rollCounter at 20 shows the roll")
            << (zeros9 + QStringList{"0"}) << 0 << "Lunaweave" << true << true << 1 << 1;
        QTest::newRow("an unreadable answer counts as 0")
            << (zeros9 + QStringList{"x"}) << 0 << "Lunaweave" << true << true << 1 << 1;
        QTest::newRow("a device that starts late takes over from rollCounter")
            << (QStringList(15, "0") + QStringList{"5"}) << 0 << "Lunaweave" << true << true << 5 << 5;
        QTest::newRow("between the rows nothing changes")
            << QStringList{"25", "30", "55", "79"} << 0 << "Lunaweave" << true << true << 1 << 1;
        QTest::newRow("a jump past W = 2 still shows the roll at W = 8")
            << QStringList{"5", "85"} << 1 << "ルネッタ" << true << true << 1 << 0;
        QTest::newRow("690 does not end the roll")
            << QStringList{"650", "690"} << 20 << "著作" << false << true << 0 << 0;
        QTest::newRow("691 ends it") << QStringList{"650", "691"} << 20 << "著作" << false << false << 0 << 0;
        QTest::newRow("the end test needs no row") << QStringList{"700"} << -1 << "" << false << false << 0 << 0;
        QTest::newRow("a fraction rounds to the nearest")
            << QStringList{"19.6"} << 0 << "Lunaweave" << true << true << 1 << 1;
        QTest::newRow("a huge position is held at 32767, not wrapped")
            << QStringList{"70000"} << -1 << "" << false << false << 0 << 0;
    }
    void followsPosition()
    {
        QFETCH(QStringList, positions);
        StaffRollWindow& roll = freshRoll();
        for (const QString& p : positions)
            tick(roll, p);
        QTEST(shownHolder(roll), "holder");
        QTEST(roll.headingLabel->text(), "heading");
        QTEST(roll.isVisible(), "visible");
        QFETCH(bool, running);
        QCOMPARE(!roll.ended(), running);
        QTEST(hideCalls, "hides");
        QTEST(timerCalls, "timerStops");
        QCOMPARE(roll.rollCounter, std::int16_t(2 * positions.size()));
    }

    // Sweeps the music through the whole piece and checks every entry against the story bible:
    // the heading names who is in the picture shown, the credits are the people it lists.
    void entriesMatchStoryBible()
    {
        QFile bible(qEnvironmentVariable("LW_SOURCE_DIR") + "/docs/story-bible.md");
        QVERIFY2(bible.open(QIODevice::ReadOnly | QIODevice::Text), "docs/story-bible.md");
        const QStringList lines = QString::fromUtf8(bible.readAll()).split('\n');
        std::map<QString, QString> bracketOf; // picture key -> roll heading in brackets ("" for none)
        QStringList people;
        static const QRegularExpression row(R"(^\|\s*([^|]+?)\s*\|\s*[^|]*\|\s*([^|]*)\|\s*$)");
        static const QRegularExpression bracket(R"(\[([^\]]+)\]\s*$)");
        for (const QString& line : lines) {
            const auto m = row.match(line);
            if (!m.hasMatch())
                continue;
            const auto b = bracket.match(m.captured(2).trimmed());
            bracketOf[m.captured(1)] = b.hasMatch() ? b.captured(1) : QString();
        }
        bool inPeople = false;
        for (const QString& line : lines) {
            if (line.startsWith("## "))
                inPeople = line.contains("People credited");
            const QStringList cells = line.split('|');
            if (inPeople && cells.size() == 4 && !cells[1].contains("Credit") && !cells[1].contains("---"))
                for (const QString& name : cells[2].split(','))
                    people << name.trimmed();
        }
        QCOMPARE(people.size(), 11);

        StaffRollWindow& roll = freshRoll();
        struct Entry {
            int holder;
            QString heading, credit;
        };
        std::vector<Entry> entries;
        for (int p = 2; !roll.ended() && p < 2000; p += 2) {
            tick(roll, QString::number(p));
            const Entry e{shownHolder(roll), roll.headingLabel->text(), roll.creditLabel->text()};
            if (e.holder >= 0 &&
                (entries.empty() || entries.back().holder != e.holder || entries.back().heading != e.heading))
                entries.push_back(e);
        }
        QVERIFY(roll.ended());
        QCOMPARE(int(entries.size()), kRollPictures);
        QStringList credited;
        for (int i = 0; i < kRollPictures; ++i) {
            const Entry& e = entries[std::size_t(i)];
            QCOMPARE(e.holder, i);
            const auto key = QString::fromUtf16(kRollPictureKeys[std::size_t(i)].data(),
                                                qsizetype(kRollPictureKeys[std::size_t(i)].size()));
            QVERIFY2(bracketOf.count(key), qPrintable(key));
            const QString expected = bracketOf[key];
            const QString shown = i == 0 ? e.heading + " / " + e.credit : e.heading;
            QVERIFY2(shown == expected, qPrintable(key + ": " + shown + " != " + expected));
            QString credit = e.credit;
            credit.remove(QRegularExpression("^(ＣＧ|作曲)："));
            if (!credit.isEmpty() && i != 0 && !credit.startsWith("Kestrune"))
                credited << credit;
        }
        for (const QString& name : people)
            QVERIFY2(credited.contains(name), qPrintable(name + " is not credited"));
        for (const QString& name : credited)
            QVERIFY2(people.contains(name), qPrintable(name + " is not in the bible"));
    }

    void musicStopsEarly_data()
    {
        QTest::addColumn<QStringList>("positions");
        QTest::addColumn<QStringList>("modes");
        QTest::addColumn<int>("positionAfter"); // the roll's position after the scripted ticks
        QTest::newRow("position falls to 0") << QStringList{"300", "0"} << QStringList{"playing", "playing"} << 302;
        QTest::newRow("position goes back") << QStringList{"300", "120"} << QStringList{"playing", "playing"} << 302;
        QTest::newRow("device no longer playing")
            << QStringList{"300", "304"} << QStringList{"playing", "stopped"} << 302;
        QTest::newRow("device paused still counts as playing")
            << QStringList{"300", "302"} << QStringList{"playing", "paused"} << 302;
        const QStringList still(10, "400");
        QTest::newRow("position stands still for 10 ticks")
            << (QStringList{"400"} + still) << QStringList(11, "playing") << 402;
        QTest::newRow("position stands still for 9 ticks")
            << (QStringList{"400"} + QStringList(9, "400")) << QStringList(10, "playing") << 400;
        QTest::newRow("a slow stretch that moves again")
            << QStringList{"400", "400", "400", "401"} << QStringList(4, "playing") << 401;
    }
    void musicStopsEarly()
    {
        QFETCH(QStringList, positions);
        QFETCH(QStringList, modes);
        StaffRollWindow& roll = freshRoll();
        for (int i = 0; i < positions.size(); ++i)
            tick(roll, positions[i], modes[i]);
        QTEST(roll.lastPosition(), "positionAfter");
        const int ticks = tickToEnd(roll);
        QVERIFY2(ticks > 0, "the roll went backwards or never ended");
        QVERIFY(roll.lastPosition() > 690);
        QVERIFY(!roll.stepTimer.isActive());
        QCOMPARE(roll.headingLabel->text(), QStringLiteral("著作"));
    }

    void noDeviceEndsOnTick346()
    {
        StaffRollWindow& roll = freshRoll();
        roll.stepTimer.start();
        fx->midi.statusResult = 1; // every query fails: no position, ever
        for (int i = 0; i < 345; ++i)
            roll.step();
        QVERIFY(!roll.ended());
        roll.step();
        QVERIFY(roll.ended());
        QCOMPARE(roll.rollCounter, std::int16_t(692));
        // The timer stops with the roll, so the counter cannot run on.
        QVERIFY(!roll.stepTimer.isActive());
    }

    // Closing the roll with its close box skips the rest: the start-up sequence must not be left
    // waiting with every window hidden.
    void closeBoxSkipsTheRoll()
    {
        StaffRollWindow& roll = freshRoll();
        QSignalSpy finished(&roll, &StaffRollWindow::finished);
        fx->roll.get().start();
        for (int i = 0; i < 12; ++i)
            tick(roll, "0");
        QVERIFY(roll.isVisible());
        QVERIFY(!roll.ended());
        QVERIFY(roll.close());
        QVERIFY(roll.ended());
        QCOMPARE(finished.count(), 1);
        QVERIFY(!roll.stepTimer.isActive());
        QVERIFY(!fx->roll.exists());
        QVERIFY(fx->ends.empty());
        QCOMPARE(fx->count("close Midi"), 1); // only the one before the ending music: it plays on
    }
};

QTEST_MAIN(TestStaffRoll)
#include "tst_staffroll.moc"

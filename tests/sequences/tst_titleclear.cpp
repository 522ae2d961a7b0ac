// The title window's clicks and close, and the clear screen's message, OK button and close box.
#include "ClearWindow.h"
#include "SequenceFixture.h"
#include "TitleWindow.h"

#include <QtTest>

#include <memory>

using namespace lw;

class TestTitleAndClear : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<testing::SequenceFixture> fx;

private slots:
    void init() { fx = std::make_unique<testing::SequenceFixture>(); }
    void cleanup()
    {
        fx->title.unload();
        fx->clear.unload();
        testing::flushDeletes();
        fx.reset();
    }

    void titlePlaysItsTune()
    {
        TitleWindow& title = fx->title.get();
        QCOMPARE(fx->midi.commands(),
                 (std::vector<std::string>{"close Midi", "open \"/game/Showt.mid\" type sequencer alias Midi",
                                           "play Midi"}));
        QVERIFY(fx->module.backgroundPiece.empty());
        QCOMPARE(title.clientWidthTwips(), 5475.0);
        QCOMPARE(title.clientHeightTwips(), 2745.0);
    }

    void clickStartsTheGame_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("background") << "";
        QTest::newRow("firstWord") << "firstWord";
        QTest::newRow("secondWord") << "secondWord";
        QTest::newRow("makersLine") << "makersLine";
        QTest::newRow("seriesLine") << "seriesLine";
    }
    void clickStartsTheGame()
    {
        QFETCH(QString, target);
        TitleWindow& title = fx->title.get();
        title.showActive();
        fx->midi.clear();
        QWidget* widget = &title;
        QPoint where(title.width() - 3, title.height() - 3); // a corner no label covers
        if (!target.isEmpty()) {
            widget = title.findChild<QWidget*>(target);
            QVERIFY(widget);
            where = widget->rect().center();
        }
        QCOMPARE(title.childAt(widget->mapTo(&title, where)), target.isEmpty() ? nullptr : widget);
        QSignalSpy unloaded(&title, &GameWindow::unloaded);
        QTest::mouseClick(widget, Qt::LeftButton, {}, where);
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!title.isVisible());
        QVERIFY(!fx->title.exists());
        QCOMPARE(fx->midi.commands(), std::vector<std::string>{"close Midi"});
        QVERIFY(fx->ends.empty());
    }

    void titleCloseBoxEndsTheProgram()
    {
        TitleWindow& title = fx->title.get();
        title.showActive();
        fx->midi.clear();
        title.close();
        QCOMPARE(fx->midi.commands(), std::vector<std::string>{"close Midi"});
        QCOMPARE(fx->ends.size(), std::size_t(1));
        QCOMPARE(fx->ends[0].status, 0);
        QCOMPARE(fx->ends[0].commandsBefore, std::size_t(1)); // the music was closed first
    }

    void clearScreenMessage()
    {
        ClearWindow& clear = fx->clear.get();
        QCOMPARE(clear.messageLabel->text(),
                 QStringLiteral(
                     "ここまで遊んでくれてありがとう！ぜひ、Lunaweaveクリアユーザ専用隠しホームページへおこしください。"
                     "\r\n\r\nhttps://lunaweave.example.jp/clear/\r\n\r\nです。お待ちしております。"));
        QCOMPARE(clear.windowTitle(), QStringLiteral("Information"));
        QCOMPARE(clear.okButton->text(), QStringLiteral("O K"));
        QVERIFY(fx->midi.calls.empty()); // the ending music plays on into the clear screen
    }

    void clearScreenEnds_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::addColumn<std::vector<std::string>>("commands");
        QTest::newRow("O K: music left alone") << false << std::vector<std::string>{};
        QTest::newRow("close box: music closed first") << true << std::vector<std::string>{"close Midi"};
    }
    void clearScreenEnds()
    {
        QFETCH(bool, closeBox);
        QFETCH(std::vector<std::string>, commands);
        ClearWindow& clear = fx->clear.get();
        clear.showActive();
        if (closeBox)
            clear.close();
        else
            QTest::mouseClick(clear.okButton, Qt::LeftButton);
        QCOMPARE(fx->midi.commands(), commands);
        QCOMPARE(fx->ends.size(), std::size_t(1));
        QCOMPARE(fx->ends[0].status, 0);
        QCOMPARE(fx->ends[0].commandsBefore, commands.size());
    }
};

QTEST_MAIN(TestTitleAndClear)
#include "tst_titleclear.moc"

// Reading help on the real message window: every line of the script fits with furigana in both
// layouts, the window is unchanged with them off, and copying and the feed reach the clipboard.
#include "EntryTable.h"
#include "Game.h"
#include "GameState.h"
#include "MainWindow.h"
#include "MessageWindow.h"
#include "NextTable.h"
#include "PlayerAdditions.h"
#include "ResponseTables.h"
#include "SceneCatalogue.h"
#include "ShellTestBase.h"

#include <QClipboard>
#include <QMimeData>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>

#include <memory>
#include <span>

using namespace lw;
using namespace lw::testing;

namespace {

// Every line the message window can show, speaker and text as the script marks them.
std::vector<story::Line> everyLine()
{
    using namespace lw::story;
    std::vector<Line> all;
    for (const auto& row : kNextTable)
        if (row.line.shown())
            all.push_back(row.line);
    for (const auto& row : kEntryTable)
        if (row.line.shown())
            all.push_back(row.line);
    for (const auto table : {std::span<const Answer>(kLookTable), std::span<const Answer>(kTalkTable),
                             std::span<const Answer>(kThinkTable), std::span<const Answer>(kMagicTable)})
        for (const auto& answer : table)
            if (answer.line.shown())
                all.push_back(answer.line);
    for (const std::string_view text :
         {kIntroductionHint, kNextHint, kLookDefault, kTalkDefault, kThinkDefault, kMagicDefault})
        all.push_back({kNarration, text});
    all.push_back(kDiaryGoOn);
    all.push_back({kNarration, kCommandHint});
    return all;
}

// The harshest furigana a line could get: a reading of two kana over every kanji.
RubyText everyKanjiRead(const QString& shown)
{
    RubyText out{shown, {}};
    for (int i = 0; i < shown.size(); ++i) {
        const QChar c = shown[i];
        if (c.script() == QChar::Script_Han)
            out.ruby.append({i, 1, QStringLiteral("かな")});
    }
    return out;
}

} // namespace

class TestReadingHelp : public ShellTestBase {
    Q_OBJECT

    MainWindow& mainWindow() { return session().windows().main.get(); }
    MessageWindow& messageWindow() { return session().windows().message.get(); }

    void openWindows(double screenWidth)
    {
        session().windows().main.unload();
        session().windows().message.unload();
        session().state() = GameState{};
        session().scenes().lastShownState() = 0;
        // Frames as a window manager draws them: the client areas are what a player sees.
        GameWindow::assumeFrameExtra({8, 30});
        session().windows().main.load();
        session().windows().message.load();
        session().layOutGameWindows(screenWidth, 12000);
        GameWindow::assumeFrameExtra({0, 0});
    }

private slots:
    void initTestCase()
    {
        const QString data = qEnvironmentVariable("LW_DATA_DIR");
        QVERIFY2(QDir(data).exists(), "LW_DATA_DIR must name the generated data directory");
        installShellServices(data);
    }
    void cleanupTestCase()
    {
        session().windows().main.unload();
        session().windows().message.unload();
        GameWindow::assumeFrameExtra({0, 0});
        removeShellServices();
    }

    // Each line of the script in the message window's text area, with the script's readings
    // and with a reading over every kanji: nothing below or beside the area, every reading
    // centred over its base and clear of its neighbours.
    void everyLineFits_data()
    {
        QTest::addColumn<double>("screenWidth");
        QTest::newRow("stacked") << 16000.0;
        QTest::newRow("side by side") << 9990.0;
    }
    void everyLineFits()
    {
        QFETCH(double, screenWidth);
        openWindows(screenWidth);
        const QLabel& label = *messageWindow().lineLabel;
        const QRect area = visibleTextArea(label);
        QVERIFY(area.height() < 400 && area.width() < 800);
        int namesWithout = 0;
        for (const story::Line& line : everyLine()) {
            const RubyText name = joinRuns(rubyRuns(line.speaker));
            const RubyText text = joinRuns(rubyRuns(line.text));
            const QString speaker = name.text;
            QString shown = formatLine(name.text, text.text);
            shown.remove(QLatin1Char('\r'));
            // The script's readings are there: no kanji without them.
            QVERIFY2(!text.ruby.isEmpty() || everyKanjiRead(text.text).ruby.isEmpty(), qPrintable(text.text));
            QVERIFY2(!name.ruby.isEmpty() || everyKanjiRead(name.text).ruby.isEmpty(), qPrintable(name.text));
            for (const RubyText& withRuby : {rubyForLine(shown, name, text), everyKanjiRead(shown)}) {
                const FuriganaLayout layout = labelLayout(label, withRuby, !speaker.isEmpty());
                const QString what = shown + QStringLiteral(" / ") + QString::number(withRuby.ruby.size());
                QVERIFY2(QRectF(area).contains(layout.inkBounds()), qPrintable(what));
                QVERIFY2(layout.height() <= area.height(), qPrintable(what));
                // Only the name's readings may go, and only when nothing else fits.
                const qsizetype nameEnd = speaker.isEmpty() ? 0 : shown.indexOf(u'\n');
                const auto inText = std::count_if(withRuby.ruby.begin(), withRuby.ruby.end(),
                                                  [nameEnd](const Ruby& r) { return r.start >= nameEnd; });
                const bool namesGo = layout.readingRow() == ReadingRow::WithoutNameReadings;
                QCOMPARE(qsizetype(layout.ruby().size()), namesGo ? inText : withRuby.ruby.size());
                namesWithout += namesGo;
                if (namesGo)
                    qInfo() << "without the name's readings:" << shown;
                for (std::size_t i = 0; i < layout.ruby().size(); ++i) {
                    const auto& placed = layout.ruby()[i];
                    QVERIFY2(std::abs(placed.reading.center().x() - placed.base.center().x()) <= 1, qPrintable(what));
                    QVERIFY2(placed.reading.bottom() <= placed.base.top() + 0.5, qPrintable(what));
                    if (i > 0 && layout.ruby()[i - 1].base.top() == placed.base.top())
                        QVERIFY2(layout.ruby()[i - 1].reading.right() <= placed.reading.left() + 0.01,
                                 qPrintable(what));
                }
            }
        }
        qInfo() << "lines shown without their name's readings:" << namesWithout;
    }

    // F off: the message window as it always was, to the pixel; F on: the readings drawn above.
    void furiganaOffLeavesTheWindowAlone()
    {
        restartGame();
        openWindows(16000);
        const auto show = [this] {
            // ｜へ《え》 is a reading for speech: no furigana over it.
            session().additions().markedLineComing(QString(), QStringLiteral("渋谷《しぶや》｜へ《え》行《い》く。"));
            session().showLine(QString(), QStringLiteral("渋谷へ行く。"));
        };
        // The window as it is drawn without the additions' event filter.
        PlayerAdditions& additions = session().additions();
        qApp->removeEventFilter(&additions);
        show();
        const QImage before = messageWindow().grab().toImage();
        qApp->installEventFilter(&additions);
        additions.history().clear();
        show();
        QCOMPARE(messageWindow().grab().toImage(), before);
        QTest::keyClick(&mainWindow(), Qt::Key_F);
        QVERIFY(additions.readingHelp().furiganaOn());
        const QImage on = messageWindow().grab().toImage();
        const FuriganaLayout layout = additions.readingHelp().labelLayout(*messageWindow().lineLabel);
        QCOMPARE(layout.ruby().size(), std::size_t(2));
        const QRect reading = layout.ruby()[0].reading.toAlignedRect();
        QVERIFY(on.copy(reading) != before.copy(reading));

        // The history carries the reading on the very characters of its base.
        additions.openHistory(&mainWindow());
        QString marked;
        const QTextDocument* history = additions.historyWindow().list()->document();
        for (QTextBlock block = history->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (const QString r = it.fragment().charFormat().property(kReadingProperty).toString(); !r.isEmpty())
                    marked += it.fragment().text() + u'=' + r + u' ';
        QCOMPARE(marked, QStringLiteral("渋谷=しぶや 行=い "));
        additions.historyWindow().closeHistory();
        QTest::keyClick(&messageWindow(), Qt::Key_F);
        QVERIFY(!additions.readingHelp().furiganaOn());
        QCOMPARE(messageWindow().grab().toImage(), before);
    }

    // Ctrl+C copies the line without its speaker and brackets; the feed puts each new line on
    // the clipboard once; the history copies its selection as plain text.
    void copyAndFeed()
    {
        restartGame();
        session().windows().main.unload();
        session().windows().message.unload();
        session().state() = GameState{};
        session().scenes().lastShownState() = 0;
        session().openGameWindows();
        session().scenes().showSceneIfChanged();
        PlayerAdditions& additions = session().additions();
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText(QStringLiteral("before"));
        session().showLine(QStringLiteral("ルネッタ"), QStringLiteral("遅いわね"));
        QCOMPARE(clipboard->text(), QStringLiteral("before"));
        QTest::keyClick(&messageWindow(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), QStringLiteral("遅いわね"));
        QTest::keyClick(&mainWindow(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), QStringLiteral("遅いわね"));

        QTest::keyClick(&mainWindow(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(additions.readingHelp().feedOn());
        QCOMPARE(messageWindow().windowTitle(), QStringLiteral("Lunaweave　［行をクリップボードへ：オン］"));
        QSignalSpy changes(clipboard, &QClipboard::dataChanged);
        QTest::mouseClick(mainWindow().scenePicture, Qt::LeftButton, {}, mainWindow().scenePicture->rect().center());
        session().scenes().showSceneIfChanged();
        QCOMPARE(changes.size(), 1);
        const QString fed = messageWindow().lineLabel->text();
        QCOMPARE(clipboard->text(), fed);
        QCOMPARE(clipboard->mimeData()->formats(), QStringList{QStringLiteral("text/plain")});
        QTest::keyClick(&messageWindow(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(messageWindow().windowTitle(), QStringLiteral("Lunaweave　［行をクリップボードへ：オフ］"));
        additions.soundKeys().removeNote();
        QCOMPARE(messageWindow().windowTitle(), QStringLiteral("Lunaweave"));
        session().showLine(QString(), QStringLiteral("屋上。"));
        QCOMPARE(changes.size(), 1);

        additions.openHistory(&mainWindow());
        QTextBrowser* list = additions.historyWindow().list();
        QTest::keyClick(list, Qt::Key_Up);
        QTest::keyClick(list, Qt::Key_Up);
        QTest::keyClick(list, Qt::Key_Home);
        QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(list, Qt::Key_End, Qt::ShiftModifier);
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), QStringLiteral("「遅いわね」\n") + fed);
        QCOMPARE(clipboard->mimeData()->formats(), QStringList{QStringLiteral("text/plain")});
        additions.historyWindow().closeHistory();
    }
};

QTEST_MAIN(TestReadingHelp)
#include "test_reading_help.moc"

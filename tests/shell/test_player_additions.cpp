// The player's additions on the real game windows: a mouse player's game unchanged, the same
// route played by keys, the history, the sound keys and what assistive tools are told.
#include "Announcer.h"
#include "ClearWindow.h"
#include "ErrorReport.h"
#include "Game.h"
#include "GameState.h"
#include "MainWindow.h"
#include "MessageWindow.h"
#include "Music.h"
#include "PlayerAdditions.h"
#include "Runtime.h"
#include "SceneCatalogue.h"
#include "SceneTable.h"
#include "ShellTestBase.h"
#include "SoundControl.h"
#include "StaffRollWindow.h"
#include "TitleWindow.h"
#include "a11y/StoryRoute.h"
#include "fakes/FakeDialogs.h"
#include "fakes/FakeSoundControl.h"
#include "fakes/RecordingMidiService.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLineEdit>
#include <QScrollBar>
#include <QTextBrowser>
#include <QtTest>

#include <memory>
#include <numeric>
#include <stdexcept>

using namespace lw;
using namespace lw::testing;

namespace {

QString looks(const MainWindow& form)
{
    QString shown;
    for (const ImageBox* icon : form.commandIcons)
        shown += icon->isVisibleTo(&form) ? u'1' : u'0';
    return shown;
}

QPoint pointInColumn(const ImageBox* picture, int column)
{
    return QPoint(picture->width() * (2 * column - 1) / 6, picture->height() / 2);
}

void wheel(QWidget* widget, int delta)
{
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

QAccessibleInterface* accessible(QObject* object) { return QAccessible::queryAccessibleInterface(object); }

QString accessibleName(QObject* object) { return accessible(object)->text(QAccessible::Name); }

// What a screen reader is shown: every object that appears as a notification, with its name, the
// role of its container and the window it is in.
struct Notice {
    QObject* object;
    QString name;
    QAccessible::Role containerRole;
    QWidget* window;
};

class NoticeRecorder : public QObject {
public:
    QList<Notice> heard;
    QStringList names() const
    {
        QStringList names;
        for (const Notice& notice : heard)
            names << notice.name;
        return names;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            if (QAccessibleInterface* shown = accessible(watched); shown && shown->role() == QAccessible::Notification)
                heard << Notice{watched, shown->text(QAccessible::Name), shown->parent()->role(),
                                static_cast<QWidget*>(watched)->window()};
        return false;
    }
};

} // namespace

class TestPlayerAdditions : public ShellTestBase {
    Q_OBJECT

    PlayerAdditions* additions_ = nullptr; // the game's

    MainWindow& form1() { return session().windows().main.get(); }
    MessageWindow& form2() { return session().windows().message.get(); }

    // What a player sees after one click: the line, the two captions, the hover label, the icon bar.
    QStringList seen()
    {
        return {form2().lineLabel->text(),  form1().windowTitle(), form2().windowTitle(),
                form1().hoverLabel->text(), looks(form1()),        QString::number(session().state().ScreenId)};
    }
    static QStringList expected(const route::Step& step, const QString& hover, const QString& bar)
    {
        return {step.line, step.title, QStringLiteral("Lunaweave"), hover, bar, QString::number(step.state)};
    }
    static QString barFor(int command)
    {
        QString bar = QStringLiteral("0000011111");
        if (command > 0) {
            bar[command - 1] = u'1';
            bar[command + 4] = u'0';
        }
        return bar;
    }

    void startGame()
    {
        session().state() = GameState{};
        session().scenes().lastShownState() = 0;
        session().openGameWindows();
        session().scenes().showSceneIfChanged();
    }

    // Plays the route with the mouse only: a move over the icon and a click on it to change the
    // command, a click on the picture's third. Returns what was seen after each click.
    QList<QStringList> playByMouse(const std::vector<route::Step>& steps)
    {
        startGame();
        QList<QStringList> shown{seen()};
        int selected = 0;
        for (std::size_t i = 1; i < steps.size(); ++i) {
            const route::Step& step = steps[i];
            if (step.command != selected) {
                ImageBox* icon = form1().commandIcons[std::size_t(step.command + 4)];
                QTest::mouseMove(icon, icon->rect().center());
                QTest::mouseClick(icon, Qt::LeftButton, {}, icon->rect().center());
                selected = step.command;
            }
            QTest::mouseClick(form1().scenePicture, Qt::LeftButton, {},
                              pointInColumn(form1().scenePicture, step.column));
            session().scenes().showSceneIfChanged(); // the main loop's look after the click
            shown << seen();
        }
        return shown;
    }

private slots:
    void initTestCase()
    {
        const QString data = qEnvironmentVariable("LW_DATA_DIR");
        QVERIFY2(QDir(data).exists(), "LW_DATA_DIR must name the generated data directory");
        installShellServices(data);
    }
    void cleanupTestCase() { removeShellServices(); }
    void init()
    {
        restartGame();
        additions_ = &session().additions();
        startGame();
        sound_ = fakes::FakeSoundControl{};
        dialogs_.prompts.clear();
        ended_.clear();
    }
    void cleanup()
    {
        additions_ = nullptr;
        session().windows().main.unload();
        session().windows().message.unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The route up to 384 with the mouse, with and without the additions, against the story
    // played on the scenario alone.
    void mousePlayerSeesTheGameUnchanged()
    {
        const std::vector<route::Step> steps = route::storyRoute(kLastScreenWithAllIcons);
        additions_->history().clear();
        const QList<QStringList> withAdditions = playByMouse(steps);
        const int lines = std::accumulate(steps.begin(), steps.end(), 0,
                                          [](int n, const route::Step& s) { return n + s.linesShown; });
        QCOMPARE(additions_->history().entries().size(), std::size_t(lines));
        QVERIFY(!additions_->historyWindow().isVisible());
        cleanup();
        const QList<QStringList> without = playByMouse(steps);
        QCOMPARE(withAdditions, without);

        QCOMPARE(withAdditions.size(), qsizetype(steps.size()));
        int selected = 0;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            selected = steps[i].command ? steps[i].command : selected;
            const QString hover = selected ? commandName(selected - 1) : QString();
            QCOMPARE(withAdditions[qsizetype(i)], expected(steps[i], hover, barFor(selected)));
        }
    }

    void keyPlayerFollowsTheSameRoute()
    {
        const std::vector<route::Step> steps = route::storyRoute(kLastScreenWithAllIcons);
        const QList<QList<Qt::Key>> columnKeys{{Qt::Key_Left, Qt::Key_Z},
                                               {Qt::Key_Down, Qt::Key_X, Qt::Key_Space, Qt::Key_Return},
                                               {Qt::Key_Right, Qt::Key_C}};
        QCOMPARE(seen(), expected(steps[0], QString(), barFor(0)));
        int selected = 0;
        for (std::size_t i = 1; i < steps.size(); ++i) {
            const route::Step& step = steps[i];
            if (step.command != selected) {
                QTest::keyClick(&form1(), Qt::Key(Qt::Key_1 + step.command - 1));
                selected = step.command;
            }
            const QList<Qt::Key>& keys = columnKeys[step.column - 1];
            QTest::keyClick(&form1(), keys[qsizetype(i) % keys.size()]);
            QCOMPARE(session().state().clickColumn, ClickColumn(step.column));
            session().scenes().showSceneIfChanged();
            QCOMPARE(seen(), expected(step, commandName(selected - 1), barFor(selected)));
        }
    }

    void commandKeys_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("command"); // the selected command afterwards, as its icon number
        QTest::addColumn<QString>("hover");
        QTest::addColumn<QString>("bar");
        QTest::newRow("1: look") << 10 << int(Qt::Key_1) << 0 << 1 << "見る"
                                 << "1000001111";
        QTest::newRow("keypad 4: magic") << 10 << int(Qt::Key_4) << int(Qt::KeypadModifier) << 4 << "魔法を使う"
                                         << "0001011101";
        QTest::newRow("Ctrl+2: nothing") << 10 << int(Qt::Key_2) << int(Qt::ControlModifier) << 0 << ""
                                         << "0000011111";
        QTest::newRow("6: nothing") << 10 << int(Qt::Key_6) << 0 << 0 << ""
                                    << "0000011111";
        QTest::newRow("past 384, 1 is refused") << 385 << int(Qt::Key_1) << 0 << 0 << ""
                                                << "0000000001";
        QTest::newRow("past 384, 5 is taken") << 385 << int(Qt::Key_5) << 0 << 5 << "次へ"
                                              << "0000100000";
    }
    void commandKeys()
    {
        QFETCH(int, state);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, command);
        QFETCH(QString, hover);
        QFETCH(QString, bar);
        session().state().ScreenId = std::int16_t(state);
        if (state > kLastScreenWithAllIcons)
            form1().hideNonNextIcons();
        QTest::keyClick(&form1(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(session().state().selectedCommand, Command(command));
        QCOMPARE(form1().hoverLabel->text(), hover);
        QCOMPARE(looks(form1()), bar);
    }

    void columnKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<int>("column"); // 0: no click
        QTest::newRow("←") << int(Qt::Key_Left) << 0 << false << 1;
        QTest::newRow("Z") << int(Qt::Key_Z) << 0 << false << 1;
        QTest::newRow("↓") << int(Qt::Key_Down) << 0 << false << 2;
        QTest::newRow("X") << int(Qt::Key_X) << 0 << false << 2;
        QTest::newRow("Space") << int(Qt::Key_Space) << 0 << false << 2;
        QTest::newRow("Return") << int(Qt::Key_Return) << 0 << false << 2;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << false << 2;
        QTest::newRow("→") << int(Qt::Key_Right) << 0 << false << 3;
        QTest::newRow("C") << int(Qt::Key_C) << 0 << false << 3;
        QTest::newRow("↑") << int(Qt::Key_Up) << 0 << false << 0;
        QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << int(Qt::ControlModifier) << false << 0;
        QTest::newRow("Alt+←") << int(Qt::Key_Left) << int(Qt::AltModifier) << false << 0;
        QTest::newRow("Space held down") << int(Qt::Key_Space) << 0 << true << 0;
    }
    void columnKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, repeat);
        QFETCH(int, column);
        // No command yet: a click shows the hint and sets only the column.
        form2().setLine(QStringLiteral("before"));
        QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), QString(), repeat);
        QApplication::sendEvent(&form1(), &press);
        QCOMPARE(session().state().clickColumn, ClickColumn(column));
        QCOMPARE(form2().line(),
                 column ? QStringLiteral("上の方にあるアイコンを選択してから、画面のどこかをクリックしてね。")
                        : QStringLiteral("before"));
        QCOMPARE(session().state().ScreenId, kFirstScreen);
    }

    void tabMovesBetweenTheGameWindows()
    {
        form1().activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &form1());
        QTest::keyClick(&form1(), Qt::Key_Tab);
        QTRY_COMPARE(QApplication::activeWindow(), &form2());
        QTest::keyClick(&form2(), Qt::Key_Backtab, Qt::ShiftModifier);
        QTRY_COMPARE(QApplication::activeWindow(), &form1());
    }

    void screenJumpUnchangedAndMarkedInTheHistory()
    {
        QTest::keyClick(&form2(), Qt::Key_J);
        QTest::keyClick(&form2(), Qt::Key_H, Qt::ControlModifier);
        QVERIFY(dialogs_.prompts.isEmpty());
        QVERIFY(!additions_->historyWindow().isVisible());
        dialogs_.nextAnswer = {QStringLiteral("340"), false};
        const std::size_t beforeJump = additions_->history().entries().size();
        QTest::keyClick(&form2(), Qt::Key_J, Qt::ControlModifier);
        QCOMPARE(dialogs_.prompts.size(), 1);
        QCOMPARE(session().state().ScreenId, std::int16_t(340));
        // The section starts before the lines of the scene the jump shows at once.
        QCOMPARE(additions_->history().entries().at(beforeJump).jumpState, 340);
        const HistoryEntry& line = additions_->history().entries().back();
        QCOMPARE(line.caption, session().scenes().captions[34]);
        QCOMPARE(formatLine(line.speaker, line.text).remove(u'\r'), form2().lineLabel->text());

        // A refused answer starts no section.
        const std::size_t entries = additions_->history().entries().size();
        dialogs_.nextAnswer = {QStringLiteral("abc"), false};
        QTest::keyClick(&form2(), Qt::Key_J, Qt::ControlModifier);
        QCOMPARE(additions_->history().entries().size(), entries);
    }

    void historyOpensAndCloses_data()
    {
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("close");
        QTest::newRow("wheel on the picture, Esc") << "wheel picture"
                                                   << "Esc";
        QTest::newRow("wheel on the message, click") << "wheel message"
                                                     << "click";
        QTest::newRow("Page Up, wheel down") << "Page Up"
                                             << "wheel down";
        QTest::newRow("H on the message, click on the picture") << "H"
                                                                << "picture click";
        QTest::newRow("Page Up, main window minimised") << "Page Up"
                                                        << "minimise";
    }
    void historyOpensAndCloses()
    {
        QFETCH(QString, open);
        QFETCH(QString, close);
        HistoryWindow& history = additions_->historyWindow();
        form1().iconClicked(9); // Next: a click on the picture would move the story on
        const QString line = form2().lineLabel->text();

        if (open == QLatin1String("wheel picture"))
            wheel(form1().scenePicture, 120);
        else if (open == QLatin1String("wheel message"))
            wheel(form2().lineLabel, 120);
        else if (open == QLatin1String("Page Up"))
            QTest::keyClick(&form1(), Qt::Key_PageUp);
        else
            QTest::keyClick(&form2(), Qt::Key_H);
        QVERIFY(history.isVisible());
        QCOMPARE(history.list()->font(), form2().lineLabel->font());
        QCOMPARE(history.geometry(), QRect(form1().scenePicture->mapToGlobal(QPoint()), form1().scenePicture->size()));
        QVERIFY(history.list()->toPlainText().endsWith(line));
        QCOMPARE(history.list()->verticalScrollBar()->value(), history.list()->verticalScrollBar()->maximum());

        if (close == QLatin1String("Esc"))
            QTest::keyClick(history.list(), Qt::Key_Escape);
        else if (close == QLatin1String("click"))
            QTest::mouseClick(history.list()->viewport(), Qt::LeftButton);
        else if (close == QLatin1String("wheel down"))
            wheel(history.list()->viewport(), -120);
        else if (close == QLatin1String("minimise")) {
            form1().setWindowState(Qt::WindowMinimized);
            QVERIFY(!history.isVisible());
            form1().setWindowState(Qt::WindowNoState);
        } else
            QTest::mouseClick(form1().scenePicture, Qt::LeftButton, {}, pointInColumn(form1().scenePicture, 2));
        QVERIFY(!history.isVisible());
        // The story did not move; the next click on the picture moves it again.
        QCOMPARE(session().state().ScreenId, kFirstScreen);
        QCOMPARE(form2().lineLabel->text(), line);
        QTest::mouseClick(form1().scenePicture, Qt::LeftButton, {}, pointInColumn(form1().scenePicture, 2));
        QCOMPARE(session().state().ScreenId, std::int16_t(20));
    }

    void historyScrollsBeforeItClosesPastTheEnd()
    {
        for (int i = 0; i < 200; ++i)
            session().showLine(QString(), QStringLiteral("行 %1").arg(i));
        HistoryWindow& history = additions_->historyWindow();
        QTest::keyClick(&form1(), Qt::Key_H);
        QScrollBar* bar = history.list()->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        wheel(history.list()->viewport(), 120);
        QVERIFY(bar->value() < bar->maximum());
        wheel(history.list()->viewport(), 120);
        wheel(history.list()->viewport(), -120); // back down, not yet past the end
        QVERIFY(history.isVisible());
        while (bar->value() < bar->maximum() && history.isVisible())
            wheel(history.list()->viewport(), -120);
        QVERIFY(history.isVisible());
        wheel(history.list()->viewport(), -120);
        QVERIFY(!history.isVisible());
    }

    // The history as the player reads it: a heading for each place, a marker for each jump, the
    // lines as the message window showed them; and only the newest entries past the limit.
    void historyText()
    {
        LineHistory lines;
        lines.addLine(QString(), QStringLiteral("渋谷の街。"), QStringLiteral("渋谷の街"));
        lines.addLine(QStringLiteral("ルネッタ"), QStringLiteral("遅いわね"), QStringLiteral("渋谷の街"));
        lines.startSection(340);
        lines.addLine(QString(), QStringLiteral("屋上。"), QStringLiteral("渋谷の街"));
        lines.addLine(QString(), QStringLiteral("研究室。"), QStringLiteral("妖性大学院研究室"));
        HistoryWindow window(lines);
        window.open(form2().lineLabel->font(), QRect(0, 0, 400, 300), &form1());
        QCOMPARE(window.list()->toPlainText(),
                 QStringLiteral("◆ 渋谷の街\n渋谷の街。\n【ルネッタ】\n「遅いわね」\n―― 画面ジャンプ 340 ――\n"
                                "◆ 渋谷の街\n屋上。\n◆ 妖性大学院研究室\n研究室。"));
        window.closeHistory();
        const QString shown = window.list()->toPlainText();
        lines.addLine(QString(), QStringLiteral("夜。"), QStringLiteral("妖性大学院研究室"));
        window.open(form2().lineLabel->font(), QRect(0, 0, 400, 300), &form1());
        QCOMPARE(window.list()->toPlainText(), shown + QStringLiteral("\n夜。"));
        window.closeHistory();

        for (int i = 0; i < int(LineHistory::kLimit) + 5; ++i)
            lines.addLine(QString(), QString::number(i), QString());
        QCOMPARE(lines.entries().size(), LineHistory::kLimit);
        QCOMPARE(lines.entries().front().text, QStringLiteral("5"));
        QCOMPARE(lines.entries().back().text, QString::number(LineHistory::kLimit + 4));
        window.open(form2().lineLabel->font(), QRect(0, 0, 400, 300), &form1());
        QVERIFY(window.list()->toPlainText().startsWith(QStringLiteral("5\n6\n")));
        QCOMPARE(window.list()->document()->blockCount(), int(LineHistory::kLimit));
    }

    void soundKeys()
    {
        const QString line = form2().lineLabel->text();
        const auto press = [this](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
            QTest::keyClick(&form1(), key, modifiers);
        };
        press(Qt::Key_M);
        QVERIFY(sound_.muted);
        QCOMPARE(form2().windowTitle(), QStringLiteral("Lunaweave　［ミュート］"));
        QCOMPARE(form2().lineLabel->text(), line);
        for (int i = 0; i < 3; ++i)
            press(Qt::Key_Minus);
        QCOMPARE(additions_->soundKeys().volume(), 70);
        QCOMPARE(sound_.gain, 0.49f);
        QCOMPARE(form2().windowTitle(), QStringLiteral("Lunaweave　［音楽 70%（ミュート中）］"));
        press(Qt::Key_M);
        QVERIFY(!sound_.muted);
        QCOMPARE(form2().windowTitle(), QStringLiteral("Lunaweave　［音楽 70%］"));
        for (int i = 0; i < 5; ++i)
            press(Qt::Key_Plus, Qt::ShiftModifier);
        QCOMPARE(sound_.gain, 1.0f);
        for (int i = 0; i < 12; ++i)
            QTest::keyClick(&form2(), Qt::Key_Minus, Qt::KeypadModifier);
        QCOMPARE(additions_->soundKeys().volume(), 0);
        QCOMPARE(sound_.gain, 0.0f);
        const qsizetype calls = sound_.calls.size();
        press(Qt::Key_M, Qt::ControlModifier);
        QCOMPARE(sound_.calls.size(), calls);
        additions_->soundKeys().removeNote();
        QCOMPARE(form2().windowTitle(), QStringLiteral("Lunaweave"));

        // With the game windows gone (the staff roll), the note goes into the key's own window.
        form2().hide();
        StaffRollWindow& roll = session().windows().roll.get();
        roll.showActive();
        QTest::keyClick(&roll, Qt::Key_M);
        QVERIFY(sound_.muted);
        QCOMPARE(roll.windowTitle(), QStringLiteral("Lunaweave　エンディング　［ミュート］"));
        additions_->soundKeys().removeNote();
        QCOMPARE(roll.windowTitle(), QStringLiteral("Lunaweave　エンディング"));
        session().windows().roll.unload();

        // A window that is not the game's types its keys as usual.
        QLineEdit other;
        other.show();
        QTest::keyClicks(&other, QStringLiteral("m-"));
        QCOMPARE(other.text(), QStringLiteral("m-"));
        QVERIFY(sound_.muted);
    }

    void titleKeys()
    {
        TitleWindow& title = session().windows().title.get();
        title.showActive();
        QTest::keyClick(&title, Qt::Key_Space, Qt::ControlModifier);
        QTest::keyClick(&title, Qt::Key_A);
        QVERIFY(session().windows().title.exists());
        QTest::keyClick(&title, Qt::Key_Return);
        QVERIFY(!session().windows().title.exists());
        QVERIFY(ended_.isEmpty());
    }

    void accessibleNamesAndRoles()
    {
        MainWindow& main = form1();
        for (int i = 0; i < 10; ++i) {
            QAccessibleInterface* icon = accessible(main.commandIcons[std::size_t(i)]);
            QCOMPARE(icon->role(), QAccessible::Button);
            QCOMPARE(icon->text(QAccessible::Name), commandName(i % 5));
            QCOMPARE(bool(icon->state().checked), i < 5);
        }
        QAccessibleInterface* talk = accessible(main.commandIcons[6]);
        talk->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(session().state().selectedCommand, Command::Talk);

        QCOMPARE(accessible(&main)->role(), QAccessible::Window);
        QCOMPARE(accessibleName(&main), QStringLiteral("Lunaweave　【映画「楢山女子高」】"));
        QCOMPARE(accessibleName(main.scenePicture), QStringLiteral("映画「楢山女子高」"));
        QCOMPARE(accessibleName(&form2()), QStringLiteral("Lunaweave"));
        session().showLine(QStringLiteral("ルネッタ"), QStringLiteral("遅いわね"));
        session().showLine(QStringLiteral("ルネッタ"), QStringLiteral("遅いわね"));
        QCOMPARE(accessibleName(form2().lineLabel), QStringLiteral("【ルネッタ】\n「遅いわね」"));
        QCOMPARE(accessibleName(additions_->historyWindow().list()), QStringLiteral("Lunaweave　履歴"));

        TitleWindow& title = session().windows().title.get();
        QCOMPARE(accessible(&title)->role(), QAccessible::Window);
        QCOMPARE(accessibleName(&title), QStringLiteral("Lunaweave　オープニング"));
        QStringList titleTexts;
        for (QLabel* label : {title.firstWord, title.secondWord, title.makersLine, title.seriesLine})
            titleTexts << accessibleName(label);
        QCOMPARE(titleTexts,
                 (QStringList{QStringLiteral("Luna"), QStringLiteral("weave"),
                              QStringLiteral("Kestrune　2026年　制作・著作"), QStringLiteral("Solvenne　３")}));
        session().windows().title.unload();

        StaffRollWindow& roll = session().windows().roll.get();
        roll.showEntry(1, QStringLiteral("ルネッタ"), QStringLiteral("ＣＧ：水無月あかり"));
        QCOMPARE(accessibleName(roll.headingLabel), QStringLiteral("ルネッタ"));
        QCOMPARE(accessibleName(roll.creditLabel), QStringLiteral("ＣＧ：水無月あかり"));
        session().windows().roll.unload();

        ClearWindow& clear = session().windows().clear.get();
        QVERIFY(accessibleName(clear.messageLabel).startsWith(QStringLiteral("ここまで遊んでくれてありがとう！")));
        QCOMPARE(accessibleName(&clear), QStringLiteral("Information"));
        session().windows().clear.unload();
    }

    // Texts reach a screen reader as notifications shown in a status bar, one new object each,
    // whichever game window has the keyboard, and only while a reader listens.
    void announcements()
    {
        NoticeRecorder recorder;
        qApp->installEventFilter(&recorder);
        session().additions().speech().sayWithoutListener(true);
        auto restore = qScopeGuard([this] { session().additions().speech().sayWithoutListener(false); });
        const QList<Notice>& heard = recorder.heard;
        QApplication::setActiveWindow(&form1());
        QCOMPARE(QApplication::activeWindow(), &form1());
        QTest::keyClick(&form1(), Qt::Key_1);
        QTest::keyClick(&form1(), Qt::Key_5);
        QTest::mouseClick(form1().scenePicture, Qt::LeftButton, {}, pointInColumn(form1().scenePicture, 2));
        session().scenes().showSceneIfChanged();
        const QString line = form2().lineLabel->text().replace(QLatin1Char('\n'), QLatin1Char(' '));
        QTest::keyClick(&form2(), Qt::Key_R);
        session().showLine(QStringLiteral("ルネッタ"), QStringLiteral("遅いわね"));
        QCOMPARE(recorder.names(), (QStringList{commandName(0), commandName(4), line, line,
                                                QStringLiteral("【ルネッタ】 「遅いわね」")}));
        QCOMPARE(heard[2].containerRole, QAccessible::StatusBar);
        QVERIFY2(heard[2].object != heard[3].object, "a repeated text needs an object of its own");
        for (const Notice& notice : heard)
            QVERIFY(notice.window == &form1() || notice.window == &form2());

        // With no window active, as when the title gives way to the game, a text waits for the
        // window that gets the keyboard.
        QApplication::setActiveWindow(nullptr);
        session().showLine(QString(), QStringLiteral("待つ"));
        QCOMPARE(heard.size(), 5);
        QApplication::setActiveWindow(&form2());
        QTRY_COMPARE(recorder.names().value(5), QStringLiteral("待つ"));
        QCOMPARE(heard[5].window, &form2());

        // K turns kana speech on and says so: a line given with its marks, a command and the
        // repeat are said in kana; K again turns it off, and the repeat is said as shown.
        QTest::keyClick(&form2(), Qt::Key_K);
        session().additions().markedLineComing(QStringLiteral("ルネッタ"), QStringLiteral("遅《おそ》いわね"));
        session().showLine(QStringLiteral("ルネッタ"), QStringLiteral("遅いわね"));
        QTest::keyClick(&form1(), Qt::Key_5);
        QTest::keyClick(&form2(), Qt::Key_R);
        QTest::keyClick(&form2(), Qt::Key_K);
        QTest::keyClick(&form2(), Qt::Key_R);
        QCOMPARE(recorder.names().mid(6),
                 (QStringList{QStringLiteral("かなよみ オン"), QStringLiteral("【ルネッタ】 「おそいわね」"),
                              QStringLiteral("つぎえ"), QStringLiteral("【ルネッタ】 「おそいわね」"),
                              QStringLiteral("かなよみ オフ"), QStringLiteral("【ルネッタ】 「遅いわね」")}));

        // The notices take no click: the picture under them still gets it.
        auto* notice = qobject_cast<QWidget*>(heard.last().object);
        QVERIFY(notice->testAttribute(Qt::WA_TransparentForMouseEvents));
        QVERIFY(notice->parentWidget()->testAttribute(Qt::WA_TransparentForMouseEvents));

        // Without a reader, nothing is made.
        session().additions().speech().sayWithoutListener(false);
        const auto before = form1().findChildren<QWidget*>().size() + form2().findChildren<QWidget*>().size();
        QTest::keyClick(&form1(), Qt::Key_R);
        session().showLine(QString(), QStringLiteral("独り言"));
        QCOMPARE(form1().findChildren<QWidget*>().size() + form2().findChildren<QWidget*>().size(), before);
    }
};

QTEST_MAIN(TestPlayerAdditions)
#include "test_player_additions.moc"

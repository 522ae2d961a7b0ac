// The player's additions, wired into the game's windows through one event filter.
#include "PlayerAdditions.h"

#include "Accessibility.h"
#include "Announcer.h"
#include "Fonts.h"
#include "GameWindows.h"
#include "KeyboardPlay.h"
#include "MarkedText.h"
#include "SceneCatalogue.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QWheelEvent>

namespace lw {
namespace {

// What a window says when it opens: the title's texts, the clear screen's message, the staff
// roll's entry on screen.
QString openingText(QWidget* window)
{
    if (const auto* title = qobject_cast<TitleWindow*>(window))
        return title->markedText();
    if (const auto* clear = qobject_cast<ClearWindow*>(window))
        return clear->markedText();
    if (const auto* roll = qobject_cast<StaffRollWindow*>(window))
        return roll->markedText();
    return {};
}

bool isRepeatKey(const QKeyEvent& key) { return isPlainKey(key) && key.key() == Qt::Key_R; }
bool isKanaKey(const QKeyEvent& key) { return isPlainKey(key) && key.key() == Qt::Key_K; }

} // namespace

PlayerAdditions::PlayerAdditions(GameWindows& windows, const GameState& state, SceneCatalogue& scenes,
                                 SoundControl& sound)
    : windows_(windows), state_(state), scenes_(scenes), soundKeys_(windows, sound)
{
    accessibility::installRoles();
    qApp->installEventFilter(this);
}

PlayerAdditions::~PlayerAdditions() { qApp->removeEventFilter(this); }

HistoryWindow& PlayerAdditions::historyWindow()
{
    if (!historyWindow_)
        historyWindow_ = std::make_unique<HistoryWindow>(history_);
    return *historyWindow_;
}

void PlayerAdditions::markedLineComing(const QString& speaker, const QString& text)
{
    readingHelp_.lineMarks(speaker, text);
    markedSpeaker_ = speaker;
    markedText_ = text;
}

void PlayerAdditions::lineShown(const QString& speaker, const QString& text)
{
    readingHelp_.lineShown(speaker, text);
    history_.addLine(speaker, text, scenes_.captionOnScreen(), readingHelp_.lineRuby());
    if (historyWindow_)
        historyWindow_->refresh();
    // Said before the label's own name change goes out, which the reader only has to discard.
    const bool marked = shownText(markedSpeaker_) == speaker && shownText(markedText_) == text;
    lastLine_ = marked ? formatLine(markedSpeaker_, markedText_) : formatLine(speaker, text);
    markedSpeaker_.clear();
    markedText_.clear();
    speech_.announce(speech_.spokenForm(lastLine_));
    if (MessageWindow* message = windows_.message.ifLoaded())
        accessibility::announceLine(message->lineLabel);
    fullscreen_.lineShown();
}

void PlayerAdditions::commandPicked(int slot) { speech_.announce(speech_.spokenForm(markedCommandName(slot))); }

void PlayerAdditions::staffRollEntry(const QString& heading, const QString& credit)
{
    // Entries that come up before the roll has the keyboard are read when it gets it.
    const StaffRollWindow* roll = windows_.roll.ifLoaded();
    if (roll && roll->isVisible() && !windowsToRead_.contains(roll))
        speech_.announce(speech_.spokenForm(heading + QLatin1Char(' ') + credit));
}

void PlayerAdditions::windowActivated(QWidget* window)
{
    if (!windowsToRead_.removeAll(window))
        return;
    speech_.announce(speech_.spokenForm(openingText(window)));
}

void PlayerAdditions::screenJumped(int state)
{
    history_.startSection(state);
    if (historyWindow_)
        historyWindow_->refresh();
}

QFont PlayerAdditions::historyFont() const
{
    const MessageWindow* message = windows_.message.ifLoaded();
    return message ? message->lineLabel->font() : gameFont(QStringLiteral("MS PGothic"), 11.25);
}

QRect PlayerAdditions::historyCover() const
{
    const MainWindow* main = windows_.main.ifLoaded();
    if (main && main->isVisible())
        return QRect(main->scenePicture->mapToGlobal(QPoint(0, 0)), main->scenePicture->size());
    if (const MessageWindow* message = windows_.message.ifLoaded())
        return message->geometry();
    return {};
}

void PlayerAdditions::openHistory(QWidget* opener)
{
    if (historyOpen())
        return;
    historyWindow().setFurigana(readingHelp_.furiganaOn());
    historyWindow().open(historyFont(), historyCover(), opener);
}

void PlayerAdditions::watchScreen(QWidget* window)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 6, 0)
    // Newer Qt tells every widget of a change of pixel ratio (see eventFilter); this one tells the
    // window that it has moved to another screen.
    QWindow* handle = window->windowHandle();
    if (!handle || screensWatched_.contains(handle) ||
        !(qobject_cast<MainWindow*>(window) || qobject_cast<StaffRollWindow*>(window) ||
          qobject_cast<LogoDemo*>(window)))
        return;
    screensWatched_.removeAll(nullptr);
    screensWatched_.append(handle);
    connect(handle, &QWindow::screenChanged, window, [this, window] { reloadPictures(window); });
#else
    (void)window;
#endif
}

void PlayerAdditions::reloadPictures(QWidget* window)
{
    if (auto* main = qobject_cast<MainWindow*>(window))
        zoom_.reloadMainWindowPictures(*main);
    else if (auto* roll = qobject_cast<StaffRollWindow*>(window))
        roll->reloadPicture();
    else if (auto* demo = qobject_cast<LogoDemo*>(window))
        demo->loadMascots();
}

bool PlayerAdditions::keyPressed(QWidget* window, const QKeyEvent& key)
{
    auto* main = qobject_cast<MainWindow*>(window);
    auto* message = qobject_cast<MessageWindow*>(window);
    if (main || message) {
        if (isRepeatKey(key)) {
            speech_.announce(speech_.spokenForm(lastLine_));
            return true;
        }
        if (isKanaKey(key)) {
            speech_.setKanaSpeech(!speech_.kanaSpeech());
            speech_.announce(speech_.kanaSpeech() ? QStringLiteral("かなよみ オン") : QStringLiteral("かなよみ オフ"));
            return true;
        }
        if (fullscreen_.handleKey(key) || zoom_.handleKey(key))
            return true;
        if (isPlainKey(key) && (key.key() == Qt::Key_PageUp || key.key() == Qt::Key_H)) {
            openHistory(window);
            return true;
        }
        if (main && handleMainWindowKey(*main, state_, key))
            return true;
        if (handleTabBetweenGameWindows(windows_, window, key))
            return true;
    }
    // The zoom is the whole game's: it works in the history and the windows before and after play.
    const bool zoomable = window == historyWindow_.get() || qobject_cast<TitleWindow*>(window) ||
                          qobject_cast<StaffRollWindow*>(window) || qobject_cast<ClearWindow*>(window);
    if (zoomable && zoomKeyDirection(key)) {
        // The history over the filled screen stays as it is, as the picture beneath it does.
        const bool overFullscreen = window == historyWindow_.get() && fullscreen_.isActive();
        if (!overFullscreen && zoom_.handleKey(key) && historyOpen())
            historyWindow_->follow(historyFont(), historyCover());
        return true;
    }
    if (auto* title = qobject_cast<TitleWindow*>(window); title && handleTitleKey(*title, key))
        return true;
    // In the history, while a screen reader listens, the arrow keys read the line they come to;
    // otherwise (and always with Shift) they move the text cursor to select text.
    if (historyWindow_ && window == historyWindow_.get() && speech_.listening() && isPlainKey(key) &&
        !(key.modifiers() & Qt::ShiftModifier) && (key.key() == Qt::Key_Up || key.key() == Qt::Key_Down)) {
        speech_.announce(historyWindow_->stepReadingLine(key.key() == Qt::Key_Up ? -1 : 1));
        return true;
    }
    if (main || message || window == historyWindow_.get()) {
        QTextBrowser* history = window == historyWindow_.get() ? historyWindow_->list() : nullptr;
        if (readingHelp_.handleKey(window, history, key)) {
            if (historyWindow_)
                historyWindow_->setFurigana(readingHelp_.furiganaOn());
            return true;
        }
    }
    if (window->inherits("lw::GameWindow") || window == historyWindow_.get())
        return soundKeys_.handleKey(window, key);
    return false;
}

bool PlayerAdditions::wheelTurned(QWidget* widget, const QWheelEvent& wheel)
{
    if (wheel.angleDelta().y() <= 0 || historyOpen())
        return false;
    QWidget* window = widget->window();
    const MainWindow* main = qobject_cast<MainWindow*>(window);
    if ((main && main->scenePicture == widget) || qobject_cast<MessageWindow*>(window)) {
        openHistory(window);
        return true;
    }
    return false;
}

bool PlayerAdditions::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (auto* widget = qobject_cast<QWidget*>(watched))
            return keyPressed(widget->window(), *static_cast<QKeyEvent*>(event));
        break;
    case QEvent::Wheel:
        if (auto* widget = qobject_cast<QWidget*>(watched))
            return wheelTurned(widget, *static_cast<QWheelEvent*>(event));
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        // While the history is open, a click on the scene picture only closes it.
        if (historyOpen()) {
            const MainWindow* main = windows_.main.ifLoaded();
            if (main && watched == main->scenePicture) {
                if (event->type() != QEvent::MouseButtonRelease)
                    historyWindow_->closeHistory();
                return true;
            }
        }
        break;
    case QEvent::Hide:
    case QEvent::WindowStateChange:
        // The history lies over the scene picture: it goes when the main window does.
        if (historyOpen()) {
            const MainWindow* main = windows_.main.ifLoaded();
            if (main && watched == main && (event->type() == QEvent::Hide || main->isMinimized()))
                historyWindow_->closeHistory();
        }
        break;
    case QEvent::Paint:
        if (const MessageWindow* message = windows_.message.ifLoaded(); message && watched == message->lineLabel)
            return readingHelp_.paintLabel(message->lineLabel);
        break;
    case QEvent::WindowTitleChange:
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->isWindow()) {
            accessibility::announceCaption(widget);
            // A new scene: its caption is said, without the game's name before it, once even when
            // the window is captioned twice on opening.
            if (qobject_cast<MainWindow*>(widget)) {
                const QString caption =
                    markedSceneWindowCaption(widget->windowTitle()).remove(QStringLiteral("Lunaweave")).trimmed();
                if (caption != lastCaption_)
                    speech_.announce(speech_.spokenForm(caption));
                lastCaption_ = caption;
            }
        }
        break;
    case QEvent::ChildAdded:
        // The roll tells of each entry; its window is made once per run.
        if (auto* roll = qobject_cast<StaffRollWindow*>(watched))
            connect(roll, &StaffRollWindow::entryShown, this, &PlayerAdditions::staffRollEntry, Qt::UniqueConnection);
        break;
    case QEvent::Show:
        if (qobject_cast<TitleWindow*>(watched) || qobject_cast<StaffRollWindow*>(watched) ||
            qobject_cast<ClearWindow*>(watched))
            windowsToRead_.append(static_cast<QWidget*>(watched));
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->isWindow()) {
            zoom_.windowShowing(widget);
            watchScreen(widget);
        }
        break;
    case QEvent::WindowActivate:
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->isWindow())
            windowActivated(widget);
        break;
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    case QEvent::DevicePixelRatioChange:
        // Another screen, or the screen's own scale changed.
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->isWindow())
            reloadPictures(widget);
        break;
#endif
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lw

// The player's additions, wired into the game's windows through one event filter.
#include "PlayerAdditions.h"

#include "Accessibility.h"
#include "Fonts.h"
#include "MainWindow.h"
#include "MessageWindow.h"
#include "TitleWindow.h"
#include "KeyboardPlay.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWheelEvent>

namespace lw {
namespace {

PlayerAdditions* current = nullptr;

} // namespace

PlayerAdditions::PlayerAdditions() : previous_(current)
{
    accessibility::installRoles();
    current = this;
    qApp->installEventFilter(this);
}

PlayerAdditions::~PlayerAdditions()
{
    qApp->removeEventFilter(this);
    if (current == this)
        current = previous_;
}

HistoryWindow& PlayerAdditions::historyWindow()
{
    if (!historyWindow_)
        historyWindow_ = std::make_unique<HistoryWindow>(history_);
    return *historyWindow_;
}

PlayerAdditions& installPlayerAdditions()
{
    static PlayerAdditions* additions = new PlayerAdditions; // lives as long as the program
    return *additions;
}

void noteLineShown(const QString& speaker, const QString& text)
{
    if (current)
        current->lineShown(speaker, text);
}

void noteScreenJump(int state)
{
    if (current)
        current->screenJumped(state);
}

void PlayerAdditions::lineShown(const QString& speaker, const QString& text)
{
    history_.addLine(speaker, text, sceneCaptionOnScreen());
    if (historyWindow_)
        historyWindow_->refresh();
    if (MessageWindow* message = Window<MessageWindow>::ifLoaded())
        accessibility::announceLine(message->lineLabel);
    fullscreen_.lineShown();
}

void PlayerAdditions::screenJumped(int state)
{
    history_.startSection(state);
    if (historyWindow_)
        historyWindow_->refresh();
}

void PlayerAdditions::openHistory(QWidget* opener)
{
    if (historyOpen())
        return;
    MainWindow* main = Window<MainWindow>::ifLoaded();
    MessageWindow* message = Window<MessageWindow>::ifLoaded();
    const QFont font = message ? message->lineLabel->font() : gameFont(QStringLiteral("MS PGothic"), 11.25);
    QRect cover;
    if (main && main->isVisible())
        cover = QRect(main->scenePicture->mapToGlobal(QPoint(0, 0)), main->scenePicture->size());
    else if (message)
        cover = message->geometry();
    historyWindow().open(font, cover, opener);
}

bool PlayerAdditions::keyPressed(QWidget* window, const QKeyEvent& key)
{
    auto* main = qobject_cast<MainWindow*>(window);
    auto* message = qobject_cast<MessageWindow*>(window);
    if (main || message) {
        if (fullscreen_.handleKey(key) || zoom_.handleKey(key))
            return true;
        if (isPlainKey(key) && (key.key() == Qt::Key_PageUp || key.key() == Qt::Key_H)) {
            openHistory(window);
            return true;
        }
        if (main && handleMainWindowKey(*main, key))
            return true;
        if (handleTabBetweenGameWindows(window, key))
            return true;
    }
    if (auto* title = qobject_cast<TitleWindow*>(window); title && handleTitleKey(*title, key))
        return true;
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
            const MainWindow* main = Window<MainWindow>::ifLoaded();
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
            const MainWindow* main = Window<MainWindow>::ifLoaded();
            if (main && watched == main && (event->type() == QEvent::Hide || main->isMinimized()))
                historyWindow_->closeHistory();
        }
        break;
    case QEvent::WindowTitleChange:
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->isWindow())
            accessibility::announceCaption(widget);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lw

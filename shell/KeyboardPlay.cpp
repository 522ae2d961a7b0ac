// Keyboard play on the game's windows.
#include "KeyboardPlay.h"

#include "GameState.h"
#include "GameWindows.h"
#include "MainWindow.h"
#include "MessageWindow.h"
#include "TitleWindow.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace lw {
namespace {

bool isClickKey(int key) { return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter; }

} // namespace

bool isPlainKey(const QKeyEvent& key)
{
    return !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

Command commandForKey(const QKeyEvent& key)
{
    if (!isPlainKey(key) || key.key() < Qt::Key_1 || key.key() > Qt::Key_5)
        return Command::None;
    return static_cast<Command>(key.key() - Qt::Key_1 + 1);
}

ClickColumn columnForKey(const QKeyEvent& key)
{
    if (!isPlainKey(key))
        return ClickColumn::None;
    switch (key.key()) {
    case Qt::Key_Left:
    case Qt::Key_Z:
        return ClickColumn::Left;
    case Qt::Key_Down:
    case Qt::Key_X:
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return ClickColumn::Middle;
    case Qt::Key_Right:
    case Qt::Key_C:
        return ClickColumn::Right;
    default:
        return ClickColumn::None;
    }
}

void clickScenePicture(MainWindow& form, ClickColumn column)
{
    const int third = static_cast<int>(column);
    ImageBox* picture = form.scenePicture;
    const QPointF at(picture->width() * (2 * third - 1) / 6.0, picture->height() / 2.0);
    const QPointF global = picture->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(picture, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(picture, &release);
}

bool handleMainWindowKey(MainWindow& form, const GameState& state, const QKeyEvent& key)
{
    if (const Command command = commandForKey(key); command != Command::None) {
        if (key.isAutoRepeat())
            return true;
        const int slot = static_cast<int>(command) - 1;
        // The not-selected look is what a player clicks; the icon's own rules decide.
        form.iconClicked(slot + kCommandSlots);
        if (state.selectedCommand == command)
            form.hoverLabel->setText(commandName(slot));
        return true;
    }
    if (const ClickColumn column = columnForKey(key); column != ClickColumn::None) {
        // A held key would race through the story faster than anyone reads.
        if (!key.isAutoRepeat())
            clickScenePicture(form, column);
        return true;
    }
    return false;
}

bool handleTabBetweenGameWindows(GameWindows& windows, QWidget* window, const QKeyEvent& key)
{
    if ((key.key() != Qt::Key_Tab && key.key() != Qt::Key_Backtab) || !isPlainKey(key))
        return false;
    GameWindow* other = nullptr;
    if (qobject_cast<MainWindow*>(window))
        other = windows.message.ifLoaded();
    else if (qobject_cast<MessageWindow*>(window))
        other = windows.main.ifLoaded();
    if (!other)
        return false;
    if (other->isVisible())
        other->showActive(); // forward, with the keyboard
    return true;
}

bool handleTitleKey(TitleWindow& title, const QKeyEvent& key)
{
    if (!isPlainKey(key) || !isClickKey(key.key()))
        return false;
    if (!key.isAutoRepeat())
        title.startGame();
    return true;
}

} // namespace lw

// Keyboard play on the game's windows.
#include "KeyboardPlay.h"

#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "GameState.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace lw {
namespace {

constexpr int kSlots = 5;

bool isClickKey(int key) { return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter; }

} // namespace

bool isPlainKey(const QKeyEvent& key)
{
    return !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

int commandForKey(const QKeyEvent& key)
{
    if (!isPlainKey(key) || key.key() < Qt::Key_1 || key.key() > Qt::Key_5)
        return 0;
    return key.key() - Qt::Key_1 + 1;
}

int columnForKey(const QKeyEvent& key)
{
    if (!isPlainKey(key))
        return 0;
    switch (key.key()) {
    case Qt::Key_Left:
    case Qt::Key_Z:
        return 1;
    case Qt::Key_Down:
    case Qt::Key_X:
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 2;
    case Qt::Key_Right:
    case Qt::Key_C:
        return 3;
    default:
        return 0;
    }
}

void clickScenePicture(Form1& form, int column)
{
    ImageBox* picture = form.Image1;
    const QPointF at(picture->width() * (2 * column - 1) / 6.0, picture->height() / 2.0);
    const QPointF global = picture->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(picture, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(picture, &release);
}

bool handleMainWindowKey(Form1& form, const QKeyEvent& key)
{
    if (const int command = commandForKey(key)) {
        if (key.isAutoRepeat())
            return true;
        const int slot = command - 1;
        // The not-selected look is what a player clicks; the icon's own rules decide.
        form.Image2_Click(slot + kSlots);
        if (gameState().SelectedCommand == command)
            form.Label1->setText(commandName(slot));
        return true;
    }
    if (const int column = columnForKey(key)) {
        // A held key would race through the story faster than anyone reads.
        if (!key.isAutoRepeat())
            clickScenePicture(form, column);
        return true;
    }
    return false;
}

bool handleTabBetweenGameWindows(QWidget* window, const QKeyEvent& key)
{
    if ((key.key() != Qt::Key_Tab && key.key() != Qt::Key_Backtab) || !isPlainKey(key))
        return false;
    GameWindow* other = nullptr;
    if (qobject_cast<Form1*>(window))
        other = Window<Form2>::ifLoaded();
    else if (qobject_cast<Form2*>(window))
        other = Window<Form1>::ifLoaded();
    if (!other)
        return false;
    if (other->isVisible())
        other->Show(); // forward, with the keyboard
    return true;
}

bool handleTitleKey(Form3& title, const QKeyEvent& key)
{
    if (!isPlainKey(key) || !isClickKey(key.key()))
        return false;
    if (!key.isAutoRepeat())
        title.Form_Click();
    return true;
}

} // namespace lw

// Mute and music volume from the keyboard.
#include "SoundKeys.h"

#include "GameWindows.h"
#include "KeyboardPlay.h"
#include "SoundControl.h"

#include <QKeyEvent>

#include <algorithm>

namespace lw {

SoundKeys::SoundKeys(GameWindows& windows, SoundControl& control) : windows_(windows), control_(control)
{
    noteTimer_.setSingleShot(true);
    noteTimer_.setInterval(kNoteMs);
    connect(&noteTimer_, &QTimer::timeout, this, &SoundKeys::removeNote);
}

float SoundKeys::gainFor(int volume)
{
    const float level = static_cast<float>(std::clamp(volume, 0, 100)) / 100.0f;
    return level * level;
}

QString SoundKeys::noteText(bool volumeChanged) const
{
    if (muted_ && !volumeChanged)
        return QStringLiteral("ミュート");
    QString note = QStringLiteral("音楽 %1%").arg(volume_);
    if (muted_)
        note += QStringLiteral("（ミュート中）");
    return note;
}

bool SoundKeys::handleKey(QWidget* window, const QKeyEvent& key)
{
    if (!isPlainKey(key))
        return false;
    bool volumeChanged = false;
    switch (key.key()) {
    case Qt::Key_M:
        if (key.isAutoRepeat())
            return true; // held down, the key would flicker the sound on and off
        muted_ = !muted_;
        control_.setMuted(muted_);
        break;
    case Qt::Key_Plus:
    case Qt::Key_Minus:
        volume_ = std::clamp(volume_ + (key.key() == Qt::Key_Plus ? kStep : -kStep), 0, 100);
        control_.setMusicGain(gainFor(volume_));
        volumeChanged = true;
        break;
    default:
        return false;
    }
    noteInGameWindow(window, noteText(volumeChanged));
    return true;
}

void SoundKeys::noteInGameWindow(QWidget* window, const QString& note)
{
    QWidget* target = window;
    if (MessageWindow* message = windows_.message.ifLoaded(); message && message->isVisible())
        target = message;
    showNote(target, note);
}

void SoundKeys::showNote(QWidget* window, const QString& note)
{
    if (noteWindow_ != window)
        removeNote();
    if (!noteWindow_) {
        noteWindow_ = window;
        captionBefore_ = window->windowTitle();
    }
    captionWithNote_ = captionBefore_ + QStringLiteral("　［") + note + QStringLiteral("］");
    window->setWindowTitle(captionWithNote_);
    noteTimer_.start();
}

void SoundKeys::removeNote()
{
    noteTimer_.stop();
    // A caption the game has changed in the meantime is left as the game set it.
    if (noteWindow_ && noteWindow_->windowTitle() == captionWithNote_)
        noteWindow_->setWindowTitle(captionBefore_);
    noteWindow_ = nullptr;
}

} // namespace lw

// M, + and −: mute and the music's loudness for this run, with a short note in a window title.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QKeyEvent;
class QWidget;

namespace lw {

class SoundControl;
struct GameWindows;

class SoundKeys : public QObject {
    Q_OBJECT
public:
    static constexpr int kStep = 10; // percent per key press
    static constexpr int kNoteMs = 2500;

    SoundKeys(GameWindows& windows, SoundControl& control);

    // Acts on M, + or − (main keyboard or keypad, without Ctrl or Alt) pressed in `window`;
    // false for any other key.
    bool handleKey(QWidget* window, const QKeyEvent& key);

    bool muted() const { return muted_; }
    int volume() const { return volume_; } // percent, 0-100
    // The amplitude factor for a volume: its square, so each step sounds about as large.
    static float gainFor(int volume);
    // "ミュート", "音楽 70%" or "音楽 70%（ミュート中）"
    QString noteText(bool volumeChanged) const;

    // Shows `note` for kNoteMs in the message window's caption while it is on screen, otherwise
    // in `window`'s (the title, the staff roll).
    void noteInGameWindow(QWidget* window, const QString& note);

    // The window whose caption carries a note now, if any.
    QWidget* noteWindow() const { return noteWindow_; }
    // Gives that window its caption back; the note's timer does this kNoteMs after the last key.
    void removeNote();

private:
    void showNote(QWidget* window, const QString& note);

    GameWindows& windows_;
    SoundControl& control_;
    bool muted_ = false;
    int volume_ = 100;
    QPointer<QWidget> noteWindow_;
    QString captionBefore_;
    QString captionWithNote_;
    QTimer noteTimer_;
};

} // namespace lw

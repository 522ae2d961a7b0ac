// What the game offers beyond clicking: the history of lines, keyboard play, sound keys, reading
// help, screen-reader support, zoom and fullscreen. One application-wide event filter carries
// them, and the game tells them of new lines, picked commands and screen jumps; none of it
// changes what a mouse player sees.
#pragma once

#include "Announcer.h"
#include "Fullscreen.h"
#include "GameState.h"
#include "History.h"
#include "ReadingHelp.h"
#include "SoundKeys.h"
#include "Zoom.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWindow>

#include <memory>
#include <string_view>

class QWheelEvent;

namespace lw {

class SceneCatalogue;
class SoundControl;
struct GameWindows;

class PlayerAdditions : public QObject {
    Q_OBJECT
public:
    // Filters the application's events from now on, for the game's windows.
    PlayerAdditions(GameWindows& windows, const GameState& state, SceneCatalogue& scenes, SoundControl& sound);
    ~PlayerAdditions() override;

    LineHistory& history() { return history_; }
    // Made on first use: building it loads fonts and text machinery the first window need not wait for.
    HistoryWindow& historyWindow();
    SoundKeys& soundKeys() { return soundKeys_; }
    ReadingHelp& readingHelp() { return readingHelp_; }
    GameZoom& zoom() { return zoom_; }
    GameFullscreen& fullscreen() { return fullscreen_; }
    speech::Announcer& speech() { return speech_; }

    // Opens the history over the scene picture, in the message window's font.
    void openHistory(QWidget* opener);

    // A line was shown in the message window.
    void lineShown(const QString& speaker, const QString& text);
    // The screen jump sent the story to `state`.
    void screenJumped(int state);
    // The player picked the command in icon slot `slot` (0-4).
    void commandPicked(int slot);
    // The line about to be shown, as the script writes it (with its ruby marks), which speech
    // reads from and the reading help keeps. Lines shown without it are said as they are shown.
    void markedLineComing(const QString& speaker, const QString& text);
    // The main and message windows are laid out and about to be shown: they take the zoom, if one
    // was chosen before play.
    void gameWindowsLaidOut() { zoom_.gameWindowsLaidOut(); }

private slots:
    void staffRollEntry(const QString& heading, const QString& credit);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool keyPressed(QWidget* window, const QKeyEvent& key);
    bool wheelTurned(QWidget* widget, const QWheelEvent& wheel);
    bool historyOpen() const { return historyWindow_ && historyWindow_->isOpen(); }
    // Says what a window that just got the keyboard shows, once each time it is shown.
    void windowActivated(QWidget* window);
    // The font and screen area the history takes: the message window's font over the scene picture.
    QFont historyFont() const;
    QRect historyCover() const;
    // Pictures are loaded for their screen's pixel ratio: a window with pictures that moves to
    // another screen loads them again.
    void watchScreen(QWidget* window);
    void reloadPictures(QWidget* window);

    GameWindows& windows_;
    const GameState& state_;
    SceneCatalogue& scenes_;
    speech::Announcer speech_;
    LineHistory history_;
    std::unique_ptr<HistoryWindow> historyWindow_;
    SoundKeys soundKeys_;
    QString lastLine_;                        // the message window's line with its marks, for the repeat key
    QString markedSpeaker_, markedText_;      // the marked line about to be shown
    QString lastCaption_;                     // the main window's caption as last said
    QList<QPointer<QWidget>> windowsToRead_;  // shown, to be read out when they get the keyboard
    QList<QPointer<QWindow>> screensWatched_; // the windows whose screen changes reload pictures
    ReadingHelp readingHelp_{windows_, soundKeys_};
    GameZoom zoom_{windows_, scenes_};
    GameFullscreen fullscreen_{windows_, zoom_};
};

} // namespace lw

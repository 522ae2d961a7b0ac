// Fullscreen play, toggled by F11 or Alt+Enter: the scene picture as large as the screen allows
// under its icon bar, the current line in a band over the lower part of the picture.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QRect>

class QKeyEvent;

namespace lw {

class GameZoom;
struct GameWindows;

// Whether `key` toggles fullscreen: F11, or Enter with Alt (and nothing else but the keypad).
bool isFullscreenKey(const QKeyEvent& key);

// How the main window's contents fit a screen of `screen` pixels: the scale and the top-left of
// the contents (icon bar and picture, `contents` pixels at 100 %), centred with bars where the
// aspects differ.
struct FullscreenFit {
    double scale = 1;
    QPoint origin;
};
FullscreenFit fitToScreen(QSize contents, QSize screen);

class GameFullscreen {
public:
    GameFullscreen(GameWindows& windows, GameZoom& zoom);
    ~GameFullscreen();

    bool isActive() const { return active_; }

    // F11 and Alt+Enter toggle; the zoom keys do nothing while fullscreen. True when the key was
    // one of these.
    bool handleKey(const QKeyEvent& key);

    void enter();
    // Both windows back exactly where and as they were.
    void leave();

    // The message window shows a new line: the band shows it too.
    void lineShown();

private:
    GameWindows& windows_;
    GameZoom& zoom_;
    bool active_ = false;
    QRect mainGeometry_, messageGeometry_; // outer position and client size before entering
    bool messageWasVisible_ = false;
    QPointer<QWidget> backdrop_; // black behind the picture, showing as bars at its sides
    QPointer<QLabel> band_;
};

} // namespace lw

// Zoom: the main and message windows scaled by whole steps, keys Ctrl+= (or Ctrl++), Ctrl+- and
// Ctrl+0, and the scaling of a window's widgets that fullscreen shares.
#pragma once

#include <QFont>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QKeyEvent;

namespace lw {

class MainWindow;
class SceneCatalogue;
struct GameWindows;

// A window's widgets as they are at 100 %: geometry, font and fixed width, kept so that every
// scale is taken from these values and never compounded by rounding.
class WindowScale {
public:
    // Records `window`'s widgets; call it while the window is at 100 %.
    explicit WindowScale(QWidget& window);

    QWidget* window() const { return window_; }
    // The window's client size at 100 %.
    QSize clientSize() const { return clientSize_; }

    // Every recorded widget at `factor` times its 100 % geometry and font; the window's direct
    // children also moved by `offset` pixels. Image boxes get the factor as their zoom, so a picture
    // is shown at its 1x size times the factor and reports mouse positions in its 1x frame.
    void apply(double factor, QPoint offset = {}) const;

    // Where `widget` lies at 100 %, relative to its parent; null for a widget not recorded.
    QRect geometryAt100(const QWidget* widget) const;

private:
    struct Part {
        QPointer<QWidget> widget;
        QRect geometry;
        QFont font;
        bool fixedWidth;
    };
    QPointer<QWidget> window_;
    QSize clientSize_;
    std::vector<Part> parts_;
};

// Whether `key` is one of the zoom keys: +1 in, -1 out, 0 back to 100 %; nullopt otherwise.
// Ctrl must be held, Alt and Meta not; Shift is allowed (it gives '+' on many layouts).
std::optional<int> zoomKeyDirection(const QKeyEvent& key);

// The game's zoom, for the run: 100 % until the player asks otherwise.
class GameZoom {
public:
    GameZoom(GameWindows& windows, SceneCatalogue& scenes);
    ~GameZoom();

    int percent() const { return percent_; }
    double factor() const { return percent_ / 100.0; }

    // The zoom keys in the main or message window; true when `key` was one of them.
    bool handleKey(const QKeyEvent& key);

    // The steps whose windows fit the available area of the main window's screen.
    std::vector<int> offeredSteps();
    // Zooms both windows to `percent`; false (and nothing changes) unless the step is offered.
    // 100 % puts both windows back exactly where and as they were before the first zoom.
    bool zoomTo(int percent);

    // Loads the scene picture and the command icons again at their boxes' density (after a zoom).
    void reloadMainWindowPictures(MainWindow& main);

    // The main window's widgets at 100 % (recorded on first use); null while it is not loaded.
    WindowScale* mainScale();

private:
    bool windowsChanged() const;
    void record();

    GameWindows& windows_;
    SceneCatalogue& scenes_;
    int percent_ = 100;
    std::unique_ptr<WindowScale> main_, message_;
    QRect mainAt100_, messageAt100_;  // each window's outer position and client size at 100 %
    QRectF mainTwips_, messageTwips_; // outer geometry in twips at 100 %, as the layout takes it
    double lineWidthTwips_ = 0;       // the message label's width at 100 %
};

} // namespace lw

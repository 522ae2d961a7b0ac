// Zoom: the game's windows scaled by whole steps, keys Ctrl+= (or Ctrl++), Ctrl+- and Ctrl+0.
#pragma once

#include "WindowScale.h"

#include <QRect>

#include <memory>
#include <optional>
#include <vector>

class QKeyEvent;

namespace lw {

class MainWindow;
class SceneCatalogue;
struct GameWindows;

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

    // The zoom keys in any of the game's windows; true when `key` was one of them.
    bool handleKey(const QKeyEvent& key);

    // The steps at which every shown window fits the available area of its screen.
    std::vector<int> offeredSteps();
    // Zooms the shown windows to `percent`, and makes it the zoom that windows take when they
    // show; false (and nothing changes) unless the step is offered. 100 % puts every window back
    // exactly where and as it was before the first zoom.
    bool zoomTo(int percent);

    // Loads the scene picture and the command icons again at their boxes' density (after a zoom).
    void reloadMainWindowPictures(MainWindow& main);

    // `window` is being shown. One of the game's windows takes the game's zoom; where that does not
    // fit beside the other shown windows, the zoom steps down until it does. Others are left alone.
    void windowShowing(QWidget* window);

    // The main and message windows are laid out at 100 % and about to be shown for the first
    // time: they take the game's zoom (chosen on the title, say), stepped down to what fits. Done
    // before they are shown, a window's position still counts its frame, as the layout's does.
    void gameWindowsLaidOut();

    // The main window's widgets at 100 % (recorded on first use); null while it is not loaded.
    WindowScale* mainScale();

private:
    bool windowsChanged() const;
    void record();
    // Whether the main or message window is on screen.
    bool pairShown();
    // The steps at which the shown windows fit, counting the main and message windows if `withPair`.
    std::vector<int> stepsThatFit(bool withPair);
    // The largest of `steps` up to the game's zoom.
    int largestUpToZoom(const std::vector<int>& steps) const;
    void zoomPair(int percent);
    // Brings every shown window to the game's zoom.
    void applyToShownWindows();

    GameWindows& windows_;
    SceneCatalogue& scenes_;
    int percent_ = 100;
    int pairPercent_ = 100; // the zoom the main and message windows are at
    std::unique_ptr<WindowScale> main_, message_;
    QRect mainAt100_, messageAt100_;  // each window's outer position and client size at 100 %
    QRectF mainTwips_, messageTwips_; // outer geometry in twips at 100 %, as the layout takes it
    double lineWidthTwips_ = 0;       // the message label's width at 100 %
};

} // namespace lw

// Placement of the main and message windows for a given screen, in twips.
#pragma once

#include <array>
#include <vector>

namespace lw {

struct WindowPlacement {
    double left = 0, top = 0, width = 0, height = 0; // outer geometry
};

struct GameLayout {
    WindowPlacement form1;
    WindowPlacement form2;
    double form2LabelWidth = 0;
};

// Screens at least this wide (twips) get the message window below the game window; narrower
// screens get it to the right.
constexpr double kStackedLayoutMinWidth = 10000;

// `form1` and `form2` hold the windows' current (design) outer sizes; their positions are ignored.
// Every value is stored in single precision, as window coordinates are.
GameLayout layOutGameWindows(double screenWidth, double screenHeight, WindowPlacement form1, WindowPlacement form2,
                             double form2LabelWidth);

// The zoom steps the game offers, in percent of the design's size.
constexpr std::array<int, 5> kZoomSteps = {100, 150, 200, 250, 300};

// The layout at a zoom factor (1 = 100 %): the same rules laid out on the screen as the design's
// windows see it (the screen divided by the zoom), then every coordinate multiplied by the zoom. So
// the arrangement is the 100 % one scaled, the pair stays centred, and 1 gives layOutGameWindows.
GameLayout layOutZoomedGameWindows(double screenWidth, double screenHeight, WindowPlacement form1,
                                   WindowPlacement form2, double form2LabelWidth, double zoom);

// The steps of kZoomSteps whose zoomed layout keeps both windows inside a screen area of the
// given size (twips, origin at its top-left corner). 100 % is always offered: it is the design's.
std::vector<int> zoomStepsThatFit(double areaWidth, double areaHeight, WindowPlacement form1, WindowPlacement form2,
                                  double form2LabelWidth);

} // namespace lw

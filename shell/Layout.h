// Placement of the main and message windows for a given screen, in twips.
#pragma once

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
GameLayout layOutGameWindows(double screenWidth, double screenHeight, WindowPlacement form1,
                             WindowPlacement form2, double form2LabelWidth);

} // namespace lw

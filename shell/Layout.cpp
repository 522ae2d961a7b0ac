// Window layout for stacked and side-by-side screens.
#include "Layout.h"

#include "Twips.h"

namespace lw {

GameLayout layOutGameWindows(double screenWidth, double screenHeight, WindowPlacement form1, WindowPlacement form2,
                             double form2LabelWidth)
{
    GameLayout out{form1, form2, form2LabelWidth};
    WindowPlacement& f1 = out.form1;
    WindowPlacement& f2 = out.form2;
    if (screenWidth >= kStackedLayoutMinWidth) {
        // The game window centred in the upper 80 % of the screen, the message window 100 twips below.
        f1.left = toSingle((screenWidth - f1.width) / 2);
        f1.top = toSingle((screenHeight * 0.8 - f1.height) / 2);
        f2.top = toSingle(f1.height + f1.top + 100);
        f2.height = 1500;
        f2.width = toSingle(f1.width * 1.5);
        out.form2LabelWidth = toSingle(f2.width * 0.98);
        f2.left = toSingle((screenWidth - f2.width) / 2);
    } else {
        // Side by side; the pair is centred using the message window's design width.
        f1.left = toSingle((screenWidth - (f2.width + f1.width)) / 2);
        f1.top = toSingle((screenHeight - f1.height) / 2);
        f2.left = toSingle(f1.width + f1.left);
        f2.top = f1.top;
        f2.width = 2200;
        out.form2LabelWidth = 2100;
        f2.height = f1.height;
    }
    return out;
}

GameLayout layOutZoomedGameWindows(double screenWidth, double screenHeight, WindowPlacement form1,
                                   WindowPlacement form2, double form2LabelWidth, double zoom)
{
    GameLayout out = layOutGameWindows(screenWidth / zoom, screenHeight / zoom, form1, form2, form2LabelWidth);
    for (WindowPlacement* w : {&out.form1, &out.form2}) {
        w->left *= zoom;
        w->top *= zoom;
        w->width *= zoom;
        w->height *= zoom;
    }
    out.form2LabelWidth *= zoom;
    return out;
}

std::vector<int> zoomStepsThatFit(double areaWidth, double areaHeight, WindowPlacement form1, WindowPlacement form2,
                                  double form2LabelWidth)
{
    const auto inside = [&](const WindowPlacement& w) {
        return w.left >= 0 && w.top >= 0 && w.left + w.width <= areaWidth && w.top + w.height <= areaHeight;
    };
    std::vector<int> steps;
    for (const int percent : kZoomSteps) {
        const GameLayout layout =
            layOutZoomedGameWindows(areaWidth, areaHeight, form1, form2, form2LabelWidth, percent / 100.0);
        if (percent == kZoomSteps.front() || (inside(layout.form1) && inside(layout.form2)))
            steps.push_back(percent);
    }
    return steps;
}

} // namespace lw

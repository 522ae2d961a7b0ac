// The zoom steps of the game's windows.
#include "Zoom.h"

#include "GameWindows.h"
#include "Layout.h"
#include "MainWindow.h"
#include "MessageWindow.h"
#include "SceneCatalogue.h"
#include "StaffRollWindow.h"
#include "TitleWindow.h"
#include "Twips.h"

#include <QKeyEvent>
#include <QScreen>

#include <algorithm>
#include <array>

namespace lw {
namespace {

QRectF outerTwips(const GameWindow& window)
{
    return {window.leftTwips(), window.topTwips(), window.widthTwips(), window.heightTwips()};
}

WindowPlacement placement(const QRectF& twips) { return {twips.left(), twips.top(), twips.width(), twips.height()}; }

// The windows that open on their own, before and after play, each zoomed as a whole.
std::array<GameWindow*, 3> singleWindows(const GameWindows& windows)
{
    return {windows.title.ifLoaded(), windows.roll.ifLoaded(), windows.clear.ifLoaded()};
}

// Whether `window`, centred on its screen as it centres itself, lies inside the screen's available
// area at zoom `factor`.
bool fitsCentred(const GameWindow& window, double factor)
{
    const QScreen* screen = window.screen();
    const QSize outer = window.clientSizeAt(factor) + window.frameExtra();
    const QRect placed(
        QPoint((screen->geometry().width() - outer.width()) / 2, (screen->geometry().height() - outer.height()) / 2),
        outer);
    return screen->availableGeometry().contains(placed);
}

} // namespace

void GameZoom::reloadMainWindowPictures(MainWindow& main)
{
    main.loadCommandIcons();
    scenes_.reloadScenePicture(main);
}

std::optional<int> zoomKeyDirection(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers held = key.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (held != Qt::ControlModifier)
        return std::nullopt;
    switch (key.key()) {
    case Qt::Key_Equal:
    case Qt::Key_Plus:
        return 1;
    case Qt::Key_Minus:
        return -1;
    case Qt::Key_0:
        return 0;
    default:
        return std::nullopt;
    }
}

GameZoom::GameZoom(GameWindows& windows, SceneCatalogue& scenes) : windows_(windows), scenes_(scenes) {}
GameZoom::~GameZoom() = default;

bool GameZoom::windowsChanged() const
{
    return !main_ || main_->window() != windows_.main.ifLoaded() || !message_ ||
           message_->window() != windows_.message.ifLoaded();
}

void GameZoom::record()
{
    MainWindow* main = windows_.main.ifLoaded();
    MessageWindow* message = windows_.message.ifLoaded();
    main_ = std::make_unique<WindowScale>(*main);
    message_ = std::make_unique<WindowScale>(*message);
    mainAt100_ = QRect(main->pos(), main->size());
    messageAt100_ = QRect(message->pos(), message->size());
    mainTwips_ = outerTwips(*main);
    messageTwips_ = outerTwips(*message);
    lineWidthTwips_ = pixelsToTwips(message->lineLabel->width());
    pairPercent_ = 100; // windows seen for the first time are at their design size
}

WindowScale* GameZoom::mainScale()
{
    if (!windows_.main.ifLoaded() || !windows_.message.ifLoaded())
        return nullptr;
    if (windowsChanged())
        record();
    return main_.get();
}

bool GameZoom::pairShown() { return mainScale() && (main_->window()->isVisible() || message_->window()->isVisible()); }

std::vector<int> GameZoom::stepsThatFit(bool withPair)
{
    std::vector<int> steps(kZoomSteps.begin(), kZoomSteps.end());
    if (withPair && mainScale()) {
        const QRect area = main_->window()->screen()->availableGeometry();
        steps = zoomStepsThatFit(pixelsToTwips(area.width()), pixelsToTwips(area.height()), placement(mainTwips_),
                                 placement(messageTwips_), lineWidthTwips_);
    }
    for (const GameWindow* window : singleWindows(windows_))
        if (window && window->isVisible())
            std::erase_if(steps, [window](int percent) {
                return percent != kZoomSteps.front() && !fitsCentred(*window, percent / 100.0);
            });
    return steps;
}

std::vector<int> GameZoom::offeredSteps() { return stepsThatFit(pairShown()); }

int GameZoom::largestUpToZoom(const std::vector<int>& steps) const
{
    const auto above = std::upper_bound(steps.begin(), steps.end(), percent_);
    return above == steps.begin() ? kZoomSteps.front() : *std::prev(above);
}

bool GameZoom::zoomTo(int percent)
{
    const std::vector<int> steps = offeredSteps();
    if (std::find(steps.begin(), steps.end(), percent) == steps.end())
        return false;
    percent_ = percent;
    applyToShownWindows();
    return true;
}

void GameZoom::windowShowing(QWidget* window)
{
    const std::array<GameWindow*, 3> singles = singleWindows(windows_);
    const bool single = std::find(singles.begin(), singles.end(), window) != singles.end();
    const bool pair = qobject_cast<MainWindow*>(window) || qobject_cast<MessageWindow*>(window);
    if (!single && !pair)
        return;
    // At 100 % a window opens exactly as it always has; the main window's widgets are recorded on
    // the first zoom, once the window manager has framed it.
    const bool atDesignSize =
        pair ? windowsChanged() || pairPercent_ == kZoomSteps.front() : static_cast<GameWindow*>(window)->zoom() == 1.0;
    if (percent_ == kZoomSteps.front() && atDesignSize)
        return;
    percent_ = largestUpToZoom(offeredSteps());
    applyToShownWindows();
}

void GameZoom::gameWindowsLaidOut()
{
    if (percent_ == kZoomSteps.front() || !mainScale())
        return;
    percent_ = largestUpToZoom(stepsThatFit(true));
    if (pairPercent_ != percent_)
        zoomPair(percent_);
    applyToShownWindows();
}

void GameZoom::applyToShownWindows()
{
    if (pairShown() && pairPercent_ != percent_)
        zoomPair(percent_);
    for (GameWindow* window : singleWindows(windows_))
        if (window && window->isVisible())
            window->setZoom(factor());
}

void GameZoom::zoomPair(int percent)
{
    auto& main = static_cast<MainWindow&>(*main_->window());
    auto& message = static_cast<MessageWindow&>(*message_->window());
    const double zoom = percent / 100.0;
    main_->apply(zoom);
    message_->apply(zoom);
    if (percent == kZoomSteps.front()) {
        main.setFixedSize(mainAt100_.size());
        main.move(mainAt100_.topLeft());
        message.setFixedSize(messageAt100_.size());
        message.move(messageAt100_.topLeft());
    } else {
        // Laid out on the available area (a panel may take part of the screen), by the same rules as
        // at 100 %. The main window's client grows by the zoom exactly, so the picture fits it.
        const QRect area = main.screen()->availableGeometry();
        const GameLayout layout =
            layOutZoomedGameWindows(pixelsToTwips(area.width()), pixelsToTwips(area.height()), placement(mainTwips_),
                                    placement(messageTwips_), lineWidthTwips_, zoom);
        main.setFixedSize(mainAt100_.size() * zoom);
        main.move(area.topLeft() + QPoint(twipsToPixels(layout.form1.left), twipsToPixels(layout.form1.top)));
        message.setWidthTwips(layout.form2.width);
        message.setHeightTwips(layout.form2.height);
        message.lineLabel->setFixedWidth(twipsToPixels(layout.form2LabelWidth));
        message.move(area.topLeft() + QPoint(twipsToPixels(layout.form2.left), twipsToPixels(layout.form2.top)));
    }
    pairPercent_ = percent;
    reloadMainWindowPictures(main);
}

bool GameZoom::handleKey(const QKeyEvent& key)
{
    const std::optional<int> direction = zoomKeyDirection(key);
    if (!direction)
        return false;
    const std::vector<int> steps = offeredSteps();
    int target = kZoomSteps.front();
    if (*direction > 0) {
        const auto next = std::upper_bound(steps.begin(), steps.end(), percent_);
        target = next == steps.end() ? steps.back() : *next;
    } else if (*direction < 0) {
        const auto here = std::lower_bound(steps.begin(), steps.end(), percent_);
        target = here == steps.begin() ? steps.front() : *std::prev(here);
    }
    zoomTo(target);
    return true;
}

} // namespace lw

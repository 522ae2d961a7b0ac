// The zoom steps of the main and message windows, and the scaling of a window's widgets.
#include "Zoom.h"

#include "GameWindows.h"
#include "ImageBox.h"
#include "Layout.h"
#include "MainWindow.h"
#include "MessageWindow.h"
#include "SceneCatalogue.h"
#include "Twips.h"

#include <QKeyEvent>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace lw {
namespace {

int scaled(int pixels, double factor) { return static_cast<int>(std::lround(pixels * factor)); }

QRect scaled(const QRect& r, double factor)
{
    return QRect(scaled(r.x(), factor), scaled(r.y(), factor), scaled(r.width(), factor), scaled(r.height(), factor));
}

QFont scaled(const QFont& font, double factor)
{
    QFont out = font;
    if (font.pixelSize() > 0)
        out.setPixelSize(std::max(1, scaled(font.pixelSize(), factor)));
    else
        out.setPointSizeF(font.pointSizeF() * factor);
    return out;
}

QRectF outerTwips(const GameWindow& window)
{
    return {window.leftTwips(), window.topTwips(), window.widthTwips(), window.heightTwips()};
}

WindowPlacement placement(const QRectF& twips) { return {twips.left(), twips.top(), twips.width(), twips.height()}; }

} // namespace

WindowScale::WindowScale(QWidget& window) : window_(&window), clientSize_(window.size())
{
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->isWindow())
            continue; // a dialog or note window of its own
        parts_.push_back(
            {widget, widget->geometry(), widget->font(), widget->minimumWidth() == widget->maximumWidth()});
    }
}

void WindowScale::apply(double factor, QPoint offset) const
{
    for (const Part& part : parts_) {
        QWidget* widget = part.widget;
        if (!widget)
            continue;
        QRect geometry = scaled(part.geometry, factor);
        if (widget->parentWidget() == window_)
            geometry.translate(offset);
        widget->setFont(scaled(part.font, factor));
        if (auto* box = qobject_cast<ImageBox*>(widget)) {
            box->setZoom(factor); // a box without stretch takes its picture's size times the zoom
            box->move(geometry.topLeft());
            if (box->stretch())
                box->resize(geometry.size());
            continue;
        }
        if (part.fixedWidth)
            widget->setFixedWidth(geometry.width());
        widget->setGeometry(geometry);
    }
}

QRect WindowScale::geometryAt100(const QWidget* widget) const
{
    for (const Part& part : parts_)
        if (part.widget == widget)
            return part.geometry;
    return {};
}

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
    percent_ = 100; // windows seen for the first time are at their design size
}

WindowScale* GameZoom::mainScale()
{
    if (!windows_.main.ifLoaded() || !windows_.message.ifLoaded())
        return nullptr;
    if (windowsChanged())
        record();
    return main_.get();
}

std::vector<int> GameZoom::offeredSteps()
{
    if (!mainScale())
        return {kZoomSteps.front()};
    const QRect area = main_->window()->screen()->availableGeometry();
    return zoomStepsThatFit(pixelsToTwips(area.width()), pixelsToTwips(area.height()), placement(mainTwips_),
                            placement(messageTwips_), lineWidthTwips_);
}

bool GameZoom::zoomTo(int percent)
{
    const std::vector<int> steps = offeredSteps();
    if (std::find(steps.begin(), steps.end(), percent) == steps.end() || !main_)
        return false;
    if (percent == percent_)
        return true;
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
    percent_ = percent;
    reloadMainWindowPictures(main);
    return true;
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

// The scaling of a window's widgets.
#include "WindowScale.h"

#include "ImageBox.h"

#include <algorithm>
#include <cmath>

namespace lw {
namespace {

QRect scaled(const QRect& r, double factor)
{
    return QRect(scaledPixels(r.x(), factor), scaledPixels(r.y(), factor), scaledPixels(r.width(), factor),
                 scaledPixels(r.height(), factor));
}

QFont scaled(const QFont& font, double factor)
{
    QFont out = font;
    if (font.pixelSize() > 0)
        out.setPixelSize(std::max(1, scaledPixels(font.pixelSize(), factor)));
    else
        out.setPointSizeF(font.pointSizeF() * factor);
    return out;
}

} // namespace

int scaledPixels(int pixels, double factor) { return static_cast<int>(std::lround(pixels * factor)); }

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

} // namespace lw

// The logo stroke widget.
#include "LineStroke.h"

#include "Twips.h"

#include <QPainter>

#include <algorithm>

namespace lw {

LineStroke::LineStroke(QWidget* parent, const QColor& colour, double x1, double y1, double x2, double y2, int penPixels)
    : QWidget(parent), colour_(colour), x1_(x1), y1_(y1), x2_(x2), y2_(y2), pen_(std::max(1, penPixels))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // The widget covers the stroke's bounding box plus half a pen on every side, so square caps
    // are not cut off.
    const int margin = (pen_ + 1) / 2;
    const int left = std::min(twipsToPixels(x1_), twipsToPixels(x2_)) - margin;
    const int top = std::min(twipsToPixels(y1_), twipsToPixels(y2_)) - margin;
    const int right = std::max(twipsToPixels(x1_), twipsToPixels(x2_)) + margin;
    const int bottom = std::max(twipsToPixels(y1_), twipsToPixels(y2_)) + margin;
    setGeometry(left, top, right - left + 1, bottom - top + 1);
}

void LineStroke::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour_, pen_, Qt::SolidLine, Qt::SquareCap));
    const QPoint origin = pos();
    painter.drawLine(QPoint(twipsToPixels(x1_), twipsToPixels(y1_)) - origin,
                     QPoint(twipsToPixels(x2_), twipsToPixels(y2_)) - origin);
}

} // namespace lw

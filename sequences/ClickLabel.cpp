// The clickable label.
#include "ClickLabel.h"

#include <QMouseEvent>

namespace lw {

ClickLabel::ClickLabel(QWidget* parent) : QLabel(parent) {}

void ClickLabel::mousePressEvent(QMouseEvent* event)
{
    click_.press(event);
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (click_.release(event, *this))
        emit clicked();
}

} // namespace lw

// Tells a click (left button pressed and released over the same widget) from a press alone.
#pragma once

#include <QMouseEvent>
#include <QWidget>

namespace lw {

class ClickTracker {
public:
    void press(const QMouseEvent* event) { pressed_ = event->button() == Qt::LeftButton; }
    // Whether this release completes a click on `widget`.
    bool release(const QMouseEvent* event, const QWidget& widget)
    {
        const bool wasPressed = pressed_;
        pressed_ = false;
        return wasPressed && event->button() == Qt::LeftButton && widget.rect().contains(event->position().toPoint());
    }

private:
    bool pressed_ = false;
};

} // namespace lw

// A text label that reports a click (left button pressed and released over it).
#pragma once

#include "ClickTracker.h"

#include <QLabel>

namespace lw {

class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ClickTracker click_;
};

} // namespace lw

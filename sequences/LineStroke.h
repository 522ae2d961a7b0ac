// One straight stroke of a logo: a widget that paints a line between two points given in twips.
#pragma once

#include <QColor>
#include <QWidget>

namespace lw {

class LineStroke : public QWidget {
    Q_OBJECT
public:
    // X1, Y1, X2, Y2 in twips in the parent's client area; the pen width in pixels.
    LineStroke(QWidget* parent, const QColor& colour, double x1, double y1, double x2, double y2, int penPixels);

    double X1() const { return x1_; }
    double Y1() const { return y1_; }
    double X2() const { return x2_; }
    double Y2() const { return y2_; }
    const QColor& BorderColor() const { return colour_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_;
    double x1_, y1_, x2_, y2_;
    int pen_;
};

} // namespace lw

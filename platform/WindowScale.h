// The scaling of a window's widgets by a zoom factor, taken each time from their 100 % values.
#pragma once

#include <QFont>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <vector>

namespace lw {

// A window's widgets as they are at 100 %: geometry, font and fixed width, kept so that every
// scale is taken from these values and never compounded by rounding.
class WindowScale {
public:
    // Records `window`'s widgets; call it while the window is at 100 %.
    explicit WindowScale(QWidget& window);

    QWidget* window() const { return window_; }
    // The window's client size at 100 %.
    QSize clientSize() const { return clientSize_; }

    // Every recorded widget at `factor` times its 100 % geometry and font; the window's direct
    // children also moved by `offset` pixels. Image boxes get the factor as their zoom, so a picture
    // is shown at its 1x size times the factor and reports mouse positions in its 1x frame.
    void apply(double factor, QPoint offset = {}) const;

    // Where `widget` lies at 100 %, relative to its parent; null for a widget not recorded.
    QRect geometryAt100(const QWidget* widget) const;

private:
    struct Part {
        QPointer<QWidget> widget;
        QRect geometry;
        QFont font;
        bool fixedWidth;
    };
    QPointer<QWidget> window_;
    QSize clientSize_;
    std::vector<Part> parts_;
};

// `pixels` times `factor`, rounded to the nearest pixel.
int scaledPixels(int pixels, double factor);

} // namespace lw

// An image widget: holds one picture, either at the picture's own size or stretched to the widget.
#pragma once

#include "ClickTracker.h"

#include <QImage>
#include <QWidget>

namespace lw {

class ImageBox : public QWidget {
    Q_OBJECT
public:
    explicit ImageBox(QWidget* parent = nullptr, bool stretch = false);

    // Without stretch the widget takes the picture's size; with stretch the picture fills the widget.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }
    bool stretch() const { return stretch_; }

    // Geometry in twips relative to the parent.
    void setTwipsGeometry(double left, double top, double width, double height);
    void setTwipsPosition(double left, double top);
    double twipsLeft() const;
    double twipsTop() const;
    double twipsWidth() const;

signals:
    void clicked();
    // X and Y in twips relative to the widget's top-left corner.
    void mouseDown(int button, int shift, double x, double y);
    void mouseMove(int button, int shift, double x, double y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    bool stretch_;
    ClickTracker click_;
};

// Mouse button and shift-state codes as the game's handlers receive them.
int buttonCode(Qt::MouseButtons buttons);
int shiftCode(Qt::KeyboardModifiers modifiers);

} // namespace lw

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

    // Without stretch the widget takes the picture's size (in device-independent pixels, so a 2x
    // picture takes its 1x size) times the zoom; with stretch the picture fills the widget.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }
    bool stretch() const { return stretch_; }

    // A picture together with its 2x twin's undecoded file bytes (see readSharpPictureFile): how
    // a hidden holder keeps a picture for every density without holding two decoded images.
    void setPicture(const QImage& picture, const QByteArray& sharpFile);
    // Shows `holder`'s picture here: decoded from the holder's 2x twin when this box's density
    // wants it and the twin decodes, the holder's 1x picture otherwise. Shown again while nothing
    // changed, it decodes nothing.
    void showPictureOf(const ImageBox& holder);

    // The game's zoom factor, 1 at 100 %. A box without stretch grows with it and shows its
    // picture scaled; mouse positions and twipsWidth() stay in the picture's 1x frame, so a click
    // means the same spot of the picture at any zoom. It raises the density too.
    void setZoom(double zoom);
    double zoom() const { return zoom_; }
    // Screen pixels per picture pixel of the 1x artwork: the screen's pixel ratio times the zoom.
    // Pictures for this box are loaded at this density.
    double density() const { return devicePixelRatioF() * zoom_; }

    // Geometry in twips relative to the parent.
    void setTwipsGeometry(double left, double top, double width, double height);
    void setTwipsPosition(double left, double top);
    double twipsLeft() const;
    double twipsTop() const;
    // The width in the picture's 1x frame (the widget's width divided by the zoom).
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
    QSizeF shownSize() const { return picture_.deviceIndependentSize() * zoom_; }

    QImage picture_;
    QByteArray sharpFile_;  // the held picture's 2x twin, undecoded; empty when there is none
    QByteArray shownSharp_; // the twin that picture_ was decoded from, shared with its holder
    double zoom_ = 1.0;
    bool stretch_;
    ClickTracker click_;
};

// Mouse button and shift-state codes as the game's handlers receive them.
int buttonCode(Qt::MouseButtons buttons);
int shiftCode(Qt::KeyboardModifiers modifiers);

} // namespace lw

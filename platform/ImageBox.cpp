// The image widget.
#include "ImageBox.h"

#include "PictureDensity.h"
#include "PictureLoader.h"
#include "Twips.h"

#include <QMouseEvent>
#include <QPainter>

namespace lw {

ImageBox::ImageBox(QWidget* parent, bool stretch) : QWidget(parent), stretch_(stretch)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void ImageBox::setPicture(const QImage& picture)
{
    picture_ = picture;
    sharpFile_.clear();
    shownSharp_.clear();
    if (!stretch_ && !picture_.isNull())
        resize(shownSize().toSize());
    update();
}

void ImageBox::setZoom(double zoom)
{
    zoom_ = zoom;
    if (!stretch_ && !picture_.isNull())
        resize(shownSize().toSize());
    update();
}

void ImageBox::setPicture(const QImage& picture, const QByteArray& sharpFile)
{
    setPicture(picture);
    sharpFile_ = sharpFile;
}

void ImageBox::showPictureOf(const ImageBox& holder)
{
    if (wantsSharpPicture(density()) && !holder.sharpFile_.isEmpty()) {
        // The staff roll shows the same entry on every tick of its stretch. Implicit sharing makes
        // the data pointer an identity: equal while both hold the same bytes, different once the
        // holder is given another picture.
        if (holder.sharpFile_.constData() == shownSharp_.constData())
            return;
        if (const QImage sharp = decodeSharpPicture(holder.sharpFile_); !sharp.isNull()) {
            setPicture(sharp);
            shownSharp_ = holder.sharpFile_;
            return;
        }
    }
    setPicture(holder.picture());
}

void ImageBox::setTwipsGeometry(double left, double top, double width, double height)
{
    setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

void ImageBox::setTwipsPosition(double left, double top) { move(twipsToPixels(left), twipsToPixels(top)); }

double ImageBox::twipsLeft() const { return pixelsToTwips(x()); }
double ImageBox::twipsTop() const { return pixelsToTwips(y()); }
double ImageBox::twipsWidth() const { return pixelsToTwips(width() / zoom_); }

void ImageBox::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    QPainter painter(this);
    if (stretch_) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), picture_);
    } else if (zoom_ == 1.0) {
        painter.drawImage(0, 0, picture_);
    } else {
        // A 2x picture at 200 % on a 1x screen lands pixel for pixel; other sizes are resampled.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(QPointF(0, 0), shownSize()), picture_);
    }
}

int buttonCode(Qt::MouseButtons buttons)
{
    int code = 0;
    if (buttons & Qt::LeftButton)
        code |= 1;
    if (buttons & Qt::RightButton)
        code |= 2;
    if (buttons & Qt::MiddleButton)
        code |= 4;
    return code;
}

int shiftCode(Qt::KeyboardModifiers modifiers)
{
    int code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= 1;
    if (modifiers & Qt::ControlModifier)
        code |= 2;
    if (modifiers & Qt::AltModifier)
        code |= 4;
    return code;
}

void ImageBox::mousePressEvent(QMouseEvent* event)
{
    click_.press(event);
    const QPointF p = event->position();
    emit mouseDown(buttonCode(event->button()), shiftCode(event->modifiers()), pixelsToTwips(p.x() / zoom_),
                   pixelsToTwips(p.y() / zoom_));
}

void ImageBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (click_.release(event, *this))
        emit clicked();
}

void ImageBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF p = event->position();
    emit mouseMove(buttonCode(event->buttons()), shiftCode(event->modifiers()), pixelsToTwips(p.x() / zoom_),
                   pixelsToTwips(p.y() / zoom_));
}

} // namespace lw

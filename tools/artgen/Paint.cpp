// Small drawing helpers shared by the scene painters.
#include "Paint.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace art {

QColor hex(const char* rgb) { return QColor(QString::fromLatin1(rgb)); }

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

QColor mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t),
                            static_cast<float>(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

void fillVertical(QPainter& p, const QRectF& r, const QColor& top, const QColor& bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(r, g);
}

void fillHorizontal(QPainter& p, const QRectF& r, const QColor& left, const QColor& right)
{
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, left);
    g.setColorAt(1, right);
    p.fillRect(r, g);
}

void glow(QPainter& p, QPointF centre, double radius, const QColor& c)
{
    QRadialGradient g(centre, radius);
    g.setColorAt(0, c);
    g.setColorAt(0.4, withAlpha(c, c.alpha() / 2));
    g.setColorAt(1, withAlpha(c, 0));
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(centre, radius, radius);
    p.restore();
}

void sparkle(QPainter& p, QPointF centre, double size, const QColor& c)
{
    glow(p, centre, size * 1.2, withAlpha(c, 110));
    QPainterPath s;
    const double w = size * 0.18;
    s.moveTo(centre.x(), centre.y() - size);
    s.quadTo(centre.x() + w, centre.y() - w, centre.x() + size, centre.y());
    s.quadTo(centre.x() + w, centre.y() + w, centre.x(), centre.y() + size);
    s.quadTo(centre.x() - w, centre.y() + w, centre.x() - size, centre.y());
    s.quadTo(centre.x() - w, centre.y() - w, centre.x(), centre.y() - size);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(s);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawEllipse(centre, size * 0.12, size * 0.12);
    p.restore();
}

void starShape(QPainter& p, QPointF centre, double outer, double inner, const QColor& fill, int points)
{
    QPolygonF poly;
    for (int i = 0; i < points * 2; ++i) {
        const double a = -M_PI / 2 + i * M_PI / points;
        const double r = (i % 2) ? inner : outer;
        poly << QPointF(centre.x() + r * std::cos(a), centre.y() + r * std::sin(a));
    }
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPolygon(poly);
    p.restore();
}

void petal(QPainter& p, QPointF centre, double size, double angleDeg, const QColor& c)
{
    p.save();
    p.translate(centre);
    p.rotate(angleDeg);
    QPainterPath path;
    path.moveTo(0, -size);
    path.cubicTo(size * 0.9, -size * 0.6, size * 0.7, size * 0.6, 0, size);
    path.cubicTo(-size * 0.7, size * 0.6, -size * 0.9, -size * 0.6, -size * 0.15, -size * 0.75);
    path.lineTo(0, -size * 0.55);
    path.closeSubpath();
    p.setPen(QPen(c.darker(115), 0.6));
    p.setBrush(c);
    p.drawPath(path);
    p.restore();
}

void scatterPetals(QPainter& p, Rng& rng, const QRectF& area, int count, double size)
{
    for (int i = 0; i < count; ++i) {
        const QPointF at(rng.uniform(area.left(), area.right()), rng.uniform(area.top(), area.bottom()));
        const double s = size * rng.uniform(0.6, 1.2);
        const QColor c = mix(hex("#ffd6e4"), hex("#f59ab8"), rng.uniform(0, 1));
        petal(p, at, s, rng.uniform(0, 360), c);
    }
}

void scatterStars(QPainter& p, Rng& rng, const QRectF& area, int count)
{
    p.save();
    p.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const QPointF at(rng.uniform(area.left(), area.right()), rng.uniform(area.top(), area.bottom()));
        const double r = rng.uniform(0.4, 1.3);
        p.setBrush(QColor(255, 255, 240, 120 + rng.below(135)));
        p.drawEllipse(at, r, r);
    }
    p.restore();
}

void vignette(QPainter& p, int strength)
{
    QRadialGradient g(QPointF(kWidth / 2.0, kHeight / 2.0), kWidth * 0.62);
    g.setColorAt(0.55, QColor(0, 0, 0, 0));
    g.setColorAt(1, QColor(0, 0, 0, strength));
    p.fillRect(QRectF(0, 0, kWidth, kHeight), g);
}

QFont mincho(double pixelSize, bool bold)
{
    QFont f(QStringLiteral("IPAMincho"));
    f.setPixelSize(static_cast<int>(pixelSize));
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QFont gothic(double pixelSize, bool bold)
{
    QFont f(QStringLiteral("IPAPGothic"));
    f.setPixelSize(static_cast<int>(pixelSize));
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

void outlinedText(QPainter& p, const QString& text, const QFont& font, QPointF centre, const QColor& fill,
                  const QColor& outline, double outlineWidth)
{
    QPainterPath path;
    const QFontMetricsF fm(font);
    const double w = fm.horizontalAdvance(text);
    path.addText(centre.x() - w / 2, centre.y() + (fm.ascent() - fm.descent()) / 2, font, text);
    p.save();
    if (outlineWidth > 0) {
        p.setPen(QPen(outline, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(path);
    p.restore();
}

void brushTextVertical(QPainter& p, const QString& text, const QFont& font, QPointF topCentre, double step,
                       const QColor& ink)
{
    const QFontMetricsF fm(font);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < text.size(); ++i) {
        const QString ch = text.mid(i, 1);
        QPainterPath path;
        const double w = fm.horizontalAdvance(ch);
        path.addText(topCentre.x() - w / 2, topCentre.y() + fm.ascent() + i * step, font, ch);
        // Bleed: faint wider copies, then the strokes thickened so the thin Mincho hairlines read
        // as brush weight, then a dry-brush highlight offset to the upper left.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(withAlpha(ink, 50), font.pixelSize() * 0.09, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path.translated(1.5, 2.0));
        p.setPen(QPen(ink, font.pixelSize() * 0.045, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(ink);
        p.drawPath(path);
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(QColor(255, 255, 255), 60));
        p.drawPath(path.translated(-1.0, -1.0).intersected(path));
    }
    p.restore();
}

} // namespace art

// Small drawing helpers shared by the scene painters: colours, gradients, glows, sparkles, text, scatter.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <cstdint>

namespace art {

inline constexpr int kWidth = 480;  // pixels
inline constexpr int kHeight = 349; // pixels

// A tiny xorshift generator: the same seed gives the same scatter on every build.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : state_(seed ? seed : 0x9e3779b9u) {}
    std::uint32_t next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    double uniform(double lo, double hi) { return lo + (hi - lo) * (next() % 100000) / 100000.0; }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }

private:
    std::uint32_t state_;
};

// "#rrggbb" or "#aarrggbb".
QColor hex(const char* rgb);
QColor withAlpha(QColor c, int alpha);
QColor mix(const QColor& a, const QColor& b, double t);

void fillVertical(QPainter& p, const QRectF& r, const QColor& top, const QColor& bottom);
void fillHorizontal(QPainter& p, const QRectF& r, const QColor& left, const QColor& right);
// Soft light: a radial gradient from `c` to transparent.
void glow(QPainter& p, QPointF centre, double radius, const QColor& c);
// Four-pointed twinkle with a soft halo.
void sparkle(QPainter& p, QPointF centre, double size, const QColor& c);
void starShape(QPainter& p, QPointF centre, double outer, double inner, const QColor& fill, int points = 5);
void petal(QPainter& p, QPointF centre, double size, double angleDeg, const QColor& c);
void scatterPetals(QPainter& p, Rng& rng, const QRectF& area, int count, double size);
void scatterStars(QPainter& p, Rng& rng, const QRectF& area, int count);
// Vignette darkening toward the picture's edges.
void vignette(QPainter& p, int strength);

QFont mincho(double pixelSize, bool bold = false);
QFont gothic(double pixelSize, bool bold = false);
// Text outlined in `outline` and filled with `fill`, centred on `centre`.
void outlinedText(QPainter& p, const QString& text, const QFont& font, QPointF centre, const QColor& fill,
                  const QColor& outline, double outlineWidth);
// Text drawn like brush ink: the glyph outlines thickened and smeared a little, top to bottom.
void brushTextVertical(QPainter& p, const QString& text, const QFont& font, QPointF topCentre, double step,
                       const QColor& ink);

} // namespace art

// Places the story returns to, drawn as reusable backgrounds and props.
#include "Backgrounds.h"

#include "Characters.h"
#include "Paint.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace art {

namespace {

QPen line(double w, const QColor& c) { return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

void poly(QPainter& p, std::initializer_list<QPointF> pts, const QBrush& fill, const QPen& pen = Qt::NoPen)
{
    p.setPen(pen);
    p.setBrush(fill);
    p.drawPolygon(QPolygonF(QList<QPointF>(pts)));
}

void bigScreen(QPainter& p, const QRectF& r, const QColor& a, const QColor& b)
{
    p.setPen(line(3, hex("#202028")));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
    fillHorizontal(p, r.adjusted(1, 1, -1, -1), a, b);
    glow(p, r.center(), r.width() * 0.7, withAlpha(a, 70));
}

} // namespace

void building(QPainter& p, const QRectF& r, const QColor& wall, Rng& rng, double litShare)
{
    fillVertical(p, r, wall.lighter(115), wall.darker(120));
    p.setPen(Qt::NoPen);
    for (double y = r.top() + 8; y < r.bottom() - 10; y += 14)
        for (double x = r.left() + 5; x < r.right() - 8; x += 11) {
            const bool lit = rng.uniform(0, 1) < litShare;
            p.setBrush(lit ? QColor(255, 230, 160, 220) : withAlpha(wall.darker(150), 200));
            p.drawRect(QRectF(x, y, 6, 8));
        }
}

void woodFloor(QPainter& p, double horizon, const QColor& light, const QColor& dark)
{
    const QRectF floor(0, horizon, kWidth, kHeight - horizon);
    fillVertical(p, floor, dark, light);
    p.setPen(line(1, withAlpha(dark.darker(140), 140)));
    const double vx = kWidth / 2.0;
    for (int i = -12; i <= 12; ++i)
        p.drawLine(QPointF(vx + i * 12, horizon), QPointF(vx + i * 70, kHeight));
    for (int k = 1; k < 7; ++k) {
        const double y = horizon + (kHeight - horizon) * (k * k) / 49.0;
        p.drawLine(QPointF(0, y), QPointF(kWidth, y));
    }
}

void bookshelf(QPainter& p, const QRectF& r, unsigned seed)
{
    Rng rng(seed);
    fillVertical(p, r, hex("#6a4028"), hex("#4a2a18"));
    p.setPen(line(2, hex("#2a160c")));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
    const double shelfH = 44;
    for (double y = r.top() + 6; y + shelfH <= r.bottom(); y += shelfH) {
        double x = r.left() + 6;
        while (x < r.right() - 14) {
            const double w = rng.uniform(6, 12);
            const double h = rng.uniform(26, 36);
            static const char* colours[] = {"#8a2a3a", "#2a4a8a", "#3a7a4a", "#c09030",
                                            "#6a3a8a", "#a05a2a", "#2a6a7a"};
            const QColor c = hex(colours[rng.below(7)]);
            QRectF book(x, y + shelfH - 6 - h, w, h);
            if (rng.below(9) == 0) {
                p.save();
                p.translate(book.bottomLeft());
                p.rotate(-14);
                fillHorizontal(p, QRectF(0, -h, w, h), c.lighter(120), c.darker(130));
                p.restore();
                x += w + 6;
                continue;
            }
            fillHorizontal(p, book, c.lighter(120), c.darker(130));
            p.setPen(line(1, hex("#f0d080")));
            p.drawLine(QPointF(x + 1, book.top() + 5), QPointF(x + w - 1, book.top() + 5));
            x += w + 1;
        }
        fillVertical(p, QRectF(r.left(), y + shelfH - 6, r.width(), 6), hex("#8a5a38"), hex("#3a2010"));
    }
}

void flask(QPainter& p, QPointF base, double size, const QColor& liquid)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    glow(p, base - QPointF(0, size * 0.4), size * 1.6, withAlpha(liquid, 90));
    QPainterPath body;
    const double s = size;
    body.moveTo(base.x() - s * 0.12, base.y() - s);
    body.lineTo(base.x() - s * 0.12, base.y() - s * 0.62);
    body.cubicTo(base.x() - s * 0.6, base.y() - s * 0.5, base.x() - s * 0.6, base.y(), base.x(), base.y());
    body.cubicTo(base.x() + s * 0.6, base.y(), base.x() + s * 0.6, base.y() - s * 0.5, base.x() + s * 0.12,
                 base.y() - s * 0.62);
    body.lineTo(base.x() + s * 0.12, base.y() - s);
    body.closeSubpath();
    QPainterPath liquidArea;
    liquidArea.addRect(QRectF(base.x() - s, base.y() - s * 0.45, s * 2, s));
    QLinearGradient g(0, base.y() - s * 0.45, 0, base.y());
    g.setColorAt(0, liquid.lighter(150));
    g.setColorAt(1, liquid);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(body.intersected(liquidArea));
    p.setPen(line(1.3, QColor(220, 235, 255, 220)));
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawPath(body);
    p.setPen(line(1.5, QColor(255, 255, 255, 200)));
    p.drawLine(QPointF(base.x() - s * 0.3, base.y() - s * 0.35), QPointF(base.x() - s * 0.22, base.y() - s * 0.15));
    fillVertical(p, QRectF(base.x() - s * 0.15, base.y() - s * 1.08, s * 0.3, s * 0.12), hex("#a07050"),
                 hex("#6a4028"));
    p.restore();
}

void woodDesk(QPainter& p, const QRectF& top, double depth)
{
    QPainterPath surface;
    surface.moveTo(top.left() + 14, top.top());
    surface.lineTo(top.right() - 14, top.top());
    surface.lineTo(top.right(), top.bottom());
    surface.lineTo(top.left(), top.bottom());
    surface.closeSubpath();
    p.setPen(line(1.5, hex("#3a2010")));
    QLinearGradient g(top.topLeft(), top.bottomLeft());
    g.setColorAt(0, hex("#9a6a40"));
    g.setColorAt(1, hex("#7a4a28"));
    p.setBrush(g);
    p.drawPath(surface);
    fillVertical(p, QRectF(top.left(), top.bottom(), top.width(), depth), hex("#5a3418"), hex("#3a2010"));
    p.setPen(line(1, withAlpha(hex("#c09060"), 120)));
    for (int i = 1; i < 4; ++i)
        p.drawLine(QPointF(top.left() + 20, top.top() + i * top.height() / 4),
                   QPointF(top.right() - 20, top.top() + i * top.height() / 4));
}

void flowerVase(QPainter& p, QPointF base, double size)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    // Stems and blooms first, the vase in front.
    p.setPen(line(s * 0.03, hex("#4a8a40")));
    Rng rng(41);
    struct Bloom {
        double dx, dy;
        const char* colour;
    };
    const Bloom blooms[] = {{-0.45, -1.5, "#f06a8a"}, {0.0, -1.75, "#ffffff"},  {0.42, -1.45, "#f8b0c8"},
                            {-0.2, -1.25, "#ffd060"}, {0.25, -1.15, "#f06a8a"}, {-0.55, -1.05, "#ffffff"},
                            {0.55, -1.0, "#ffd060"}};
    for (const Bloom& b : blooms)
        p.drawLine(base - QPointF(0, s * 0.8), base + QPointF(b.dx * s, b.dy * s));
    for (const Bloom& b : blooms) {
        const QPointF c = base + QPointF(b.dx * s, b.dy * s);
        for (int i = 0; i < 6; ++i)
            petal(p, c + QPointF(std::cos(i * M_PI / 3) * s * 0.09, std::sin(i * M_PI / 3) * s * 0.09), s * 0.1,
                  i * 60 + 90, hex(b.colour));
        p.setPen(Qt::NoPen);
        p.setBrush(hex("#f0c030"));
        p.drawEllipse(c, s * 0.05, s * 0.05);
        p.setPen(line(s * 0.03, hex("#4a8a40")));
    }
    for (int i = 0; i < 5; ++i) {
        p.save();
        p.translate(base + QPointF(rng.uniform(-0.4, 0.4) * s, -s * rng.uniform(0.9, 1.2)));
        p.rotate(rng.uniform(-60, 60));
        p.setPen(line(1, hex("#3a6a30")));
        p.setBrush(hex("#6aaa50"));
        p.drawEllipse(QRectF(-s * 0.05, -s * 0.16, s * 0.1, s * 0.32));
        p.restore();
    }
    QPainterPath vase;
    vase.moveTo(base.x() - s * 0.14, base.y() - s * 0.9);
    vase.lineTo(base.x() + s * 0.14, base.y() - s * 0.9);
    vase.cubicTo(base.x() + s * 0.1, base.y() - s * 0.7, base.x() + s * 0.42, base.y() - s * 0.4, base.x() + s * 0.3,
                 base.y());
    vase.lineTo(base.x() - s * 0.3, base.y());
    vase.cubicTo(base.x() - s * 0.42, base.y() - s * 0.4, base.x() - s * 0.1, base.y() - s * 0.7, base.x() - s * 0.14,
                 base.y() - s * 0.9);
    QLinearGradient g(base.x() - s * 0.4, 0, base.x() + s * 0.4, 0);
    g.setColorAt(0, hex("#6a90c0"));
    g.setColorAt(0.35, hex("#d8e8ff"));
    g.setColorAt(1, hex("#3a5a8a"));
    p.setPen(line(1.4, hex("#2a3a5a")));
    p.setBrush(g);
    p.drawPath(vase);
    p.restore();
}

void crowd(QPainter& p, Rng& rng, double baseline, int count, double scale, double left, double right)
{
    static const char* coats[] = {"#3a3a4a", "#6a4a3a", "#2a4a6a", "#8a3a3a",
                                  "#4a6a4a", "#c0a080", "#5a5a6a", "#9a7a9a"};
    static const char* hairs[] = {"#1a1418", "#3a2418", "#5a3a28", "#1a1418", "#8a6a4a"};
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < count; ++i) {
        const double s = scale * rng.uniform(0.85, 1.1);
        const double x = rng.uniform(left, right);
        const double y = baseline + rng.uniform(-3, 3) * scale;
        const QColor coat = hex(coats[rng.below(8)]);
        p.setPen(line(0.8, coat.darker(160)));
        p.setBrush(coat);
        QPainterPath body;
        body.moveTo(x - 7 * s, y);
        body.lineTo(x - 8 * s, y - 28 * s);
        body.quadTo(x, y - 36 * s, x + 8 * s, y - 28 * s);
        body.lineTo(x + 7 * s, y);
        body.closeSubpath();
        p.drawPath(body);
        p.setPen(line(3.2 * s, hex("#2a2a30")));
        p.drawLine(QPointF(x - 3 * s, y), QPointF(x - 3 * s, y + 14 * s));
        p.drawLine(QPointF(x + 3 * s, y), QPointF(x + 3 * s, y + 14 * s));
        p.setPen(Qt::NoPen);
        p.setBrush(hex("#f0d0b8"));
        p.drawEllipse(QPointF(x, y - 39 * s), 5.5 * s, 6.5 * s);
        p.setBrush(hex(hairs[rng.below(5)]));
        p.drawChord(QRectF(x - 6 * s, y - 47 * s, 12 * s, 13 * s), 0, 180 * 16);
    }
    p.restore();
}

void cherryTree(QPainter& p, QPointF trunkBase, double size, Rng& rng)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    QPainterPath trunk;
    trunk.moveTo(trunkBase.x() - s * 0.08, trunkBase.y());
    trunk.cubicTo(trunkBase.x() - s * 0.05, trunkBase.y() - s * 0.4, trunkBase.x() - s * 0.2, trunkBase.y() - s * 0.6,
                  trunkBase.x() - s * 0.35, trunkBase.y() - s * 0.8);
    trunk.lineTo(trunkBase.x() - s * 0.3, trunkBase.y() - s * 0.84);
    trunk.cubicTo(trunkBase.x() - s * 0.1, trunkBase.y() - s * 0.66, trunkBase.x(), trunkBase.y() - s * 0.6,
                  trunkBase.x() + s * 0.3, trunkBase.y() - s * 0.85);
    trunk.lineTo(trunkBase.x() + s * 0.33, trunkBase.y() - s * 0.8);
    trunk.cubicTo(trunkBase.x() + s * 0.1, trunkBase.y() - s * 0.55, trunkBase.x() + s * 0.06, trunkBase.y() - s * 0.3,
                  trunkBase.x() + s * 0.08, trunkBase.y());
    trunk.closeSubpath();
    p.setPen(line(1.2, hex("#2a1a18")));
    p.setBrush(hex("#4a3028"));
    p.drawPath(trunk);
    // Blossom clouds: many pale pink discs, lighter toward the top.
    for (int i = 0; i < 46; ++i) {
        const double a = rng.uniform(0, 2 * M_PI);
        const double r = s * 0.5 * std::sqrt(rng.uniform(0, 1));
        const QPointF c(trunkBase.x() + std::cos(a) * r * 1.3, trunkBase.y() - s * 0.92 + std::sin(a) * r * 0.6);
        const double rad = s * rng.uniform(0.1, 0.17);
        QRadialGradient g(c - QPointF(rad * 0.3, rad * 0.4), rad * 1.2);
        g.setColorAt(0, hex("#fff0f5"));
        g.setColorAt(1, mix(hex("#f7b8cc"), hex("#e890ac"), (c.y() - (trunkBase.y() - s * 1.3)) / (s * 0.8)));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(c, rad, rad * 0.85);
    }
    p.restore();
}

void komachiMagazine(QPainter& p, const QRectF& r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, r, hex("#ffe8f0"), hex("#f8c8d8"));
    p.setClipRect(r);
    Figure k = komachi();
    k.mouth = Mouth::Smile;
    drawFigure(p, k, QPointF(r.center().x(), r.top() + r.height() * 0.48), r.width() / 95.0);
    p.setClipping(false);
    fillVertical(p, QRectF(r.left(), r.top(), r.width(), r.height() * 0.2), hex("#e03060"), hex("#c02050"));
    QFont f = gothic(r.height() * 0.14, true);
    outlinedText(p, QStringLiteral("こまち"), f, QPointF(r.center().x(), r.top() + r.height() * 0.1),
                 QColor(255, 255, 255), hex("#801030"), 0);
    p.setPen(line(1.2, hex("#5a3040")));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
    p.restore();
}

void researchRoom(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    // Back wall: plaster washed in evening violet, wainscot, floor.
    fillVertical(p, QRectF(0, 0, kWidth, 250), hex("#4a4070"), hex("#6a5a88"));
    fillVertical(p, QRectF(0, 190, kWidth, 60), hex("#5a3a30"), hex("#4a2e26"));
    p.setPen(line(1, hex("#3a2018")));
    for (int x = 0; x < kWidth; x += 40)
        p.drawLine(QPointF(x, 192), QPointF(x, 250));
    woodFloor(p, 250, hex("#a07048"), hex("#6a4430"));
    // Round window with the full moon.
    const QPointF wc(330, 100);
    glow(p, wc, 120, QColor(200, 210, 255, 90));
    p.setPen(line(8, hex("#5a3a2a")));
    QRadialGradient sky(wc, 58);
    sky.setColorAt(0, hex("#3a4a90"));
    sky.setColorAt(1, hex("#16204a"));
    p.setBrush(sky);
    p.drawEllipse(wc, 58, 58);
    p.save();
    QPainterPath clip;
    clip.addEllipse(wc, 54, 54);
    p.setClipPath(clip);
    Rng stars(11);
    scatterStars(p, stars, QRectF(wc.x() - 56, wc.y() - 56, 112, 112), 30);
    glow(p, QPointF(348, 82), 40, QColor(255, 250, 210, 160));
    p.setPen(Qt::NoPen);
    p.setBrush(hex("#fff8d8"));
    p.drawEllipse(QPointF(348, 82), 18, 18);
    p.setBrush(QColor(230, 220, 180, 120));
    p.drawEllipse(QPointF(343, 78), 4, 3);
    p.drawEllipse(QPointF(353, 88), 3, 2.5);
    p.restore();
    p.setPen(line(4, hex("#5a3a2a")));
    p.drawLine(QPointF(wc.x() - 56, wc.y()), QPointF(wc.x() + 56, wc.y()));
    p.drawLine(QPointF(wc.x(), wc.y() - 56), QPointF(wc.x(), wc.y() + 56));
    // Moonlight patch on the floor.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 210, 255, 40));
    p.drawEllipse(QPointF(300, 300), 90, 26);
    // Bookshelves on the left, a flask shelf on the right.
    bookshelf(p, QRectF(10, 20, 130, 240), 3);
    fillVertical(p, QRectF(404, 120, 76, 8), hex("#8a5a38"), hex("#4a2a18"));
    flask(p, QPointF(420, 120), 26, hex("#60e0c0"));
    flask(p, QPointF(448, 120), 20, hex("#f080d0"));
    flask(p, QPointF(470, 120), 16, hex("#f0d060"));
    // Hanging lamp.
    p.setPen(line(1.5, hex("#2a1a10")));
    p.drawLine(QPointF(220, 0), QPointF(220, 40));
    glow(p, QPointF(220, 52), 60, QColor(255, 220, 140, 120));
    poly(p, {{206, 40}, {234, 40}, {242, 56}, {198, 56}}, hex("#c08a40"), line(1.2, hex("#5a3a10")));
}

void laboratory(QPainter& p, bool monitorLit)
{
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, QRectF(0, 0, kWidth, 240), hex("#2a2448"), hex("#3e3660"));
    // Stone arches along the back wall.
    for (int i = 0; i < 4; ++i) {
        const double x = i * 130 - 20;
        QPainterPath arch;
        arch.moveTo(x + 10, 240);
        arch.lineTo(x + 10, 90);
        arch.quadTo(x + 60, 20, x + 110, 90);
        arch.lineTo(x + 110, 240);
        p.setPen(line(10, hex("#4e4672")));
        p.setBrush(hex("#231e3e"));
        p.drawPath(arch);
    }
    // Star charts pinned between the arches.
    for (int i = 0; i < 2; ++i) {
        const QRectF chart(40 + i * 370, 60, 60, 80);
        fillVertical(p, chart, hex("#f0e4c0"), hex("#d8c8a0"));
        p.setPen(line(1, hex("#5a4a80")));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(chart.center(), 24, 24);
        Rng r(20 + i);
        QPointF prev = chart.center();
        for (int k = 0; k < 6; ++k) {
            const QPointF s(chart.left() + r.uniform(8, 52), chart.top() + r.uniform(8, 72));
            p.setPen(line(0.8, hex("#7a6aa0")));
            p.drawLine(prev, s);
            starShape(p, s, 3, 1.3, hex("#3a3070"));
            prev = s;
        }
    }
    // Floor: checked stone in perspective.
    const double horizon = 240;
    fillVertical(p, QRectF(0, horizon, kWidth, kHeight - horizon), hex("#3a3458"), hex("#6a6090"));
    p.setPen(line(1, hex("#2a2444")));
    for (int i = -10; i <= 10; ++i)
        p.drawLine(QPointF(240 + i * 20, horizon), QPointF(240 + i * 90, kHeight));
    for (int k = 1; k < 6; ++k) {
        const double y = horizon + (kHeight - horizon) * (k * k) / 36.0;
        p.drawLine(QPointF(0, y), QPointF(kWidth, y));
    }
    // The big crystal monitor.
    const QRectF frame(150, 40, 180, 130);
    glow(p, frame.center(), 150, monitorLit ? QColor(140, 220, 255, 110) : QColor(120, 160, 220, 60));
    p.setPen(line(2, hex("#6a5020")));
    QLinearGradient gold(frame.topLeft(), frame.bottomRight());
    gold.setColorAt(0, hex("#f0d070"));
    gold.setColorAt(0.5, hex("#a07a30"));
    gold.setColorAt(1, hex("#e0c060"));
    p.setBrush(gold);
    p.drawRoundedRect(frame, 16, 16);
    const QRectF screen = frame.adjusted(12, 12, -12, -12);
    QLinearGradient sg(screen.topLeft(), screen.bottomRight());
    sg.setColorAt(0, monitorLit ? hex("#a0e8ff") : hex("#4a6a9a"));
    sg.setColorAt(1, monitorLit ? hex("#4a80d0") : hex("#1a2a4a"));
    p.setBrush(sg);
    p.drawRoundedRect(screen, 10, 10);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 50));
    p.drawPolygon(
        QPolygonF({QPointF(screen.left() + 10, screen.top() + 4), QPointF(screen.left() + 70, screen.top() + 4),
                   QPointF(screen.left() + 30, screen.bottom() - 4), QPointF(screen.left() + 6, screen.bottom() - 4)}));
    starShape(p, QPointF(frame.center().x(), frame.top() - 4), 12, 5, hex("#ffe070"));
    poly(p, {{220, 170}, {260, 170}, {272, 200}, {208, 200}}, hex("#8a6a30"), line(1.5, hex("#4a3010")));
    // Telescope on a tripod, right.
    p.setPen(line(3, hex("#3a2a1a")));
    p.drawLine(QPointF(420, 180), QPointF(396, 262));
    p.drawLine(QPointF(420, 180), QPointF(446, 262));
    p.drawLine(QPointF(420, 180), QPointF(420, 266));
    p.save();
    p.translate(420, 176);
    p.rotate(-32);
    QLinearGradient tube(0, -9, 0, 9);
    tube.setColorAt(0, hex("#e8c870"));
    tube.setColorAt(0.5, hex("#a07830"));
    tube.setColorAt(1, hex("#6a4a18"));
    p.setPen(line(1.2, hex("#4a3010")));
    p.setBrush(tube);
    p.drawRoundedRect(QRectF(-40, -8, 100, 16), 4, 4);
    p.drawRoundedRect(QRectF(56, -11, 16, 22), 3, 3);
    p.restore();
    // Work table with flasks, left.
    woodDesk(p, QRectF(10, 226, 130, 20), 40);
    flask(p, QPointF(40, 232), 30, hex("#70f0a0"));
    flask(p, QPointF(78, 232), 24, hex("#a080ff"));
    flask(p, QPointF(112, 232), 18, hex("#ff8060"));
    // Floating motes of magic.
    Rng motes(5);
    for (int i = 0; i < 12; ++i)
        sparkle(p, QPointF(motes.uniform(20, 460), motes.uniform(20, 220)), motes.uniform(2, 5),
                QColor(220, 240, 255, 200));
}

QRectF monitorCloseUp(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, QRectF(0, 0, kWidth, kHeight), hex("#1a1634"), hex("#2a2448"));
    const QRectF frame(14, 10, kWidth - 28, kHeight - 20);
    QLinearGradient gold(frame.topLeft(), frame.bottomRight());
    gold.setColorAt(0, hex("#f0d070"));
    gold.setColorAt(0.5, hex("#a07a30"));
    gold.setColorAt(1, hex("#e0c060"));
    p.setPen(line(2, hex("#5a4018")));
    p.setBrush(gold);
    p.drawRoundedRect(frame, 28, 28);
    for (const QPointF c : {frame.topLeft() + QPointF(22, 20), frame.topRight() + QPointF(-22, 20),
                            frame.bottomLeft() + QPointF(22, -20), frame.bottomRight() + QPointF(-22, -20)})
        starShape(p, c, 9, 4, hex("#fff0a0"));
    return frame.adjusted(26, 24, -26, -24);
}

void shibuyaSquare(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, QRectF(0, 0, kWidth, 170), hex("#7ab0e8"), hex("#f0d8c8"));
    Rng rng(15);
    // Far buildings, then the tall ones with screens.
    for (int i = 0; i < 12; ++i) {
        const double x = i * 42 - 10;
        building(p, QRectF(x, 70 + rng.uniform(0, 50), 44, 120), hex("#8a90a8"), rng, 0.2);
    }
    building(p, QRectF(0, 20, 130, 170), hex("#6a6a7a"), rng, 0.3);
    bigScreen(p, QRectF(16, 40, 96, 60), hex("#ff6aa0"), hex("#ffd060"));
    outlinedText(p, QStringLiteral("NEW SINGLE"), gothic(12, true), QPointF(64, 70), QColor(255, 255, 255),
                 hex("#a02050"), 2);
    building(p, QRectF(340, 10, 140, 180), hex("#7a6a6a"), rng, 0.3);
    bigScreen(p, QRectF(356, 30, 110, 66), hex("#40a0ff"), hex("#a040ff"));
    outlinedText(p, QStringLiteral("渋谷"), gothic(26, true), QPointF(411, 63), QColor(255, 255, 255), hex("#203080"),
                 3);
    building(p, QRectF(140, 60, 90, 130), hex("#a0a0b0"), rng, 0.25);
    building(p, QRectF(240, 80, 90, 110), hex("#9a8a7a"), rng, 0.25);
    // Station roofline.
    fillVertical(p, QRectF(0, 180, kWidth, 14), hex("#5a5a60"), hex("#3a3a40"));
    // Plaza: pale paving, the crossing in perspective.
    fillVertical(p, QRectF(0, 194, kWidth, kHeight - 194), hex("#b0a8a0"), hex("#8a847c"));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 250, 250, 220));
    for (int i = -8; i <= 8; ++i) {
        const double x0 = 240 + i * 24, x1 = 240 + i * 56;
        p.drawPolygon(QPolygonF({QPointF(x0, 240), QPointF(x0 + 12, 240), QPointF(x1 + 28, 300), QPointF(x1, 300)}));
    }
    crowd(p, rng, 222, 20, 0.7, 0, 480);
    // The dog statue on its plinth, left of centre, with trees behind.
    p.setBrush(hex("#3a6a3a"));
    p.setPen(line(1, hex("#204020")));
    p.drawEllipse(QPointF(80, 200), 50, 30);
    p.drawEllipse(QPointF(130, 196), 36, 26);
    fillVertical(p, QRectF(70, 250, 80, 50), hex("#9a9088"), hex("#6a625a"));
    p.setPen(line(1, hex("#4a443e")));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(70, 250, 80, 50));
    // The faithful dog in bronze, sitting upright and facing left.
    QPainterPath dog;
    dog.setFillRule(Qt::WindingFill);
    dog.addEllipse(QPointF(122, 234), 19, 16); // haunch
    QPainterPath chest;
    chest.moveTo(94, 250);
    chest.lineTo(96, 214);
    chest.quadTo(98, 200, 108, 198);
    chest.lineTo(126, 220);
    chest.lineTo(110, 250);
    chest.closeSubpath();
    dog.addPath(chest);
    dog.addEllipse(QPointF(101, 192), 12, 10); // head
    QPainterPath snout;
    snout.moveTo(92, 188);
    snout.lineTo(80, 195);
    snout.quadTo(80, 201, 88, 201);
    snout.lineTo(96, 200);
    snout.closeSubpath();
    dog.addPath(snout);
    for (const double ex : {98.0, 108.0}) {
        QPainterPath ear;
        ear.moveTo(ex - 5, 186);
        ear.lineTo(ex, 172);
        ear.lineTo(ex + 4, 186);
        ear.closeSubpath();
        dog.addPath(ear);
    }
    dog.addEllipse(QPointF(139, 222), 6, 8); // curled tail
    dog = dog.simplified();
    QLinearGradient bronze(80, 172, 140, 250);
    bronze.setColorAt(0, hex("#9a9a78"));
    bronze.setColorAt(1, hex("#4a4a38"));
    p.setPen(line(1.2, hex("#2a2a1e")));
    p.setBrush(bronze);
    p.drawPath(dog);
    p.setPen(line(1.2, hex("#3a3a2a")));
    p.drawLine(QPointF(102, 222), QPointF(101, 250)); // fore legs
    p.drawArc(QRectF(110, 222, 22, 22), 90 * 16, 120 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(hex("#2a2a1e"));
    p.drawEllipse(QPointF(97, 189), 1.6, 1.6);
    p.drawEllipse(QPointF(81, 196), 1.8, 1.6);
    crowd(p, rng, 320, 9, 1.1, 180, 480);
}

void shibuyaStreet(QPainter& p, bool neon)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF vp(240, 150);
    fillVertical(p, QRectF(0, 0, kWidth, 160), neon ? hex("#2a2050") : hex("#8ab8e8"),
                 neon ? hex("#a05a7a") : hex("#f0e0d0"));
    // Left and right shop fronts as receding planes.
    Rng rng(neon ? 25 : 26);
    for (int side : {-1, 1}) {
        for (int k = 0; k < 5; ++k) {
            const double t0 = k / 5.0, t1 = (k + 1) / 5.0;
            const double xNear0 = side < 0 ? 0 : kWidth, xFar = vp.x() + side * 40;
            auto xAt = [&](double t) { return xNear0 + (xFar - xNear0) * (t * t * 0.2 + t * 0.8); };
            const double xa = xAt(1 - t1), xb = xAt(1 - t0);
            auto topAt = [&](double x) { return 0 + (vp.y() - 80) * (1 - std::abs(x - vp.x()) / 240.0); };
            auto botAt = [&](double x) {
                return kHeight - (kHeight - vp.y() - 30) * (1 - std::abs(x - vp.x()) / 240.0);
            };
            const QColor wall = hex(k % 2 ? "#8a7a8a" : "#a08a78");
            const QColor shade = neon ? wall.darker(200) : wall;
            QPolygonF face(
                {QPointF(xa, topAt(xa)), QPointF(xb, topAt(xb)), QPointF(xb, botAt(xb)), QPointF(xa, botAt(xa))});
            p.setPen(line(1, shade.darker(150)));
            p.setBrush(shade);
            p.drawPolygon(face);
            // Lit shop window at the bottom.
            const double wy0a = botAt(xa) - (botAt(xa) - topAt(xa)) * 0.35,
                         wy0b = botAt(xb) - (botAt(xb) - topAt(xb)) * 0.35;
            p.setBrush(neon ? QColor(255, 220, 150, 230) : QColor(200, 230, 240, 230));
            p.drawPolygon(QPolygonF(
                {QPointF(xa, wy0a), QPointF(xb, wy0b), QPointF(xb, botAt(xb) - 4), QPointF(xa, botAt(xa) - 4)}));
            // Vertical sign.
            static const char* signs[] = {"#e83a5a", "#3a9ae8", "#f0c030", "#40c080", "#c050e0"};
            const QColor sc = hex(signs[rng.below(5)]);
            const double sx = (xa + xb) / 2, sh = (botAt(sx) - topAt(sx)) * 0.4;
            QRectF sign(sx - sh * 0.12, topAt(sx) + sh * 0.2, sh * 0.24, sh);
            if (neon)
                glow(p, sign.center(), sh * 0.7, withAlpha(sc, 120));
            p.setPen(line(1, sc.darker(150)));
            p.setBrush(neon ? sc.lighter(130) : sc);
            p.drawRect(sign);
        }
    }
    // Street surface.
    QPolygonF road({QPointF(vp.x() - 40, vp.y() + 30), QPointF(vp.x() + 40, vp.y() + 30), QPointF(kWidth + 60, kHeight),
                    QPointF(-60, kHeight)});
    QLinearGradient rg(0, vp.y() + 30, 0, kHeight);
    rg.setColorAt(0, neon ? hex("#4a3a5a") : hex("#a09a98"));
    rg.setColorAt(1, neon ? hex("#2a2030") : hex("#6a6460"));
    p.setPen(Qt::NoPen);
    p.setBrush(rg);
    p.drawPolygon(road);
    p.setPen(line(2, QColor(255, 255, 255, 120)));
    for (int i = 0; i < 6; ++i) {
        const double t0 = i / 6.0 + 0.02, t1 = t0 + 0.08;
        p.drawLine(QPointF(vp.x(), vp.y() + 30 + (kHeight - vp.y() - 30) * t0 * t0),
                   QPointF(vp.x(), vp.y() + 30 + (kHeight - vp.y() - 30) * t1 * t1));
    }
    crowd(p, rng, vp.y() + 60, 14, 0.45, vp.x() - 90, vp.x() + 90);
    crowd(p, rng, vp.y() + 110, 8, 0.8, 20, 460);
    if (neon)
        for (int i = 0; i < 14; ++i)
            glow(p, QPointF(rng.uniform(0, 480), rng.uniform(20, 160)), rng.uniform(10, 30),
                 QColor(255, 120 + rng.below(120), 200, 70));
}

void agencyLobby(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, QRectF(0, 0, kWidth, 230), hex("#f4f0ea"), hex("#d8d0c8"));
    // Glossy marble floor with reflections.
    fillVertical(p, QRectF(0, 230, kWidth, kHeight - 230), hex("#c8c0c8"), hex("#f0ecf0"));
    p.setPen(line(1, QColor(150, 140, 160, 120)));
    for (int i = -10; i <= 10; ++i)
        p.drawLine(QPointF(240 + i * 30, 230), QPointF(240 + i * 110, kHeight));
    // Ceiling lights.
    for (int i = 0; i < 5; ++i)
        glow(p, QPointF(48 + i * 96, 12), 40, QColor(255, 250, 230, 200));
    // Gold company stripe.
    fillVertical(p, QRectF(0, 34, kWidth, 8), hex("#e0c060"), hex("#a08030"));
    // Reception desk, right.
    QPainterPath desk;
    desk.addRoundedRect(QRectF(330, 180, 150, 66), 10, 10);
    QLinearGradient dg(330, 180, 330, 246);
    dg.setColorAt(0, hex("#3a2a4a"));
    dg.setColorAt(1, hex("#1a1228"));
    p.setPen(line(1.5, hex("#100818")));
    p.setBrush(dg);
    p.drawPath(desk);
    fillVertical(p, QRectF(330, 180, 150, 6), hex("#f0d070"), hex("#b09040"));
    // Potted plant, left.
    p.setBrush(hex("#4a8a4a"));
    p.setPen(line(1, hex("#2a5a2a")));
    for (int i = 0; i < 7; ++i) {
        p.save();
        p.translate(30, 210);
        p.rotate(-60 + i * 20);
        p.drawEllipse(QRectF(-6, -50, 12, 46));
        p.restore();
    }
    fillVertical(p, QRectF(16, 206, 28, 36), hex("#f0f0f0"), hex("#b0b0b8"));
}

void agencyCorridor(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF vp(260, 150);
    const QRectF far(vp.x() - 46, vp.y() - 50, 92, 100);
    // Ceiling, walls, floor as four trapezoids to the far wall.
    poly(p, {{0, 0}, {kWidth, 0}, far.topRight(), far.topLeft()}, hex("#eae6f0"));
    QLinearGradient lw(0, 0, far.left(), 0);
    lw.setColorAt(0, hex("#c8c0d8"));
    lw.setColorAt(1, hex("#e8e4f0"));
    poly(p, {{0, 0}, far.topLeft(), far.bottomLeft(), {0, kHeight}}, lw);
    QLinearGradient rw(kWidth, 0, far.right(), 0);
    rw.setColorAt(0, hex("#b8b0c8"));
    rw.setColorAt(1, hex("#e0dcea"));
    poly(p, {{kWidth, 0}, far.topRight(), far.bottomRight(), {kWidth, kHeight}}, rw);
    QLinearGradient fl(0, far.bottom(), 0, kHeight);
    fl.setColorAt(0, hex("#8a80a0"));
    fl.setColorAt(1, hex("#5a5070"));
    poly(p, {far.bottomLeft(), far.bottomRight(), {kWidth, kHeight}, {0, kHeight}}, fl);
    fillVertical(p, far, hex("#f8f4ff"), hex("#d8d0e8"));
    glow(p, far.center(), 70, QColor(255, 255, 255, 160));
    // Ceiling lights receding.
    for (int k = 1; k < 6; ++k) {
        const double t = 1 - k / 6.0;
        const double y = far.top() * (1 - t) + 0 * t + 6 * t;
        glow(p, QPointF(vp.x(), y), 30 * t + 6, QColor(255, 250, 230, 200));
    }
    // Doors on the left wall.
    for (int k = 0; k < 3; ++k) {
        const double t0 = 0.15 + k * 0.28, t1 = t0 + 0.14;
        auto xa = [&](double t) { return far.left() * t; };
        auto top = [&](double t) { return far.top() * t + 60 * (1 - t); };
        auto bot = [&](double t) { return far.bottom() * t + kHeight * (1 - t); };
        poly(p, {{xa(t0), top(t0)}, {xa(t1), top(t1)}, {xa(t1), bot(t1)}, {xa(t0), bot(t0)}}, hex("#7a5aa0"),
             line(1.2, hex("#3a2a50")));
        // Name plate.
        const double tm = (t0 + t1) / 2;
        poly(p,
             {{xa(tm) - 6 * (1 - tm), top(tm) + 20},
              {xa(tm) + 6 * (1 - tm), top(tm) + 20},
              {xa(tm) + 6 * (1 - tm), top(tm) + 26},
              {xa(tm) - 6 * (1 - tm), top(tm) + 26}},
             hex("#f0d070"));
    }
    // Posters on the right wall.
    for (int k = 0; k < 2; ++k) {
        const double t0 = 0.2 + k * 0.35, t1 = t0 + 0.2;
        auto xa = [&](double t) { return kWidth + (far.right() - kWidth) * t; };
        auto top = [&](double t) { return 50 + (far.top() + 10 - 50) * t; };
        auto bot = [&](double t) { return 200 + (far.bottom() - 30 - 200) * t; };
        poly(p, {{xa(t0), top(t0)}, {xa(t1), top(t1)}, {xa(t1), bot(t1)}, {xa(t0), bot(t0)}},
             k ? hex("#f0a0c0") : hex("#80c0f0"), line(1.5, hex("#3a3050")));
    }
}

void komachiRoom(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    // Warm wallpaper with a faint stripe, wainscot, carpet.
    fillVertical(p, QRectF(0, 0, kWidth, 240), hex("#f6e6d8"), hex("#ecd2c0"));
    p.setPen(line(6, QColor(255, 255, 255, 60)));
    for (int x = 10; x < kWidth; x += 28)
        p.drawLine(QPointF(x, 0), QPointF(x, 200));
    fillVertical(p, QRectF(0, 200, kWidth, 40), hex("#c89a7a"), hex("#a87a5a"));
    fillVertical(p, QRectF(0, 240, kWidth, kHeight - 240), hex("#b86a70"), hex("#d88a90"));
    p.setPen(line(1, QColor(255, 255, 255, 40)));
    for (int k = 1; k < 6; ++k) {
        const double y = 240 + (kHeight - 240) * (k * k) / 36.0;
        p.drawLine(QPointF(0, y), QPointF(kWidth, y));
    }
    // Door on the left.
    fillVertical(p, QRectF(16, 40, 90, 200), hex("#9a6a48"), hex("#6a4428"));
    p.setPen(line(1.5, hex("#3a2414")));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(16, 40, 90, 200));
    p.drawRect(QRectF(28, 54, 66, 70));
    p.drawRect(QRectF(28, 138, 66, 88));
    p.setBrush(hex("#e0c060"));
    p.drawEllipse(QPointF(96, 150), 4, 4);
    // Mirror with bulbs and the dressing table, right.
    const QRectF mirror(250, 30, 200, 130);
    fillVertical(p, mirror.adjusted(-12, -12, 12, 12), hex("#f0e0c0"), hex("#c0a070"));
    QLinearGradient mg(mirror.topLeft(), mirror.bottomRight());
    mg.setColorAt(0, hex("#e8f4ff"));
    mg.setColorAt(0.5, hex("#b0c8e0"));
    mg.setColorAt(1, hex("#d8e8f8"));
    p.setPen(line(1.5, hex("#8a6a40")));
    p.setBrush(mg);
    p.drawRect(mirror);
    p.setPen(line(6, QColor(255, 255, 255, 90)));
    p.drawLine(QPointF(280, 140), QPointF(330, 50));
    p.drawLine(QPointF(300, 150), QPointF(350, 60));
    for (int i = 0; i < 7; ++i) {
        const QPointF top(mirror.left() + 10 + i * 30, mirror.top() - 6);
        glow(p, top, 14, QColor(255, 240, 200, 200));
        p.setPen(line(1, hex("#a08060")));
        p.setBrush(hex("#fffae8"));
        p.drawEllipse(top, 5, 5);
    }
    for (int i = 0; i < 4; ++i)
        for (const double x : {mirror.left() - 6, mirror.right() + 6}) {
            const QPointF c(x, mirror.top() + 18 + i * 32);
            glow(p, c, 14, QColor(255, 240, 200, 200));
            p.setBrush(hex("#fffae8"));
            p.drawEllipse(c, 5, 5);
        }
    woodDesk(p, QRectF(230, 182, 240, 30), 60);
    flowerVase(p, QPointF(440, 196), 50);
    // Cosmetics on the table.
    fillVertical(p, QRectF(268, 178, 10, 16), hex("#f080a0"), hex("#c05070"));
    fillVertical(p, QRectF(284, 182, 14, 12), hex("#e0e0f0"), hex("#a0a0c0"));
}

void throughCamera(QPainter& p, void (*background)(QPainter&), QPointF focus, double zoom, double soften)
{
    zoom = std::max(1.0, zoom);
    const double halfW = kWidth / (2 * zoom), halfH = kHeight / (2 * zoom);
    const QPointF c(std::clamp(focus.x(), halfW, kWidth - halfW), std::clamp(focus.y(), halfH, kHeight - halfH));
    // The view is drawn at the picture's own density, so a 2x picture films a 2x room.
    const double density = p.device()->devicePixelRatio();
    const QSize full(static_cast<int>(kWidth * density), static_cast<int>(kHeight * density));
    QImage view(full, QImage::Format_RGB32);
    view.setDevicePixelRatio(density);
    view.fill(Qt::black);
    {
        QPainter v(&view);
        v.setRenderHint(QPainter::Antialiasing);
        v.translate(kWidth / 2.0, kHeight / 2.0);
        v.scale(zoom, zoom);
        v.translate(-c);
        background(v);
    }
    if (soften > 1) {
        // The defocus is measured in the picture's units: every density blurs by the same amount.
        const QSize small(std::max(1, static_cast<int>(kWidth / soften)),
                          std::max(1, static_cast<int>(kHeight / soften)));
        view = view.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                   .scaled(full, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        view.setDevicePixelRatio(density);
    }
    p.drawImage(QPointF(0, 0), view);
}

void naraSchool(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, QRectF(0, 0, kWidth, 200), hex("#5a4a8a"), hex("#f8b070"));
    glow(p, QPointF(380, 150), 120, QColor(255, 200, 120, 160));
    // Wooded mountain 楢山 in layers.
    QPainterPath far;
    far.moveTo(0, 160);
    far.cubicTo(80, 120, 160, 50, 250, 40);
    far.cubicTo(330, 50, 420, 110, 480, 130);
    far.lineTo(480, 220);
    far.lineTo(0, 220);
    p.setPen(Qt::NoPen);
    QLinearGradient mg(0, 40, 0, 220);
    mg.setColorAt(0, hex("#5a6a7a"));
    mg.setColorAt(1, hex("#3a4a4a"));
    p.setBrush(mg);
    p.drawPath(far);
    Rng rng(2);
    p.setBrush(hex("#2e4438"));
    for (int i = 0; i < 60; ++i) {
        const double x = rng.uniform(0, 480);
        const double base = 200 - rng.uniform(0, 60) * (1 - std::abs(x - 250) / 300);
        p.drawEllipse(QPointF(x, base), rng.uniform(8, 16), rng.uniform(8, 14));
    }
    // Ground.
    fillVertical(p, QRectF(0, 210, kWidth, kHeight - 210), hex("#7a8a4a"), hex("#4a5a2a"));
    fillVertical(p, QRectF(0, 250, kWidth, kHeight - 250), hex("#b89a70"), hex("#8a7050")); // school yard
    // The old wooden school: two storeys, long, tiled roof.
    const QRectF school(110, 130, 280, 100);
    fillVertical(p, school, hex("#8a5a38"), hex("#5a3a22"));
    poly(p,
         {{school.left() - 14, school.top()},
          {school.right() + 14, school.top()},
          {school.right() - 10, school.top() - 26},
          {school.left() + 10, school.top() - 26}},
         hex("#3a3a48"), line(1.2, hex("#1a1a22")));
    p.setPen(line(1, hex("#3a2212")));
    p.drawLine(QPointF(school.left(), school.top() + 50), QPointF(school.right(), school.top() + 50));
    for (int row = 0; row < 2; ++row)
        for (int i = 0; i < 10; ++i) {
            const QRectF w(school.left() + 10 + i * 27, school.top() + 12 + row * 50, 18, 26);
            fillVertical(p, w, hex("#ffe0a0"), hex("#f0a860"));
            p.setPen(line(1, hex("#3a2212")));
            p.setBrush(Qt::NoBrush);
            p.drawRect(w);
            p.drawLine(QPointF(w.center().x(), w.top()), QPointF(w.center().x(), w.bottom()));
        }
    // Clock gable.
    poly(p, {{220, 104}, {280, 104}, {250, 80}}, hex("#3a3a48"), line(1, hex("#1a1a22")));
    p.setBrush(hex("#f8f0e0"));
    p.setPen(line(1, hex("#3a2212")));
    p.drawEllipse(QPointF(250, 118), 9, 9);
    p.drawLine(QPointF(250, 118), QPointF(250, 112));
    p.drawLine(QPointF(250, 118), QPointF(254, 119));
    Rng trees(9);
    cherryTree(p, QPointF(60, 280), 160, trees);
    cherryTree(p, QPointF(430, 290), 180, trees);
    Rng petals(10);
    scatterPetals(p, petals, QRectF(0, 100, kWidth, 249), 30, 3.5);
}

} // namespace art

// The cast as parameterised anime-style figures, drawn in a head-centred frame and scaled into place.
#include "Characters.h"

#include "Paint.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace art {

namespace {

const QColor kLine(0x4a, 0x30, 0x38); // outline ink: warm dark brown, softer than black

QPen ink(double w, const QColor& c = kLine) { return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

void fillPath(QPainter& p, const QPainterPath& path, const QBrush& fill, double outline = 1.4,
              const QColor& lineColour = kLine)
{
    p.setPen(outline > 0 ? ink(outline, lineColour) : QPen(Qt::NoPen));
    p.setBrush(fill);
    p.drawPath(path);
}

QBrush shaded(const QColor& c, double top, double bottom)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, c.lighter(112));
    g.setColorAt(1, c.darker(118));
    return g;
}

QPainterPath ellipsePath(double x, double y, double w, double h)
{
    QPainterPath e;
    e.addEllipse(QRectF(x, y, w, h));
    return e;
}

// Points of one arm, viewer's left (side -1) or right (side +1).
struct Arm {
    QPointF shoulder, elbow, hand;
};

Arm armFor(const Figure& f, int side)
{
    const double sw = f.male ? 46 : 38;
    const QPointF shoulder(side * sw, 60);
    auto m = [side](double x, double y) { return QPointF(side * x, y); };
    const bool right = side > 0; // the arm on the viewer's right does the gestures
    switch (f.pose) {
    case Pose::ArmsDown:
        return {shoulder, m(sw + 8, 108), m(sw + 6, 158)};
    case Pose::Wave:
        return right ? Arm{shoulder, m(sw + 26, 36), m(sw + 32, -22)} : Arm{shoulder, m(sw + 8, 108), m(sw + 6, 158)};
    case Pose::HoldFront:
        return {shoulder, m(sw + 8, 108), m(18, 112)};
    case Pose::Clasped:
        return {shoulder, m(sw - 2, 104), m(6, 64)};
    case Pose::Cast:
        return right ? Arm{shoulder, m(sw + 22, 48), m(sw + 40, 4)} : Arm{shoulder, m(sw + 8, 108), m(sw - 4, 150)};
    case Pose::HandsToFace:
        return {shoulder, m(sw + 4, 96), m(22, 24)};
    case Pose::Mic:
        return right ? Arm{shoulder, m(sw + 6, 100), m(12, 44)} : Arm{shoulder, m(sw + 20, 96), m(sw + 34, 58)};
    case Pose::ThumbsUp:
        return right ? Arm{shoulder, m(sw + 24, 84), m(sw + 20, 36)} : Arm{shoulder, m(sw + 8, 108), m(sw + 6, 158)};
    case Pose::Write:
        return right ? Arm{shoulder, m(sw + 8, 102), m(20, 128)} : Arm{shoulder, m(sw + 6, 104), m(26, 122)};
    case Pose::ArmsOpen:
        return {shoulder, m(sw + 24, 90), m(sw + 46, 70)};
    case Pose::HoldHand:
        return right == (f.turn >= 0) ? Arm{shoulder, m(sw + 16, 104), m(sw + 40, 146)}
                                      : Arm{shoulder, m(sw + 8, 108), m(sw + 6, 158)};
    }
    return {shoulder, m(sw + 8, 108), m(sw + 6, 158)};
}

struct OutfitLook {
    QColor top; // torso
    QColor sleeve;
    bool shortSleeve = false;
    QColor lower; // skirt or trousers
    bool trousers = false;
    double hem = 212; // skirt hem, y
    double flare = 50;
    QColor legs; // skin, tights or socks below the hem
    QColor shoes;
};

OutfitLook lookOf(const Figure& f)
{
    OutfitLook o;
    o.legs = f.skin;
    o.shoes = hex("#5a3a2e");
    switch (f.outfit) {
    case Outfit::UniversityCape:
        o.top = hex("#f6f4fb");
        o.sleeve = hex("#f6f4fb");
        o.lower = hex("#b8a8e0");
        o.shoes = hex("#2a3a6a");
        break;
    case Outfit::Cardigan:
        o.top = hex("#f2c94c");
        o.sleeve = hex("#f2c94c");
        o.lower = hex("#4f9a58");
        o.hem = 200;
        o.shoes = hex("#c0603a");
        break;
    case Outfit::PinkDress:
        o.top = hex("#f4a0c0");
        o.sleeve = hex("#f4a0c0");
        o.shortSleeve = true;
        o.lower = hex("#f4a0c0");
        o.flare = 66;
        o.hem = 206;
        o.shoes = hex("#e0607a");
        break;
    case Outfit::RedDress:
        o.top = hex("#d62839");
        o.sleeve = f.skin;
        o.shortSleeve = true;
        o.lower = hex("#d62839");
        o.hem = 182;
        o.flare = 40;
        o.shoes = hex("#a01020");
        break;
    case Outfit::Idol:
        o.top = hex("#fbf7fb");
        o.sleeve = hex("#fbf7fb");
        o.shortSleeve = true;
        o.lower = hex("#e02a44");
        o.hem = 190;
        o.flare = 60;
        o.legs = f.skin;
        o.shoes = hex("#ffffff");
        break;
    case Outfit::LabCoat:
        o.top = hex("#1c2350");
        o.sleeve = hex("#f4f6fa");
        o.lower = hex("#1c2350");
        o.hem = 282;
        o.flare = 46;
        o.shoes = hex("#1c2350");
        break;
    case Outfit::CasualCardigan:
        o.top = hex("#f7b6c8");
        o.sleeve = hex("#f7b6c8");
        o.lower = hex("#2b3560");
        o.hem = 206;
        break;
    case Outfit::Sailor:
        o.top = hex("#1f2a55");
        o.sleeve = hex("#1f2a55");
        o.lower = hex("#1f2a55");
        o.hem = 214;
        o.legs = f.skin;
        o.shoes = hex("#3a2418");
        break;
    case Outfit::BeigeCoat:
        o.top = hex("#d8c3a0");
        o.sleeve = hex("#d8c3a0");
        o.lower = hex("#d8c3a0");
        o.hem = 232;
        o.flare = 44;
        break;
    case Outfit::Blazer:
        o.top = hex("#1e2a4a");
        o.sleeve = hex("#1e2a4a");
        o.lower = hex("#3a4152");
        o.trousers = true;
        o.shoes = hex("#2a1a14");
        break;
    case Outfit::PurpleSuit:
        o.top = hex("#6a2c91");
        o.sleeve = hex("#6a2c91");
        o.lower = hex("#6a2c91");
        o.trousers = true;
        o.shoes = hex("#f0e6d0");
        break;
    case Outfit::TrackJacket:
        o.top = hex("#7b3fa0");
        o.sleeve = hex("#7b3fa0");
        o.lower = hex("#3a2350");
        o.trousers = true;
        o.shoes = hex("#ffffff");
        break;
    }
    return o;
}

void drawWings(QPainter& p, const Figure& f)
{
    if (f.wings == Wings::None)
        return;
    for (int side : {-1, 1}) {
        p.save();
        p.scale(side, 1);
        if (f.wings == Wings::Crystal) {
            // Long upper wing and a shorter lower one, glassy and pale blue.
            QPainterPath upper;
            upper.moveTo(10, 70);
            upper.cubicTo(40, 10, 110, -40, 130, -20);
            upper.cubicTo(140, 10, 90, 60, 14, 84);
            QPainterPath lower;
            lower.moveTo(12, 88);
            lower.cubicTo(60, 90, 100, 120, 92, 150);
            lower.cubicTo(70, 160, 30, 120, 12, 96);
            QLinearGradient g(10, 80, 130, -20);
            g.setColorAt(0, QColor(200, 230, 255, 200));
            g.setColorAt(1, QColor(235, 245, 255, 90));
            fillPath(p, upper, g, 1.2, QColor(140, 170, 230, 200));
            fillPath(p, lower, g, 1.2, QColor(140, 170, 230, 200));
            p.setPen(ink(1.0, QColor(255, 255, 255, 200)));
            p.drawLine(QPointF(20, 72), QPointF(118, -14));
            p.drawLine(QPointF(20, 92), QPointF(86, 144));
        } else {
            // Butterfly: rounded fore and hind wings in yellow-green with darker veins and spots.
            QPainterPath fore;
            fore.moveTo(10, 70);
            fore.cubicTo(30, 10, 90, 0, 96, 30);
            fore.cubicTo(100, 60, 50, 82, 12, 84);
            QPainterPath hind;
            hind.moveTo(12, 86);
            hind.cubicTo(50, 86, 80, 110, 66, 136);
            hind.cubicTo(46, 150, 20, 120, 12, 94);
            QRadialGradient g(QPointF(20, 80), 100);
            g.setColorAt(0, QColor(250, 250, 170, 230));
            g.setColorAt(1, QColor(170, 220, 90, 210));
            fillPath(p, fore, g, 1.4, QColor(110, 140, 50));
            fillPath(p, hind, g, 1.4, QColor(110, 140, 50));
            p.setPen(ink(0.8, QColor(120, 150, 60)));
            p.drawLine(QPointF(14, 78), QPointF(80, 20));
            p.drawLine(QPointF(14, 80), QPointF(92, 46));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 255, 170));
            p.drawEllipse(QPointF(72, 32), 8, 6);
            p.drawEllipse(QPointF(52, 118), 6, 5);
        }
        p.restore();
    }
}

// Cel shading: the side away from the light (upper left) darkened inside `area`.
void castShade(QPainter& p, const QPainterPath& area, int alpha)
{
    p.save();
    p.setClipPath(area, Qt::IntersectClip); // keep any clip the caller set (posters, screens)
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 20, 60, alpha));
    const QRectF b = area.boundingRect();
    QPainterPath shade;
    shade.moveTo(b.right() - b.width() * 0.28, b.top());
    shade.quadTo(b.right() - b.width() * 0.16, b.center().y(), b.right() - b.width() * 0.3, b.bottom());
    shade.lineTo(b.right() + 1, b.bottom());
    shade.lineTo(b.right() + 1, b.top());
    shade.closeSubpath();
    p.drawPath(shade);
    p.restore();
}

QPainterPath faceShape()
{
    QPainterPath face;
    face.moveTo(-27, -6);
    face.cubicTo(-27, -44, 27, -44, 27, -6);
    face.cubicTo(27, 12, 13, 28, 0, 33);
    face.cubicTo(-13, 28, -27, 12, -27, -6);
    return face;
}

void drawHairBack(QPainter& p, const Figure& f)
{
    const QColor h = f.hairColour;
    QPainterPath path;
    switch (f.hair) {
    case HairStyle::LongBraid:
        path.moveTo(-34, -8);
        path.cubicTo(-40, -50, 40, -50, 34, -8);
        path.cubicTo(42, 50, 46, 110, 42, 150);
        path.quadTo(30, 140, 20, 152);
        path.quadTo(0, 140, -20, 152);
        path.quadTo(-30, 140, -42, 150);
        path.cubicTo(-46, 110, -42, 50, -34, -8);
        break;
    case HairStyle::BobRibbon:
        path.moveTo(-35, -6);
        path.cubicTo(-40, -50, 40, -50, 35, -6);
        path.cubicTo(40, 14, 38, 26, 30, 30);
        path.lineTo(-30, 30);
        path.cubicTo(-38, 26, -40, 14, -35, -6);
        break;
    case HairStyle::HighBun:
        path.addEllipse(QRectF(-31, -40, 62, 64));
        path.addEllipse(QPointF(0, -50), 19, 17);
        path.setFillRule(Qt::WindingFill);
        break;
    case HairStyle::HimeCut:
        path.moveTo(-33, -8);
        path.cubicTo(-38, -50, 38, -50, 33, -8);
        path.cubicTo(36, 40, 38, 120, 38, 176);
        path.lineTo(-38, 176);
        path.cubicTo(-38, 120, -36, 40, -33, -8);
        break;
    case HairStyle::ShortGlasses:
        path.moveTo(-33, -6);
        path.cubicTo(-38, -48, 38, -48, 33, -6);
        path.cubicTo(36, 12, 34, 22, 28, 26);
        path.lineTo(-28, 26);
        path.cubicTo(-34, 22, -36, 12, -33, -6);
        break;
    case HairStyle::NeatBoy:
        path.addEllipse(QRectF(-30, -41, 60, 52));
        break;
    case HairStyle::SlickedBack:
        path.addEllipse(QRectF(-29, -40, 58, 50));
        break;
    case HairStyle::TwinTails:
        path.addEllipse(QRectF(-31, -40, 62, 56));
        for (int side : {-1, 1}) {
            QPainterPath tail;
            tail.moveTo(side * 26, -28);
            tail.cubicTo(side * 62, -20, side * 64, 50, side * 52, 120);
            tail.quadTo(side * 48, 130, side * 44, 116);
            tail.cubicTo(side * 48, 60, side * 40, 0, side * 24, -18);
            path.addPath(tail);
        }
        path.setFillRule(Qt::WindingFill);
        break;
    }
    fillPath(p, path, shaded(h.darker(108), -50, 170), 1.4, h.darker(170));
}

void drawHairFront(QPainter& p, const Figure& f)
{
    const QColor h = f.hairColour;
    const QColor line = h.darker(170);
    QPainterPath cap;
    // Crown shared by most styles; the fringe edge differs.
    cap.moveTo(-31, 2);
    cap.cubicTo(-36, -48, 36, -48, 31, 2);
    switch (f.hair) {
    case HairStyle::LongBraid: // side-swept fringe, thin locks framing the face
        cap.lineTo(27, 24);
        cap.quadTo(24, 0, 18, -8);
        cap.lineTo(12, -2);
        cap.lineTo(6, -14);
        cap.lineTo(-4, -4);
        cap.lineTo(-10, -16);
        cap.lineTo(-20, -6);
        cap.quadTo(-24, 4, -27, 24);
        break;
    case HairStyle::BobRibbon: // full rounded fringe, ends curling at the cheeks
        cap.cubicTo(33, 16, 30, 26, 24, 24);
        cap.quadTo(26, 6, 20, -6);
        cap.lineTo(12, -8);
        cap.lineTo(6, -4);
        cap.lineTo(0, -10);
        cap.lineTo(-6, -4);
        cap.lineTo(-14, -9);
        cap.lineTo(-20, -6);
        cap.quadTo(-26, 6, -24, 24);
        cap.cubicTo(-30, 26, -33, 16, -31, 2);
        break;
    case HairStyle::HighBun:
        cap.lineTo(27, 18);
        cap.quadTo(22, -4, 10, -18);
        cap.quadTo(0, -10, -14, -16);
        cap.quadTo(-24, -6, -27, 18);
        break;
    case HairStyle::HimeCut: // blunt bangs and chin-length side locks cut straight
        cap.lineTo(31, 30);
        cap.lineTo(20, 30);
        cap.lineTo(20, -6);
        cap.lineTo(-20, -6);
        cap.lineTo(-20, 30);
        cap.lineTo(-31, 30);
        break;
    case HairStyle::ShortGlasses:
        cap.lineTo(27, 20);
        cap.quadTo(24, -2, 16, -10);
        cap.lineTo(8, -6);
        cap.quadTo(-6, -12, -14, -14);
        cap.lineTo(-20, -8);
        cap.quadTo(-26, 2, -27, 20);
        break;
    case HairStyle::NeatBoy:
        cap.lineTo(27, 6);
        cap.quadTo(24, -8, 18, -14);
        cap.lineTo(10, -12);
        cap.lineTo(2, -18);
        cap.lineTo(-8, -13);
        cap.lineTo(-16, -17);
        cap.quadTo(-24, -8, -27, 6);
        break;
    case HairStyle::SlickedBack: // combed straight back from a high hairline
        cap = QPainterPath();
        cap.moveTo(-29, 0);
        cap.cubicTo(-34, -46, 34, -46, 29, 0);
        cap.quadTo(24, -20, 16, -24);
        cap.quadTo(0, -28, -16, -24);
        cap.quadTo(-24, -20, -29, 0);
        break;
    case HairStyle::TwinTails:
        cap.lineTo(27, 14);
        cap.quadTo(24, -4, 18, -8);
        cap.lineTo(12, -4);
        cap.lineTo(6, -10);
        cap.lineTo(-2, -4);
        cap.lineTo(-8, -10);
        cap.lineTo(-16, -5);
        cap.lineTo(-21, -9);
        cap.quadTo(-25, 0, -27, 14);
        break;
    }
    cap.closeSubpath();
    // Shadow of the fringe on the forehead, then the hair itself.
    p.save();
    p.setClipPath(faceShape(), Qt::IntersectClip);
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(f.skin.darker(125), 150));
    p.drawPath(cap.translated(0, 4));
    p.restore();
    fillPath(p, cap, shaded(h, -44, 20), 1.4, line);
    // Shine ring.
    p.setPen(ink(2.4, withAlpha(h.lighter(150), 200)));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(-24, -40, 48, 30), 30 * 16, 120 * 16);
    if (f.hair == HairStyle::SlickedBack) {
        p.setPen(ink(0.9, line));
        for (int i = -2; i <= 2; ++i)
            p.drawLine(QPointF(i * 7, -27), QPointF(i * 8.5, -36 + std::abs(i) * 1.5));
    }
}

void drawBraid(QPainter& p, const Figure& f)
{
    // One side braid on the viewer's right, over the shoulder.
    const QColor h = f.hairColour;
    for (int i = 0; i < 7; ++i) {
        const QPointF c(27 + i * 1.8 + ((i % 2) ? 3 : -3), 16 + i * 13);
        p.save();
        p.translate(c);
        p.rotate((i % 2) ? 25 : -25);
        fillPath(p, ellipsePath(-7, -9, 14, 18), shaded(h, -9, 9), 1.1, h.darker(170));
        p.restore();
    }
    // Tuft and a small violet ribbon.
    QPainterPath tuft;
    tuft.moveTo(34, 104);
    tuft.quadTo(44, 124, 38, 132);
    tuft.quadTo(34, 122, 30, 132);
    tuft.quadTo(28, 120, 34, 104);
    fillPath(p, tuft, h, 1.1, h.darker(170));
    starShape(p, QPointF(35, 106), 6, 3, hex("#7a5ac0"), 4);
}

void drawEye(QPainter& p, const Figure& f, QPointF c, double widthFactor, int side)
{
    const double w = 13 * widthFactor;
    const double h = f.male ? 12 : 15;
    const QColor lash = f.hairColour.value() > 140 ? hex("#4a3050") : f.hairColour.darker(200);
    switch (f.eyes) {
    case Eyes::Closed: {
        QPainterPath lid;
        lid.moveTo(c.x() - w / 2, c.y() + 1);
        lid.quadTo(c.x(), c.y() + 7, c.x() + w / 2, c.y() + 1);
        p.setPen(ink(2.2, lash));
        p.setBrush(Qt::NoBrush);
        p.drawPath(lid);
        p.drawLine(QPointF(c.x() + side * w / 2, c.y() + 1), QPointF(c.x() + side * (w / 2 + 3), c.y() - 1));
        return;
    }
    case Eyes::Open:
    case Eyes::Wide:
    case Eyes::Gentle:
    case Eyes::Teary:
        break;
    }
    const double top = f.eyes == Eyes::Gentle ? c.y() - h * 0.15 : c.y() - h / 2;
    QRectF white(c.x() - w / 2, c.y() - h / 2, w, h);
    p.save();
    QPainterPath clip;
    clip.addRect(QRectF(c.x() - w, top, w * 2, h * 2));
    p.setClipPath(clip, Qt::IntersectClip);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(white);
    const double irisScale = f.eyes == Eyes::Wide ? 0.55 : 0.82;
    QRectF iris(c.x() - w * irisScale / 2, c.y() - h * 0.42, w * irisScale, h * (f.eyes == Eyes::Wide ? 0.62 : 0.9));
    QLinearGradient g(iris.topLeft(), iris.bottomLeft());
    g.setColorAt(0, f.eyeColour.darker(190));
    g.setColorAt(0.6, f.eyeColour);
    g.setColorAt(1, f.eyeColour.lighter(150));
    p.setBrush(g);
    p.drawEllipse(iris);
    p.setBrush(f.eyeColour.darker(260));
    p.drawEllipse(iris.center(), iris.width() * 0.22, iris.height() * 0.24);
    p.setBrush(QColor(255, 255, 255, 240));
    const double hl = f.eyes == Eyes::Teary ? 3.2 : 2.4;
    p.drawEllipse(QPointF(iris.center().x() - side * 2, iris.top() + 4), hl, hl);
    p.drawEllipse(QPointF(iris.center().x() + side * 2, iris.bottom() - 3), 1.2, 1.2);
    if (f.eyes == Eyes::Teary) {
        p.setBrush(QColor(200, 230, 255, 140));
        p.drawEllipse(QRectF(white.left(), white.bottom() - 5, white.width(), 6));
    }
    p.restore();
    // Upper lash: thick, with a flick at the outer corner; lower lid a short light stroke.
    QPainterPath lashLine;
    lashLine.moveTo(c.x() - w / 2 - 1, top + (f.eyes == Eyes::Gentle ? 0 : 3));
    lashLine.quadTo(c.x(), top - 3, c.x() + w / 2 + 1, top + (f.eyes == Eyes::Gentle ? 0 : 3));
    p.setPen(ink(f.male ? 2.0 : 2.8, lash));
    p.setBrush(Qt::NoBrush);
    p.drawPath(lashLine);
    if (!f.male)
        p.drawLine(QPointF(c.x() + side * (w / 2 + 1), top + 3), QPointF(c.x() + side * (w / 2 + 4), top));
    p.setPen(ink(1.0, withAlpha(lash, 150)));
    p.drawLine(QPointF(c.x() - w * 0.25, c.y() + h / 2 + 0.5), QPointF(c.x() + w * 0.25, c.y() + h / 2 + 0.5));
}

void drawFace(QPainter& p, const Figure& f)
{
    const double t = f.turn;
    const double shift = t * 7;
    // Brows.
    const QColor brow = f.hairColour.darker(130);
    p.setPen(ink(1.4, brow));
    const bool worried = f.eyes == Eyes::Teary || f.mouth == Mouth::Worried || f.eyes == Eyes::Wide;
    for (int side : {-1, 1}) {
        const double cx = side * 12 + shift;
        const double inner = worried ? -15 : -12;
        p.drawLine(QPointF(cx - side * 5, inner), QPointF(cx + side * 5, -13));
    }
    // Eyes: the far eye narrows as the face turns.
    for (int side : {-1, 1}) {
        const double narrow = 1.0 - std::max(0.0, -side * t) * 0.45;
        drawEye(p, f, QPointF(side * 12 + shift, 3), narrow, side);
    }
    // Nose.
    p.setPen(ink(1.0, f.skin.darker(140)));
    p.drawLine(QPointF(shift * 1.4 + 1, 12), QPointF(shift * 1.4 - 0.5, 14.5));
    // Mouth.
    const QPointF m(shift * 1.2, 21);
    p.setPen(ink(1.3, hex("#8a3a3a")));
    p.setBrush(Qt::NoBrush);
    switch (f.mouth) {
    case Mouth::Smile: {
        QPainterPath s;
        s.moveTo(m.x() - 5, m.y());
        s.quadTo(m.x(), m.y() + 4, m.x() + 5, m.y());
        p.drawPath(s);
        break;
    }
    case Mouth::Small:
        p.drawLine(QPointF(m.x() - 2.5, m.y() + 1), QPointF(m.x() + 2.5, m.y() + 1));
        break;
    case Mouth::Open:
    case Mouth::Sing: {
        const double w = f.mouth == Mouth::Sing ? 9 : 6, h = f.mouth == Mouth::Sing ? 8 : 6;
        p.setBrush(hex("#9a2a3a"));
        p.drawEllipse(QRectF(m.x() - w / 2, m.y() - h / 2 + 1, w, h));
        p.setPen(Qt::NoPen);
        p.setBrush(hex("#f08a9a"));
        p.drawEllipse(QRectF(m.x() - w / 3, m.y() + h / 6, w * 2 / 3, h / 3));
        break;
    }
    case Mouth::Grin: {
        QPainterPath g;
        g.moveTo(m.x() - 9, m.y() - 2);
        g.quadTo(m.x(), m.y() - 1, m.x() + 9, m.y() - 2);
        g.quadTo(m.x(), m.y() + 10, m.x() - 9, m.y() - 2);
        p.setBrush(QColor(255, 255, 255));
        p.drawPath(g);
        p.drawLine(QPointF(m.x() - 8, m.y() + 0.5), QPointF(m.x() + 8, m.y() + 0.5));
        break;
    }
    case Mouth::Worried: {
        QPainterPath s;
        s.moveTo(m.x() - 5, m.y() + 2);
        s.quadTo(m.x() - 2.5, m.y() - 1, m.x(), m.y() + 1);
        s.quadTo(m.x() + 2.5, m.y() + 3, m.x() + 5, m.y());
        p.drawPath(s);
        break;
    }
    }
    if (f.blush || f.eyes == Eyes::Teary) {
        p.setPen(Qt::NoPen);
        for (int side : {-1, 1}) {
            QRadialGradient g(QPointF(side * 17 + shift, 14), 8);
            g.setColorAt(0, QColor(255, 120, 140, f.blush ? 150 : 80));
            g.setColorAt(1, QColor(255, 120, 140, 0));
            p.setBrush(g);
            p.drawEllipse(QPointF(side * 17 + shift, 14), 9, 6);
            if (f.blush) {
                p.setPen(ink(0.9, QColor(230, 90, 110, 180)));
                for (int i = -1; i <= 1; ++i)
                    p.drawLine(QPointF(side * 17 + shift + i * 3 + 1, 12), QPointF(side * 17 + shift + i * 3 - 1, 16));
                p.setPen(Qt::NoPen);
            }
        }
    }
    if (f.freckles) {
        p.setPen(Qt::NoPen);
        p.setBrush(hex("#c08060"));
        for (int side : {-1, 1})
            for (int i = 0; i < 3; ++i)
                p.drawEllipse(QPointF(side * (14 + i * 3) + shift, 12 + (i % 2) * 2), 0.9, 0.9);
    }
    if (f.tears) {
        for (int side : {-1, 1}) {
            const double x = side * 12 + shift + side * 3;
            QPainterPath drop;
            drop.moveTo(x, 10);
            drop.cubicTo(x + 3, 18, x + 4, 24, x, 27);
            drop.cubicTo(x - 4, 24, x - 3, 18, x, 10);
            p.setPen(ink(0.8, QColor(90, 150, 220)));
            p.setBrush(QColor(180, 220, 255, 220));
            p.drawPath(drop);
        }
    }
    if (f.moustache) {
        QPainterPath m2;
        m2.moveTo(shift - 10, 19);
        m2.quadTo(shift - 4, 14, shift, 17);
        m2.quadTo(shift + 4, 14, shift + 10, 19);
        m2.quadTo(shift + 4, 17, shift, 18.5);
        m2.quadTo(shift - 4, 17, shift - 10, 19);
        fillPath(p, m2, f.hairColour, 0.8, f.hairColour.darker(150));
    }
}

void drawGlasses(QPainter& p, const Figure& f)
{
    const double shift = f.turn * 7;
    const QColor rim = f.goldGlasses ? hex("#c8a030") : hex("#6a4a3a");
    p.setBrush(QColor(255, 255, 255, 40));
    p.setPen(ink(1.6, rim));
    for (int side : {-1, 1})
        p.drawEllipse(QPointF(side * 12 + shift, 3), 10, 9.5);
    p.drawLine(QPointF(shift - 2, 2), QPointF(shift + 2, 2));
    p.drawLine(QPointF(-22 + shift, 1), QPointF(-27, -1));
    p.drawLine(QPointF(22 + shift, 1), QPointF(27, -1));
}

void drawSunglasses(QPainter& p, QPointF at, double scale, const QColor& lens)
{
    p.save();
    p.translate(at);
    p.scale(scale, scale);
    QLinearGradient g(0, -6, 0, 6);
    g.setColorAt(0, lens);
    g.setColorAt(1, lens.lighter(160));
    p.setPen(ink(1.4, hex("#202020")));
    p.setBrush(g);
    for (int side : {-1, 1})
        p.drawRoundedRect(QRectF(side * 12 - 10, -6, 20, 13), 5, 5);
    p.drawLine(QPointF(-2, -2), QPointF(2, -2));
    p.setPen(ink(1.2, QColor(255, 255, 255, 160)));
    p.drawLine(QPointF(-18, -3), QPointF(-14, -5));
    p.drawLine(QPointF(6, -3), QPointF(10, -5));
    p.restore();
}

void drawTorso(QPainter& p, const Figure& f, const OutfitLook& o)
{
    const double k = f.male ? 1.2 : 1.0;
    QPainterPath torso;
    torso.moveTo(-9, 40);
    torso.cubicTo(-24 * k, 48, -38 * k, 50, -40 * k, 62);
    torso.cubicTo(-36 * k, 90, -28 * k, 110, -25 * k, 140);
    torso.lineTo(-30 * k, 166);
    torso.lineTo(30 * k, 166);
    torso.lineTo(25 * k, 140);
    torso.cubicTo(28 * k, 110, 36 * k, 90, 40 * k, 62);
    torso.cubicTo(38 * k, 50, 24 * k, 48, 9, 40);
    torso.closeSubpath();
    fillPath(p, torso, shaded(o.top, 40, 166));
    castShade(p, torso, 36);
    if (f.outfit == Outfit::RedDress) {
        // Bare shoulders above a strapless-cut bodice with thin straps.
        QPainterPath skin;
        skin.moveTo(-9, 40);
        skin.cubicTo(-24, 48, -38, 50, -40, 62);
        skin.lineTo(-34, 76);
        skin.quadTo(0, 66, 34, 76);
        skin.lineTo(40, 62);
        skin.cubicTo(38, 50, 24, 48, 9, 40);
        skin.closeSubpath();
        fillPath(p, skin, f.skin, 1.2);
        p.setPen(ink(2, hex("#a01828")));
        p.drawLine(QPointF(-22, 74), QPointF(-16, 48));
        p.drawLine(QPointF(22, 74), QPointF(16, 48));
    }
}

void drawLower(QPainter& p, const Figure& f, const OutfitLook& o)
{
    const double sL = -f.stride * 22, sR = f.stride * 22;
    if (o.trousers) {
        for (int side : {-1, 1}) {
            const double foot = side < 0 ? sL : sR;
            p.setPen(ink(28, kLine));
            p.drawLine(QPointF(side * 16, 160), QPointF(side * 15 + foot, 280));
            p.setPen(ink(25, o.lower.darker(105)));
            p.drawLine(QPointF(side * 16, 160), QPointF(side * 15 + foot, 280));
            fillPath(p, ellipsePath(side * 15 + foot - 13, 278, 26, 12), o.shoes);
        }
        QPainterPath hips;
        hips.addRoundedRect(QRectF(-36, 150, 72, 30), 8, 8);
        fillPath(p, hips, o.lower, 0);
        if (f.outfit == Outfit::TrackJacket) {
            p.setPen(ink(2.5, QColor(255, 255, 255)));
            p.drawLine(QPointF(-28, 176), QPointF(-27 + sL, 276));
            p.drawLine(QPointF(28, 176), QPointF(27 + sR, 276));
        }
        return;
    }
    // Legs first, then the skirt over them.
    for (int side : {-1, 1}) {
        const double foot = side < 0 ? sL : sR;
        const QPointF hip(side * 12, 190), ankle(side * 12 + foot, 282);
        p.setPen(ink(14.5, kLine));
        p.drawLine(hip, ankle);
        p.setPen(ink(12, o.legs));
        p.drawLine(hip, ankle);
        if (f.outfit == Outfit::Sailor) {
            p.setPen(ink(12, hex("#1a1a2e")));
            p.drawLine(QPointF(side * 12 + foot * 0.75, 252), ankle);
        }
        fillPath(p, ellipsePath(ankle.x() - 9 + side * 2, ankle.y() - 4, 18, 10), o.shoes);
    }
    QPainterPath skirt;
    skirt.moveTo(-26, 138);
    skirt.lineTo(26, 138);
    skirt.cubicTo(34, 160, o.flare - 4, o.hem - 20, o.flare, o.hem);
    skirt.quadTo(0, o.hem + 8, -o.flare, o.hem);
    skirt.cubicTo(-o.flare + 4, o.hem - 20, -34, 160, -26, 138);
    fillPath(p, skirt, shaded(o.lower, 138, o.hem));
    castShade(p, skirt, 30);
    // Pleats or folds.
    p.setPen(ink(1.0, o.lower.darker(140)));
    for (int i = -2; i <= 2; ++i)
        p.drawLine(QPointF(i * 9, 146), QPointF(i * (o.flare / 2.6), o.hem + 2));
    if (f.outfit == Outfit::PinkDress || f.outfit == Outfit::Idol) {
        // Frilled hem.
        const QColor frill = f.outfit == Outfit::PinkDress ? QColor(255, 255, 255) : QColor(255, 255, 255);
        p.setPen(ink(1.0));
        p.setBrush(frill);
        for (double x = -o.flare; x <= o.flare; x += 10)
            p.drawChord(QRectF(x - 6, o.hem - 4, 12, 10), 180 * 16, 180 * 16);
    }
    if (f.outfit == Outfit::LabCoat) {
        for (int i = 0; i < 7; ++i)
            starShape(p, QPointF(-30 + (i * 37) % 60, 180 + (i * 23) % 90), 4, 1.8, hex("#f0c850"));
    }
}

// A mitten hand: the palm with the fingers together, a thumb, a faint parting between the fingers and
// shading away from the light. `wrist` is where the forearm ends, `dir` points from the wrist to the
// fingertips, `width` is the forearm's width (the hand is a little narrower). The thumb goes to the side
// of the axis nearer `thumbToward`; `thumbUp` closes the fingers into a fist with the thumb raised.
void drawHand(QPainter& p, const QColor& skin, QPointF wrist, QPointF dir, double width, QPointF thumbToward,
              bool thumbUp)
{
    const double len = std::hypot(dir.x(), dir.y());
    if (len <= 0)
        return;
    const QPointF d = dir / len;
    const QPointF across(-d.y(), d.x()); // local +x after the rotation below
    const QPointF toThumb = thumbToward - wrist;
    const double t = (toThumb.x() * across.x() + toThumb.y() * across.y()) >= 0 ? 1 : -1;
    p.save();
    p.translate(wrist);
    p.rotate(std::atan2(d.y(), d.x()) * 180 / M_PI - 90);
    const double k = width / 14.0;
    p.scale(k, k);
    const double reach = thumbUp ? 12 : 17; // a fist is shorter than an open hand
    QPainterPath palm;
    palm.moveTo(-5.8, -1);
    palm.cubicTo(-7.6, 4, -7.8, reach - 4, -4.6, reach - 0.5);
    palm.quadTo(0, reach + 2.2, 4.6, reach - 0.5);
    palm.cubicTo(7.8, reach - 4, 7.6, 4, 5.8, -1);
    palm.closeSubpath();
    QPainterPath thumb;
    if (thumbUp) {
        // Raised thumb: out of the top of the fist, on along the forearm's line.
        thumb.moveTo(t * 5.5, reach - 6);
        thumb.cubicTo(t * 7, reach + 2, t * 5.5, reach + 10, t * 2.2, reach + 10);
        thumb.cubicTo(t * -0.8, reach + 10, t * -0.4, reach + 2, t * 0.2, reach - 4);
        thumb.closeSubpath();
    } else {
        thumb.moveTo(t * 5.2, 1.5);
        thumb.cubicTo(t * 10.5, 2.5, t * 11.5, 8.5, t * 8.8, 11.2);
        thumb.cubicTo(t * 7.4, 12.2, t * 6, 10.5, t * 5.4, 8.5);
        thumb.closeSubpath();
    }
    QLinearGradient g(-7, 0, 7, 0);
    g.setColorAt(0, skin.lighter(106));
    g.setColorAt(0.55, skin);
    g.setColorAt(1, skin.darker(114));
    if (!thumbUp)
        fillPath(p, thumb, g, 1.2);
    fillPath(p, palm, g, 1.2);
    if (thumbUp)
        fillPath(p, thumb, g, 1.2);
    // Finger partings and a knuckle line, in a shade of the skin rather than the outline ink.
    p.setPen(ink(0.8, skin.darker(150)));
    p.setBrush(Qt::NoBrush);
    if (thumbUp) {
        for (int i = 0; i < 3; ++i)
            p.drawLine(QPointF(-t * 5.5, 3 + i * 2.8), QPointF(t * 1.5, 3.4 + i * 2.8));
    } else {
        p.drawLine(QPointF(-1.6, reach - 6), QPointF(-1.8, reach + 0.6));
        p.drawLine(QPointF(1.8, reach - 5.5), QPointF(1.7, reach + 0.4));
        p.setPen(ink(0.7, withAlpha(skin.darker(140), 150)));
        p.drawArc(QRectF(-4.5, reach - 8.5, 9, 4), 200 * 16, 140 * 16);
    }
    // Soft highlight on the back of the hand.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 70));
    p.drawEllipse(QPointF(-t * 2, reach * 0.4), 2.2, reach * 0.22);
    p.restore();
}

void drawArms(QPainter& p, const Figure& f, const OutfitLook& o, bool upper, bool lower)
{
    for (int side : {-1, 1}) {
        const Arm a = armFor(f, side);
        const double w = f.male ? 17 : 14;
        auto seg = [&](QPointF from, QPointF to, const QColor& c) {
            p.setPen(ink(w + 2.6, kLine));
            p.drawLine(from, to);
            p.setPen(ink(w, c));
            p.drawLine(from, to);
        };
        if (upper) {
            seg(a.shoulder, a.elbow, o.shortSleeve ? f.skin : o.sleeve);
            if (o.shortSleeve && f.outfit != Outfit::RedDress) {
                // Puff sleeve.
                const QPointF mid = a.shoulder + (a.elbow - a.shoulder) * 0.25;
                fillPath(p, ellipsePath(mid.x() - 12, mid.y() - 10, 24, 20),
                         shaded(o.sleeve, mid.y() - 10, mid.y() + 10));
            }
        }
        if (lower) {
            const bool bare = o.shortSleeve;
            seg(a.elbow, a.hand, bare ? f.skin : o.sleeve);
            if (!bare) {
                // Cuff.
                const QPointF cuff = a.elbow + (a.hand - a.elbow) * 0.86;
                QColor cuffColour = o.sleeve.darker(115);
                if (f.outfit == Outfit::Sailor)
                    cuffColour = QColor(255, 255, 255);
                if (f.outfit == Outfit::Blazer || f.outfit == Outfit::PurpleSuit)
                    cuffColour = QColor(250, 250, 250);
                p.setPen(ink(w - 2, cuffColour));
                p.drawPoint(cuff);
            }
            if (f.outfit == Outfit::TrackJacket) {
                p.setPen(ink(2.2, QColor(255, 255, 255)));
                p.drawLine(a.shoulder + QPointF(side * 4, 0), a.elbow + QPointF(side * 4, 0));
            }
            // The hand grows out of the sleeve's end and reaches a little past the arm's end point,
            // where props are held; the thumb faces the body's midline.
            const QPointF along = a.hand - a.elbow;
            const double alongLen = std::max(1.0, std::hypot(along.x(), along.y()));
            const QPointF wrist = a.hand - along * (6.0 / alongLen);
            const bool thumbUp = f.pose == Pose::ThumbsUp && side > 0;
            drawHand(p, f.skin, wrist, along, w - 1, QPointF(0, a.hand.y()), thumbUp);
            if (f.outfit == Outfit::PurpleSuit && side < 0)
                fillPath(p, ellipsePath(wrist.x() - 8, wrist.y() - 7, 16, 6), hex("#e0b030"), 1.0);
        }
    }
    if (lower && f.wand) {
        const Arm a = armFor(f, 1);
        p.setPen(ink(3.2, hex("#8a6a3a")));
        p.drawLine(a.hand, a.hand + QPointF(16, -44));
        starShape(p, a.hand + QPointF(17, -48), 11, 5, hex("#ffe070"));
        sparkle(p, a.hand + QPointF(17, -48), 22, QColor(255, 250, 200, 230));
    }
    if (lower && f.pose == Pose::Mic) {
        const Arm a = armFor(f, 1);
        p.setPen(ink(4, hex("#303030")));
        p.drawLine(a.hand + QPointF(0, 4), a.hand + QPointF(-4, -14));
        fillPath(p, ellipsePath(a.hand.x() - 10, a.hand.y() - 24, 12, 12), hex("#c0c0c8"), 1.2);
    }
}

void drawOutfitDetails(QPainter& p, const Figure& f, const OutfitLook& o)
{
    switch (f.outfit) {
    case Outfit::UniversityCape: {
        // Lavender bow at the collar.
        starShape(p, QPointF(0, 50), 9, 4, hex("#9a88d0"), 4);
        break;
    }
    case Outfit::Cardigan: {
        QPainterPath collar;
        collar.moveTo(-10, 42);
        collar.lineTo(0, 58);
        collar.lineTo(10, 42);
        collar.lineTo(16, 50);
        collar.lineTo(0, 66);
        collar.lineTo(-16, 50);
        collar.closeSubpath();
        fillPath(p, collar, QColor(255, 255, 255), 1.2);
        p.setPen(ink(1.2, o.top.darker(140)));
        p.drawLine(QPointF(0, 66), QPointF(0, 140));
        p.setBrush(hex("#ffffff"));
        for (int i = 0; i < 4; ++i)
            p.drawEllipse(QPointF(-4, 78 + i * 16), 2, 2);
        break;
    }
    case Outfit::PinkDress: {
        for (int side : {-1, 1}) {
            QPainterPath c;
            c.moveTo(0, 44);
            c.cubicTo(side * 6, 64, side * 26, 62, side * 22, 46);
            c.quadTo(side * 12, 42, 0, 44);
            fillPath(p, c, QColor(255, 255, 255), 1.2);
        }
        starShape(p, QPointF(0, 66), 10, 4, hex("#e0507a"), 4);
        p.setPen(ink(1.0, o.top.darker(130)));
        for (int i = 0; i < 3; ++i)
            p.drawArc(QRectF(-22, 100 + i * 10, 44, 10), 200 * 16, 140 * 16);
        break;
    }
    case Outfit::RedDress:
        break;
    case Outfit::Idol: {
        p.setPen(ink(3, hex("#e02a44")));
        p.drawLine(QPointF(-30, 120), QPointF(30, 120));
        starShape(p, QPointF(0, 70), 13, 5, hex("#e02a44"), 4);
        Rng rng(7);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 26; ++i) {
            p.setBrush(i % 3 ? QColor(255, 220, 120) : QColor(200, 220, 255));
            p.drawEllipse(QPointF(rng.uniform(-30, 30), rng.uniform(78, 150)), 1.4, 1.4);
        }
        break;
    }
    case Outfit::LabCoat: {
        // Open white coat: two panels from the shoulders, the starry robe between.
        for (int side : {-1, 1}) {
            QPainterPath panel;
            panel.moveTo(side * 8, 42);
            panel.cubicTo(side * 26, 48, side * 40, 50, side * 42, 62);
            panel.cubicTo(side * 40, 120, side * 50, 200, side * 54, 284);
            panel.lineTo(side * 16, 284);
            panel.cubicTo(side * 16, 200, side * 14, 120, side * 12, 80);
            panel.closeSubpath();
            fillPath(p, panel, shaded(hex("#f4f6fa"), 40, 284));
            QPainterPath lapel;
            lapel.moveTo(side * 9, 42);
            lapel.lineTo(side * 22, 52);
            lapel.lineTo(side * 16, 70);
            lapel.lineTo(side * 12, 80);
            lapel.closeSubpath();
            fillPath(p, lapel, hex("#dfe3ec"), 1.0);
        }
        for (int i = 0; i < 4; ++i)
            starShape(p, QPointF(((i % 2) ? 4 : -4), 70 + i * 20), 3.5, 1.6, hex("#f0c850"));
        break;
    }
    case Outfit::CasualCardigan: {
        QPainterPath blouse;
        blouse.moveTo(-9, 42);
        blouse.lineTo(9, 42);
        blouse.lineTo(14, 140);
        blouse.lineTo(-14, 140);
        blouse.closeSubpath();
        fillPath(p, blouse, hex("#fbfbff"), 1.1);
        for (int side : {-1, 1}) {
            QPainterPath c;
            c.moveTo(0, 42);
            c.lineTo(side * 14, 44);
            c.lineTo(side * 8, 54);
            c.closeSubpath();
            fillPath(p, c, QColor(255, 255, 255), 1.0);
        }
        p.setPen(ink(1.0, hex("#c0c0d0")));
        p.setBrush(QColor(255, 255, 255));
        for (int i = 0; i < 4; ++i)
            p.drawEllipse(QPointF(0, 64 + i * 18), 1.6, 1.6);
        break;
    }
    case Outfit::Sailor: {
        // Sailor collar in a V to the chest with white stripes and the red scarf knot.
        for (int side : {-1, 1}) {
            QPainterPath c;
            c.moveTo(side * 8, 40);
            c.lineTo(side * 40, 56);
            c.lineTo(side * 36, 68);
            c.lineTo(0, 100);
            c.lineTo(side * 2, 80);
            c.closeSubpath();
            fillPath(p, c, hex("#1f2a55"), 1.2);
            p.setPen(ink(1.6, QColor(255, 255, 255)));
            p.drawLine(QPointF(side * 36, 62), QPointF(side * 4, 92));
            p.drawLine(QPointF(side * 30, 58), QPointF(side * 4, 84));
        }
        QPainterPath neck;
        neck.moveTo(-8, 40);
        neck.lineTo(8, 40);
        neck.lineTo(0, 76);
        neck.closeSubpath();
        fillPath(p, neck, QColor(255, 255, 255), 1.0);
        QPainterPath scarf;
        scarf.moveTo(-12, 86);
        scarf.lineTo(12, 86);
        scarf.lineTo(4, 96);
        scarf.lineTo(10, 124);
        scarf.lineTo(0, 118);
        scarf.lineTo(-10, 124);
        scarf.lineTo(-4, 96);
        scarf.closeSubpath();
        fillPath(p, scarf, hex("#d8283a"), 1.2);
        break;
    }
    case Outfit::BeigeCoat:
    case Outfit::Blazer:
    case Outfit::PurpleSuit: {
        const bool coat = f.outfit == Outfit::BeigeCoat;
        const double k = f.male ? 1.2 : 1.0;
        QPainterPath shirt;
        shirt.moveTo(-9, 42);
        shirt.lineTo(9, 42);
        shirt.lineTo(0, 100);
        shirt.closeSubpath();
        fillPath(p, shirt, coat ? hex("#f4eee4") : QColor(255, 255, 255), 1.0);
        if (!coat) {
            const QColor tie = f.outfit == Outfit::Blazer ? hex("#8a8f99") : hex("#f5d020");
            QPainterPath t;
            t.moveTo(-3, 46);
            t.lineTo(3, 46);
            t.lineTo(5, 88);
            t.lineTo(0, 96);
            t.lineTo(-5, 88);
            t.closeSubpath();
            fillPath(p, t, tie, 1.0);
        }
        for (int side : {-1, 1}) {
            QPainterPath lapel;
            lapel.moveTo(side * 9, 42);
            lapel.lineTo(side * 24 * k, 56);
            lapel.lineTo(side * 16, 66);
            lapel.lineTo(side * 2, 104);
            lapel.closeSubpath();
            fillPath(p, lapel, o.top.darker(118), 1.1);
        }
        p.setBrush(o.top.darker(150));
        p.setPen(ink(0.8));
        p.drawEllipse(QPointF(0, 116), 2.4, 2.4);
        p.drawEllipse(QPointF(0, 134), 2.4, 2.4);
        if (coat) {
            p.setPen(ink(5, o.top.darker(125)));
            p.drawLine(QPointF(-26, 140), QPointF(26, 140));
        }
        if (f.outfit == Outfit::Blazer)
            fillPath(p, ellipsePath(14, 70, 12, 8), hex("#c8a030"), 0.8); // school badge
        if (f.outfit == Outfit::PurpleSuit) {
            QPainterPath pocket;
            pocket.moveTo(-28, 74);
            pocket.lineTo(-20, 68);
            pocket.lineTo(-16, 76);
            pocket.closeSubpath();
            fillPath(p, pocket, hex("#f5d020"), 0.8); // pocket square
        }
        break;
    }
    case Outfit::TrackJacket: {
        p.setPen(ink(1.4, hex("#d8c8e8")));
        p.drawLine(QPointF(0, 48), QPointF(0, 160));
        QPainterPath collar;
        collar.moveTo(-12, 38);
        collar.lineTo(12, 38);
        collar.lineTo(14, 50);
        collar.lineTo(-14, 50);
        collar.closeSubpath();
        fillPath(p, collar, hex("#6a3090"), 1.0);
        break;
    }
    }
}

void drawCape(QPainter& p)
{
    for (int side : {-1, 1}) {
        QPainterPath cape;
        cape.moveTo(side * 7, 42);
        cape.cubicTo(side * 24, 46, side * 44, 50, side * 48, 66);
        cape.cubicTo(side * 54, 86, side * 58, 100, side * 60, 112);
        cape.quadTo(side * 46, 106, side * 40, 114);
        cape.quadTo(side * 30, 104, side * 20, 108);
        cape.cubicTo(side * 14, 90, side * 10, 70, side * 4, 50);
        cape.closeSubpath();
        fillPath(p, cape, shaded(hex("#2a3a6a"), 42, 114));
        p.setPen(ink(1.2, hex("#4a5a9a")));
        p.drawLine(QPointF(side * 24, 56), QPointF(side * 34, 96));
    }
    fillPath(p, ellipsePath(-4.5, 44, 9, 9), hex("#e0b840"), 1.0);
}

void drawHeadExtras(QPainter& p, const Figure& f)
{
    switch (f.hair) {
    case HairStyle::BobRibbon: {
        // Big yellow ribbon on the crown, viewer's right.
        p.save();
        p.translate(16, -36);
        p.rotate(18);
        for (int side : {-1, 1}) {
            QPainterPath loop;
            loop.moveTo(0, 0);
            loop.cubicTo(side * 10, -18, side * 30, -14, side * 26, 0);
            loop.cubicTo(side * 30, 14, side * 10, 16, 0, 0);
            fillPath(p, loop, shaded(hex("#ffd23c"), -16, 16), 1.3);
        }
        fillPath(p, ellipsePath(-5, -5, 10, 10), hex("#f0b820"), 1.2);
        p.restore();
        break;
    }
    case HairStyle::HighBun:
        starShape(p, QPointF(14, -60), 8, 3.5, hex("#ffd860"));
        p.setPen(ink(1.0, hex("#b08a20")));
        p.setBrush(Qt::NoBrush);
        starShape(p, QPointF(14, -60), 3, 1.4, QColor(255, 255, 230));
        break;
    case HairStyle::TwinTails:
        for (int side : {-1, 1}) {
            p.save();
            p.translate(side * 28, -26);
            for (int s2 : {-1, 1}) {
                QPainterPath loop;
                loop.moveTo(0, 0);
                loop.cubicTo(s2 * 6, -12, s2 * 16, -8, s2 * 14, 0);
                loop.cubicTo(s2 * 16, 8, s2 * 6, 10, 0, 0);
                fillPath(p, loop, hex("#6a3a8a"), 1.1);
            }
            fillPath(p, ellipsePath(-3.5, -3.5, 7, 7), hex("#4a2060"), 1.0);
            p.restore();
        }
        break;
    default:
        break;
    }
    if (f.redHairpin) {
        p.save();
        p.translate(-19, -13);
        p.rotate(-30);
        fillPath(p, QPainterPath([] {
                     QPainterPath r;
                     r.addRoundedRect(QRectF(-9, -2.5, 18, 5), 2, 2);
                     return r;
                 }()),
                 hex("#e02030"), 1.0);
        p.restore();
    }
    if (f.sunglassesUp)
        drawSunglasses(p, QPointF(0, -30), 0.9, hex("#402028"));
    if (f.sunglasses) {
        const bool tinted = f.moustache; // the agency head's lenses are tinted violet
        drawSunglasses(p, QPointF(f.turn * 7, 3), 1.0, tinted ? QColor(120, 60, 110, 220) : QColor(20, 20, 30, 240));
    }
    if (f.wideHat) {
        QPainterPath crown;
        crown.moveTo(-26, -26);
        crown.cubicTo(-26, -58, 26, -58, 26, -26);
        crown.closeSubpath();
        fillPath(p, ellipsePath(-62, -36, 124, 24), shaded(hex("#efe4c8"), -36, -12));
        fillPath(p, crown, shaded(hex("#efe4c8"), -58, -26));
        p.setPen(ink(5, hex("#3a2a2a")));
        p.drawLine(QPointF(-25, -30), QPointF(25, -30));
    }
}

} // namespace

Figure renetta(bool disguised)
{
    Figure f;
    f.hair = HairStyle::LongBraid;
    f.hairColour = hex("#c8c0e8");
    f.eyeColour = hex("#8a4ad0");
    f.outfit = disguised ? Outfit::PinkDress : Outfit::UniversityCape;
    f.wings = disguised ? Wings::None : Wings::Crystal;
    return f;
}

Figure primu(Outfit outfit)
{
    Figure f;
    f.hair = HairStyle::BobRibbon;
    f.hairColour = hex("#f08070");
    f.eyeColour = hex("#3aa860");
    f.outfit = outfit;
    f.wings = outfit == Outfit::Cardigan ? Wings::Butterfly : Wings::None;
    f.height = 0.9;
    if (outfit == Outfit::RedDress) {
        f.sunglassesUp = true;
        f.hoops = true;
    }
    return f;
}

Figure jupiter()
{
    Figure f;
    f.hair = HairStyle::HighBun;
    f.hairColour = hex("#5a2a7a");
    f.eyeColour = hex("#c08a20");
    f.outfit = Outfit::LabCoat;
    f.glasses = true;
    f.goldGlasses = true;
    f.height = 1.12;
    return f;
}

Figure komachi(Outfit outfit)
{
    Figure f;
    f.hair = HairStyle::HimeCut;
    f.hairColour = hex("#1c1820");
    f.eyeColour = hex("#5a3a30");
    f.outfit = outfit;
    f.redHairpin = true;
    return f;
}

Figure yukari(Outfit outfit)
{
    Figure f;
    f.hair = HairStyle::ShortGlasses;
    f.hairColour = hex("#8a5a3a");
    f.eyeColour = hex("#6a4a2a");
    f.outfit = outfit;
    f.glasses = true;
    f.eyes = Eyes::Gentle;
    return f;
}

Figure asama()
{
    Figure f;
    f.hair = HairStyle::NeatBoy;
    f.hairColour = hex("#1e1c24");
    f.eyeColour = hex("#4a3a30");
    f.outfit = Outfit::Blazer;
    f.male = true;
    f.height = 1.12;
    f.eyes = Eyes::Gentle;
    return f;
}

Figure tanigawa()
{
    Figure f;
    f.hair = HairStyle::SlickedBack;
    f.hairColour = hex("#2a2226");
    f.eyeColour = hex("#3a2a20");
    f.skin = hex("#f2d2b8");
    f.outfit = Outfit::PurpleSuit;
    f.male = true;
    f.moustache = true;
    f.sunglasses = true;
    f.height = 1.08;
    f.mouth = Mouth::Grin;
    return f;
}

Figure nasuno()
{
    Figure f;
    f.hair = HairStyle::TwinTails;
    f.hairColour = hex("#4a3026");
    f.eyeColour = hex("#7a3aa0");
    f.outfit = Outfit::TrackJacket;
    f.freckles = true;
    f.height = 0.95;
    return f;
}

void drawFigure(QPainter& p, const Figure& f, QPointF headCentre, double scale)
{
    const OutfitLook o = lookOf(f);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(headCentre);
    p.scale(scale * f.height, scale * f.height);

    drawWings(p, f);
    if (!f.back)
        drawHairBack(p, f);
    drawLower(p, f, o);
    drawTorso(p, f, o);
    // Neck with the chin's shadow.
    QPainterPath neck;
    neck.addRect(QRectF(-8, 20, 16, 26));
    fillPath(p, neck, f.skin, 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(f.skin.darker(130), 160));
    p.drawEllipse(QRectF(-9, 22, 18, 10));
    if (!f.back)
        drawOutfitDetails(p, f, o);
    else if (f.outfit == Outfit::LabCoat) {
        // The coat's back: one white panel with a centre seam.
        QPainterPath backPanel;
        backPanel.moveTo(-9, 42);
        backPanel.cubicTo(-26, 48, -40, 50, -42, 62);
        backPanel.cubicTo(-40, 120, -50, 200, -54, 284);
        backPanel.lineTo(54, 284);
        backPanel.cubicTo(50, 200, 40, 120, 42, 62);
        backPanel.cubicTo(40, 50, 26, 48, 9, 42);
        backPanel.closeSubpath();
        fillPath(p, backPanel, shaded(hex("#f4f6fa"), 40, 284));
        p.setPen(ink(1.0, hex("#c8ccd8")));
        p.drawLine(QPointF(0, 60), QPointF(0, 284));
    }
    const bool capeOver = f.outfit == Outfit::UniversityCape && !f.back;
    drawArms(p, f, o, true, !capeOver);
    if (capeOver) {
        drawCape(p);
        drawArms(p, f, o, false, true);
    }

    if (f.back) {
        // Seen from behind, turning: the back of the head, then a sliver of cheek and one eye at its edge,
        // then the hair that hides the rest of the face.
        drawHairBack(p, f);
        p.save();
        p.setClipRect(QRectF(8, -40, 40, 80), Qt::IntersectClip);
        fillPath(p, faceShape(), f.skin);
        Figure side = f;
        side.turn = 1;
        drawEye(p, side, QPointF(20, 3), 0.6, 1);
        p.setPen(ink(1.0, f.skin.darker(140)));
        p.drawLine(QPointF(26, 12), QPointF(27.5, 14));
        p.restore();
        QPainterPath cover;
        cover.addEllipse(QRectF(-35, -43, 50, 70));
        fillPath(p, cover, shaded(f.hairColour, -42, 28), 1.4, f.hairColour.darker(170));
        if (f.glasses) {
            p.setPen(ink(1.6, f.goldGlasses ? hex("#c8a030") : hex("#6a4a3a")));
            p.drawArc(QRectF(14, -6, 14, 18), -90 * 16, 180 * 16);
        }
        p.setPen(ink(2.4, withAlpha(f.hairColour.lighter(150), 200)));
        p.drawArc(QRectF(-26, -40, 48, 30), 40 * 16, 110 * 16);
        drawHeadExtras(p, f);
        p.restore();
        return;
    }

    fillPath(p, faceShape(), shaded(f.skin, -30, 34));
    drawFace(p, f);
    if (f.glasses)
        drawGlasses(p, f);
    drawHairFront(p, f);
    if (f.hair == HairStyle::LongBraid)
        drawBraid(p, f);
    if (f.hoops) {
        p.setPen(ink(2.2, hex("#e8b820")));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(-28, 22), 6, 7);
        p.drawEllipse(QPointF(28, 22), 6, 7);
    }
    drawHeadExtras(p, f);
    // Hands over the face are drawn last so they sit in front of the hair.
    if (f.pose == Pose::HandsToFace || f.pose == Pose::Clasped || f.pose == Pose::Mic)
        drawArms(p, f, o, false, true);
    p.restore();
}

QPointF handPosition(const Figure& f, QPointF headCentre, double scale, int side)
{
    return headCentre + armFor(f, side).hand * (scale * f.height);
}

void drawMomopi(QPainter& p, QPointF centre, double r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(centre);
    p.scale(r / 30.0, r / 30.0);
    // Wings.
    for (int side : {-1, 1}) {
        QPainterPath w;
        w.moveTo(side * 22, -6);
        w.cubicTo(side * 44, -30, side * 58, -14, side * 50, -2);
        w.cubicTo(side * 56, 8, side * 40, 14, side * 24, 6);
        w.closeSubpath();
        fillPath(p, w, QColor(255, 255, 255, 235), 1.2, hex("#c07aa0"));
    }
    // Antenna with a star.
    p.setPen(ink(1.6, hex("#c05a90")));
    p.drawLine(QPointF(0, -28), QPointF(4, -44));
    starShape(p, QPointF(5, -48), 7, 3, hex("#ffe060"));
    // Fluffy body: a ring of bumps around a shaded ball.
    QPainterPath body;
    for (int i = 0; i < 14; ++i) {
        const double a = i * 2 * M_PI / 14;
        body.addEllipse(QPointF(27 * std::cos(a), 27 * std::sin(a)), 7, 7);
    }
    body.addEllipse(QPointF(0, 0), 28, 28);
    body.setFillRule(Qt::WindingFill);
    body = body.simplified();
    QRadialGradient g(QPointF(-8, -10), 40);
    g.setColorAt(0, hex("#ffd0ea"));
    g.setColorAt(1, hex("#ff9ccf").darker(110));
    fillPath(p, body, g, 1.4, hex("#c05a90"));
    p.setPen(Qt::NoPen);
    p.setBrush(hex("#3a2030"));
    p.drawEllipse(QPointF(-9, -2), 3, 3.6);
    p.drawEllipse(QPointF(9, -2), 3, 3.6);
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(QPointF(-8, -3.5), 1, 1);
    p.drawEllipse(QPointF(10, -3.5), 1, 1);
    p.setBrush(QColor(255, 100, 150, 140));
    p.drawEllipse(QPointF(-16, 6), 5, 3);
    p.drawEllipse(QPointF(16, 6), 5, 3);
    p.setPen(ink(1.2, hex("#a03a6a")));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(-4, 2, 8, 6), 200 * 16, 140 * 16);
    p.restore();
}

} // namespace art

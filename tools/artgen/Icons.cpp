// Draws the icon bar's ten pictures, the window icon and the three poses of the logo mascot.
#include "Icons.h"

#include "PictureDensity.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

#include <array>
#include <climits>
#include <cmath>
#include <initializer_list>
#include <stdexcept>

namespace {

// ---------------------------------------------------------------------------------------------
// The fixed 16-colour palette of the 32 x 32 pictures. Index 0 is the transparent margin.

enum Ink : int {
    Clear = 0,
    Night,  // outlines
    Slate,  // not-selected plate rim and dim outlines
    Steel,  // not-selected plate
    Mist,   // dim symbols
    White,  // symbol faces, highlights
    Gold,   // selected frame, the star, the moon
    Amber,  // edge of the selected plate, shading of gold
    Sky,    // underside of the cloud, the emblem's wing
    Blue,   // iris, the balloon's dots
    Rose,   // the emblem's thread
    Red,    // spare
    Green,  // the arrow
    Cream,  // selected plate
    Violet, // the emblem's rim
    Indigo, // the emblem's night sky
    InkCount
};

constexpr std::array<QRgb, InkCount> kPalette = {
    0x00000000u, 0xff141a30u, 0xff3a4670u, 0xff6e7ea6u, 0xffb4c0dau, 0xffffffffu, 0xffffd23cu, 0xffd08420u,
    0xff86d0ffu, 0xff2a62d6u, 0xffff6eb4u, 0xffd82a2au, 0xff34b04cu, 0xfffff0c0u, 0xff8050c8u, 0xff24206au,
};

QColor ink(Ink i) { return QColor::fromRgba(kPalette[i]); }

using InkSet = std::initializer_list<Ink>;

// Nearest of the allowed entries by a weighted RGB distance (green counts most, as the eye sees
// it). Pixels less than half covered become the transparent entry, so edges stay crisp.
int nearestInk(QRgb c, InkSet allowed)
{
    if (qAlpha(c) < 128)
        return Clear;
    int best = Night;
    int bestDistance = INT_MAX;
    for (const Ink i : allowed) {
        const int dr = qRed(c) - qRed(kPalette[i]);
        const int dg = qGreen(c) - qGreen(kPalette[i]);
        const int db = qBlue(c) - qBlue(kPalette[i]);
        const int distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

// Maps a drawn picture onto the palette, one pixel at a time, without dithering. Only the inks a
// picture was drawn with are allowed, so the soft edges of the drawing snap to one of its own
// colours instead of to a stray one that happens to lie near the blend.
QImage toPaletteImage(const QImage& drawn, InkSet allowed)
{
    const QImage argb = drawn.convertToFormat(QImage::Format_ARGB32);
    QImage out(argb.size(), QImage::Format_Indexed8);
    QList<QRgb> table(kPalette.begin(), kPalette.end());
    out.setColorTable(table);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < argb.width(); ++x)
            dst[x] = static_cast<uchar>(nearestInk(src[x], allowed));
    }
    return out;
}

void save(const QImage& image, const QString& dataDir, const QString& name)
{
    const QString path = QDir(dataDir).filePath(name);
    if (!image.save(path, "PNG"))
        throw std::runtime_error("cannot write " + path.toStdString());
}

// A canvas of `width` x `height` units at `density` pixels per unit: painters draw in units, and
// the pixel ratio scales every shape and stroke, so a 2x picture is the same drawing, finer.
QImage blankCanvas(int width, int height, int density, QColor fill = Qt::transparent)
{
    QImage image(width * density, height * density, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(density);
    image.fill(fill);
    return image;
}

QPainterPath circle(QPointF centre, qreal radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

QPainterPath star(QPointF centre, qreal outer, qreal inner, qreal turnDegrees = 0)
{
    QPolygonF points;
    for (int i = 0; i < 10; ++i) {
        const qreal r = i % 2 == 0 ? outer : inner;
        const qreal a = qDegreesToRadians(turnDegrees - 90 + 36 * i);
        points << centre + QPointF(r * std::cos(a), r * std::sin(a));
    }
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    return path;
}

void fillOutlined(QPainter& p, const QPainterPath& path, QColor fill, QColor line, qreal width)
{
    p.setPen(QPen(line, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
}

// ---------------------------------------------------------------------------------------------
// Command icons. Each symbol is drawn in a 32-unit box; the not-selected look draws it smaller.
// They are drawn without antialiasing: at 32 pixels and 16 colours hard edges read better than
// blends that would have to snap to some palette colour.

struct IconInks {
    QColor line;   // outlines
    QColor body;   // the symbol's main surface
    QColor accent; // the iris, the star, the arrow
    QColor spark;  // small highlights
};

void drawEye(QPainter& p, const IconInks& k)
{
    QPainterPath almond;
    almond.moveTo(2.5, 16.5);
    almond.quadTo(16, 1.5, 29.5, 16.5);
    almond.quadTo(16, 30.5, 2.5, 16.5);
    fillOutlined(p, almond, k.body, k.line, 2);
    p.save();
    p.setClipPath(almond);
    fillOutlined(p, circle({16, 16.5}, 6.5), k.accent, k.line, 1.5);
    fillOutlined(p, circle({16, 16.5}, 2.6), k.line, k.line, 1);
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(k.spark);
    p.drawEllipse(QPointF(18.5, 14), 1.6, 1.6);
    // Three lashes on the upper lid.
    p.setPen(QPen(k.line, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 9.5), QPointF(7.5, 6.5));
    p.drawLine(QPointF(16, 8.5), QPointF(16, 4.5));
    p.drawLine(QPointF(23, 9.5), QPointF(24.5, 6.5));
}

void drawBalloon(QPainter& p, const IconInks& k)
{
    QPainterPath balloon;
    balloon.addEllipse(QPointF(16.5, 13), 13.5, 10);
    QPainterPath tail;
    tail.moveTo(8, 19);
    tail.quadTo(8, 26, 3, 29.5);
    tail.quadTo(12, 28, 15, 22);
    tail.closeSubpath();
    fillOutlined(p, balloon.united(tail).simplified(), k.body, k.line, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(k.accent);
    for (const qreal x : {10.5, 16.5, 22.5})
        p.drawEllipse(QPointF(x, 13), 2, 2);
}

void drawCloud(QPainter& p, const IconInks& k)
{
    QPainterPath cloud;
    cloud.setFillRule(Qt::WindingFill);
    const std::array<std::array<qreal, 3>, 7> puffs = {{
        {{9.5, 14, 5.5}},
        {{15, 9, 6.5}},
        {{22, 9.5, 6}},
        {{26, 15, 4.5}},
        {{20.5, 18.5, 5}},
        {{13, 18.5, 5}},
        {{17, 14, 6}}, // fills the gap the ring of puffs leaves in the middle
    }};
    for (const auto& [x, y, r] : puffs)
        cloud = cloud.united(circle({x, y}, r));
    cloud = cloud.simplified();
    p.setPen(Qt::NoPen);
    p.setBrush(k.body);
    p.drawPath(cloud);
    // A shade along the underside gives the cloud its puff; the outline goes over it.
    p.save();
    p.setClipPath(cloud);
    p.setBrush(k.accent);
    p.drawEllipse(QPointF(16, 22.5), 12, 3.5);
    p.restore();
    p.setPen(QPen(k.line, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(cloud);
    fillOutlined(p, circle({8, 25.5}, 2.6), k.body, k.line, 1.6);
    fillOutlined(p, circle({3.8, 29.2}, 1.6), k.body, k.line, 1.4);
}

void drawWand(QPainter& p, const IconInks& k)
{
    // The stick: a dark rod with a light tip band, from the lower left towards the star.
    p.setPen(QPen(k.line, 5.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5, 28), QPointF(17, 16));
    p.setPen(QPen(k.body, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5, 28), QPointF(13.5, 19.5));
    fillOutlined(p, star({21, 11}, 10, 4.4, 8), k.accent, k.line, 1.6);
    p.setPen(QPen(k.spark, 1.4, Qt::SolidLine, Qt::RoundCap));
    for (const QPointF c : {QPointF(6, 7), QPointF(27.5, 25)}) {
        p.drawLine(c - QPointF(2.5, 0), c + QPointF(2.5, 0));
        p.drawLine(c - QPointF(0, 2.5), c + QPointF(0, 2.5));
    }
}

void drawArrow(QPainter& p, const IconInks& k)
{
    QPainterPath arrow;
    arrow.addPolygon(QPolygonF({QPointF(3, 11.5), QPointF(15, 11.5), QPointF(15, 4), QPointF(29, 16), QPointF(15, 28),
                                QPointF(15, 20.5), QPointF(3, 20.5)}));
    arrow.closeSubpath();
    fillOutlined(p, arrow, k.accent, k.line, 2);
    p.setPen(QPen(k.spark, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5.5, 14), QPointF(16.5, 14));
}

using SymbolPainter = void (*)(QPainter&, const IconInks&);

struct Command {
    SymbolPainter paint;
    Ink accent;    // colour of the symbol's key part when the command is selected
    Ink dimAccent; // the same part when it is not
};

// In the order of the icon bar: look, talk, think, use magic, next.
constexpr std::array<Command, 5> kCommands = {{
    {drawEye, Blue, Steel},
    {drawBalloon, Blue, Steel},
    {drawCloud, Sky, Steel},
    {drawWand, Gold, Mist},
    {drawArrow, Green, Mist},
}};

// Selected: the full 32 x 32, a cream plate in a gold frame, the symbol big and in colour.
QImage selectedIcon(const Command& command, int density)
{
    QImage image = blankCanvas(32, 32, density);
    QPainter p(&image);
    QPainterPath plate;
    plate.addRoundedRect(QRectF(0.5, 0.5, 31, 31), 5, 5);
    fillOutlined(p, plate, ink(Cream), ink(Amber), 1);
    QPainterPath frame;
    frame.addRoundedRect(QRectF(1.75, 1.75, 28.5, 28.5), 4, 4);
    p.setPen(QPen(ink(Gold), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(frame);
    p.translate(16, 16);
    p.scale(0.84, 0.84);
    p.translate(-16, -16);
    command.paint(p, {ink(Night), ink(White), ink(command.accent), ink(White)});
    p.end();
    return toPaletteImage(image, {Night, White, Cream, Gold, Amber, command.accent});
}

// Not selected: a smaller flat grey-blue plate, the symbol small and muted.
QImage plainIcon(const Command& command, int density)
{
    QImage image = blankCanvas(32, 32, density);
    QPainter p(&image);
    QPainterPath plate;
    plate.addRoundedRect(QRectF(3.5, 3.5, 25, 25), 4, 4);
    fillOutlined(p, plate, ink(Steel), ink(Slate), 1);
    p.translate(16, 16);
    p.scale(0.66, 0.66);
    p.translate(-16, -16);
    command.paint(p, {ink(Slate), ink(Mist), ink(command.dimAccent), ink(White)});
    p.end();
    return toPaletteImage(image, {Slate, Steel, Mist, White});
}

// ---------------------------------------------------------------------------------------------
// The window icon: a crescent moon with a thread woven through it and a fairy wing in its hollow.
// Drawn in a 32-unit box; the caller scales for the large version.

void drawEmblem(QPainter& p)
{
    const QPainterPath disc = circle({16, 16}, 14);
    p.setPen(Qt::NoPen);
    p.setBrush(ink(Violet));
    p.drawEllipse(QPointF(16, 16), 15.75, 15.75);
    p.setBrush(ink(Indigo));
    p.drawPath(disc);
    p.setPen(Qt::NoPen);
    p.setBrush(ink(White));
    p.drawEllipse(QPointF(9.5, 6.5), 0.9, 0.9);
    p.drawEllipse(QPointF(25.5, 24.5), 0.9, 0.9);

    const QPainterPath moon = circle({14.5, 16.5}, 11.5).subtracted(circle({20.5, 12}, 10));
    fillOutlined(p, moon, ink(Gold), ink(Amber), 1);

    // The thread comes in from the left over the moon's back and runs on under the wing: over
    // one, under the next, as a weft goes through the warp.
    QPainterPath thread;
    thread.moveTo(0, 21);
    thread.cubicTo(7, 14, 12, 24, 18, 19.5);
    thread.cubicTo(22, 16.5, 26, 12.5, 32, 14);
    p.save();
    p.setClipPath(disc);
    p.setPen(QPen(ink(Rose), 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(thread);
    p.restore();

    // The fairy wing rests in the moon's hollow, tips up and to the right.
    QPainterPath wing;
    wing.moveTo(16.5, 15.5);
    wing.cubicTo(16.5, 9, 21.5, 5, 26.5, 6);
    wing.cubicTo(26, 10.5, 23, 14, 16.5, 15.5);
    wing.moveTo(16.5, 15.5);
    wing.cubicTo(20.5, 15, 25, 16.5, 26, 20);
    wing.cubicTo(21.5, 21, 18.5, 19.5, 16.5, 15.5);
    fillOutlined(p, wing, ink(Sky), ink(White), 1);
}

QImage emblem(int size, bool palette, int density = 1)
{
    QImage image = blankCanvas(size, size, density);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, !palette);
    p.scale(size / 32.0, size / 32.0);
    drawEmblem(p);
    p.end();
    return palette ? toPaletteImage(image, {Indigo, Violet, Gold, Amber, Sky, White, Rose})
                   : image.convertToFormat(QImage::Format_ARGB32);
}

// ---------------------------------------------------------------------------------------------
// The logo mascot: a small fairy in a green tunic and a red cap. One figure, posed by angles,
// measured from the hip in pixels with y downwards.

namespace fairy {

const QColor kSkin(255, 222, 196), kSkinLine(196, 128, 96);
const QColor kHair(214, 112, 48), kHairLine(150, 70, 30);
const QColor kCap(228, 40, 44), kCapLine(150, 20, 30), kPompom(255, 224, 80);
const QColor kTunic(60, 178, 70), kTunicLine(28, 112, 44), kBelt(250, 200, 60);
const QColor kShoe(130, 70, 40), kShoeLine(80, 40, 24);
const QColor kWing(150, 230, 255, 185), kWingLine(225, 248, 255), kEye(58, 32, 70), kCheek(255, 130, 150, 140);

enum class Facing { Front, Left };

struct Pose {
    QPointF hip;    // where the hip sits on the canvas
    qreal lean = 0; // degrees, clockwise
    Facing facing = Facing::Front;
    // Limb angles in degrees from straight down, positive towards +x.
    qreal nearArm = 0, farArm = 0;
    qreal nearThigh = 0, nearShin = 0, farThigh = 0, farShin = 0;
    // Wings: angle of the upper pair above the horizontal, and how wide they open (1 = full).
    qreal wingLift = 30, wingOpen = 1, wingSize = 1;
    bool wave = false; // the near hand is raised and open
};

QPointF along(QPointF from, qreal degrees, qreal length)
{
    const qreal a = qDegreesToRadians(degrees);
    return from + QPointF(length * std::sin(a), length * std::cos(a));
}

void limb(QPainter& p, QPointF a, QPointF b, qreal width, QColor fill, QColor line)
{
    p.setPen(QPen(line, width + 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
    p.setPen(QPen(fill, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
}

// One wing from `root`, pointing at `degrees` (0 = straight out to +x, positive downwards); the
// caller mirrors the painter for the left-hand pair.
void wing(QPainter& p, QPointF root, qreal degrees, qreal length, qreal breadth)
{
    p.save();
    p.translate(root);
    p.rotate(degrees);
    QPainterPath path;
    path.moveTo(0, 0);
    path.cubicTo(length * 0.3, -breadth, length * 0.9, -breadth * 0.9, length, -breadth * 0.1);
    path.cubicTo(length * 0.95, breadth * 0.5, length * 0.4, breadth * 0.6, 0, 0);
    fillOutlined(p, path, kWing, kWingLine, 1);
    p.setPen(QPen(QColor(235, 252, 255, 200), 0.7));
    p.setBrush(Qt::NoBrush);
    QPainterPath vein;
    vein.moveTo(2, 0);
    vein.quadTo(length * 0.5, -breadth * 0.35, length * 0.85, -breadth * 0.2);
    p.drawPath(vein);
    p.restore();
}

void wings(QPainter& p, const Pose& pose)
{
    const QPointF root(pose.facing == Facing::Left ? 4 : 0, -17);
    const qreal upper = -pose.wingLift;
    const qreal lower = 30 + (1 - pose.wingOpen) * 20;
    const qreal span = (0.7 + 0.3 * pose.wingOpen) * pose.wingSize;
    if (pose.facing == Facing::Left) {
        // Seen from the side both pairs spring from the back, the far pair a little higher.
        wing(p, root + QPointF(-2, -2), upper - 22, 30 * span, 11);
        wing(p, root + QPointF(-2, 0), lower - 12, 20 * span, 7);
        wing(p, root, upper, 31 * span, 12);
        wing(p, root + QPointF(0, 2), lower, 21 * span, 8);
        return;
    }
    for (const int side : {1, -1}) {
        p.save();
        p.scale(side, 1);
        wing(p, root, upper, 31 * span, 12);
        wing(p, root + QPointF(0, 2), lower, 21 * span, 8);
        p.restore();
    }
}

void leg(QPainter& p, const Pose& pose, qreal x, qreal thigh, qreal shin)
{
    const QPointF hipJoint(x, 1);
    const QPointF knee = along(hipJoint, thigh, 10);
    const QPointF foot = along(knee, shin, 10);
    limb(p, hipJoint, knee, 5, kSkin, kSkinLine);
    limb(p, knee, foot, 4.6, kSkin, kSkinLine);
    p.save();
    p.translate(foot);
    p.rotate(-shin);
    const bool side = pose.facing == Facing::Left;
    const qreal toe = side ? -2.5 : (x < 0 ? -0.8 : 0.8);
    QPainterPath shoe;
    shoe.addEllipse(QPointF(toe, 1.2), side ? 5.5 : 4.2, 3.2);
    fillOutlined(p, shoe, kShoe, kShoeLine, 1);
    p.restore();
}

void arm(QPainter& p, QPointF shoulder, qreal degrees, bool open)
{
    const QPointF hand = along(shoulder, degrees, 14);
    limb(p, shoulder, hand, 4.2, kSkin, kSkinLine);
    fillOutlined(p, circle(hand, open ? 3.3 : 2.8), kSkin, kSkinLine, 1);
    if (open) {
        // Spread fingers of a waving hand.
        p.setPen(QPen(kSkinLine, 1, Qt::SolidLine, Qt::RoundCap));
        for (const qreal d : {-35.0, 0.0, 35.0})
            p.drawLine(along(hand, degrees + d, 2.2), along(hand, degrees + d, 4.6));
    }
}

void tunic(QPainter& p)
{
    QPainterPath body;
    body.moveTo(-5, -23);
    body.lineTo(5, -23);
    body.cubicTo(9, -21, 9, -16, 9, -13);
    body.lineTo(15, 5);
    // Leaf-cut hem, five points.
    const qreal hem[] = {15, 9, 3, -3, -9, -15};
    for (int i = 0; i + 1 < 6; ++i) {
        const qreal mid = (hem[i] + hem[i + 1]) / 2;
        body.quadTo(mid + 1, 5, mid, 9);
        body.quadTo(mid - 1, 5, hem[i + 1], 5);
    }
    body.lineTo(-9, -13);
    body.cubicTo(-9, -16, -9, -21, -5, -23);
    body.closeSubpath();
    fillOutlined(p, body, kTunic, kTunicLine, 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(kBelt);
    p.drawRect(QRectF(-10.5, -7, 21, 3));
    p.setBrush(kTunicLine);
    p.drawRect(QRectF(-1.8, -7.5, 3.6, 4));
    // A pointed leaf collar.
    QPainterPath collar;
    collar.moveTo(-7, -22);
    collar.lineTo(0, -17);
    collar.lineTo(7, -22);
    collar.lineTo(0, -22.5);
    collar.closeSubpath();
    fillOutlined(p, collar, kTunic.lighter(125), kTunicLine, 1);
}

void head(QPainter& p, const Pose& pose)
{
    const QPointF c(0, -38);
    const bool side = pose.facing == Facing::Left;
    const qreal turn = side ? -3.5 : 0; // features shift towards the way she looks

    // Pointed elf ears under the hair.
    for (const int s : {-1, 1}) {
        if (side && s < 0)
            continue;
        QPainterPath ear;
        const qreal x = (side ? 13 : 14) * s;
        ear.moveTo(x, -40);
        ear.lineTo(x + 8 * s, -46);
        ear.lineTo(x + 1 * s, -33);
        ear.closeSubpath();
        fillOutlined(p, ear, kSkin, kSkinLine, 1);
    }
    fillOutlined(p, circle(c, 15), kSkin, kSkinLine, 1.2);

    // Hair: a rounded fringe over the forehead and two locks by the cheeks.
    QPainterPath hair;
    hair.moveTo(-15, -36);
    hair.cubicTo(-16, -50, 16, -50, 15, -36);
    hair.quadTo(12 + turn, -40, 8 + turn, -39);
    hair.quadTo(6 + turn, -42, 3 + turn, -40);
    hair.quadTo(0 + turn, -43, -3 + turn, -40);
    hair.quadTo(-6 + turn, -42, -9 + turn, -39);
    hair.quadTo(-12 + turn, -40, -15, -36);
    hair.closeSubpath();
    for (const int s : {-1, 1}) {
        hair.moveTo(14.5 * s, -38);
        hair.quadTo(16.5 * s, -30, 12.5 * s, -26);
        hair.quadTo(12 * s, -31, 12 * s, -38);
        hair.closeSubpath();
    }
    fillOutlined(p, hair, kHair, kHairLine, 1);

    // Big eyes with a glint, rosy cheeks, a small smile.
    const qreal eyeGap = side ? 4.8 : 5.6;
    for (const int s : {-1, 1}) {
        const QPointF eye(turn + eyeGap * s, -34.5);
        const qreal w = side && s > 0 ? 2.4 : 2.9;
        p.setPen(Qt::NoPen);
        p.setBrush(kEye);
        p.drawEllipse(eye, w, 4);
        p.setBrush(Qt::white);
        p.drawEllipse(eye + QPointF(-0.8, -1.5), 1.1, 1.3);
        p.drawEllipse(eye + QPointF(0.9, 1.6), 0.5, 0.5);
        p.setBrush(kCheek);
        p.drawEllipse(QPointF(turn + (eyeGap + 3.2) * s, -28.5), 2.6, 1.5);
    }
    p.setPen(QPen(kSkinLine.darker(130), 1.1, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(turn - 2.2, -30, 4.4, 3), 200 * 16, 140 * 16);
}

void cap(QPainter& p, const Pose& pose)
{
    // The tip flops backwards: to the right whichever way she faces.
    const qreal tipX = pose.facing == Facing::Left ? 24 : 21;
    QPainterPath cone;
    cone.moveTo(-14.5, -44);
    cone.cubicTo(-13, -56, 2, -62, 10, -59);
    cone.cubicTo(16, -62, tipX - 2, -64, tipX, -57);
    cone.cubicTo(tipX - 4, -58, 13, -56, 14.5, -44);
    cone.closeSubpath();
    fillOutlined(p, cone, kCap, kCapLine, 1.2);
    QPainterPath band;
    band.addRoundedRect(QRectF(-16, -46.5, 32, 5), 2.5, 2.5);
    fillOutlined(p, band, kCap.darker(118), kCapLine, 1);
    fillOutlined(p, circle({tipX, -56}, 3.2), kPompom, kPompom.darker(150), 1);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 110));
    p.drawEllipse(QPointF(-5, -52), 4, 2);
}

void draw(QPainter& p, const Pose& pose, qreal scale)
{
    p.save();
    p.translate(pose.hip);
    p.scale(scale, scale);
    p.rotate(pose.lean);
    const bool side = pose.facing == Facing::Left;
    wings(p, pose);
    const qreal shoulderX = side ? 3 : 8;
    // Far limbs first, behind the tunic.
    if (side) {
        arm(p, {shoulderX + 1, -19}, pose.farArm, false);
        leg(p, pose, 2, pose.farThigh, pose.farShin);
        leg(p, pose, -2, pose.nearThigh, pose.nearShin);
    } else {
        leg(p, pose, 4.5, pose.farThigh, pose.farShin);
        leg(p, pose, -4.5, pose.nearThigh, pose.nearShin);
    }
    tunic(p);
    if (!side)
        arm(p, {shoulderX, -19}, pose.farArm, false);
    head(p, pose);
    cap(p, pose);
    arm(p, {side ? -shoulderX + 2 : -shoulderX, -19}, pose.nearArm, pose.wave);
    p.restore();
}

// Fairy dust: small four-pointed glints in canvas pixels, x, y and size.
using Glints = std::initializer_list<std::array<qreal, 3>>;

void dust(QPainter& p, Glints glints)
{
    p.setPen(Qt::NoPen);
    for (const auto& [x, y, r] : glints) {
        QPainterPath glint;
        glint.moveTo(x, y - r);
        glint.quadTo(x, y, x + r, y);
        glint.quadTo(x, y, x, y + r);
        glint.quadTo(x, y, x - r, y);
        glint.quadTo(x, y, x, y - r);
        p.setBrush(QColor(255, 246, 170));
        p.drawPath(glint);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(x, y), r * 0.22, r * 0.22);
    }
}

QImage picture(int width, int height, const Pose& pose, qreal scale, Glints glints, int density)
{
    QImage image = blankCanvas(width, height, density, Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    dust(p, glints);
    draw(p, pose, scale);
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage walking(int density)
{
    Pose pose;
    pose.hip = {44, 62};
    pose.lean = -6;
    pose.facing = Facing::Left;
    pose.nearArm = -45;
    pose.farArm = 40;
    pose.nearThigh = 26;
    pose.nearShin = 50;
    pose.farThigh = -30;
    pose.farShin = -15;
    pose.wingLift = 35;
    pose.wingOpen = 0.8;
    return picture(98, 90, pose, 0.95, {{76, 30, 4.5}, {88, 45, 3.5}, {80, 62, 2.5}, {93, 22, 2.5}}, density);
}

QImage standing(int density)
{
    Pose pose;
    pose.hip = {39, 66};
    pose.nearArm = -150;
    pose.farArm = 25;
    pose.nearThigh = -6;
    pose.nearShin = -3;
    pose.farThigh = 6;
    pose.farShin = 3;
    pose.wingLift = 40;
    pose.wingOpen = 0.6;
    pose.wave = true;
    return picture(78, 94, pose, 0.98, {{8, 28, 4}, {70, 11, 3.5}, {72, 56, 2.5}}, density);
}

QImage flying(int density)
{
    Pose pose;
    pose.hip = {44, 66};
    pose.lean = 4;
    pose.nearArm = -115;
    pose.farArm = 115;
    pose.nearThigh = -4;
    pose.nearShin = 10;
    pose.farThigh = 10;
    pose.farShin = 35;
    pose.wingLift = 28;
    pose.wingOpen = 1;
    pose.wingSize = 1.22;
    return picture(88, 99, pose, 1.0, {{12, 84, 4}, {76, 90, 3.5}, {24, 95, 2.5}, {82, 76, 2.5}, {7, 12, 2.5}},
                   density);
}

} // namespace fairy

} // namespace

void writeIconsAndMascots(const QString& dataDir)
{
    for (const int density : {1, lw::kSharpDensity}) {
        const auto name = [&](const QString& base) {
            const QString file = base + QStringLiteral(".png");
            return density == 1 ? file : lw::sharpFileName(file);
        };
        for (int k = 0; k < static_cast<int>(kCommands.size()); ++k) {
            save(selectedIcon(kCommands[k], density), dataDir, name(QStringLiteral("lwicon%1").arg(k)));
            save(plainIcon(kCommands[k], density), dataDir, name(QStringLiteral("lwicon%1").arg(k + 5)));
        }
        save(emblem(32, true, density), dataDir, name(QStringLiteral("lunaweave")));
        save(fairy::walking(density), dataDir, name(QStringLiteral("mascot0")));
        save(fairy::standing(density), dataDir, name(QStringLiteral("mascot1")));
        save(fairy::flying(density), dataDir, name(QStringLiteral("mascot2")));
    }
    save(emblem(256, false), dataDir, QStringLiteral("lunaweave-256.png"));
}

// The 37 scene pictures, one painter per picture key, composed from the backgrounds and the cast.
#include "Scenes.h"

#include "Backgrounds.h"
#include "Characters.h"
#include "Paint.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>
#include <cmath>

namespace art {

namespace {

QPen line(double w, const QColor& c) { return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

// Sprocket-holed film border, for the film's own pictures.
void filmFrame(QPainter& p)
{
    p.fillRect(QRectF(0, 0, kWidth, 18), hex("#0c0a10"));
    p.fillRect(QRectF(0, kHeight - 18, kWidth, 18), hex("#0c0a10"));
    p.setPen(Qt::NoPen);
    p.setBrush(hex("#d8d0c0"));
    for (int x = 6; x < kWidth; x += 22) {
        p.drawRoundedRect(QRectF(x, 5, 11, 8), 2, 2);
        p.drawRoundedRect(QRectF(x, kHeight - 13, 11, 8), 2, 2);
    }
}

// Warm, slightly faded colour grading for film stills.
void filmGrade(QPainter& p)
{
    p.fillRect(QRectF(0, 0, kWidth, kHeight), QColor(255, 200, 140, 28));
    vignette(p, 120);
}

void magicSwirl(QPainter& p, QPointF centre, double radius, const QColor& c, unsigned seed, int count)
{
    Rng rng(seed);
    glow(p, centre, radius, withAlpha(c, 90));
    for (int i = 0; i < count; ++i) {
        const double a = rng.uniform(0, 2 * M_PI), r = radius * std::sqrt(rng.uniform(0.1, 1));
        sparkle(p, centre + QPointF(std::cos(a) * r, std::sin(a) * r * 0.8), rng.uniform(3, 9), c);
    }
}

// ---- The film and its world ----

void titleCard(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient bg(QPointF(240, 170), 320);
    bg.setColorAt(0, hex("#2a2a6a"));
    bg.setColorAt(1, hex("#0e0e2e"));
    p.fillRect(QRectF(0, 0, kWidth, kHeight), bg);
    // A faint mountain and a pale moon behind the calligraphy.
    QPainterPath m;
    m.moveTo(0, 300);
    m.cubicTo(120, 250, 200, 170, 300, 180);
    m.cubicTo(380, 200, 440, 260, 480, 270);
    m.lineTo(480, 349);
    m.lineTo(0, 349);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 60, 120, 140));
    p.drawPath(m);
    glow(p, QPointF(120, 90), 60, QColor(255, 240, 220, 90));
    p.setBrush(QColor(255, 246, 230, 200));
    p.drawEllipse(QPointF(120, 90), 24, 24);
    Rng rng(1);
    scatterPetals(p, rng, QRectF(0, 20, kWidth, 310), 46, 5);
    // Red seal beside the title.
    brushTextVertical(p, QStringLiteral("楢山女子高"), mincho(50, true), QPointF(280, 40), 54, hex("#fbf6ec"));
    p.setPen(line(1.5, hex("#a01818")));
    p.setBrush(hex("#c82828"));
    p.drawRect(QRectF(320, 240, 22, 22));
    outlinedText(p, QStringLiteral("楢"), mincho(15, true), QPointF(331, 251), hex("#fbe8e0"), hex("#c82828"), 0);
    filmFrame(p);
}

void naraStill1(QPainter& p)
{
    naraSchool(p);
    filmGrade(p);
    filmFrame(p);
}

void naraStill2(QPainter& p)
{
    // こまち under a cherry tree in the school yard.
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, QRectF(0, 0, kWidth, 220), hex("#a8c8f0"), hex("#fbe8e0"));
    QPainterPath hill;
    hill.moveTo(0, 200);
    hill.cubicTo(150, 120, 300, 110, 480, 180);
    hill.lineTo(480, 260);
    hill.lineTo(0, 260);
    p.setPen(Qt::NoPen);
    p.setBrush(hex("#7a9a8a"));
    p.drawPath(hill);
    fillVertical(p, QRectF(0, 240, kWidth, 109), hex("#a8b878"), hex("#6a8a4a"));
    Rng trees(17);
    cherryTree(p, QPointF(330, 330), 330, trees);
    Figure k = komachi(Outfit::Sailor);
    k.mouth = Mouth::Smile;
    k.turn = -0.3;
    k.pose = Pose::HoldFront;
    drawFigure(p, k, QPointF(200, 110), 1.05);
    // A school bag held in front.
    const QPointF h = handPosition(k, QPointF(200, 110), 1.05, -1);
    fillVertical(p, QRectF(h.x() - 6, h.y() + 2, 46, 30), hex("#4a2a1a"), hex("#2a1810"));
    Rng pet(18);
    scatterPetals(p, pet, QRectF(0, 20, kWidth, 320), 50, 5);
    filmGrade(p);
    filmFrame(p);
}

void naraStill3(QPainter& p)
{
    // 雛鳥ゆかり by the wooden classroom's window.
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, QRectF(0, 0, kWidth, kHeight), hex("#c8a070"), hex("#8a6040"));
    // Window with a view of blossoms, light falling in.
    const QRectF win(230, 30, 230, 200);
    fillVertical(p, win, hex("#bfe0ff"), hex("#fde8ef"));
    Rng t(23);
    cherryTree(p, QPointF(420, 330), 260, t);
    p.setPen(line(8, hex("#6a4428")));
    p.setBrush(Qt::NoBrush);
    p.drawRect(win);
    p.drawLine(QPointF(win.center().x(), win.top()), QPointF(win.center().x(), win.bottom()));
    p.drawLine(QPointF(win.left(), win.center().y()), QPointF(win.right(), win.center().y()));
    fillVertical(p, QRectF(0, 230, kWidth, 16), hex("#7a5030"), hex("#5a3820"));
    // Light shafts.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 250, 220, 40));
    p.drawPolygon(QPolygonF({QPointF(230, 30), QPointF(460, 30), QPointF(300, 349), QPointF(40, 349)}));
    // A blackboard edge and desks on the left.
    fillVertical(p, QRectF(0, 40, 150, 110), hex("#2a4a3a"), hex("#1a3a2a"));
    p.setPen(line(1.2, QColor(255, 255, 255, 150)));
    p.drawLine(QPointF(20, 70), QPointF(90, 74));
    p.drawLine(QPointF(30, 90), QPointF(120, 88));
    woodDesk(p, QRectF(0, 290, 130, 20), 40);
    Figure y = yukari(Outfit::Sailor);
    y.turn = -0.45;
    y.mouth = Mouth::Smile;
    y.pose = Pose::HoldFront;
    drawFigure(p, y, QPointF(200, 112), 1.05);
    const QPointF h = handPosition(y, QPointF(200, 112), 1.05, -1);
    fillVertical(p, QRectF(h.x() - 8, h.y() - 26, 44, 30), hex("#f4f0e0"), hex("#d8d0c0")); // a book
    p.setPen(line(1, hex("#8a7a5a")));
    p.drawLine(QPointF(h.x() + 14, h.y() - 26), QPointF(h.x() + 14, h.y() + 4));
    filmGrade(p);
    filmFrame(p);
}

void endCaption(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, QRectF(0, 0, kWidth, kHeight), hex("#06061a"), hex("#2a1a3a"));
    Rng rng(19);
    scatterStars(p, rng, QRectF(0, 0, kWidth, 220), 120);
    // Mountain and school in silhouette.
    QPainterPath m;
    m.moveTo(0, 250);
    m.cubicTo(120, 200, 200, 120, 260, 118);
    m.cubicTo(330, 130, 420, 200, 480, 220);
    m.lineTo(480, 349);
    m.lineTo(0, 349);
    p.setPen(Qt::NoPen);
    p.setBrush(hex("#121028"));
    p.drawPath(m);
    p.setBrush(hex("#050510"));
    p.drawRect(QRectF(120, 250, 240, 70));
    p.drawPolygon(QPolygonF({QPointF(106, 252), QPointF(374, 252), QPointF(360, 230), QPointF(120, 230)}));
    p.drawPolygon(QPolygonF({QPointF(212, 232), QPointF(268, 232), QPointF(240, 206)}));
    p.fillRect(QRectF(0, 318, kWidth, 31), hex("#050510"));
    p.setBrush(QColor(255, 220, 150, 170));
    for (int i = 0; i < 3; ++i)
        p.drawRect(QRectF(150 + i * 70, 268, 10, 14));
    brushTextVertical(p, QStringLiteral("完"), mincho(88, true), QPointF(240, 60), 90, hex("#f4ecd8"));
    filmFrame(p);
}

// ---- The fairy university ----

void research1(QPainter& p)
{
    researchRoom(p);
    Figure r = renetta();
    r.pose = Pose::Write;
    r.turn = 0.35;
    r.eyes = Eyes::Gentle;
    r.mouth = Mouth::Small;
    drawFigure(p, r, QPointF(220, 120), 0.95);
    woodDesk(p, QRectF(90, 236, 300, 40), 80);
    // Open book, quill, a small glowing flask on the desk.
    QPainterPath book;
    book.moveTo(190, 246);
    book.quadTo(215, 240, 240, 248);
    book.quadTo(265, 240, 290, 246);
    book.lineTo(296, 268);
    book.quadTo(268, 262, 240, 270);
    book.quadTo(212, 262, 184, 268);
    book.closeSubpath();
    p.setPen(line(1.2, hex("#6a5030")));
    p.setBrush(hex("#f8f0dc"));
    p.drawPath(book);
    p.setPen(line(0.8, hex("#a09070")));
    for (int i = 0; i < 4; ++i) {
        p.drawLine(QPointF(196, 252 + i * 4), QPointF(232, 252 + i * 4));
        p.drawLine(QPointF(248, 252 + i * 4), QPointF(286, 252 + i * 4));
    }
    p.setPen(line(1.6, hex("#f0f0ff")));
    p.drawLine(QPointF(262, 262), QPointF(290, 220));
    flask(p, QPointF(360, 254), 30, hex("#70d8ff"));
    flask(p, QPointF(130, 252), 22, hex("#ff90d0"));
    Rng s(33);
    for (int i = 0; i < 5; ++i)
        sparkle(p, QPointF(s.uniform(340, 380), s.uniform(200, 240)), s.uniform(2, 4), QColor(200, 240, 255));
}

void primu1(QPainter& p)
{
    researchRoom(p);
    // The door on the right stands open onto a lit corridor; プリム leans in.
    const QRectF door(300, 30, 150, 240);
    fillVertical(p, door, hex("#fff0c8"), hex("#e8c890"));
    glow(p, door.center(), 140, QColor(255, 230, 170, 110));
    p.setPen(line(6, hex("#4a2a18")));
    p.setBrush(Qt::NoBrush);
    p.drawRect(door);
    QPolygonF leaf({QPointF(450, 30), QPointF(478, 20), QPointF(478, 290), QPointF(450, 270)});
    p.setPen(line(1.5, hex("#2a1a10")));
    p.setBrush(hex("#6a4028"));
    p.drawPolygon(leaf);
    Figure f = primu();
    f.pose = Pose::Wave;
    f.mouth = Mouth::Open;
    f.eyes = Eyes::Open;
    f.blush = true;
    f.turn = -0.3;
    const QPointF head(360, 120);
    drawFigure(p, f, head, 1.0);
    // The magazine in her raised hand.
    const QPointF hand = handPosition(f, head, 1.0, 1);
    p.save();
    p.translate(hand);
    p.rotate(-12);
    komachiMagazine(p, QRectF(-20, -60, 44, 60));
    p.restore();
    p.setPen(line(3, QColor(80, 50, 30)));
    for (int i = 0; i < 3; ++i) // motion marks of the wave
        p.drawArc(QRectF(hand.x() + 16 + i * 6, hand.y() - 70 - i * 4, 20, 30), -40 * 16, 80 * 16);
}

void research2(QPainter& p)
{
    researchRoom(p);
    Figure r = renetta();
    r.pose = Pose::HoldFront;
    r.turn = 0.4;
    r.mouth = Mouth::Smile;
    drawFigure(p, r, QPointF(130, 118), 0.95);
    Figure f = primu();
    f.pose = Pose::HoldFront;
    f.turn = -0.4;
    f.mouth = Mouth::Open;
    f.eyes = Eyes::Open;
    f.blush = true;
    drawFigure(p, f, QPointF(350, 128), 0.95);
    // Round table with the magazine and the cookies.
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient tg(QPointF(240, 268), 220);
    tg.setColorAt(0, hex("#a8784a"));
    tg.setColorAt(1, hex("#6a4028"));
    p.setPen(line(1.5, hex("#3a2010")));
    p.setBrush(tg);
    p.drawEllipse(QPointF(240, 280), 230, 56);
    fillVertical(p, QRectF(60, 300, 360, 49), hex("#5a3418"), hex("#3a2010"));
    p.setBrush(tg);
    p.drawEllipse(QPointF(240, 280), 230, 56);
    p.save();
    p.translate(180, 262);
    p.rotate(-8);
    komachiMagazine(p, QRectF(-34, -30, 60, 80));
    p.restore();
    p.setPen(line(1.2, hex("#8a8aa0")));
    p.setBrush(hex("#f8f8ff"));
    p.drawEllipse(QPointF(310, 288), 52, 18);
    Rng rng(51);
    for (int i = 0; i < 7; ++i) {
        const QPointF c(290 + (i % 4) * 14 + rng.uniform(-3, 3), 280 + (i / 4) * 10 + rng.uniform(-2, 2));
        // Crescent-moon cookies, golden with a sugar glint.
        p.setPen(line(1, hex("#8a5a20")));
        p.setBrush(hex("#e8b860"));
        p.drawEllipse(c, 10, 6);
        p.setPen(Qt::NoPen);
        p.setBrush(hex("#f8e8b0"));
        p.drawEllipse(c + QPointF(-2, -1), 4, 2);
    }
    sparkle(p, QPointF(330, 270), 6, QColor(255, 250, 210));
    // Tea cups.
    for (const QPointF c : {QPointF(110, 292), QPointF(390, 300)}) {
        p.setPen(line(1.2, hex("#7a7a90")));
        p.setBrush(hex("#ffffff"));
        p.drawRoundedRect(QRectF(c.x() - 12, c.y() - 14, 24, 16), 5, 5);
        p.setBrush(hex("#c07a40"));
        p.drawEllipse(QPointF(c.x(), c.y() - 13), 11, 3);
    }
}

void lab1(QPainter& p) { laboratory(p, false); }

void lab2(QPainter& p)
{
    laboratory(p, true);
    Figure j = jupiter();
    j.back = true;
    j.pose = Pose::ArmsOpen;
    drawFigure(p, j, QPointF(170, 112), 0.95);
    Figure r = renetta();
    r.turn = -0.5;
    r.mouth = Mouth::Small;
    r.pose = Pose::Clasped;
    drawFigure(p, r, QPointF(380, 170), 0.7);
}

void onSetScreen(QPainter& p, const QRectF& screen, bool magic)
{
    p.save();
    p.setClipRect(screen);
    if (!magic) {
        // A film set: studio lights, a painted classroom flat, the camera.
        fillVertical(p, screen, hex("#3a3040"), hex("#6a5a60"));
        fillVertical(p, QRectF(screen.left() + 40, screen.top() + 20, screen.width() - 80, 170), hex("#e8d8b8"),
                     hex("#c8a880"));
        for (int i = 0; i < 3; ++i) {
            const QPointF c(screen.left() + 50 + i * 150, screen.top() + 20);
            glow(p, c + QPointF(0, 30), 90, QColor(255, 250, 220, 90));
            p.setPen(line(1, hex("#202020")));
            p.setBrush(hex("#303030"));
            p.drawRect(QRectF(c.x() - 14, c.y() - 10, 28, 20));
        }
        Figure k = komachi(Outfit::Sailor);
        k.turn = 0.3;
        k.mouth = Mouth::Smile;
        drawFigure(p, k, QPointF(screen.center().x() - 10, screen.top() + 110), 0.85);
        // Camera on a dolly, right foreground.
        p.setPen(line(1.5, hex("#101010")));
        p.setBrush(hex("#2a2a2a"));
        p.drawRect(QRectF(screen.right() - 100, screen.bottom() - 110, 70, 44));
        p.drawEllipse(QPointF(screen.right() - 108, screen.bottom() - 88), 16, 16);
        p.drawEllipse(QPointF(screen.right() - 80, screen.bottom() - 128), 18, 18);
        p.drawEllipse(QPointF(screen.right() - 46, screen.bottom() - 128), 18, 18);
        p.setPen(line(5, hex("#202020")));
        p.drawLine(QPointF(screen.right() - 66, screen.bottom() - 66), QPointF(screen.right() - 66, screen.bottom()));
        // Clapper board.
        p.setPen(line(1.2, hex("#101010")));
        p.setBrush(hex("#202020"));
        p.drawRect(QRectF(screen.left() + 20, screen.bottom() - 70, 60, 44));
        outlinedText(p, QStringLiteral("楢山"), mincho(14, true), QPointF(screen.left() + 50, screen.bottom() - 46),
                     QColor(255, 255, 255), QColor(0, 0, 0), 0);
    } else {
        fillVertical(p, screen, hex("#2a1a4a"), hex("#8a4a8a"));
        glow(p, QPointF(screen.center().x(), screen.top() + 140), 200, QColor(255, 200, 255, 140));
        Figure k = komachi();
        k.eyes = Eyes::Gentle;
        k.mouth = Mouth::Smile;
        k.pose = Pose::Clasped;
        drawFigure(p, k, QPointF(screen.center().x(), screen.top() + 110), 0.9);
        magicSwirl(p, QPointF(screen.center().x(), screen.top() + 140), 160, QColor(255, 240, 200, 230), 99, 36);
        drawMomopi(p, QPointF(screen.right() - 50, screen.bottom() - 44), 26);
    }
    // Scanlines and the crystal's own shine.
    p.setPen(line(1, QColor(180, 230, 255, 30)));
    for (double y = screen.top(); y < screen.bottom(); y += 3)
        p.drawLine(QPointF(screen.left(), y), QPointF(screen.right(), y));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 30));
    p.drawPolygon(QPolygonF({screen.topLeft(), screen.topLeft() + QPointF(140, 0), screen.bottomLeft() + QPointF(40, 0),
                             screen.bottomLeft()}));
    p.restore();
}

void momopi1(QPainter& p)
{
    const QRectF screen = monitorCloseUp(p);
    onSetScreen(p, screen, false);
    // モモピー's recording mark.
    p.setPen(Qt::NoPen);
    p.setBrush(hex("#ff3040"));
    p.drawEllipse(QPointF(screen.left() + 16, screen.top() + 14), 5, 5);
    outlinedText(p, QStringLiteral("REC"), gothic(12, true), QPointF(screen.left() + 38, screen.top() + 14),
                 QColor(255, 255, 255), QColor(0, 0, 0), 2);
}

void momopi2(QPainter& p)
{
    const QRectF screen = monitorCloseUp(p);
    onSetScreen(p, screen, true);
}

// ---- Shibuya ----

void shibuya1(QPainter& p)
{
    shibuyaSquare(p);
    Figure r = renetta();
    r.pose = Pose::Clasped;
    r.turn = -0.3;
    r.mouth = Mouth::Small;
    drawFigure(p, r, QPointF(200, 206), 0.3);
    Rng rng(16);
    crowd(p, rng, 330, 3, 1.2, 300, 470);
}

void billboard(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, QRectF(0, 0, kWidth, kHeight), hex("#70a8e0"), hex("#e8d8d8"));
    Rng rng(160);
    // Building wall carrying the board.
    fillVertical(p, QRectF(20, 0, 440, 349), hex("#8a8494"), hex("#6a6474"));
    const QRectF board(50, 24, 380, 250);
    p.setPen(line(4, hex("#303038")));
    p.setBrush(Qt::NoBrush);
    p.drawRect(board.adjusted(-6, -6, 6, 6));
    fillVertical(p, board, hex("#1a1a4a"), hex("#3a2a6a"));
    p.save();
    p.setClipRect(board);
    Rng pet(161);
    scatterPetals(p, pet, board, 34, 5);
    Figure k = komachi(Outfit::Sailor);
    k.mouth = Mouth::Smile;
    k.turn = 0.2;
    k.eyes = Eyes::Gentle;
    drawFigure(p, k, QPointF(170, 150), 1.6);
    p.restore();
    brushTextVertical(p, QStringLiteral("楢山女子高"), mincho(33, true), QPointF(382, 34), 36, hex("#fbf6ec"));
    p.setPen(Qt::NoPen);
    p.setBrush(hex("#d82838"));
    p.drawRect(QRectF(board.left(), board.bottom() - 40, board.width(), 40));
    outlinedText(p, QStringLiteral("大ヒット上映中"), gothic(28, true),
                 QPointF(board.center().x(), board.bottom() - 20), hex("#ffe860"), hex("#801018"), 4);
    // Floodlights on arms.
    for (int i = 0; i < 3; ++i) {
        const QPointF c(110 + i * 130, board.bottom() + 30);
        p.setPen(line(3, hex("#303038")));
        p.drawLine(c, c + QPointF(0, -22));
        p.setBrush(hex("#404048"));
        p.drawRect(QRectF(c.x() - 10, c.y() - 6, 20, 12));
        glow(p, c + QPointF(0, -40), 60, QColor(255, 250, 210, 60));
    }
    crowd(p, rng, 330, 10, 1.0, 0, 480);
}

void primu2(QPainter& p)
{
    shibuyaStreet(p, false);
    Figure f = primu(Outfit::RedDress);
    f.pose = Pose::Wave;
    f.mouth = Mouth::Grin;
    f.turn = 0.25;
    f.blush = true;
    drawFigure(p, f, QPointF(250, 110), 1.05);
}

void building109(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, QRectF(0, 0, kWidth, 250), hex("#6aa0e0"), hex("#f4d8c8"));
    Rng rng(24);
    building(p, QRectF(0, 60, 130, 200), hex("#8a8a9a"), rng, 0.2);
    building(p, QRectF(370, 40, 110, 220), hex("#9a8a8a"), rng, 0.2);
    // The silver cylinder tower with its vertical sign.
    const QRectF tower(170, 10, 150, 250);
    QLinearGradient tg(tower.topLeft(), tower.topRight());
    tg.setColorAt(0, hex("#8a8e98"));
    tg.setColorAt(0.35, hex("#f0f2f8"));
    tg.setColorAt(1, hex("#6a6e78"));
    p.setPen(line(1.5, hex("#4a4e58")));
    p.setBrush(tg);
    p.drawRect(tower);
    p.drawEllipse(QRectF(tower.left(), tower.top() - 12, tower.width(), 24));
    p.setPen(line(1, QColor(80, 90, 110, 120)));
    for (double y = tower.top() + 24; y < tower.bottom(); y += 16)
        p.drawArc(QRectF(tower.left(), y - 8, tower.width(), 16), 180 * 16, 180 * 16);
    fillVertical(p, QRectF(225, 30, 40, 130), hex("#e8e8f0"), hex("#c8c8d0"));
    p.setPen(line(1.5, hex("#4a4e58")));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(225, 30, 40, 130));
    const QFont f = gothic(30, true);
    for (int i = 0; i < 3; ++i)
        outlinedText(p, QString(QChar(u"109"[i])), f, QPointF(245, 52 + i * 40), hex("#e02040"), QColor(255, 255, 255),
                     3);
    // Pavement, crowd.
    fillVertical(p, QRectF(0, 250, kWidth, 99), hex("#b0a8a0"), hex("#7a746c"));
    crowd(p, rng, 268, 16, 0.8, 0, 480);
    Figure r = renetta(true);
    r.pose = Pose::Clasped;
    r.mouth = Mouth::Worried;
    r.blush = true;
    r.turn = 0.3;
    drawFigure(p, r, QPointF(150, 176), 0.62);
    Figure pr = primu(Outfit::RedDress);
    pr.pose = Pose::ThumbsUp;
    pr.mouth = Mouth::Grin;
    pr.turn = -0.3;
    drawFigure(p, pr, QPointF(330, 184), 0.62);
    outlinedText(p, QStringLiteral("///"), gothic(12, true), QPointF(166, 172), QColor(255, 120, 150),
                 QColor(0, 0, 0, 0), 0);
}

void centerStreet(QPainter& p)
{
    shibuyaStreet(p, true);
    // The arch over the street's mouth.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(line(10, hex("#c0c4d0")));
    p.drawLine(QPointF(40, 349), QPointF(60, 40));
    p.drawLine(QPointF(440, 349), QPointF(420, 40));
    QPainterPath arch;
    arch.moveTo(40, 70);
    arch.quadTo(240, 0, 440, 70);
    arch.lineTo(440, 100);
    arch.quadTo(240, 30, 40, 100);
    arch.closeSubpath();
    QLinearGradient ag(0, 20, 0, 100);
    ag.setColorAt(0, hex("#f0f0f8"));
    ag.setColorAt(1, hex("#a0a4b0"));
    p.setPen(line(1.5, hex("#50545e")));
    p.setBrush(ag);
    p.drawPath(arch);
    glow(p, QPointF(240, 60), 140, QColor(255, 230, 160, 60));
    outlinedText(p, QStringLiteral("センター街"), gothic(24, true), QPointF(240, 58), hex("#e02850"),
                 QColor(255, 255, 255), 3);
    // The two, walking toward us.
    Figure r = renetta(true);
    r.stride = 0.5;
    r.mouth = Mouth::Worried;
    r.blush = true;
    r.turn = 0.3;
    drawFigure(p, r, QPointF(190, 196), 0.42);
    Figure pr = primu(Outfit::RedDress);
    pr.stride = -0.5;
    pr.pose = Pose::Wave;
    pr.mouth = Mouth::Grin;
    pr.turn = -0.3;
    drawFigure(p, pr, QPointF(290, 202), 0.42);
}

void tanigawa1(QPainter& p)
{
    shibuyaStreet(p, true);
    Figure t = tanigawa();
    t.pose = Pose::ThumbsUp;
    t.turn = -0.2;
    drawFigure(p, t, QPointF(240, 112), 1.05);
    sparkle(p, QPointF(300, 40), 10, QColor(255, 255, 255));
}

void agencyOutside(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, QRectF(0, 0, kWidth, 260), hex("#5a90e0"), hex("#d8e8f8"));
    Rng rng(27);
    building(p, QRectF(0, 110, 90, 160), hex("#9a9aa8"), rng, 0.1);
    building(p, QRectF(400, 90, 80, 180), hex("#8a8a98"), rng, 0.1);
    // Glass tower in perspective, the sky reflected in its panes.
    QPolygonF front({QPointF(110, 20), QPointF(330, 0), QPointF(330, 280), QPointF(110, 280)});
    QPolygonF side({QPointF(330, 0), QPointF(390, 30), QPointF(390, 280), QPointF(330, 280)});
    QLinearGradient fg(110, 0, 330, 280);
    fg.setColorAt(0, hex("#a8d0f8"));
    fg.setColorAt(0.5, hex("#4a78b8"));
    fg.setColorAt(1, hex("#2a4a80"));
    p.setPen(line(1.5, hex("#1a2a4a")));
    p.setBrush(fg);
    p.drawPolygon(front);
    QLinearGradient sg(330, 0, 390, 0);
    sg.setColorAt(0, hex("#3a5a90"));
    sg.setColorAt(1, hex("#1a2a50"));
    p.setBrush(sg);
    p.drawPolygon(side);
    p.setPen(line(1, QColor(220, 240, 255, 140)));
    for (int i = 1; i < 8; ++i) {
        const double x = 110 + i * 27.5;
        p.drawLine(QPointF(x, 20 - i * 2.5), QPointF(x, 280));
    }
    for (int k = 1; k < 12; ++k) {
        const double y = k * 22;
        p.drawLine(QPointF(110, 20 + y), QPointF(330, y));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 70));
    p.drawPolygon(
        QPolygonF({QPointF(140, 20), QPointF(200, 14), QPointF(150, 280), QPointF(110, 280), QPointF(110, 120)}));
    // The sign over the entrance.
    const QRectF sign(120, 196, 200, 30);
    fillVertical(p, sign, hex("#2a1a3a"), hex("#120a1a"));
    p.setPen(line(1.5, hex("#e0c060")));
    p.setBrush(Qt::NoBrush);
    p.drawRect(sign);
    outlinedText(p, QStringLiteral("谷川プロダクション"), gothic(19, true), sign.center(), hex("#f8d860"),
                 hex("#6a4a10"), 0);
    // Entrance doors and steps.
    fillVertical(p, QRectF(180, 232, 80, 48), hex("#e0f0ff"), hex("#90b0d0"));
    p.setPen(line(1.5, hex("#2a3a5a")));
    p.drawLine(QPointF(220, 232), QPointF(220, 280));
    fillVertical(p, QRectF(0, 280, kWidth, 69), hex("#c8c4c0"), hex("#8a8480"));
    p.setPen(line(1, hex("#9a9690")));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(150 - i * 20, 286 + i * 8), QPointF(290 + i * 20, 286 + i * 8));
    for (const double x : {150.0, 290.0}) {
        p.setPen(line(1.2, hex("#2a4a2a")));
        p.setBrush(hex("#3a7a3a"));
        p.drawEllipse(QPointF(x, 262), 18, 24);
        fillVertical(p, QRectF(x - 10, 276, 20, 16), hex("#f0f0f0"), hex("#a0a0a8"));
    }
    sparkle(p, QPointF(170, 40), 14, QColor(255, 255, 255));
}

void agencyPoster(QPainter& p, const QRectF& r, const QColor& bg, const Figure& who, const QString& caption)
{
    fillVertical(p, r, bg.lighter(130), bg);
    p.save();
    p.setClipRect(r);
    drawFigure(p, who, QPointF(r.center().x(), r.top() + r.height() * 0.35), r.width() / 110.0);
    p.restore();
    p.setPen(line(2, hex("#303038")));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
    p.fillRect(QRectF(r.left(), r.bottom() - 18, r.width(), 18), QColor(20, 20, 30, 200));
    outlinedText(p, caption, gothic(caption.size() > 12 ? 9 : 11, true), QPointF(r.center().x(), r.bottom() - 9),
                 QColor(255, 255, 255), QColor(0, 0, 0), 0);
}

void tanigawa3(QPainter& p)
{
    agencyLobby(p);
    Figure k = komachi(Outfit::Sailor);
    agencyPoster(p, QRectF(60, 60, 110, 150), hex("#2a2a6a"), k, QStringLiteral("楢山女子高"));
    Figure y = yukari(Outfit::BeigeCoat);
    y.mouth = Mouth::Smile;
    agencyPoster(p, QRectF(190, 60, 110, 150), hex("#c07a50"), y, QStringLiteral("www.example.jp"));
    Figure n = nasuno();
    n.mouth = Mouth::Open;
    agencyPoster(p, QRectF(320, 60, 100, 110), hex("#7a3fa0"), n, QStringLiteral("新人募集"));
    outlinedText(p, QStringLiteral("谷川プロダクション"), gothic(16, true), QPointF(405, 210), hex("#f8d860"),
                 hex("#3a2a10"), 0);
    // Reflections of the posters on the glossy floor.
    p.setOpacity(0.18);
    for (const double x : {115.0, 245.0})
        fillVertical(p, QRectF(x - 50, 250, 100, 60), hex("#8080c0"), QColor(0, 0, 0, 0));
    p.setOpacity(1);
}

void nasuno1(QPainter& p)
{
    agencyCorridor(p);
    Figure n = nasuno();
    n.pose = Pose::Wave;
    n.mouth = Mouth::Grin;
    n.turn = 0.2;
    drawFigure(p, n, QPointF(250, 118), 1.05);
}

void yukari1(QPainter& p)
{
    agencyLobby(p);
    Figure k = komachi(Outfit::Sailor);
    agencyPoster(p, QRectF(40, 60, 100, 140), hex("#2a2a6a"), k, QStringLiteral("楢山女子高"));
    Figure y = yukari(Outfit::BeigeCoat);
    y.mouth = Mouth::Smile;
    y.turn = -0.25;
    y.pose = Pose::HoldFront;
    drawFigure(p, y, QPointF(260, 116), 1.05);
    const QPointF h = handPosition(y, QPointF(260, 116), 1.05, -1);
    fillVertical(p, QRectF(h.x() - 8, h.y() - 4, 52, 40), hex("#8a4a3a"), hex("#5a2a1a")); // handbag
}

void komachi1(QPainter& p)
{
    agencyOutside(p);
    p.fillRect(QRectF(0, 0, kWidth, kHeight), QColor(255, 255, 255, 60));
    Figure k = komachi();
    k.wideHat = true;
    k.sunglasses = true;
    k.mouth = Mouth::Small;
    k.turn = 0.3;
    drawFigure(p, k, QPointF(250, 120), 1.0);
    Rng rng(31);
    for (int i = 0; i < 6; ++i) // camera flashes of the waiting press
        sparkle(p, QPointF(rng.uniform(20, 460), rng.uniform(200, 300)), rng.uniform(8, 14), QColor(255, 255, 255));
}

void tanigawa4(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    // Office: a wide window over the city, framed gold records, big desk.
    fillVertical(p, QRectF(0, 0, kWidth, 260), hex("#d8ccc0"), hex("#b8a898"));
    woodFloor(p, 260, hex("#6a3a5a"), hex("#3a1a30")); // plum carpet
    const QRectF win(120, 20, 340, 170);
    fillVertical(p, win, hex("#f0a860"), hex("#f8e0b0"));
    Rng rng(32);
    for (int i = 0; i < 14; ++i) {
        const double x = win.left() + i * 25;
        const double h = rng.uniform(30, 110);
        fillVertical(p, QRectF(x, win.bottom() - h, 22, h), hex("#6a5a7a"), hex("#4a3a5a"));
    }
    p.setPen(line(6, hex("#3a3040")));
    p.setBrush(Qt::NoBrush);
    p.drawRect(win);
    p.drawLine(QPointF(win.center().x(), win.top()), QPointF(win.center().x(), win.bottom()));
    for (int i = 0; i < 2; ++i) {
        const QPointF c(50, 60 + i * 90);
        p.setPen(line(2, hex("#3a2a10")));
        p.setBrush(hex("#2a2a2a"));
        p.drawRect(QRectF(c.x() - 32, c.y() - 32, 64, 64));
        QRadialGradient g(c, 24);
        g.setColorAt(0, hex("#fff0a0"));
        g.setColorAt(1, hex("#b08020"));
        p.setBrush(g);
        p.drawEllipse(c, 24, 24);
        p.setBrush(hex("#2a2a2a"));
        p.drawEllipse(c, 4, 4);
    }
    Figure t = tanigawa();
    t.pose = Pose::ArmsOpen;
    t.mouth = Mouth::Grin;
    drawFigure(p, t, QPointF(260, 110), 0.9);
    woodDesk(p, QRectF(90, 240, 340, 40), 80);
    // Desk things: a phone, contracts, a cigar box, a nameplate.
    fillVertical(p, QRectF(130, 250, 50, 22), hex("#f8f8f8"), hex("#d0d0d8"));
    p.setPen(line(1.5, hex("#101010")));
    p.setBrush(hex("#202020"));
    p.drawRoundedRect(QRectF(360, 248, 40, 18), 4, 4);
    const QRectF plate(220, 254, 90, 18);
    fillVertical(p, plate, hex("#f0d070"), hex("#a08030"));
    outlinedText(p, QStringLiteral("社長　谷川"), gothic(11, true), plate.center(), hex("#3a2a10"), QColor(0, 0, 0), 0);
}

// ---- こまち's room ----

void komachi2(QPainter& p)
{
    komachiRoom(p);
    Figure k = komachi();
    k.eyes = Eyes::Wide;
    k.mouth = Mouth::Open;
    k.pose = Pose::HandsToFace;
    k.turn = -0.2;
    drawFigure(p, k, QPointF(240, 112), 1.05);
    p.setPen(line(2.5, hex("#5a3a4a")));
    for (int i = 0; i < 3; ++i) // shock lines
        p.drawLine(QPointF(170 - i * 8, 40 + i * 14), QPointF(150 - i * 10, 34 + i * 14));
}

void diaryDesk(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    // Seen from above: the wood of the desk fills the picture.
    fillVertical(p, QRectF(0, 0, kWidth, kHeight), hex("#9a6a44"), hex("#6a4428"));
    p.setPen(line(1, QColor(60, 30, 10, 60)));
    for (int y = 8; y < kHeight; y += 14)
        p.drawLine(QPointF(0, y), QPointF(kWidth, y + 6));
    glow(p, QPointF(240, 170), 260, QColor(255, 230, 190, 110));
    // The open diary.
    QPainterPath pages;
    pages.moveTo(60, 60);
    pages.quadTo(150, 40, 240, 64);
    pages.quadTo(330, 40, 420, 60);
    pages.lineTo(430, 300);
    pages.quadTo(330, 280, 240, 306);
    pages.quadTo(150, 280, 50, 300);
    pages.closeSubpath();
    p.setPen(line(2, hex("#c06080")));
    p.setBrush(hex("#e080a0"));
    p.drawPath(pages.translated(0, 6));
    p.setPen(line(1.2, hex("#a09070")));
    QLinearGradient pg(60, 0, 420, 0);
    pg.setColorAt(0, hex("#fffaf0"));
    pg.setColorAt(0.48, hex("#e8e0d0"));
    pg.setColorAt(0.52, hex("#e8e0d0"));
    pg.setColorAt(1, hex("#fffaf0"));
    p.setBrush(pg);
    p.drawPath(pages);
    p.setPen(line(1, QColor(150, 170, 210, 120)));
    for (int i = 0; i < 9; ++i) {
        p.drawLine(QPointF(76, 92 + i * 22), QPointF(228, 92 + i * 22));
        p.drawLine(QPointF(252, 92 + i * 22), QPointF(410, 92 + i * 22));
    }
    // Handwriting: a few lines in a soft hand, slightly tilted.
    static const char16_t* const lines[] = {u"ピンクの小さな",   u"羽のある子が",       u"くれたおまじない。",
                                            u"もう六回使った。", u"来週の舞台あいさつ", u"最後にもう一回だけ…"};
    QFont hand = mincho(15);
    hand.setItalic(true);
    p.setPen(hex("#3a3a7a"));
    p.setFont(hand);
    for (int i = 0; i < int(std::size(lines)); ++i) {
        const bool left = i < 3;
        const double x = left ? 80 : 256;
        const double y = 88 + (left ? i : i - 3) * 22 * 1.6;
        p.save();
        p.translate(x, y);
        p.rotate(-1.5);
        p.drawText(QPointF(0, 0), QString::fromStdU16String(lines[i]));
        p.restore();
    }
    // Six tally marks and a heart doodle.
    p.setPen(line(1.6, hex("#c03050")));
    for (int i = 0; i < 6; ++i)
        p.drawLine(QPointF(270 + i * 9, 200), QPointF(268 + i * 9, 222));
    QPainterPath heart;
    heart.moveTo(370, 236);
    heart.cubicTo(350, 222, 360, 204, 370, 214);
    heart.cubicTo(380, 204, 390, 222, 370, 236);
    p.setBrush(hex("#ff90b0"));
    p.drawPath(heart);
    // Pen.
    p.save();
    p.translate(400, 250);
    p.rotate(-35);
    fillVertical(p, QRectF(-4, -70, 8, 80), hex("#e8d0f0"), hex("#a080c0"));
    p.setPen(line(1, hex("#4a3a5a")));
    p.setBrush(hex("#d0b040"));
    p.drawPolygon(QPolygonF({QPointF(-4, 10), QPointF(4, 10), QPointF(0, 22)}));
    p.restore();
    // The sparkle charm on its ribbon.
    p.setPen(line(2, hex("#e04070")));
    p.drawLine(QPointF(110, 330), QPointF(130, 290));
    starShape(p, QPointF(132, 284), 16, 7, hex("#ffd860"));
    magicSwirl(p, QPointF(132, 284), 40, QColor(255, 250, 210, 220), 34, 8);
    vignette(p, 110);
}

void komachi3(QPainter& p)
{
    // Closer, on her face as she listens; the mirror's bulbs soft behind her, a cooler light, and
    // ルネッタ's braid and wing at the near edge of the picture, where she stands talking.
    throughCamera(p, komachiRoom, QPointF(300, 120), 1.7, 3);
    p.fillRect(QRectF(0, 0, kWidth, kHeight), QColor(50, 60, 120, 60));
    Figure k = komachi();
    k.eyes = Eyes::Teary;
    k.mouth = Mouth::Worried;
    k.pose = Pose::Clasped;
    k.turn = -0.35;
    drawFigure(p, k, QPointF(290, 128), 2.0);
    Figure r = renetta();
    r.back = true;
    drawFigure(p, r, QPointF(-10, 230), 2.1);
    glow(p, QPointF(30, 200), 150, QColor(200, 190, 255, 70));
    vignette(p, 90);
}

void komachi4(QPainter& p)
{
    // Close on her face in tears, the room gone blue and out of focus behind her.
    throughCamera(p, komachiRoom, QPointF(330, 110), 2.2, 4);
    p.fillRect(QRectF(0, 0, kWidth, kHeight), QColor(50, 70, 150, 110));
    glow(p, QPointF(330, 60), 180, QColor(190, 215, 255, 90));
    Figure k = komachi();
    k.eyes = Eyes::Closed;
    k.tears = true;
    k.mouth = Mouth::Worried;
    k.pose = Pose::HandsToFace;
    k.blush = true;
    k.turn = 0.15;
    drawFigure(p, k, QPointF(236, 150), 2.5);
    // The same cool light over her as well, softer.
    p.fillRect(QRectF(0, 0, kWidth, kHeight), QColor(80, 110, 200, 36));
    Rng rng(36);
    for (int i = 0; i < 10; ++i) // falling droplets of light
        sparkle(p, QPointF(rng.uniform(40, 440), rng.uniform(20, 330)), rng.uniform(2, 5), QColor(200, 225, 255));
    vignette(p, 120);
}

void asamaPhoto(QPainter& p)
{
    komachiRoom(p);
    p.fillRect(QRectF(0, 0, kWidth, kHeight), QColor(255, 220, 200, 40));
    // Close on the dressing table: a big standing frame with 浅間望's photo.
    woodDesk(p, QRectF(0, 270, kWidth, 30), 60);
    const QRectF frame(150, 40, 180, 236);
    QLinearGradient gold(frame.topLeft(), frame.bottomRight());
    gold.setColorAt(0, hex("#f8e0a0"));
    gold.setColorAt(0.5, hex("#b89048"));
    gold.setColorAt(1, hex("#e8c878"));
    p.setPen(line(2, hex("#6a4a18")));
    p.setBrush(gold);
    p.drawRoundedRect(frame, 8, 8);
    const QRectF photo = frame.adjusted(16, 16, -16, -16);
    fillVertical(p, photo, hex("#b8d8f0"), hex("#f0e8d8"));
    p.save();
    p.setClipRect(photo);
    Rng t(37);
    cherryTree(p, QPointF(photo.right() - 10, photo.bottom() + 40), 200, t);
    Figure a = asama();
    a.mouth = Mouth::Smile;
    drawFigure(p, a, QPointF(photo.center().x(), photo.top() + 80), 0.85);
    p.restore();
    p.setPen(line(1, QColor(255, 255, 255, 120)));
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawPolygon(QPolygonF({photo.topLeft(), photo.topLeft() + QPointF(60, 0), photo.bottomLeft() + QPointF(10, -120),
                             photo.bottomLeft() + QPointF(0, -130)}));
    flowerVase(p, QPointF(410, 286), 80);
    Rng pet(38);
    scatterPetals(p, pet, QRectF(0, 270, 140, 60), 8, 4);
}

void primu3(QPainter& p)
{
    komachiRoom(p);
    p.fillRect(QRectF(0, 0, kWidth, kHeight), QColor(60, 20, 80, 60));
    Figure f = primu(Outfit::RedDress);
    f.pose = Pose::Cast;
    f.wand = true;
    f.eyes = Eyes::Closed;
    f.mouth = Mouth::Open;
    f.turn = 0.2;
    magicSwirl(p, QPointF(240, 170), 200, QColor(255, 230, 120, 220), 39, 10);
    drawFigure(p, f, QPointF(220, 120), 1.0);
    magicSwirl(p, QPointF(300, 60), 120, QColor(255, 250, 200, 230), 40, 26);
}

// The room with its door standing open on a bright corridor; the door leaf swung in, to the right.
void roomWithOpenDoor(QPainter& p)
{
    komachiRoom(p);
    const QRectF door(16, 40, 200, 209);
    fillVertical(p, door, hex("#f8f0e0"), hex("#d8c8b0"));
    glow(p, door.center(), 120, QColor(255, 245, 220, 140));
    p.setPen(line(5, hex("#5a3a22")));
    p.setBrush(Qt::NoBrush);
    p.drawRect(door);
    QPolygonF leaf({QPointF(216, 40), QPointF(250, 30), QPointF(250, 260), QPointF(216, 249)});
    p.setPen(line(1.5, hex("#3a2414")));
    p.setBrush(hex("#8a5a38"));
    p.drawPolygon(leaf);
}

void asamaDoor(QPainter& p)
{
    roomWithOpenDoor(p);
    // 浅間 in the doorway, a bright corridor behind him.
    Figure a = asama();
    a.mouth = Mouth::Smile;
    a.turn = 0.25;
    a.pose = Pose::HoldFront;
    drawFigure(p, a, QPointF(118, 100), 0.88);
    // A small bouquet in his hands.
    const QPointF h = handPosition(a, QPointF(118, 100), 0.88, -1);
    Rng rng(40);
    for (int i = 0; i < 7; ++i)
        petal(p, h + QPointF(8 + rng.uniform(-10, 10), -4 + rng.uniform(-10, 6)), 5, rng.uniform(0, 360),
              hex("#ffd0e0"));
}

void komachi5(QPainter& p)
{
    // Turned toward the door he came in by: the open door bright behind, こまち blushing as she
    // starts to speak, 浅間's shoulder at the near edge.
    throughCamera(p, roomWithOpenDoor, QPointF(150, 150), 1.5, 2);
    glow(p, QPointF(120, 120), 200, QColor(255, 240, 215, 80));
    Figure k = komachi();
    k.blush = true;
    k.mouth = Mouth::Open;
    k.eyes = Eyes::Open;
    k.pose = Pose::Clasped;
    k.turn = -0.5;
    drawFigure(p, k, QPointF(300, 118), 1.45);
    Figure a = asama();
    a.turn = 0.6;
    a.back = true;
    drawFigure(p, a, QPointF(22, 150), 1.7);
    // A heartbeat mark beside her.
    p.setPen(line(2.4, hex("#e05070")));
    p.setBrush(Qt::NoBrush);
    QPainterPath h;
    h.moveTo(410, 70);
    h.cubicTo(394, 56, 400, 40, 410, 49);
    h.cubicTo(420, 40, 426, 56, 410, 70);
    p.drawPath(h);
    p.drawLine(QPointF(396, 34), QPointF(390, 26));
    p.drawLine(QPointF(424, 34), QPointF(430, 26));
}

void komachi6(QPainter& p)
{
    // Her declaration, close and bright: light pouring down, blossoms drifting, the room a warm blur.
    throughCamera(p, komachiRoom, QPointF(340, 90), 2.0, 4);
    QRadialGradient g(QPointF(240, 120), 320);
    g.setColorAt(0, QColor(255, 250, 245, 220));
    g.setColorAt(0.5, QColor(255, 215, 232, 160));
    g.setColorAt(1, QColor(255, 150, 190, 120));
    p.fillRect(QRectF(0, 0, kWidth, kHeight), g);
    // Rays from above.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 7; ++i) {
        const double x = 60 + i * 62;
        p.setBrush(QColor(255, 255, 240, 34 + (i % 3) * 12));
        p.drawPolygon(QPolygonF({QPointF(x - 10, 0), QPointF(x + 14, 0), QPointF(x + 60 - i * 12, kHeight),
                                 QPointF(x + 10 - i * 12, kHeight)}));
    }
    Rng back(42);
    scatterPetals(p, back, QRectF(0, 0, kWidth, kHeight), 26, 5);
    Figure k = komachi();
    k.eyes = Eyes::Closed;
    k.blush = true;
    k.mouth = Mouth::Open;
    k.pose = Pose::Clasped;
    drawFigure(p, k, QPointF(240, 132), 2.1);
    glow(p, QPointF(240, 60), 140, QColor(255, 255, 255, 70));
    Rng front(142);
    for (int i = 0; i < 12; ++i)
        sparkle(p, QPointF(front.uniform(20, 460), front.uniform(10, 330)), front.uniform(3, 8), QColor(255, 250, 230));
    scatterPetals(p, front, QRectF(0, 0, kWidth, kHeight), 18, 9);
}

void komachi7(QPainter& p)
{
    komachiRoom(p);
    p.fillRect(QRectF(0, 0, kWidth, kHeight), QColor(255, 200, 160, 50));
    // Smiling at each other, her hand in his.
    Figure k = komachi();
    k.turn = 0.6;
    k.blush = true;
    k.eyes = Eyes::Gentle;
    k.mouth = Mouth::Smile;
    k.pose = Pose::HoldHand;
    const QPointF kHead(158, 130);
    drawFigure(p, k, kHead, 0.95);
    Figure a = asama();
    a.turn = -0.6;
    a.blush = true;
    a.mouth = Mouth::Smile;
    a.pose = Pose::HoldHand;
    // Place him so that his reaching hand closes over hers, a few pixels further in.
    const QPointF meet = handPosition(k, kHead, 0.95, 1) + QPointF(4, -2);
    drawFigure(p, a, meet - handPosition(a, QPointF(0, 0), 0.95, -1), 0.95);
    Rng rng(43);
    for (int i = 0; i < 10; ++i)
        sparkle(p, QPointF(rng.uniform(200, 290), rng.uniform(20, 200)), rng.uniform(3, 6), QColor(255, 240, 220));
}

void renetta1(QPainter& p)
{
    komachiRoom(p);
    p.fillRect(QRectF(0, 0, kWidth, kHeight), QColor(30, 20, 60, 70));
    // Close to the table top: the vase is huge, ルネッタ tiny beside it.
    woodDesk(p, QRectF(0, 250, kWidth, 40), 60);
    flowerVase(p, QPointF(372, 276), 170);
    glow(p, QPointF(170, 120), 170, QColor(255, 250, 210, 150));
    Figure r = renetta(true);
    r.pose = Pose::Cast;
    r.wand = true;
    r.eyes = Eyes::Closed;
    r.mouth = Mouth::Smile;
    drawFigure(p, r, QPointF(160, 196), 0.26);
    // Light falling like snow toward the unseen couple, left.
    Rng rng(44);
    for (int i = 0; i < 30; ++i)
        sparkle(p, QPointF(rng.uniform(10, 260), rng.uniform(10, 240)), rng.uniform(2, 7), QColor(255, 250, 220));
    p.setPen(line(2, QColor(255, 250, 220, 120)));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(60, 40, 220, 200), 60 * 16, 100 * 16);
}

// ---- The report and the epilogue ----

void primu4(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    fillVertical(p, QRectF(0, 0, kWidth, kHeight), hex("#14082a"), hex("#4a1a5a"));
    // Spotlight beams.
    for (int i = 0; i < 5; ++i) {
        const double x = 40 + i * 100;
        QLinearGradient g(x, 0, 240, 300);
        g.setColorAt(0, QColor(255, 255, 240, 110));
        g.setColorAt(1, QColor(255, 200, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPolygon(QPolygonF({QPointF(x - 8, 0), QPointF(x + 8, 0), QPointF(240 + (x - 240) * 0.2 + 60, 330),
                                 QPointF(240 + (x - 240) * 0.2 - 60, 330)}));
    }
    // Show sign in lights.
    const QRectF sign(60, 22, 360, 50);
    p.setPen(line(3, hex("#f0c040")));
    p.setBrush(hex("#2a0a3a"));
    p.drawRoundedRect(sign, 10, 10);
    for (double x = sign.left() + 8; x < sign.right(); x += 14) {
        glow(p, QPointF(x, sign.top() + 4), 5, QColor(255, 240, 160, 220));
        glow(p, QPointF(x, sign.bottom() - 4), 5, QColor(255, 240, 160, 220));
    }
    glow(p, sign.center(), 190, QColor(255, 80, 160, 60));
    outlinedText(p, QStringLiteral("ＨＯＹ・ＨＯＹ・ＨＯＹ"), gothic(26, true), sign.center(), hex("#ffe860"),
                 hex("#e0206a"), 4);
    // Stage floor with lights along the edge.
    fillVertical(p, QRectF(0, 290, kWidth, 59), hex("#3a2a5a"), hex("#1a0a2a"));
    for (int x = 10; x < kWidth; x += 24)
        glow(p, QPointF(x, 292), 8, QColor(120, 220, 255, 220));
    Figure f = primu(Outfit::Idol);
    f.pose = Pose::Mic;
    f.mouth = Mouth::Sing;
    f.eyes = Eyes::Closed;
    f.turn = -0.15;
    f.blush = true;
    drawFigure(p, f, QPointF(240, 130), 0.95);
    Rng rng(55);
    for (int i = 0; i < 24; ++i)
        sparkle(p, QPointF(rng.uniform(0, 480), rng.uniform(80, 300)), rng.uniform(2, 6),
                QColor(255, 200 + rng.below(55), 200 + rng.below(55)));
    // Music notes.
    for (int i = 0; i < 4; ++i) {
        const QPointF c(330 + i * 30, 120 - (i % 2) * 20);
        p.setPen(line(2, hex("#ffe0f0")));
        p.drawLine(c, c + QPointF(0, -20));
        p.drawLine(c + QPointF(0, -20), c + QPointF(8, -16));
        p.setPen(Qt::NoPen);
        p.setBrush(hex("#ffe0f0"));
        p.drawEllipse(c + QPointF(-4, 0), 5, 4);
    }
    // Audience silhouettes with light sticks.
    for (int i = 0; i < 16; ++i) {
        const double x = 10 + i * 30;
        p.setBrush(hex("#0a0412"));
        p.drawEllipse(QPointF(x, 340), 13, 16);
        p.setPen(line(3, i % 2 ? hex("#ff70b0") : hex("#70e0ff")));
        p.drawLine(QPointF(x + 8, 330), QPointF(x + 14, 310 - (i % 3) * 4));
        p.setPen(Qt::NoPen);
    }
}

void renetta2(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    // The vice principal's office: dark panelling, tall window, portrait, a big desk piled with paper.
    fillVertical(p, QRectF(0, 0, kWidth, 250), hex("#5a3a2a"), hex("#3a2418"));
    p.setPen(line(1.5, hex("#2a160c")));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 6; ++i)
        p.drawRect(QRectF(10 + i * 80, 140, 60, 90));
    const QRectF win(310, 20, 130, 110);
    fillVertical(p, win, hex("#2a3a7a"), hex("#6a6aa8"));
    Rng stars(56);
    scatterStars(p, stars, win, 24);
    p.setPen(Qt::NoPen);
    p.setBrush(hex("#fff8d8"));
    p.drawEllipse(QPointF(400, 50), 12, 12);
    p.setPen(line(5, hex("#2a160c")));
    p.setBrush(Qt::NoBrush);
    p.drawRect(win);
    p.drawLine(QPointF(win.center().x(), win.top()), QPointF(win.center().x(), win.bottom()));
    // Stern portrait.
    fillVertical(p, QRectF(40, 20, 70, 90), hex("#c8a860"), hex("#8a6a30"));
    fillVertical(p, QRectF(48, 28, 54, 74), hex("#3a4a3a"), hex("#2a3a2a"));
    p.setPen(Qt::NoPen);
    p.setBrush(hex("#e8d0b8"));
    p.drawEllipse(QPointF(75, 56), 12, 14);
    p.setBrush(hex("#a0a0a8"));
    p.drawChord(QRectF(61, 40, 28, 24), 0, 180 * 16);
    woodFloor(p, 250, hex("#7a5034"), hex("#4a2e1e"));
    Figure r = renetta();
    r.pose = Pose::Write;
    r.eyes = Eyes::Closed;
    r.mouth = Mouth::Smile;
    r.turn = 0.1;
    drawFigure(p, r, QPointF(220, 130), 0.9);
    woodDesk(p, QRectF(60, 240, 360, 40), 80);
    // Stacks of paper on both sides.
    for (int s = 0; s < 2; ++s) {
        const double x = s ? 330 : 90;
        const int sheets = s ? 18 : 26;
        for (int i = 0; i < sheets; ++i) {
            const double off = std::sin(i * 1.7 + s) * 3;
            p.setPen(line(0.8, hex("#a09a8a")));
            p.setBrush(i % 5 ? hex("#fbf8f0") : hex("#f0ead8"));
            p.drawRect(QRectF(x + off, 246 - i * 4.2, 70, 5));
        }
    }
    // The essay sheet she is writing on.
    p.setPen(line(1, hex("#a09a8a")));
    p.setBrush(hex("#fffdf6"));
    p.drawPolygon(QPolygonF({QPointF(200, 250), QPointF(270, 250), QPointF(276, 272), QPointF(194, 272)}));
    outlinedText(p, QStringLiteral("反省文"), mincho(11), QPointF(235, 258), hex("#2a2a3a"), QColor(0, 0, 0), 0);
    glow(p, QPointF(420, 230), 50, QColor(255, 220, 150, 120));
    fillVertical(p, QRectF(410, 222, 20, 22), hex("#f8e8c8"), hex("#d8c098"));
}

using Painter = void (*)(QPainter&);
struct Entry {
    std::u16string_view key;
    Painter paint;
};

constexpr std::array<Entry, 37> kPainters{{
    {u"映画題1", titleCard},  {u"ﾅﾗﾔﾏ1", naraStill1},  {u"研究室1", research1},   {u"ﾌﾟﾘﾑ1", primu1},
    {u"研究室2", research2},  {u"ｼﾞｭﾋﾟ研1", lab1},     {u"ｼﾞｭﾋﾟ研2", lab2},       {u"ﾓﾓﾋﾟｰ1", momopi1},
    {u"ﾓﾓﾋﾟｰ2", momopi2},     {u"渋谷1", shibuya1},    {u"看板1", billboard},     {u"ﾅﾗﾔﾏ2", naraStill2},
    {u"ﾅﾗﾔﾏ3", naraStill3},   {u"ﾃﾛｯﾌﾟ1", endCaption}, {u"ﾌﾟﾘﾑ2", primu2},        {u"渋谷2", building109},
    {u"渋谷3", centerStreet}, {u"谷川1", tanigawa1},   {u"谷川2", agencyOutside}, {u"谷川3", tanigawa3},
    {u"なすの1", nasuno1},    {u"雛鳥1", yukari1},     {u"こまち1", komachi1},    {u"谷川4", tanigawa4},
    {u"こまち2", komachi2},   {u"机上1", diaryDesk},   {u"こまち3", komachi3},    {u"こまち4", komachi4},
    {u"望2", asamaPhoto},     {u"ﾌﾟﾘﾑ3", primu3},      {u"望1", asamaDoor},       {u"こまち5", komachi5},
    {u"こまち6", komachi6},   {u"こまち7", komachi7},  {u"ﾙﾈｯﾀ1", renetta1},      {u"ﾌﾟﾘﾑ4", primu4},
    {u"ﾙﾈｯﾀ2", renetta2},
}};

} // namespace

QImage drawScene(std::u16string_view key, int density)
{
    for (const Entry& e : kPainters) {
        if (e.key != key)
            continue;
        // The painters draw in the 480 x 349 frame; the image's pixel ratio scales every shape,
        // stroke and glyph to its density.
        QImage image(kWidth * density, kHeight * density, QImage::Format_RGB32);
        image.setDevicePixelRatio(density);
        image.fill(Qt::black);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        e.paint(p);
        p.end();
        return image;
    }
    return {};
}

} // namespace art

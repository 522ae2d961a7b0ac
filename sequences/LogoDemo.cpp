// The opening logo demo: one timer counts ticks, and each tick moves the mascot or shows part of the logo.
#include "LogoDemo.h"

#include "DataFiles.h"
#include "Fonts.h"
#include "PictureLoader.h"
#include "Twips.h"

#include <QEvent>
#include <QFontMetrics>

namespace lw {
namespace {

constexpr double kClientWidth = 4890;  // twips
constexpr double kClientHeight = 2355; // twips
constexpr int kFirstInterval = 2000;   // ms before the first tick
constexpr int kStepInterval = 120;     // ms between the ticks that move the figures
constexpr int kClosingInterval = 3000; // ms the closing wave sounds before the window goes
constexpr int kOutOfSight = 5000;      // twips: a left edge past the client width
constexpr int kStartX = 5000;          // twips
constexpr int kStepX = 150;            // twips the walking figure moves per tick
constexpr int kBob = 50;               // twips the walking figure bobs, and the sinking step
constexpr int kStrokePixels = 4;

const QColor kRed(255, 0, 0);
const QColor kMagenta(255, 0, 255);
const QColor kBlue(0, 0, 255);

struct Mascot {
    const char* file;
    double left, top, width, height; // twips, before the picture gives the size
};
constexpr Mascot kMascots[3] = {
    {"mascot0.png", 6240, 120, 1470, 1350},  // walking, 98 x 90
    {"mascot1.png", 5280, 240, 1170, 1410},  // standing, 78 x 94
    {"mascot2.png", 6480, 1680, 1320, 1485}, // flying, 88 x 99
};

// Strokes in twips. The letters' cap height at 24 pt runs from about 1905 to 2250 below the
// labels' top of 1800, so the strokes sit on the same lines, just left of each label.
struct Stroke {
    double x1, y1, x2, y2;
};
constexpr Stroke kF[3] = {
    {600, 1905, 600, 2250},  // stem
    {600, 1905, 825, 1905},  // top bar
    {600, 2070, 2280, 2070}, // middle bar, on through "airy"
};
constexpr Stroke kN[3] = {
    {2640, 1905, 2640, 2250}, // left stem
    {2640, 1905, 2925, 2250}, // diagonal
    {2925, 1905, 2925, 2250}, // right stem
};

// "Kestrune" in the bold face must fit its 1215 twips: the installed sans face is wider than the
// one the logo was drawn with, so it is condensed and, if still too wide, made smaller.
QFont fittedFont(QFont font, const QString& text, int widthPixels)
{
    font.setStretch(QFont::Condensed);
    while (font.pixelSize() > 8 && QFontMetrics(font).horizontalAdvance(text) > widthPixels)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QColor& colour, const QFont& font,
                  double left, double top, double width, double height)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
    label->hide();
    return label;
}

} // namespace

LogoDemo::LogoDemo(const Services& services) : GameWindow(FrameStyle::None), services_(services)
{
    setObjectName(QStringLiteral("LogoDemo"));
    setWindowTitle(QStringLiteral("Kestrune"));
    // The caption is the maker's; a screen reader names the window after the game.
    setAccessibleName(QStringLiteral("Lunaweave"));
    setClientSizeTwips(kClientWidth, kClientHeight);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);

    stepTimer.setObjectName(QStringLiteral("stepTimer"));
    stepTimer.setParent(this);
    connect(&stepTimer, &QTimer::timeout, this, &LogoDemo::step);

    for (int i = 0; i < 3; ++i) {
        mascots[i] = new ImageBox(this, false);
        mascots[i]->setObjectName(QStringLiteral("mascots"));
        mascots[i]->setProperty("Index", i);
        mascots[i]->setTwipsGeometry(kMascots[i].left, kMascots[i].top, kMascots[i].width, kMascots[i].height);
    }
    for (int i = 0; i < 3; ++i) {
        firstLetter[i] = new LineStroke(this, kRed, kF[i].x1, kF[i].y1, kF[i].x2, kF[i].y2, kStrokePixels);
        firstLetter[i]->setObjectName(QStringLiteral("firstLetter"));
        firstLetter[i]->setProperty("Index", i);
        firstLetter[i]->hide();
        secondLetter[i] = new LineStroke(this, kMagenta, kN[i].x1, kN[i].y1, kN[i].x2, kN[i].y2, kStrokePixels);
        secondLetter[i]->setObjectName(QStringLiteral("secondLetter"));
        secondLetter[i]->setProperty("Index", i);
        secondLetter[i]->hide();
    }
    const QFont wordFont = gameFont(QStringLiteral("MS Sans Serif"), 24);
    firstWordRest = makeLabel(this, "firstWordRest", QStringLiteral("airy"), kRed, wordFont, 840, 1800, 1335, 615);
    secondWordRest = makeLabel(this, "secondWordRest", QStringLiteral("et"), kMagenta, wordFont, 3000, 1800, 495, 615);
    // Fitted when it is first shown: measuring text loads the font database, which the first
    // window of the game must not wait for.
    makerWord = makeLabel(this, "makerWord", QStringLiteral("Kestrune"), kBlue,
                          gameFont(QStringLiteral("MS Sans Serif"), 13.5, true), 3600, 1920, 1215, 375);
    // The pictures pass over the words' area while they walk and sink: keep them on top.
    for (ImageBox* image : mascots)
        image->raise();
}

void LogoDemo::loadMascots()
{
    // The mascots are built into the program: the image takes each picture's size.
    for (int i = 0; i < 3; ++i)
        mascots[i]->setPicture(builtInPicture(QLatin1String(kMascots[i].file), mascots[i]->density()));
}

void LogoDemo::onLoad()
{
    loadMascots();
    stepTimer.setInterval(kFirstInterval);
    stepTimer.start();
}

void LogoDemo::onActivate()
{
    centreOnScreen();
    services_.music.play("Ksnet.mid");
    ticks = 0;
    figureX = kStartX;
    figureY = 0;
}

void LogoDemo::step()
{
    ++ticks;
    const int tick = ticks;
    if (tick == 1) {
        stepTimer.setInterval(kStepInterval);
    } else if (tick == 2) {
        for (LineStroke* line : firstLetter)
            line->show();
        firstWordRest->show();
    } else if (tick >= 3 && tick <= 28) {
        figureX -= kStepX;
        mascots[0]->setTwipsPosition(figureX, mascots[0]->twipsTop());
        mascots[0]->setTwipsPosition(mascots[0]->twipsLeft(), figureY);
        figureY = figureY == 0 ? kBob : 0;
    } else if (tick == 30) {
        mascots[0]->setTwipsPosition(kOutOfSight, mascots[0]->twipsTop());
        for (LineStroke* line : secondLetter)
            line->show();
        secondWordRest->show();
    } else if (tick >= 31 && tick <= 35) {
        figureY = static_cast<std::int16_t>(figureY + kBob);
        mascots[2]->setTwipsPosition(mascots[2]->twipsLeft(), figureY);
        mascots[2]->setTwipsPosition(figureX, mascots[2]->twipsTop());
    } else if (tick == 36) {
        mascots[2]->setTwipsPosition(kOutOfSight, mascots[2]->twipsTop());
        makerWord->setFont(fittedFont(makerWord->font(), makerWord->text(), makerWord->width()));
        makerWord->show();
    } else if (tick >= 37 && tick <= 42) {
        figureY = static_cast<std::int16_t>(figureY + kBob);
        mascots[1]->setTwipsPosition(mascots[1]->twipsLeft(), figureY);
        mascots[1]->setTwipsPosition(figureX, mascots[1]->twipsTop());
    } else if (tick == 45) {
        stepTimer.setInterval(kClosingInterval);
        // Played from the working directory whatever the letter case of its name; no file, no sound.
        const QString wave = findDataFile(QStringLiteral("lwdemo2.WAV"));
        if (!wave.isEmpty())
            (void)services_.wavePlayer.playAsync(wave.toStdString());
    } else if (tick == 46) {
        stepTimer.stop();
        services_.music.close();
        // The window closes itself; the start-up sequence waits until it is gone.
        unload();
    }
}

void LogoDemo::showEvent(QShowEvent* event)
{
    GameWindow::showEvent(event);
    activatedSinceShow_ = false;
    swallowNextActivation_ = false;
    // Queued, so an activation the platform delivers along with the show comes first if it can.
    QTimer::singleShot(0, this, &LogoDemo::activateAfterShow);
}

void LogoDemo::activateAfterShow()
{
    if (activatedSinceShow_ || !isVisible())
        return;
    activatedSinceShow_ = true;
    swallowNextActivation_ = true;
    onActivate();
}

bool LogoDemo::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        if (swallowNextActivation_) {
            // The late activation of a show that has already been handled: skip onActivate.
            swallowNextActivation_ = false;
            return QWidget::event(event);
        }
        activatedSinceShow_ = true;
        break;
    case QEvent::WindowDeactivate:
    case QEvent::Hide:
        // From here on an activation is a real return to the window.
        swallowNextActivation_ = false;
        break;
    default:
        break;
    }
    return GameWindow::event(event);
}

} // namespace lw

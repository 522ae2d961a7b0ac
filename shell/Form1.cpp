// The main game window.
#include "Form1.h"

#include "Fonts.h"
#include "Form2.h"
#include "GameState.h"
#include "KS_Midi.h"
#include "Lunaweave.h"
#include "PictureLoader.h"
#include "PlayerAdditions.h"
#include "Runtime.h"
#include "Scenario.h"

#include <QEvent>

#include <cmath>

namespace lw {
namespace {

constexpr std::array<const char16_t*, 5> kCommandNames{u"見る", u"話をする", u"考えてみる", u"魔法を使う",
                                                      u"次へ"};
constexpr int kSlots = 5;
constexpr int kNextNotSelected = 9;

} // namespace

QString commandName(int slot) { return QString::fromUtf16(kCommandNames.at(static_cast<std::size_t>(slot))); }

int clickColumnFor(double x, double widthTwips)
{
    // The width is taken to whole twips (halves to even); the thresholds are single precision.
    // Wider than 16 bits is fine here: a picture wider than 16383 twips must not overflow 2w.
    const long long w = std::llrint(widthTwips);
    const float third = static_cast<float>(static_cast<double>(w) / 3);
    const float twoThirds = static_cast<float>(static_cast<double>(2 * w) / 3);
    const float fx = static_cast<float>(x);
    if (fx < third)
        return 1;
    if (fx < twoThirds)
        return 2;
    return 3;
}

Form1::Form1() : GameWindow(FrameStyle::FixedDialog)
{
    setObjectName(QStringLiteral("Form1"));
    setClientSize(7170, 5835);

    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(0, 0, 481, 41); // 7215 × 615 twips
    Picture1->setAutoFillBackground(true);

    for (int i = 0; i < 10; ++i) {
        auto* icon = new ImageBox(Picture1);
        icon->setObjectName(QStringLiteral("Image2_%1").arg(i));
        const int k = i % kSlots;
        if (i < kSlots)
            icon->setTwipsGeometry(120 + 600 * k, 15, 540, 540);
        else
            icon->setTwipsGeometry(120 + 600 * k, 30, 510, 510);
        icon->setMouseTracking(true);
        icon->setVisible(i < kSlots);
        connect(icon, &ImageBox::clicked, this, [this, i] { Image2_Click(i); });
        connect(icon, &ImageBox::mouseMove, this,
                [this, i](int button, int shift, double x, double y) { Image2_MouseMove(i, button, shift, x, y); });
        Image2[static_cast<std::size_t>(i)] = icon;
    }

    Label1 = new QLabel(Picture1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(208, 8, 265, 25); // (3120, 120), 3975 × 375 twips
    Label1->setFont(gameFont(QStringLiteral("MS PGothic"), 12));

    Image1 = new ImageBox(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setTwipsGeometry(0, 600, 7200, 5235);
    connect(Image1, &ImageBox::mouseDown, this,
            [this](int button, int shift, double x, double y) { Image1_MouseDown(button, shift, x, y); });

    Timer1.setObjectName(QStringLiteral("Timer1"));
    connect(&Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
}

void Form1::Form_Load()
{
    // The icons are part of the window, built into the program.
    for (int i = 0; i < 10; ++i)
        Image2[static_cast<std::size_t>(i)]->setPicture(builtInPicture(QStringLiteral("lwicon%1.png").arg(i)));
    music().CloseMidi();
}

void Form1::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    (void)Cancel;
    music().CloseMidi();
    if (UnloadMode != kUnloadByProgram)
        runtime::endProgram(0);
}

void Form1::changeEvent(QEvent* event)
{
    GameWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void Form1::Form_Resize()
{
    // The message window follows the main window into and out of the task bar.
    if (windowState() & Qt::WindowMinimized)
        Window<Form2>::get().Hide();
    else if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        Window<Form2>::get().Show();
}

void Form1::resetIconBar()
{
    for (int k = 0; k < kSlots; ++k) {
        Image2[static_cast<std::size_t>(k)]->setVisible(false);
        Image2[static_cast<std::size_t>(k + kSlots)]->setVisible(true);
    }
}

void Form1::hideNonNextIcons()
{
    for (int i : {0, 1, 2, 3, 5, 6, 7, 8}) {
        Image2[static_cast<std::size_t>(i)]->setVisible(false);
        Image2[static_cast<std::size_t>(i)]->setEnabled(false);
    }
}

void Form1::Image2_Click(int Index)
{
    GameState& game = gameState();
    if (game.ScreenId > kLastScreenWithAllIcons && Index != kNextNotSelected)
        return;
    noteCommandPicked(Index % kSlots);
    if (Index < kSlots) // the slot is already selected
        return;
    game.SelectedCommand = static_cast<std::int16_t>(Index - 4);
    if (game.ScreenId <= kLastScreenWithAllIcons)
        resetIconBar();
    Image2[static_cast<std::size_t>(Index)]->setVisible(false);
    Image2[static_cast<std::size_t>(Index - kSlots)]->setVisible(true);
}

void Form1::Image2_MouseMove(int Index, int, int, double, double)
{
    // The name stays when the pointer leaves the bar.
    Label1->setText(commandName(Index % kSlots));
}

void Form1::Image1_MouseDown(int, int, double X, double)
{
    GameState& game = gameState();
    game.ClickColumn = static_cast<std::int16_t>(clickColumnFor(X, Image1->twipsWidth()));
    if (game.ScreenId >= kEndingScreen)
        return;
    if (!scenario().RunCommand(game.SelectedCommand))
        ShowCommandHint();
}

void Form1::Timer1_Timer() { music().LoopMidi(); }

} // namespace lw

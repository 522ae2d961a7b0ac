// The main game window.
#include "MainWindow.h"

#include "Fonts.h"
#include "MarkedText.h"
#include "PictureLoader.h"

#include <QEvent>

#include <cmath>

namespace lw {
namespace {

// With their readings; the particle へ of 次へ is read え.
constexpr std::array<const char16_t*, 5> kCommandNames{u"見《み》る", u"話《はなし》をする", u"考《かんが》えてみる",
                                                       u"魔法《まほう》を使《つか》う", u"次《つぎ》｜へ《え》"};

} // namespace

QString markedCommandName(int slot) { return QString::fromUtf16(kCommandNames.at(static_cast<std::size_t>(slot))); }

QString commandName(int slot) { return shownText(markedCommandName(slot)); }

ClickColumn clickColumnFor(double x, double widthTwips)
{
    // The width is taken to whole twips (halves to even); the thresholds are single precision.
    // Wider than 16 bits is fine here: a picture wider than 16383 twips must not overflow 2w.
    const long long w = std::llrint(widthTwips);
    const float third = static_cast<float>(static_cast<double>(w) / 3);
    const float twoThirds = static_cast<float>(static_cast<double>(2 * w) / 3);
    const float fx = static_cast<float>(x);
    if (fx < third)
        return ClickColumn::Left;
    if (fx < twoThirds)
        return ClickColumn::Middle;
    return ClickColumn::Right;
}

MainWindow::MainWindow(const Services& services) : GameWindow(FrameStyle::FixedDialog), services_(services)
{
    setObjectName(QStringLiteral("MainWindow"));
    setClientSizeTwips(7170, 5835);

    iconStrip = new QWidget(this);
    iconStrip->setObjectName(QStringLiteral("iconStrip"));
    iconStrip->setGeometry(0, 0, 481, 41); // 7215 × 615 twips
    iconStrip->setAutoFillBackground(true);

    for (int i = 0; i < 10; ++i) {
        auto* icon = new ImageBox(iconStrip);
        icon->setObjectName(QStringLiteral("commandIcon%1").arg(i));
        const int k = i % kCommandSlots;
        if (i < kCommandSlots)
            icon->setTwipsGeometry(120 + 600 * k, 15, 540, 540);
        else
            icon->setTwipsGeometry(120 + 600 * k, 30, 510, 510);
        icon->setMouseTracking(true);
        icon->setVisible(i < kCommandSlots);
        connect(icon, &ImageBox::clicked, this, [this, i] { iconClicked(i); });
        connect(icon, &ImageBox::mouseMove, this,
                [this, i](int button, int shift, double x, double y) { iconHovered(i, button, shift, x, y); });
        commandIcons[static_cast<std::size_t>(i)] = icon;
    }

    hoverLabel = new QLabel(iconStrip);
    hoverLabel->setObjectName(QStringLiteral("hoverLabel"));
    hoverLabel->setGeometry(208, 8, 265, 25); // (3120, 120), 3975 × 375 twips
    hoverLabel->setFont(gameFont(QStringLiteral("MS PGothic"), 12));

    scenePicture = new ImageBox(this);
    scenePicture->setObjectName(QStringLiteral("scenePicture"));
    scenePicture->setTwipsGeometry(0, 600, 7200, 5235);
    connect(scenePicture, &ImageBox::mouseDown, this,
            [this](int button, int shift, double x, double y) { scenePictureMouseDown(button, shift, x, y); });

    musicRepeatTimer.setObjectName(QStringLiteral("musicRepeatTimer"));
    connect(&musicRepeatTimer, &QTimer::timeout, this, &MainWindow::repeatMusic);
}

void MainWindow::onLoad()
{
    loadCommandIcons();
    services_.music.close();
}

void MainWindow::loadCommandIcons()
{
    // The icons are part of the window, built into the program.
    for (int i = 0; i < 10; ++i)
        commandIcons[static_cast<std::size_t>(i)]->setPicture(builtInPicture(
            QStringLiteral("lwicon%1.png").arg(i), commandIcons[static_cast<std::size_t>(i)]->density()));
}

void MainWindow::onUnload(UnloadReason reason)
{
    services_.music.close();
    if (reason == UnloadReason::ByPlayer)
        services_.programEnd.end(0);
}

void MainWindow::changeEvent(QEvent* event)
{
    GameWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        followWindowState();
}

void MainWindow::followWindowState()
{
    // The message window follows the main window into and out of the task bar.
    if (windowState() & Qt::WindowMinimized)
        emit minimized();
    else if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        emit restored();
}

void MainWindow::resetIconBar()
{
    for (int k = 0; k < kCommandSlots; ++k) {
        commandIcons[static_cast<std::size_t>(k)]->setVisible(false);
        commandIcons[static_cast<std::size_t>(k + kCommandSlots)]->setVisible(true);
    }
}

void MainWindow::hideNonNextIcons()
{
    for (int i : {0, 1, 2, 3, 5, 6, 7, 8}) {
        commandIcons[static_cast<std::size_t>(i)]->setVisible(false);
        commandIcons[static_cast<std::size_t>(i)]->setEnabled(false);
    }
}

void MainWindow::iconClicked(int index) { emit commandPicked(index); }

void MainWindow::showSelected(int index, bool resetOthers)
{
    if (resetOthers)
        resetIconBar();
    commandIcons[static_cast<std::size_t>(index)]->setVisible(false);
    commandIcons[static_cast<std::size_t>(index - kCommandSlots)]->setVisible(true);
}

void MainWindow::iconHovered(int Index, int, int, double, double)
{
    // The name stays when the pointer leaves the bar.
    hoverLabel->setText(commandName(Index % kCommandSlots));
}

void MainWindow::scenePictureMouseDown(int, int, double X, double)
{
    emit pictureClicked(clickColumnFor(X, scenePicture->twipsWidth()));
}

void MainWindow::repeatMusic() { services_.music.loop(); }

} // namespace lw

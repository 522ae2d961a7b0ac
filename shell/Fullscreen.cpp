// Fullscreen play in the main window, and the band that carries the current line there.
#include "Fullscreen.h"

#include "GameWindows.h"
#include "MessageWindow.h"
#include "Zoom.h"

#include <QKeyEvent>
#include <QLabel>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace lw {
namespace {

// The band covers this share of the picture's height, from its bottom edge.
constexpr double kBandShare = 0.3;
// Below the picture at 100 % the message window is one and a half times its width; the band is as
// wide as the picture, so its text is set at two thirds of the picture's scale and breaks its lines
// about where the message window does.
constexpr double kBandFontShare = 2.0 / 3.0;

const char* const kBandName = "fullscreenLine";
const char* const kBackdropName = "fullscreenBackdrop";

} // namespace

bool isFullscreenKey(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers held = key.modifiers() & ~Qt::KeypadModifier;
    if (key.key() == Qt::Key_F11)
        return held == Qt::NoModifier;
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) && held == Qt::AltModifier;
}

FullscreenFit fitToScreen(QSize contents, QSize screen)
{
    if (contents.isEmpty())
        return {};
    const double scale =
        std::min(double(screen.width()) / contents.width(), double(screen.height()) / contents.height());
    const QPoint origin(static_cast<int>(std::lround((screen.width() - contents.width() * scale) / 2)),
                        static_cast<int>(std::lround((screen.height() - contents.height() * scale) / 2)));
    return {scale, origin};
}

GameFullscreen::GameFullscreen(GameWindows& windows, GameZoom& zoom) : windows_(windows), zoom_(zoom) {}

GameFullscreen::~GameFullscreen() = default;

bool GameFullscreen::handleKey(const QKeyEvent& key)
{
    if (isFullscreenKey(key)) {
        if (!key.isAutoRepeat()) {
            if (active_)
                leave();
            else
                enter();
        }
        return true;
    }
    // Zooming has nothing to do while the screen is filled.
    return active_ && zoomKeyDirection(key).has_value();
}

void GameFullscreen::enter()
{
    MainWindow* main = windows_.main.ifLoaded();
    MessageWindow* message = windows_.message.ifLoaded();
    WindowScale* scale = zoom_.mainScale();
    if (active_ || !main || !message || !scale || !main->isVisible())
        return;
    active_ = true;
    mainGeometry_ = QRect(main->pos(), main->size());
    messageGeometry_ = QRect(message->pos(), message->size());
    messageWasVisible_ = message->isVisible();

    const QRect screen = main->screen()->geometry();
    const QRect contents = scale->geometryAt100(main->iconStrip) | scale->geometryAt100(main->scenePicture);
    const FullscreenFit fit = fitToScreen(contents.size(), screen.size());
    scale->apply(fit.scale, fit.origin - QPoint(static_cast<int>(std::lround(contents.x() * fit.scale)),
                                                static_cast<int>(std::lround(contents.y() * fit.scale))));
    zoom_.reloadMainWindowPictures(*main);

    // Black bars where the screen's aspect is not the picture's.
    auto* backdrop = new QWidget(main);
    backdrop->setObjectName(QLatin1String(kBackdropName));
    QPalette black = backdrop->palette();
    black.setColor(QPalette::Window, Qt::black);
    backdrop->setPalette(black);
    backdrop->setAutoFillBackground(true);
    backdrop->setGeometry(QRect(QPoint(0, 0), screen.size()));
    backdrop->lower();
    backdrop->show();
    backdrop_ = backdrop;

    band_ = new QLabel(main);
    band_->setObjectName(QLatin1String(kBandName));
    band_->setAttribute(Qt::WA_TransparentForMouseEvents); // clicks reach the picture beneath
    band_->setWordWrap(true);
    band_->setTextFormat(Qt::PlainText);
    band_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font = message->lineLabel->font();
    const double fontScale = fit.scale * kBandFontShare / zoom_.factor(); // the label's font is zoomed already
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * fontScale))));
    else
        font.setPointSizeF(font.pointSizeF() * fontScale);
    band_->setFont(font);
    const int margin = static_cast<int>(std::lround(font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize()));
    band_->setContentsMargins(margin, margin / 2, margin, margin / 2);
    band_->setStyleSheet(QStringLiteral("QLabel { background-color: rgba(0, 0, 0, 160); color: white; }"));
    const QRect picture = main->scenePicture->geometry();
    const int bandHeight = static_cast<int>(std::lround(picture.height() * kBandShare));
    band_->setGeometry(picture.left(), picture.bottom() + 1 - bandHeight, picture.width(), bandHeight);
    lineShown();
    band_->show();

    message->hide();
    main->setMinimumSize(0, 0);
    main->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    main->showFullScreen();
    main->raise();
    main->activateWindow();
}

void GameFullscreen::leave()
{
    if (!active_)
        return;
    active_ = false;
    delete band_;
    delete backdrop_;
    MainWindow* main = windows_.main.ifLoaded();
    MessageWindow* message = windows_.message.ifLoaded();
    WindowScale* scale = zoom_.mainScale();
    if (!main || !message || !scale)
        return;
    scale->apply(zoom_.factor());
    zoom_.reloadMainWindowPictures(*main);
    // Out of fullscreen the main window brings the message window back (see MainWindow).
    main->showNormal();
    main->setFixedSize(mainGeometry_.size());
    main->move(mainGeometry_.topLeft());
    message->setFixedSize(messageGeometry_.size());
    message->move(messageGeometry_.topLeft());
    if (!messageWasVisible_)
        message->hide();
    main->raise();
    main->activateWindow();
}

void GameFullscreen::lineShown()
{
    if (!active_ || !band_)
        return;
    if (const MessageWindow* message = windows_.message.ifLoaded())
        band_->setText(message->lineLabel->text());
}

} // namespace lw

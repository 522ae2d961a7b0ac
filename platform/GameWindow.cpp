// Window geometry in twips and the load/unload life of a game window.
#include "GameWindow.h"

#include "Twips.h"
#include "WindowScale.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

namespace lw {
namespace {

QSize& lastFrameExtra()
{
    static QSize extra(0, 0);
    return extra;
}

Qt::WindowFlags flagsFor(FrameStyle style)
{
    switch (style) {
    case FrameStyle::FixedDialog:
        return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
               Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
    case FrameStyle::ToolWindow:
        return Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
               Qt::MSWindowsFixedSizeDialogHint;
    case FrameStyle::None:
        return Qt::Window | Qt::FramelessWindowHint;
    }
    return Qt::Window;
}

QRect screenRect()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

} // namespace

double screenWidthTwips() { return pixelsToTwips(screenRect().width()); }
double screenHeightTwips() { return pixelsToTwips(screenRect().height()); }

GameWindow::GameWindow(FrameStyle style, QWidget* parent) : QWidget(parent, flagsFor(style)), style_(style)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
}

GameWindow::~GameWindow() = default;

void GameWindow::setZoom(double factor)
{
    if (factor == zoom_)
        return;
    if (!scale_)
        scale_ = std::make_unique<WindowScale>(*this); // still at 100 %: nothing has zoomed it yet
    zoom_ = factor;
    scale_->apply(factor);
    setFixedSize(clientSizeAt(factor));
    if (centred_)
        centreOnScreen();
}

QSize GameWindow::clientSizeAt(double factor) const
{
    const QSize at100 = scale_ ? scale_->clientSize() : size();
    return {scaledPixels(at100.width(), factor), scaledPixels(at100.height(), factor)};
}

QSize GameWindow::frameExtra() const
{
    if (style_ == FrameStyle::None)
        return {};
    if (isVisible()) {
        const QRect outer = frameGeometry();
        const QSize extra = outer.size() - geometry().size();
        if (extra.width() > 0 || extra.height() > 0)
            return extra;
    }
    return lastFrameExtra();
}

void GameWindow::assumeFrameExtra(QSize extra) { lastFrameExtra() = extra; }

void GameWindow::rememberFrame()
{
    if (style_ == FrameStyle::None || !isVisible())
        return;
    const QSize extra = frameGeometry().size() - geometry().size();
    if (extra.width() > 0 || extra.height() > 0)
        lastFrameExtra() = extra;
}

double GameWindow::leftTwips() const { return pixelsToTwips(frameGeometry().x()); }
double GameWindow::topTwips() const { return pixelsToTwips(frameGeometry().y()); }
double GameWindow::widthTwips() const { return pixelsToTwips(width() + frameExtra().width()); }
double GameWindow::heightTwips() const { return pixelsToTwips(height() + frameExtra().height()); }
double GameWindow::clientWidthTwips() const { return pixelsToTwips(width()); }
double GameWindow::clientHeightTwips() const { return pixelsToTwips(height()); }

void GameWindow::setLeftTwips(double twips) { move(twipsToPixels(twips), pos().y()); }
void GameWindow::setTopTwips(double twips) { move(pos().x(), twipsToPixels(twips)); }

void GameWindow::setWidthTwips(double twips)
{
    const int client = std::max(1, twipsToPixels(twips) - frameExtra().width());
    setFixedWidth(client);
}

void GameWindow::setHeightTwips(double twips)
{
    const int client = std::max(1, twipsToPixels(twips) - frameExtra().height());
    setFixedHeight(client);
}

void GameWindow::setClientSizeTwips(double widthTwips, double heightTwips)
{
    setFixedSize(twipsToPixels(widthTwips), twipsToPixels(heightTwips));
}

void GameWindow::centreOnScreen()
{
    centred_ = true;
    centredWithFrame_ = frameExtra();
    setLeftTwips((screenWidthTwips() - widthTwips()) / 2);
    setTopTwips((screenHeightTwips() - heightTwips()) / 2);
}

void GameWindow::recentreOnRealFrame()
{
    if (!centred_ || style_ == FrameStyle::None || !isVisible())
        return;
    // Once the window manager has framed the window, its real margins show in frameGeometry().
    const QSize real = frameGeometry().size() - geometry().size();
    if ((real.width() > 0 || real.height() > 0) && real != centredWithFrame_)
        centreOnScreen();
}

void GameWindow::showActive()
{
    show();
    // The offscreen platform (tests) has no stacking order and says so on every call.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        raise();
    activateWindow();
}

void GameWindow::load()
{
    if (loaded_)
        return;
    loaded_ = true;
    onLoad();
}

void GameWindow::unload()
{
    if (unloading_)
        return;
    unloading_ = true;
    onUnload(UnloadReason::ByProgram);
    hide();
    emit unloaded();
    deleteLater();
}

void GameWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (unloading_)
        return;
    // Set first: what onUnload() sets off may unload this window by program too, and the window
    // must go only once.
    unloading_ = true;
    onUnload(UnloadReason::ByPlayer);
    emit unloaded();
    deleteLater();
}

bool GameWindow::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        rememberFrame();
        recentreOnRealFrame();
        onActivate();
        break;
    case QEvent::Show:
    case QEvent::Move:
        rememberFrame();
        recentreOnRealFrame();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

} // namespace lw

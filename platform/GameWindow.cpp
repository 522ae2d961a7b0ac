// Window geometry in twips and the load/unload life of a game window.
#include "GameWindow.h"

#include "Twips.h"

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

double GameWindow::Left() const { return pixelsToTwips(frameGeometry().x()); }
double GameWindow::Top() const { return pixelsToTwips(frameGeometry().y()); }
double GameWindow::Width() const { return pixelsToTwips(width() + frameExtra().width()); }
double GameWindow::Height() const { return pixelsToTwips(height() + frameExtra().height()); }
double GameWindow::ScaleWidth() const { return pixelsToTwips(width()); }
double GameWindow::ScaleHeight() const { return pixelsToTwips(height()); }

void GameWindow::setLeft(double twips) { move(twipsToPixels(twips), pos().y()); }
void GameWindow::setTop(double twips) { move(pos().x(), twipsToPixels(twips)); }

void GameWindow::setWidth(double twips)
{
    const int client = std::max(1, twipsToPixels(twips) - frameExtra().width());
    setFixedWidth(client);
}

void GameWindow::setHeight(double twips)
{
    const int client = std::max(1, twipsToPixels(twips) - frameExtra().height());
    setFixedHeight(client);
}

void GameWindow::setClientSize(double widthTwips, double heightTwips)
{
    setFixedSize(twipsToPixels(widthTwips), twipsToPixels(heightTwips));
}

void GameWindow::centreOnScreen()
{
    centred_ = true;
    centredWithFrame_ = frameExtra();
    setLeft((screenWidthTwips() - Width()) / 2);
    setTop((screenHeightTwips() - Height()) / 2);
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

void GameWindow::Show()
{
    show();
    // The offscreen platform (tests) has no stacking order and says so on every call.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        raise();
    activateWindow();
}

void GameWindow::Hide() { hide(); }

void GameWindow::runLoad()
{
    if (loaded_)
        return;
    loaded_ = true;
    Form_Load();
}

bool GameWindow::unloadByProgram()
{
    if (unloading_)
        return true;
    int cancel = 0;
    Form_QueryUnload(cancel, kUnloadByProgram);
    if (cancel)
        return false;
    unloading_ = true;
    Form_Unload();
    hide();
    emit unloaded();
    deleteLater();
    return true;
}

void GameWindow::closeEvent(QCloseEvent* event)
{
    if (unloading_) {
        event->accept();
        return;
    }
    int cancel = 0;
    Form_QueryUnload(cancel, kUnloadByUser);
    if (cancel) {
        event->ignore();
        return;
    }
    unloading_ = true;
    Form_Unload();
    event->accept();
    emit unloaded();
    deleteLater();
}

void GameWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    emit hidden();
}

void GameWindow::changeEvent(QEvent* event) { QWidget::changeEvent(event); }

bool GameWindow::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        rememberFrame();
        recentreOnRealFrame();
        Form_Activate();
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

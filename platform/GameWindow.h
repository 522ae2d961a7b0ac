// The base of every game window: twips geometry, load and unload with the unload query, and
// the slot that holds one window of a kind.
#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace lw {

// Why a window is closing, as its onUnload() hears it.
enum class UnloadReason {
    ByPlayer,  // the close box, the system menu, Alt+F4, the window manager
    ByProgram, // the game's own code asked for the unload
};

enum class FrameStyle {
    FixedDialog, // title bar with a close box, no minimise or maximise box, not resizable
    ToolWindow,  // small title bar with a close box, not resizable
    None,        // no border and no title bar
};

class WindowScale;

class GameWindow : public QWidget {
    Q_OBJECT
public:
    explicit GameWindow(FrameStyle style, QWidget* parent = nullptr);
    ~GameWindow() override;

    // Outer geometry (frame and title bar included), in twips.
    double leftTwips() const;
    double topTwips() const;
    double widthTwips() const;
    double heightTwips() const;
    void setLeftTwips(double twips);
    void setTopTwips(double twips);
    void setWidthTwips(double twips);
    void setHeightTwips(double twips);
    // The client area, in twips.
    double clientWidthTwips() const;
    double clientHeightTwips() const;
    void setClientSizeTwips(double widthTwips, double heightTwips);

    // left = (screen width - window width) / 2, top likewise, on outer sizes. A window centred
    // before its frame was known (the first framed window of a run, or one centred while hidden)
    // centres itself again as soon as the window manager has framed it.
    void centreOnScreen();

    // Shows the window, raises it and gives it the keyboard.
    void showActive();

    // The window at the game's zoom, `factor` times its 100 % size (1 is 100 %): its widgets and
    // their fonts scale together, and a window centred on the screen is centred again. For windows
    // placed on their own; the main and message windows are laid out as a pair by the game.
    virtual void setZoom(double factor);
    double zoom() const { return zoom_; }
    // The client size the window takes at zoom `factor`.
    QSize clientSizeAt(double factor) const;

    // Frame margins (left + right, top + bottom) in pixels: what the outer size adds to the
    // client size. Known once a framed window has been mapped by a window manager; until then
    // the last margins seen are used (none without a window manager).
    QSize frameExtra() const;
    // Sets the margins assumed until a framed window has been mapped (tests on a platform that
    // draws no frames use it to lay windows out as a window manager would).
    static void assumeFrameExtra(QSize extra);

    bool isLoaded() const { return loaded_; }
    // Runs onLoad() once.
    void load();
    // An unload asked for by the program: onUnload(ByProgram) runs, then the window hides and is
    // destroyed.
    void unload();

signals:
    void unloaded();

protected:
    virtual void onLoad() {}
    virtual void onActivate() {}
    // The window is about to close, for `reason`; it always closes.
    virtual void onUnload(UnloadReason reason) { (void)reason; }

    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void rememberFrame();
    void recentreOnRealFrame();
    FrameStyle style_;
    std::unique_ptr<WindowScale> scale_; // the widgets at 100 %, recorded at the first zoom
    double zoom_ = 1;
    bool centred_ = false;
    QSize centredWithFrame_; // the frame margins the last centring counted with
    bool loaded_ = false;
    bool unloading_ = false;
};

double screenWidthTwips();
double screenHeightTwips();

// One window of a kind, made (and loaded) by its maker when it is first asked for, and gone after
// it is unloaded; a later request makes and loads a fresh one. The slot's owner holds it for the
// run; a window still there when the slot goes is deleted with it.
template <class T> class WindowSlot {
public:
    explicit WindowSlot(std::function<T*()> make) : make_(std::move(make)) {}
    WindowSlot(const WindowSlot&) = delete;
    WindowSlot& operator=(const WindowSlot&) = delete;
    ~WindowSlot() { delete window_.data(); }

    T& get()
    {
        if (!window_) {
            T* window = make_();
            window_ = window;
            // An unloaded window is gone at once for the game, even before Qt deletes it.
            QObject::connect(window, &GameWindow::unloaded, window, [this, window] {
                if (window_ == window)
                    window_ = nullptr;
            });
            window->load();
        }
        return *window_;
    }
    void load() { (void)get(); }
    bool exists() const { return !window_.isNull(); }
    T* ifLoaded() const { return window_.data(); }
    void unload()
    {
        if (T* window = window_.data())
            window->unload();
    }

private:
    std::function<T*()> make_;
    QPointer<T> window_;
};

} // namespace lw

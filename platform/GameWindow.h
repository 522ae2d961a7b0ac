// The base of every game window: twips geometry, load and unload with the unload query, and
// the single-instance registry through which windows are referenced by name.
#pragma once

#include <QPointer>
#include <QWidget>

namespace lw {

// Why a window is closing, as its Form_QueryUnload hears it.
enum UnloadMode : int {
    kUnloadByUser = 0,    // the close box, the system menu, Alt+F4, the window manager
    kUnloadByProgram = 1, // the game's own code asked for the unload
};

enum class FrameStyle {
    FixedDialog, // title bar with a close box, no minimise or maximise box, not resizable
    ToolWindow,  // small title bar with a close box, not resizable
    None,        // no border and no title bar
};

class GameWindow : public QWidget {
    Q_OBJECT
public:
    explicit GameWindow(FrameStyle style, QWidget* parent = nullptr);

    // Outer geometry (frame and title bar included), in twips.
    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);
    // The client area, in twips.
    double ScaleWidth() const;
    double ScaleHeight() const;
    void setClientSize(double widthTwips, double heightTwips);

    // left = (screen width - window width) / 2, top likewise, on outer sizes. A window centred
    // before its frame was known (the first framed window of a run, or one centred while hidden)
    // centres itself again as soon as the window manager has framed it.
    void centreOnScreen();

    void Show();
    void Hide();
    bool Visible() const { return isVisible(); }

    // Frame margins (left + right, top + bottom) in pixels: what the outer size adds to the
    // client size. Known once a framed window has been mapped by a window manager; until then
    // the last margins seen are used (none without a window manager).
    QSize frameExtra() const;
    // Sets the margins assumed until a framed window has been mapped (tests on a platform that
    // draws no frames use it to lay windows out as a window manager would).
    static void assumeFrameExtra(QSize extra);

    bool isLoaded() const { return loaded_; }
    void runLoad();
    // An unload asked for by the program: the query runs with kUnloadByProgram, then the window
    // hides and is destroyed. Returns false if the query cancelled it.
    bool unloadByProgram();

signals:
    void hidden();
    void unloaded();

protected:
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_QueryUnload(int& Cancel, int UnloadMode)
    {
        (void)Cancel;
        (void)UnloadMode;
    }
    virtual void Form_Unload() {}

    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void rememberFrame();
    void recentreOnRealFrame();
    FrameStyle style_;
    bool centred_ = false;
    QSize centredWithFrame_; // the frame margins the last centring counted with
    bool loaded_ = false;
    bool unloading_ = false;
};

double screenWidthTwips();
double screenHeightTwips();

// One instance of each window, created (and loaded) when it is first referenced, and gone
// after it is unloaded; a later reference creates and loads a fresh one.
template <class T> class Window {
public:
    static T& get()
    {
        if (!instance()) {
            auto* window = new T;
            instance() = window;
            // An unloaded window is gone at once for the game, even before Qt deletes it.
            QObject::connect(window, &GameWindow::unloaded, window, [window] { forget(window); });
            window->runLoad();
        }
        return *instance();
    }
    static void Load() { (void)get(); }
    static bool exists() { return !instance().isNull(); }
    static T* ifLoaded() { return instance().data(); }
    static void Unload()
    {
        if (T* window = instance().data())
            window->unloadByProgram();
    }
    // Forgets the instance without asking (used when the window destroys itself).
    static void forget(T* window)
    {
        if (instance() == window)
            instance() = nullptr;
    }

private:
    static QPointer<T>& instance()
    {
        static QPointer<T> pointer;
        return pointer;
    }
};

} // namespace lw

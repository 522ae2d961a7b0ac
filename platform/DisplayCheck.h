// Whether a window system can be reached, decided before the application object is made.
//
// Without a display the application object prints several lines about platform plug-ins and
// aborts the process. The game checks first and says so in one line instead. Only the X11 and
// Wayland display servers are judged; any other platform (offscreen, eglfs, a misspelt name) is
// left to Qt and its own message.
#pragma once

#include <QByteArray>

#include <functional>

namespace lw {

// The parts of the environment from which Qt picks the window system.
struct DisplayEnvironment {
    QByteArray qpaPlatform;           // QT_QPA_PLATFORM: a name or a ';' list, each with optional ":options"
    QByteArray sessionType;           // XDG_SESSION_TYPE
    bool waylandNamed = false;        // WAYLAND_DISPLAY or WAYLAND_SOCKET is set
    bool chosenOnCommandLine = false; // -platform or -display given: Qt's choice and Qt's errors
};

// Connection attempts to the two display servers; tests replace them.
struct DisplayProbes {
    std::function<bool()> x11;     // an X server accepts a connection on $DISPLAY
    std::function<bool()> wayland; // a Wayland compositor accepts a connection on its socket
};

// True only when every platform Qt would try is an X11 or Wayland display that cannot be reached.
bool noDisplayReachable(const DisplayEnvironment& environment, const DisplayProbes& probes);

// The one line printed then, with its line feed: in Japanese for a Japanese UTF-8 locale
// (LC_ALL, else LC_MESSAGES, else LANG), in English otherwise.
QByteArray noDisplayMessage(const QByteArray& messagesLocale);

// Called first in main: prints the line and returns false when no window can be opened. The
// connections it tried stay open until the application object has connected on its own.
bool windowSystemAvailable(int argc, char** argv);

} // namespace lw

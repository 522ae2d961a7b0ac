// Whether a D-Bus session bus can be found at all, decided before the application object is made.
//
// Qt's screen-reader support connects to the session bus while the first window is being built.
// When nothing names a bus, the D-Bus library's last resort under X11 is to fork the whole
// program and run dbus-launch to find or start one; where dbus-launch is not installed that
// child can only fail, and the first window waits for it all the same (about 10 ms). The game
// names an address that fails at once in exactly that case, and leaves every other case alone.
#pragma once

#include <QByteArray>

#include <functional>

namespace lw {

// The parts of the environment from which the D-Bus library finds the session bus.
struct SessionBusEnvironment {
    QByteArray address;    // DBUS_SESSION_BUS_ADDRESS
    QByteArray runtimeDir; // XDG_RUNTIME_DIR, whose "bus" socket is the user's bus
    QByteArray display;    // DISPLAY: only an X display can have a bus started for it
    std::function<bool(const QByteArray& path)> isSocket;
    std::function<bool()> launcherInstalled; // dbus-launch can be run
};

// True when no session bus can be found, yet the D-Bus library would still start a process to
// look for one: no address is named, the runtime directory has no bus socket, an X display is
// set and dbus-launch is not installed.
bool sessionBusSearchCanOnlyFail(const SessionBusEnvironment& environment);

// Whether dbus-launch, which finds or starts a bus for an X display, can be run.
bool dbusLaunchInstalled();

// The address named when the search can only fail; it names no transport, so connecting fails
// without starting anything.
inline constexpr char kNoSessionBusAddress[] = "disabled:";

// Called in main() before the application object: names kNoSessionBusAddress for this process
// when sessionBusSearchCanOnlyFail() holds for its environment.
void skipSessionBusSearchThatCanOnlyFail();

} // namespace lw

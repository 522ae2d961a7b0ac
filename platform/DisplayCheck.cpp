// The window-system check made before the application object exists.
#include "DisplayCheck.h"

#include <QCoreApplication>
#include <QList>
#include <QtGlobal>

#include <cstdio>
#include <cstring>

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif
#ifdef LW_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace lw {
namespace {

enum class Server { X11, Wayland, Other };

// The platform name of one QT_QPA_PLATFORM entry ("xcb:option=value"); Qt matches names in any case.
Server serverOf(const QByteArray& entry)
{
    const QByteArray name = entry.split(':').first().trimmed().toLower();
    if (name == "xcb")
        return Server::X11;
    if (name.startsWith("wayland")) // wayland, wayland-egl and the other Wayland variants
        return Server::Wayland;
    return Server::Other;
}

// language[_territory][.codeset][@modifier]: only a UTF-8 terminal shows the Japanese line.
bool isJapaneseUtf8(const QByteArray& locale)
{
    const QByteArray base = locale.split('@').first();
    const QList<QByteArray> parts = base.split('.');
    const QByteArray language = parts.first().split('_').first();
    const QByteArray codeset = parts.size() > 1 ? parts[1].toLower().replace("-", "") : QByteArray();
    return language == "ja" && codeset == "utf8";
}

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)

// The probes' connections stay open until the application object has made its own: an X server
// that sees one client leave just as the next arrives can drop the newcomer, which would be Qt.
#ifdef LW_HAVE_XCB
xcb_connection_t* heldX11 = nullptr;
#endif
int heldWayland = -1;

void releaseProbes()
{
#ifdef LW_HAVE_XCB
    if (heldX11)
        xcb_disconnect(heldX11);
    heldX11 = nullptr;
#endif
    if (heldWayland >= 0)
        ::close(heldWayland);
    heldWayland = -1;
}

bool x11Reachable()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
#ifdef LW_HAVE_XCB
    // The same connection Qt makes next, so a stale DISPLAY or a refused authority counts as none.
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return false;
    }
    heldX11 = connection;
#endif
    return true;
}

// Where libwayland-client connects: WAYLAND_DISPLAY (default wayland-0), relative to
// XDG_RUNTIME_DIR unless absolute; WAYLAND_SOCKET instead hands over a connected socket.
bool waylandReachable()
{
    if (!qEnvironmentVariableIsEmpty("WAYLAND_SOCKET"))
        return true;
    const QByteArray name =
        qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ? qgetenv("WAYLAND_DISPLAY") : QByteArray("wayland-0");
    if (name.isEmpty())
        return false;
    QByteArray path = name;
    if (!name.startsWith('/')) {
        const QByteArray runtimeDir = qgetenv("XDG_RUNTIME_DIR");
        if (runtimeDir.isEmpty())
            return false;
        path = runtimeDir + '/' + name;
    }
    sockaddr_un address{};
    if (static_cast<std::size_t>(path.size()) >= sizeof address.sun_path)
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return false;
    }
    heldWayland = fd;
    return true;
}

QByteArray messagesLocale()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (!qEnvironmentVariableIsEmpty(name))
            return qgetenv(name);
    }
    return {};
}

#endif

} // namespace

bool noDisplayReachable(const DisplayEnvironment& environment, const DisplayProbes& probes)
{
    if (environment.chosenOnCommandLine)
        return false;
    // Without QT_QPA_PLATFORM Qt tries X11, and Wayland first when the session names one.
    QList<Server> tried{Server::X11};
    if (environment.waylandNamed || environment.sessionType == "wayland")
        tried.prepend(Server::Wayland);
    if (!environment.qpaPlatform.isEmpty()) {
        tried.clear();
        for (const QByteArray& entry : environment.qpaPlatform.split(';')) {
            if (!entry.trimmed().isEmpty())
                tried.append(serverOf(entry));
        }
    }
    if (tried.isEmpty() || tried.contains(Server::Other))
        return false;
    return !(tried.contains(Server::X11) && probes.x11()) && !(tried.contains(Server::Wayland) && probes.wayland());
}

QByteArray noDisplayMessage(const QByteArray& messagesLocale)
{
    if (isJapaneseUtf8(messagesLocale))
        return QByteArrayLiteral("lunaweave: ウィンドウを開けません: ディスプレイがありません"
                                 "（DISPLAY を設定するか、デスクトップ上で起動してください）\n");
    return QByteArrayLiteral("lunaweave: cannot open a window: no display (set DISPLAY or run it on a desktop)\n");
}

bool windowSystemAvailable(int argc, char** argv)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    DisplayEnvironment environment;
    environment.qpaPlatform = qgetenv("QT_QPA_PLATFORM");
    environment.sessionType = qgetenv("XDG_SESSION_TYPE");
    environment.waylandNamed =
        qEnvironmentVariableIsSet("WAYLAND_DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_SOCKET");
    for (int i = 1; i < argc; ++i) {
        // Qt reads these options with one dash or two.
        const char* option = argv[i][0] == '-' && argv[i][1] == '-' ? argv[i] + 1 : argv[i];
        if (std::strcmp(option, "-platform") == 0 || std::strcmp(option, "-display") == 0)
            environment.chosenOnCommandLine = true;
    }
    if (noDisplayReachable(environment, {x11Reachable, waylandReachable})) {
        releaseProbes();
        const QByteArray line = noDisplayMessage(messagesLocale());
        std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
        std::fflush(stderr);
        return false;
    }
    // Runs inside the application object's constructor, once the platform plug-in has connected.
    qAddPreRoutine(releaseProbes);
#else
    Q_UNUSED(argc);
    Q_UNUSED(argv);
#endif
    return true;
}

} // namespace lw

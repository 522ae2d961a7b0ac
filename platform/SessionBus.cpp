// The session bus search that can only fail, skipped before the first window.
#include "SessionBus.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QtGlobal>

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#include <sys/stat.h>
#endif

namespace lw {

bool sessionBusSearchCanOnlyFail(const SessionBusEnvironment& environment)
{
    if (!environment.address.isEmpty() || environment.display.isEmpty())
        return false;
    if (!environment.runtimeDir.isEmpty() && environment.isSocket(environment.runtimeDir + "/bus"))
        return false;
    return !environment.launcherInstalled();
}

bool dbusLaunchInstalled()
{
    // The library runs the copy in its own binary directory first, then looks along PATH.
    return QFileInfo(QStringLiteral("/usr/bin/dbus-launch")).isExecutable() ||
           !QStandardPaths::findExecutable(QStringLiteral("dbus-launch")).isEmpty();
}

void skipSessionBusSearchThatCanOnlyFail()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    SessionBusEnvironment environment;
    environment.address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    environment.runtimeDir = qgetenv("XDG_RUNTIME_DIR");
    environment.display = qgetenv("DISPLAY");
    environment.isSocket = [](const QByteArray& path) {
        struct stat status {};
        return ::stat(path.constData(), &status) == 0 && S_ISSOCK(status.st_mode);
    };
    environment.launcherInstalled = dbusLaunchInstalled;
    if (sessionBusSearchCanOnlyFail(environment))
        qputenv("DBUS_SESSION_BUS_ADDRESS", kNoSessionBusAddress);
#endif
}

} // namespace lw

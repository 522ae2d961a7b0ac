// Fuzz target: the per-user settings file the series-notice value is read from.
#include "FuzzSupport.h"

#include "Settings.h"
#include "ShellServices.h"

#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <filesystem>

namespace {

QString configHome() { return lw::fuzz::scratchDir().filePath(QStringLiteral("config")); }

// The file QSettings reads for application and organisation "Kestrune" under XDG_CONFIG_HOME.
QString settingsFile() { return configHome() + QStringLiteral("/Kestrune/Kestrune.conf"); }

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Before Qt first looks at the folders: the user's own settings and the machine's must not
    // leak into the run.
    const QDir root(lw::fuzz::scratchDir().path());
    root.mkpath(QStringLiteral("config/Kestrune"));
    root.mkpath(QStringLiteral("system"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome()));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(root.filePath(QStringLiteral("system"))));
    lw::fuzz::application();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        QFile file(settingsFile());
        LW_FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        LW_FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) ==
                      static_cast<qint64>(size));
    }
    // QSettings keeps parsed files and reads one again only when its size or time stamp moved;
    // a new time stamp for every input makes each run read its own bytes.
    using FileClock = std::filesystem::file_time_type::clock;
    static const auto base = FileClock::now() - std::chrono::hours(24 * 365);
    static std::int64_t stamp = 0;
    std::error_code error;
    std::filesystem::last_write_time(QFile::encodeName(settingsFile()).toStdString(),
                                     base + std::chrono::seconds(++stamp), error);
    LW_FUZZ_CHECK(!error);

    const QString value = lw::QtSettingsStore().GetSetting(QStringLiteral("Kestrune"), QStringLiteral("Solvenne"),
                                                           QStringLiteral("LWFLock"));
    const bool wanted = lw::seriesNoticeWanted(value);
    LW_FUZZ_CHECK(wanted == (value != QStringLiteral("OFF")));
    return 0;
}

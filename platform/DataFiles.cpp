// Case-insensitive lookup of data files.
#include "DataFiles.h"

#include <QDir>
#include <QFileInfo>

namespace lw {

QString findDataFile(const QString& name, const QString& directory)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String(".") ||
        name == QLatin1String(".."))
        return {};
    const QDir dir(directory.isEmpty() ? QDir::currentPath() : directory);
    const QString exact = dir.filePath(name);
    if (QFileInfo(exact).isFile())
        return exact;
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return {};
}

QString resolveDataPath(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists())
        return path;
    const QString found = findDataFile(info.fileName(), info.path());
    return found.isEmpty() ? path : found;
}

} // namespace lw

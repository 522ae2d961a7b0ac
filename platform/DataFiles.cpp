// Case-insensitive lookup of data files.
#include "DataFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lw {

QString findDataFile(const QString& name, const QString& directory)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String(".") || name == QLatin1String(".."))
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

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return std::nullopt;
    if (info.size() == 0)
        return QByteArray();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.read(maxBytes + 1);
}

} // namespace lw

// Finding the game's data files in the working directory regardless of letter case.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace lw {

// The path of the file called `name` in `directory` (the current directory when empty): the exact
// name when it exists, otherwise the one entry whose name equals it ignoring letter case (full
// Unicode case folding, so kanji and half-width katakana names work as they are). Empty when
// there is none.
QString findDataFile(const QString& name, const QString& directory = QString());

// The same for a full path: the directory part is taken as it is, the last component is looked
// up ignoring letter case. Returns the path unchanged when it exists.
QString resolveDataPath(const QString& path);

// The first `maxBytes` + 1 bytes of the regular file at `path` (one byte more than allowed, so a
// caller can tell a file that is too large); nothing when it is missing, unreadable or no regular
// file. FIFOs and devices are never opened, since opening or reading them can block for good;
// kernel files (/proc, /sys) call themselves regular but report no size and some block when read,
// so a file of size 0 reads as empty without being opened.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes);

} // namespace lw

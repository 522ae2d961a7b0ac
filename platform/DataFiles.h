// Finding the game's data files in the working directory regardless of letter case.
#pragma once

#include <QString>

namespace lw {

// The path of the file called `name` in `directory` (the current directory when empty): the exact
// name when it exists, otherwise the one entry whose name equals it ignoring letter case (full
// Unicode case folding, so kanji and half-width katakana names work as they are). Empty when
// there is none.
QString findDataFile(const QString& name, const QString& directory = QString());

// The same for a full path: the directory part is taken as it is, the last component is looked
// up ignoring letter case. Returns the path unchanged when it exists.
QString resolveDataPath(const QString& path);

} // namespace lw

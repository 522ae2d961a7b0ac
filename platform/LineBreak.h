// The line break of the game's texts: a spoken line's speaker and words, the series notice and
// the clear screen.
#pragma once

#include <QString>

namespace lw {

// Carriage return, then line feed.
inline const QString kLineBreak = QStringLiteral("\r\n");

} // namespace lw

// The game's fonts, named as the game names them and mapped to fonts that are installed.
#pragma once

#include <QFont>
#include <QString>

namespace lw {

// `name` is one of the names the windows use ("MS PGothic", "ＭＳ Ｐゴシック", "ＭＳ ゴシック",
// "ＭＳ 明朝", "MS Sans Serif"); the size is in points and becomes a pixel size at 15 twips to
// the pixel, so text keeps its size against the twips layout whatever the screen's DPI.
QFont gameFont(const QString& name, double points, bool bold = false, bool italic = false);

// The installed family preferred for `name` (its fallback is used when it is missing).
QString fontFamilyFor(const QString& name);

// Starts reading the system's font configuration and font caches on a thread of its own. Called
// first thing in main(), so the reading overlaps the making of the application object, which
// needs no fonts; the first text measured then finds it done. Does nothing without fontconfig.
void startFontConfigLoad();

// Starts, on a pool thread, the slow first steps that a first window's text and icons wait for:
// the system's font list, the game's Japanese face, and the list of picture plug-ins. The window
// thread meanwhile goes on building the window; Qt waits for the pool when it ends.
void warmUpFontsAndPictureFormats();

} // namespace lw

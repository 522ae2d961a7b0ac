// The command icons, the game's window icon and the logo mascot, drawn by code.
#pragma once

#include <QString>

// Writes into `dataDir` (which must exist); the build compiles all but the 256-pixel emblem into the
// program as resources:
//   lwicon0.png .. lwicon9.png  the icon bar's ten pictures, 32 x 32, 16 colours, index 0 transparent;
//                               0..4 the selected looks of look, talk, think, use magic, next, 5..9 the
//                               not-selected looks of the same commands
//   lunaweave.png               the window icon, 32 x 32, 16 colours
//   lunaweave-256.png           the same emblem at 256 x 256 in full colour, for the desktop entry
//   mascot0.png .. mascot2.png  the logo mascot walking (98 x 90), standing (78 x 94) and flying
//                               (88 x 99), opaque, on black
//   the same names with "@2x"   every picture above but the emblem, drawn again at twice the size
//   before the extension        from the same shapes (lwicon0@2x.png is 64 x 64)
// The output is the same bytes on every run. Needs a QGuiApplication (for QPainter) but creates none.
// Throws std::runtime_error naming the file when one cannot be written.
void writeIconsAndMascots(const QString& dataDir);

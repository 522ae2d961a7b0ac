// Which artwork a picture is shown from: the 1x files the game always had, or their 2x twins.
#pragma once

#include <QString>

namespace lw {

// The only densities the artwork comes in.
constexpr int kSharpDensity = 2;

// The 2x twin of a picture file: "name@2x.ext" beside "name.ext" (the mark goes before the last dot,
// or at the end of a name without one).
inline QString sharpFileName(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString mark = QStringLiteral("@%1x").arg(kSharpDensity);
    return dot < 0 ? fileName + mark : fileName.left(dot) + mark + fileName.mid(dot);
}

// Whether a picture shown at `density` device pixels per picture pixel (the screen's pixel ratio
// times the game's zoom) is better drawn from the 2x artwork.
inline bool wantsSharpPicture(double density) { return density > 1.0; }

} // namespace lw

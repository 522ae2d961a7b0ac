// Reading pictures: the format is told by the file's bytes, never by its name.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace lw {

class ProgramEnd;

enum class PictureError { None, NotFound, Invalid };

struct Picture {
    QImage image;
    PictureError error = PictureError::None;
};

// Largest picture the game accepts, in pixels per side and bytes of file; anything bigger is
// treated as not a readable picture, so hostile files cannot make the loader allocate without bound.
constexpr int kMaxPictureSide = 4096;
constexpr qint64 kMaxPictureFileBytes = 32 * 1024 * 1024;

// Decodes PNG, BMP, JPEG, GIF (and whatever else Qt's readers recognise) from memory.
Picture decodePicture(const QByteArray& bytes);

// Reads `fileName` from the current directory (letter case ignored) and decodes it.
Picture readPicture(const QString& fileName);

// A picture compiled into the program with the windows (the command icons, the window icon, the
// demo's mascots), by file name: never read from the working directory. Null if the program was
// built without it. Where `density` wants the 2x artwork (see PictureDensity.h) and the program
// holds the 2x twin, that twin comes back instead, with a device pixel ratio of 2.
QImage builtInPicture(const QString& name, double density = 1.0);

// Reads `fileName` for a box of `density` as LoadPicture does, but hands back the 1x file's error
// instead of ending the program. Safe on any thread: it touches no widget and no report.
Picture readPictureAt(const QString& fileName, double density);

// The game's picture load: like readPicture, but a missing or unreadable file ends the program
// through `onError`'s fatal report, naming the file (null comes back if that report returns). Where `density` wants the
// 2x artwork, the file's 2x twin is read first and comes back with a device pixel ratio of 2, so widgets keep the
// picture's 1x size; a twin that is missing or unreadable is no error, the 1x file serves.
QImage LoadPicture(const QString& fileName, double density, ProgramEnd& onError);

// The bytes of `fileName`'s 2x twin, kept undecoded where a picture must be at hand without file
// access (the staff roll's cache); empty when the twin is missing or does not read as a picture.
QByteArray readSharpPictureFile(const QString& fileName);

// Decodes bytes from readSharpPictureFile as a 2x picture; null when they do not decode.
QImage decodeSharpPicture(const QByteArray& bytes);

} // namespace lw

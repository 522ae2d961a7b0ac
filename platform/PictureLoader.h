// Reading pictures: the format is told by the file's bytes, never by its name.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace lw {

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
// built without it.
QImage builtInPicture(const QString& name);

// The game's picture load: like readPicture, but a missing or unreadable file ends the program
// through the runtime error report, naming the file.
QImage LoadPicture(const QString& fileName);

} // namespace lw

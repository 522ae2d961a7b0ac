// Picture decoding with bounded size.
#include "PictureLoader.h"

#include "DataFiles.h"
#include "ErrorReport.h"
#include "PictureDensity.h"
#include "Runtime.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <memory>

namespace lw {

namespace {

// The format named by the file's first bytes, for the formats the game's pictures come in; empty
// for anything else, which Qt's readers then recognise by content themselves. Naming it spares
// asking every image plug-in whether it knows the bytes.
QByteArray formatFromSignature(const QByteArray& bytes)
{
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return "png";
    if (bytes.startsWith("BM"))
        return "bmp";
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return "gif";
    if (bytes.startsWith("\xff\xd8\xff"))
        return "jpeg";
    return {};
}

// Opens a reader on `buffer` that trusts a known signature and checks the announced size; null
// when the bytes cannot be a picture the game accepts.
std::unique_ptr<QImageReader> boundedReader(QBuffer& buffer, const QByteArray& bytes)
{
    if (bytes.isEmpty() || bytes.size() > kMaxPictureFileBytes)
        return nullptr;
    // Decoders refuse to allocate more than this many megabytes for one image. Set once, as pictures
    // are also decoded ahead on a worker thread.
    static const bool limitSet = [] {
        QImageReader::setAllocationLimit(kMaxPictureSide * kMaxPictureSide * 4 / (1024 * 1024));
        return true;
    }();
    Q_UNUSED(limitSet);
    buffer.open(QIODevice::ReadOnly);
    const QByteArray format = formatFromSignature(bytes);
    auto reader = std::make_unique<QImageReader>(&buffer, format);
    reader->setDecideFormatFromContent(format.isEmpty());
    // A named format goes straight to its reader: PNG and BMP are built into Qt, so the first
    // pictures (the window icon, the demo's mascots) load no image plug-in at all.
    reader->setAutoDetectImageFormat(format.isEmpty());
    reader->setAutoTransform(false);
    if (!reader->canRead())
        return nullptr;
    const QSize size = reader->size();
    if (size.isValid() && (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide || size.isEmpty()))
        return nullptr;
    return reader;
}

QImage asSharp(QImage image)
{
    if (!image.isNull())
        image.setDevicePixelRatio(kSharpDensity);
    return image;
}

} // namespace

Picture decodePicture(const QByteArray& bytes)
{
    QByteArray data = bytes; // QBuffer needs a non-const array it does not own
    QBuffer buffer(&data);
    const std::unique_ptr<QImageReader> reader = boundedReader(buffer, bytes);
    if (!reader)
        return {{}, PictureError::Invalid};
    QImage image = reader->read();
    if (image.isNull() || image.width() > kMaxPictureSide || image.height() > kMaxPictureSide)
        return {{}, PictureError::Invalid};
    return {std::move(image), PictureError::None};
}

Picture readPicture(const QString& fileName)
{
    const QString path = findDataFile(fileName);
    if (path.isEmpty())
        return {{}, PictureError::NotFound};
    // A FIFO or device under a picture's name is refused unopened, as a missing file.
    const std::optional<QByteArray> bytes = readRegularFile(path, kMaxPictureFileBytes);
    if (!bytes)
        return {{}, PictureError::NotFound};
    return decodePicture(*bytes);
}

QImage builtInPicture(const QString& name, double density)
{
    const auto read = [](const QString& file) {
        QFile resource(QStringLiteral(":/art/") + file);
        return resource.open(QIODevice::ReadOnly) ? decodePicture(resource.readAll()).image : QImage();
    };
    if (wantsSharpPicture(density))
        if (QImage sharp = asSharp(read(sharpFileName(name))); !sharp.isNull())
            return sharp;
    return read(name);
}

Picture readPictureAt(const QString& fileName, double density)
{
    if (wantsSharpPicture(density)) {
        Picture sharp = readPicture(sharpFileName(fileName));
        if (sharp.error == PictureError::None)
            return {asSharp(std::move(sharp.image)), PictureError::None};
    }
    return readPicture(fileName);
}

QImage LoadPicture(const QString& fileName, double density, ProgramEnd& onError)
{
    Picture picture = readPictureAt(fileName, density);
    switch (picture.error) {
    case PictureError::None:
        return std::move(picture.image);
    case PictureError::NotFound:
        onError.fatal(fileNotFoundMessage(fileName));
        break;
    case PictureError::Invalid:
        onError.fatal(invalidPictureMessage(fileName));
        break;
    }
    return {};
}

QByteArray readSharpPictureFile(const QString& fileName)
{
    const QString path = findDataFile(sharpFileName(fileName));
    if (path.isEmpty())
        return {};
    std::optional<QByteArray> bytes = readRegularFile(path, kMaxPictureFileBytes);
    if (!bytes)
        return {};
    // Only the header is read here; a body that fails to decode later falls back to the 1x picture.
    QBuffer buffer(&*bytes);
    if (!boundedReader(buffer, *bytes))
        return {};
    buffer.close();
    return std::move(*bytes);
}

QImage decodeSharpPicture(const QByteArray& bytes) { return asSharp(decodePicture(bytes).image); }

} // namespace lw

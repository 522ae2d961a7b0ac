// lw_artgen: draws the scene pictures (1x and 2x) into the data directory, or the form artwork (icons and
// mascots) that the build compiles into the program.
#include "Icons.h"
#include "Paint.h"
#include "PictureDensity.h"
#include "SceneTable.h"
#include "Scenes.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QStringList>
#include <cstdio>
#include <exception>
#include <vector>

namespace {

struct Picture {
    std::u16string_view key;
    std::vector<int> scenes;
};

// The distinct picture keys in the scene table's order, each with the scenes that show it.
std::vector<Picture> distinctPictures()
{
    std::vector<Picture> pictures;
    for (const lw::SceneRow& row : lw::kSceneTable) {
        auto it =
            std::find_if(pictures.begin(), pictures.end(), [&](const Picture& p) { return p.key == row.pictureKey; });
        if (it == pictures.end())
            pictures.push_back({row.pictureKey, {row.scene}});
        else
            it->scenes.push_back(row.scene);
    }
    return pictures;
}

QString qstr(std::u16string_view s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

QByteArray pngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "lw_artgen: cannot write %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    return true;
}

// Every picture at half size on a grid, its key and scenes printed under it.
QImage contactSheet(const std::vector<Picture>& pictures, const std::vector<QImage>& images)
{
    constexpr int kThumbW = 240, kThumbH = 175, kColumns = 6, kCellW = kThumbW + 12, kCellH = kThumbH + 44;
    const int rows = static_cast<int>((pictures.size() + kColumns - 1) / kColumns);
    QImage sheet(kColumns * kCellW + 12, rows * kCellH + 12, QImage::Format_RGB32);
    sheet.fill(QColor(0x24, 0x22, 0x2c));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (size_t i = 0; i < pictures.size(); ++i) {
        const int x = 12 + static_cast<int>(i % kColumns) * kCellW, y = 12 + static_cast<int>(i / kColumns) * kCellH;
        p.drawImage(QRect(x, y, kThumbW, kThumbH), images[i]);
        QStringList scenes;
        for (int s : pictures[i].scenes)
            scenes << QString::number(s);
        p.setPen(QColor(240, 236, 248));
        p.setFont(art::gothic(14, true));
        p.drawText(QRect(x, y + kThumbH + 2, kThumbW, 20), Qt::AlignLeft | Qt::AlignVCenter,
                   qstr(pictures[i].key) + qstr(lw::kPictureExt));
        p.setPen(QColor(180, 176, 196));
        p.setFont(art::gothic(12));
        p.drawText(QRect(x, y + kThumbH + 20, kThumbW, 18), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("場面 ") + scenes.join(QStringLiteral(", ")));
    }
    return sheet;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString outDir, sheetPath;
    bool formArt = false;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--contact-sheet") && i + 1 < args.size())
            sheetPath = args[++i];
        else if (args[i] == QLatin1String("--form-art") && i + 1 < args.size() && outDir.isEmpty()) {
            formArt = true;
            outDir = args[++i];
        } else if (outDir.isEmpty() && !args[i].startsWith(QLatin1String("--")))
            outDir = args[i];
        else {
            outDir.clear();
            break;
        }
    }
    if (outDir.isEmpty()) {
        std::fprintf(stderr, "usage: lw_artgen <outdir> [--contact-sheet <file.png>]\n"
                             "       lw_artgen --form-art <outdir>\n");
        return 2;
    }
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "lw_artgen: cannot create %s\n", qPrintable(outDir));
        return 1;
    }
    if (formArt) {
        try {
            writeIconsAndMascots(outDir);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "lw_artgen: %s\n", error.what());
            return 1;
        }
        return 0;
    }

    const std::vector<Picture> pictures = distinctPictures();
    std::vector<QImage> images;
    for (const Picture& picture : pictures) {
        const QString fileName = qstr(picture.key) + qstr(lw::kPictureExt);
        QImage image = art::drawScene(picture.key);
        // The 2x twin is drawn again from the shapes, never enlarged from the 1x picture.
        const QImage sharp = art::drawScene(picture.key, lw::kSharpDensity);
        if (image.isNull() || sharp.isNull()) {
            std::fprintf(stderr, "lw_artgen: no painter for picture %s\n", qPrintable(qstr(picture.key)));
            return 1;
        }
        if (!writeFile(QDir(outDir).filePath(fileName), pngBytes(image)) ||
            !writeFile(QDir(outDir).filePath(lw::sharpFileName(fileName)), pngBytes(sharp)))
            return 1;
        images.push_back(std::move(image));
    }
    if (!sheetPath.isEmpty() && !writeFile(sheetPath, pngBytes(contactSheet(pictures, images))))
        return 1;
    return 0;
}

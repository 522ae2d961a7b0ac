// Font mapping: Japanese Gothic and Mincho faces from the IPA fonts.
#include "Fonts.h"

#include "Twips.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImageReader>
#include <QStringList>
#include <QThreadPool>

#ifdef LW_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>

#include <mutex>
#include <thread>
#endif

namespace lw {
namespace {

#ifdef LW_HAVE_FONTCONFIG
// The configuration load started by startFontConfigLoad(); joined by whoever needs it done, or
// at exit if nobody did.
struct FontConfigLoad {
    std::mutex mutex;
    std::thread thread;
    ~FontConfigLoad() { finish(); }
    void finish()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (thread.joinable())
            thread.join();
    }
};

FontConfigLoad& fontConfigLoad()
{
    static FontConfigLoad load;
    return load;
}
#endif

struct FontMapping {
    const char16_t* gameName;
    const char* family;   // preferred installed family
    const char* fallback; // used when the preferred one is missing
};

constexpr FontMapping kFonts[] = {
    {u"MS PGothic", "IPAPGothic", "Noto Sans CJK JP"},        {u"ＭＳ Ｐゴシック", "IPAPGothic", "Noto Sans CJK JP"},
    {u"ＭＳ ゴシック", "IPAGothic", "Noto Sans Mono CJK JP"}, {u"ＭＳ 明朝", "IPAMincho", "Noto Serif CJK JP"},
    {u"MS Sans Serif", "DejaVu Sans", "IPAPGothic"},
};

} // namespace

QString fontFamilyFor(const QString& name)
{
    for (const FontMapping& font : kFonts) {
        if (name == QString::fromUtf16(font.gameName))
            return QLatin1String(font.family);
    }
    return QStringLiteral("IPAPGothic");
}

QFont gameFont(const QString& name, double points, bool bold, bool italic)
{
    QStringList families{QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")};
    for (const FontMapping& font : kFonts) {
        if (name == QString::fromUtf16(font.gameName))
            families = {QLatin1String(font.family), QLatin1String(font.fallback)};
    }
    // The families are matched when text is first drawn, not here: asking the font database now
    // would load it before the first window is on screen.
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(std::max(1, pointsToPixels(points)));
    font.setBold(bold);
    font.setItalic(italic);
    // Japanese glyphs must come from a Japanese face even when the family lacks one.
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void startFontConfigLoad()
{
#ifdef LW_HAVE_FONTCONFIG
    FontConfigLoad& load = fontConfigLoad();
    const std::lock_guard<std::mutex> lock(load.mutex);
    if (!load.thread.joinable())
        load.thread = std::thread([] { FcInit(); });
#endif
}

void warmUpFontsAndPictureFormats()
{
    QThreadPool::globalInstance()->start([] {
#ifdef LW_HAVE_FONTCONFIG
        // Qt's font list would load the configuration a second time if the first load still ran.
        fontConfigLoad().finish();
#endif
        // Shaping a line of kana and kanji loads the face and the fallbacks Japanese text needs.
        // Done before the plug-ins: the window thread loads those its icon needs by itself
        // meanwhile, and lays the text out right after.
        QFontMetrics(gameFont(QStringLiteral("MS PGothic"), 9.75))
            .horizontalAdvance(QStringLiteral("このゲームはシリーズの作目です。「」"));
        QImageReader::supportedImageFormats();
    });
}

} // namespace lw

// Font mapping: Japanese Gothic and Mincho faces from the IPA fonts.
#include "Fonts.h"

#include "Twips.h"

#include <QFontDatabase>
#include <QStringList>

namespace lw {
namespace {

struct FontMapping {
    const char16_t* gameName;
    const char* family;   // preferred installed family
    const char* fallback; // used when the preferred one is missing
};

constexpr FontMapping kFonts[] = {
    {u"MS PGothic", "IPAPGothic", "Noto Sans CJK JP"},
    {u"ＭＳ Ｐゴシック", "IPAPGothic", "Noto Sans CJK JP"},
    {u"ＭＳ ゴシック", "IPAGothic", "Noto Sans Mono CJK JP"},
    {u"ＭＳ 明朝", "IPAMincho", "Noto Serif CJK JP"},
    {u"MS Sans Serif", "DejaVu Sans", "IPAPGothic"},
};

} // namespace

QString fontFamilyFor(const QString& name)
{
    const QStringList installed = QFontDatabase::families();
    for (const FontMapping& font : kFonts) {
        if (name != QString::fromUtf16(font.gameName))
            continue;
        if (installed.contains(QLatin1String(font.family)))
            return QLatin1String(font.family);
        if (installed.contains(QLatin1String(font.fallback)))
            return QLatin1String(font.fallback);
        return QLatin1String(font.family);
    }
    return QStringLiteral("IPAPGothic");
}

QFont gameFont(const QString& name, double points, bool bold, bool italic)
{
    QFont font(fontFamilyFor(name));
    font.setPixelSize(std::max(1, pointsToPixels(points)));
    font.setBold(bold);
    font.setItalic(italic);
    // Japanese glyphs must come from a Japanese face even when the family lacks one.
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace lw

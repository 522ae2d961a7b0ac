// Furigana layout: line breaking over kana, kanji and ruby bases, and painting with glyph runs.
#include "FuriganaText.h"

#include "Ruby.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QRawFont>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace lw {

std::vector<RubyRun> rubyRuns(std::string_view marked)
{
    const auto text = [](std::string_view utf8) {
        return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    };
    // A reading over kana alone (｜は《わ》) is for speech: its run is plain text here.
    std::vector<RubyRun> runs;
    for (const story::RubySegment& segment : story::rubySegments(marked))
        runs.push_back({text(segment.base), story::showsFurigana(segment) ? text(segment.reading) : QString()});
    return runs;
}

std::vector<RubyRun> rubyRuns(const QString& marked)
{
    const QByteArray utf8 = marked.toUtf8();
    return rubyRuns(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

RubyText joinRuns(const std::vector<RubyRun>& runs, int offset)
{
    RubyText out;
    for (const RubyRun& run : runs) {
        if (!run.reading.isEmpty() && !run.base.isEmpty())
            out.ruby.append(
                {offset + static_cast<int>(out.text.size()), static_cast<int>(run.base.size()), run.reading});
        out.text += run.base;
    }
    return out;
}

RubyText rubyForLine(const QString& shown, const RubyText& name, const RubyText& line)
{
    RubyText out{shown, {}};
    const auto place = [&out](const RubyText& part, qsizetype at) {
        if (at < 0)
            return;
        for (Ruby ruby : part.ruby) {
            ruby.start += static_cast<int>(at);
            out.ruby.append(ruby);
        }
    };
    // The name is the first occurrence of itself and the text the last: the name comes first,
    // the text ends the line (or stands before its closing bracket).
    if (!name.text.isEmpty())
        place(name, shown.indexOf(name.text));
    if (!line.text.isEmpty())
        place(line, shown.lastIndexOf(line.text));
    return out;
}

RubyText rubyTextFor(const QString& shown, const QString& marked)
{
    RubyText withRuby = joinRuns(rubyRuns(marked));
    if (withRuby.text != shown)
        return RubyText{shown, {}};
    return withRuby;
}

QFont readingFont(const QFont& textFont)
{
    QFont font = textFont;
    if (textFont.pixelSize() > 0)
        font.setPixelSize(std::max(7, static_cast<int>(std::lround(textFont.pixelSize() * 0.55))));
    else
        font.setPointSizeF(std::max(5.0, textFont.pointSizeF() * 0.55));
    return font;
}

namespace {

// A paragraph shaped on one endless line, so that any stretch of it can be measured and its
// glyphs taken for painting wherever the line breaking puts them.
struct Shaped {
    QTextLayout layout;
    QTextLine line;
    Shaped(const QString& text, const QFont& font) : layout(text, font)
    {
        layout.setCacheEnabled(true);
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        line = layout.createLine();
        layout.endLayout();
        // Each position's x once: asking the line again for every measure costs more than the
        // rest of the layout together.
        xs.resize(static_cast<std::size_t>(text.size()) + 1);
        for (int i = 0; i <= text.size(); ++i)
            xs[static_cast<std::size_t>(i)] = line.cursorToX(i);
    }
    std::vector<qreal> xs;
    qreal x(int position) const { return xs[static_cast<std::size_t>(position)]; }
    qreal advance(int from, int to) const { return x(to) - x(from); }
};

// A unit the line breaking never splits: one character, or a base with its reading.
struct Atom {
    int start;
    int end;
    qreal width;      // box width: the base's advance, or the reading's if that is wider
    qreal baseWidth;  // the base's own advance
    int ruby = -1;    // index into the text's ruby, or -1
    bool breakBefore; // a line may begin with this atom
};

} // namespace

FuriganaLayout::FuriganaLayout(const RubyText& text, const QFont& font, qreal width, qreal maxHeight, int nameEnd)
    : font_(font), readingFont_(readingFont(font))
{
    // A glyph's ink may stand a little past its advance: a pixel is kept clear at the right.
    const qreal lineWidth = std::max<qreal>(1, width - 1);
    for (const ReadingRow row : {ReadingRow::Full, ReadingRow::WhereUsed, ReadingRow::WithoutNameReadings}) {
        if (row == ReadingRow::WithoutNameReadings && nameEnd <= 0)
            break;
        layOut(text, lineWidth, row, nameEnd);
        // Some brackets reach above the font's ascent; a first line without a reading row
        // comes down by as much.
        const qreal above = std::ceil(-inkBounds(firstLineGlyphs_).top());
        if (above > 0) {
            for (Glyphs& glyphs : glyphs_)
                glyphs.offset.ry() += above;
            for (PlacedRuby& placed : placed_) {
                placed.base.translate(0, above);
                placed.reading.translate(0, above);
            }
            height_ += above;
        }
        if (maxHeight <= 0 || height_ <= maxHeight)
            return;
    }
}

void FuriganaLayout::layOut(const RubyText& fullText, qreal width, ReadingRow row, int nameEnd)
{
    RubyText text = fullText;
    if (row == ReadingRow::WithoutNameReadings)
        text.ruby.removeIf([nameEnd](const Ruby& ruby) { return ruby.start < nameEnd; });
    row_ = row;
    glyphs_.clear();
    placed_.clear();
    height_ = 0;
    lineCount_ = 0;

    const QFontMetricsF base(font_);
    const QFontMetricsF small(readingFont_);
    const qreal lineHeight = base.height();
    const qreal rowHeight = small.height();
    const bool anyRuby = !text.ruby.isEmpty();

    qsizetype paragraphStart = 0;
    while (paragraphStart <= text.text.size()) {
        qsizetype paragraphEnd = text.text.indexOf(QLatin1Char('\n'), paragraphStart);
        if (paragraphEnd < 0)
            paragraphEnd = text.text.size();
        const QString paragraph = text.text.mid(paragraphStart, paragraphEnd - paragraphStart);
        const int offset = static_cast<int>(paragraphStart);
        const Shaped shaped(paragraph, font_);

        // The paragraph's readings, shaped together on one line, a space between each two.
        std::vector<int> rubyAt(static_cast<std::size_t>(paragraph.size()), -1);
        QString readings;
        std::vector<std::pair<int, int>> readingSpan(static_cast<std::size_t>(text.ruby.size()));
        for (int r = 0; r < text.ruby.size(); ++r) {
            const Ruby& ruby = text.ruby[r];
            if (ruby.start < offset || ruby.start + ruby.length > offset + paragraph.size() || ruby.length <= 0)
                continue;
            rubyAt[static_cast<std::size_t>(ruby.start - offset)] = r;
            if (!readings.isEmpty())
                readings += QLatin1Char(' ');
            readingSpan[static_cast<std::size_t>(r)] = {static_cast<int>(readings.size()),
                                                        static_cast<int>(readings.size() + ruby.reading.size())};
            readings += ruby.reading;
        }
        const Shaped readingShape(readings, readingFont_);

        // The atoms: characters, and bases with a reading kept whole.
        std::vector<Atom> atoms;
        QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, paragraph);
        for (int i = 0; i < paragraph.size();) {
            const int rubyIndex = rubyAt[static_cast<std::size_t>(i)];
            int end = i + (paragraph[i].isHighSurrogate() && i + 1 < paragraph.size() ? 2 : 1);
            qreal readingWidth = 0;
            if (rubyIndex >= 0) {
                end = i + text.ruby[rubyIndex].length;
                const auto [from, to] = readingSpan[static_cast<std::size_t>(rubyIndex)];
                readingWidth = readingShape.advance(from, to);
            }
            breaks.setPosition(i);
            const bool breakBefore =
                i > 0 && breaks.isAtBoundary() && (breaks.boundaryReasons() & QTextBoundaryFinder::BreakOpportunity);
            const qreal advance = shaped.advance(i, end);
            atoms.push_back({i, end, std::max(advance, readingWidth), advance, rubyIndex, breakBefore});
            i = end;
        }

        // Greedy breaking: a line takes atoms while they fit, then breaks at its last opportunity.
        std::size_t first = 0;
        do {
            std::size_t last = first; // one past the line's last atom
            qreal used = 0;
            std::size_t lastBreak = first;
            while (last < atoms.size()) {
                if (last > first && atoms[last].breakBefore)
                    lastBreak = last;
                if (last > first && used + atoms[last].width > width)
                    break;
                used += atoms[last].width;
                ++last;
            }
            if (last < atoms.size() && lastBreak > first)
                last = lastBreak;

            bool lineHasRuby = false;
            for (std::size_t a = first; a < last; ++a)
                lineHasRuby = lineHasRuby || atoms[a].ruby >= 0;
            const bool withRow = anyRuby && (row == ReadingRow::Full || lineHasRuby);
            const qreal top = height_;
            const qreal boxTop = top + (withRow ? rowHeight : 0);
            const qreal baseline = boxTop + base.ascent();

            // Glyphs: a stretch of plain atoms at once, each base on its own.
            qreal x = 0;
            std::size_t a = first;
            while (a < last) {
                std::size_t b = a + 1;
                if (atoms[a].ruby < 0) {
                    while (b < last && atoms[b].ruby < 0)
                        ++b;
                }
                const int from = atoms[a].start;
                const int to = atoms[b - 1].end;
                qreal width = 0;
                for (std::size_t k = a; k < b; ++k)
                    width += atoms[k].width;
                const qreal inset = (width - shaped.advance(from, to)) / 2; // only bases are widened
                const QPointF shift(x + inset - shaped.x(from), baseline - shaped.line.ascent() - shaped.line.y());
                for (const QGlyphRun& run : shaped.line.glyphRuns(from, to - from))
                    glyphs_.push_back({run, shift});
                if (atoms[a].ruby >= 0) {
                    const auto [readingFrom, readingTo] = readingSpan[static_cast<std::size_t>(atoms[a].ruby)];
                    const qreal readingWidth = readingShape.advance(readingFrom, readingTo);
                    const QRectF box(x, boxTop, width, lineHeight);
                    const QRectF over(box.center().x() - readingWidth / 2, top + (withRow ? 0 : -rowHeight),
                                      readingWidth, small.height());
                    placed_.push_back({box, over});
                    const QPointF readingShift(over.left() - readingShape.x(readingFrom),
                                               over.top() + small.ascent() - readingShape.line.ascent() -
                                                   readingShape.line.y());
                    for (const QGlyphRun& run : readingShape.line.glyphRuns(readingFrom, readingTo - readingFrom))
                        glyphs_.push_back({run, readingShift});
                }
                x += width;
                a = b;
            }
            height_ = boxTop + lineHeight;
            if (++lineCount_ == 1)
                firstLineGlyphs_ = glyphs_.size();
            first = last;
        } while (first < atoms.size());
        paragraphStart = paragraphEnd + 1;
    }
}

QRectF FuriganaLayout::inkBounds(std::size_t glyphRuns) const
{
    QRectF bounds;
    for (std::size_t g = 0; g < std::min(glyphRuns, glyphs_.size()); ++g) {
        const Glyphs& glyphs = glyphs_[g];
        const QRawFont raw = glyphs.run.rawFont();
        const QList<quint32> indexes = glyphs.run.glyphIndexes();
        const QList<QPointF> positions = glyphs.run.positions();
        for (qsizetype i = 0; i < indexes.size(); ++i) {
            const QRectF ink = raw.boundingRect(indexes[i]);
            if (!ink.isEmpty())
                bounds |= ink.translated(positions[i] + glyphs.offset);
        }
    }
    return bounds;
}

void FuriganaLayout::paint(QPainter& painter, const QPointF& origin, const QColor& color) const
{
    painter.setPen(color);
    for (const Glyphs& glyphs : glyphs_)
        painter.drawGlyphRun(origin + glyphs.offset, glyphs.run);
}

void markRuby(QTextCursor& cursor, int start, const QList<Ruby>& ruby, const QFont& font)
{
    const QFontMetricsF base(font);
    const QFontMetricsF small(readingFont(font));
    for (const Ruby& r : ruby) {
        cursor.setPosition(start + r.start);
        cursor.setPosition(start + r.start + r.length, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setProperty(kReadingProperty, r.reading);
        const qreal extra = small.horizontalAdvance(r.reading) - base.horizontalAdvance(cursor.selectedText());
        if (extra > 0) {
            format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
            format.setFontLetterSpacing(extra / r.length);
        }
        cursor.mergeCharFormat(format);
    }
}

void makeRoomForReadings(QTextBlockFormat& format, const QFont& font)
{
    const qreal row = QFontMetricsF(readingFont(font)).height();
    format.setTopMargin(format.topMargin() + row);
    format.setLineHeight(row, QTextBlockFormat::LineDistanceHeight);
}

void RubyTextBrowser::setFurigana(bool on)
{
    furigana_ = on;
    viewport()->update();
}

void RubyTextBrowser::paintEvent(QPaintEvent* event)
{
    QTextBrowser::paintEvent(event);
    if (!furigana_)
        return;
    QPainter painter(viewport());
    const QFont small = readingFont(font());
    const QFontMetricsF metrics(small);
    painter.setFont(small);
    painter.setPen(palette().color(QPalette::Text));
    const QPointF scrolled(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    const QRectF visible = event->rect();
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QRectF area = layout->blockBoundingRect(block).translated(scrolled);
        if (area.bottom() < visible.top() || area.top() > visible.bottom())
            continue;
        const QTextLayout* lines = block.layout();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString reading = fragment.charFormat().property(kReadingProperty).toString();
            if (reading.isEmpty())
                continue;
            const int from = fragment.position() - block.position();
            const QTextLine line = lines->lineForTextPosition(from);
            if (!line.isValid())
                continue;
            // Where the view puts the base's first character; the base's width from its line.
            QTextCursor at(document());
            at.setPosition(fragment.position());
            const QRect start = cursorRect(at);
            const int to = std::min(from + fragment.length(), line.textStart() + line.textLength());
            const qreal width = line.cursorToX(to) - line.cursorToX(from);
            const qreal x = start.left() + width / 2 - metrics.horizontalAdvance(reading) / 2;
            const qreal y = start.top() - metrics.descent();
            painter.drawText(QPointF(x, y), reading);
        }
    }
}

} // namespace lw

// Furigana: text with readings over its kanji, laid out to a width and painted.
#pragma once

#include <QColor>
#include <QFont>
#include <QGlyphRun>
#include <QList>
#include <QRectF>
#include <QString>
#include <QTextBrowser>
#include <QTextFormat>

#include <string_view>
#include <vector>

class QPainter;

namespace lw {

// A stretch of a line: its text and, where it has furigana, their reading.
struct RubyRun {
    QString base;
    QString reading; // empty: no furigana over this run
};

// The script's marked text (｜漢字《かんじ》) as runs. Readings for speech only (over kana, as
// ｜は《わ》) are left out: furigana never show them.
std::vector<RubyRun> rubyRuns(std::string_view marked);
std::vector<RubyRun> rubyRuns(const QString& marked);

// A reading over characters [start, start + length) of a text.
struct Ruby {
    int start = 0;
    int length = 0;
    QString reading;
};

// Text as shown, with the readings over parts of it.
struct RubyText {
    QString text;
    QList<Ruby> ruby;
};

// The runs' text, with their readings at `offset` on. Runs without a reading give none.
RubyText joinRuns(const std::vector<RubyRun>& runs, int offset = 0);

// The message window's text `shown` (CR removed) for a line of `name` and `line`, with their
// readings placed where the speaker's name and the text stand in it.
RubyText rubyForLine(const QString& shown, const RubyText& name, const RubyText& line);

// A line's text as shown, with its readings when `marked` is its marked form; without any when
// `marked` is not (a line that did not come from the script).
RubyText rubyTextFor(const QString& shown, const QString& marked);

// The furigana's font: the text's font at a little over half its size.
QFont readingFont(const QFont& textFont);

// How much room the readings take, from the roomiest to the tightest. The layout takes the
// first that fits the height it is given.
enum class ReadingRow {
    Full,      // every line gets a row as high as the reading font, so lines keep one pitch
    WhereUsed, // only lines that carry a reading get the row
    // As WhereUsed, and the readings of the speaker's name (`nameEnd`) are left out, so its line
    // needs no row. A kanji fills the whole ascent of the game's Gothic face, so a reading row
    // cannot be squeezed: in the stacked layout this is what lets a three-line spoken line keep
    // the readings of all its text.
    WithoutNameReadings,
};

// One RubyText laid out to a width: lines break at LF and where Japanese text may break, never
// inside a base that has a reading. A reading wider than its base widens the base's box by
// the difference, the base centred in it, so a reading always stands centred over its base and
// never touches its neighbours.
class FuriganaLayout {
public:
    struct PlacedRuby {
        QRectF base;    // the base's box (its advance, widened if the reading is wider), line height
        QRectF reading; // the reading's box (its advance, reading font height)
    };

    // `maxHeight` <= 0: no limit; the roomiest reading row is used. Readings that start before
    // `nameEnd` belong to the speaker's name.
    FuriganaLayout(const RubyText& text, const QFont& font, qreal width, qreal maxHeight = 0, int nameEnd = 0);

    qreal height() const { return height_; }
    int lineCount() const { return lineCount_; }
    ReadingRow readingRow() const { return row_; }
    const std::vector<PlacedRuby>& ruby() const { return placed_; }
    // The smallest rectangle holding every glyph's ink, readings included (of the first
    // `glyphRuns` runs laid out).
    QRectF inkBounds(std::size_t glyphRuns = std::size_t(-1)) const;
    void paint(QPainter& painter, const QPointF& origin, const QColor& color) const;

private:
    struct Glyphs {
        QGlyphRun run;
        QPointF offset;
    };
    void layOut(const RubyText& text, qreal width, ReadingRow row, int nameEnd);

    QFont font_;
    QFont readingFont_;
    std::vector<Glyphs> glyphs_;
    std::vector<PlacedRuby> placed_;
    qreal height_ = 0;
    int lineCount_ = 0;
    std::size_t firstLineGlyphs_ = 0; // the glyph runs of the first line
    ReadingRow row_ = ReadingRow::Full;
};

// The character format property that carries a base's reading in a text document.
constexpr int kReadingProperty = QTextFormat::UserProperty + 1;

// Marks `ruby` (positions from `start` in the document) on the characters of `cursor`'s document,
// and widens a base whose reading is wider than it by letter spacing, so readings never overlap.
void markRuby(QTextCursor& cursor, int start, const QList<Ruby>& ruby, const QFont& font);

// A text browser that paints the readings marked with kReadingProperty above their bases while
// furigana are on. Its blocks leave room for them through their formats (makeRoomForReadings).
class RubyTextBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;
    void setFurigana(bool on);
    bool furigana() const { return furigana_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool furigana_ = false;
};

// What a block of text with readings needs for them: room above each of its lines.
void makeRoomForReadings(QTextBlockFormat& format, const QFont& font);

} // namespace lw

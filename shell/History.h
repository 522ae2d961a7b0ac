// The lines of this run, kept for the player to read back, and the window that shows them.
#pragma once

#include "FuriganaText.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstddef>
#include <deque>

class QTextBrowser;
class QTextCursor;

namespace lw {

struct HistoryEntry {
    QString speaker; // empty: narration
    QString text;
    QString caption;    // the location caption of the scene the line was shown in
    int jumpState = -1; // >= 0: not a line but the start of a section, made by a screen jump here
    QList<Ruby> ruby;   // the readings, placed in the line as the message window shows it
};

// Every line shown in the message window, oldest first, for this run only. Past kLimit entries
// the oldest go.
class LineHistory {
public:
    static constexpr std::size_t kLimit = 3000;

    void addLine(const QString& speaker, const QString& text, const QString& caption, const QList<Ruby>& ruby = {});
    void startSection(int jumpState);
    const std::deque<HistoryEntry>& entries() const { return entries_; }
    // How many entries have gone from the front so far, over the limit or by clear().
    std::size_t dropped() const { return dropped_; }
    void clear();

private:
    void push(HistoryEntry entry);
    std::deque<HistoryEntry> entries_;
    std::size_t dropped_ = 0;
};

// "―― 画面ジャンプ 340 ――": the heading a screen jump leaves in the history.
QString sectionHeading(int jumpState);

// A scrollable list of the history, newest at the bottom, laid over the scene picture. It closes
// on Esc, on a click (not on a drag that selects text), or when the wheel is turned down past
// the end.
class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    explicit HistoryWindow(const LineHistory& history);

    // Fills the list, scrolled to the newest line, in `font`, over `cover` (a widget's screen
    // area), and takes the keyboard. `opener` gets the keyboard back on closing.
    void open(const QFont& font, const QRect& cover, QWidget* opener);
    void closeHistory();
    bool isOpen() const { return isVisible(); }
    // The open history in a new font over a new area (the game was zoomed), scrolled to the same
    // share of its text.
    void follow(const QFont& font, const QRect& cover);
    // Shows the history again if the window is open (a line came while it was).
    void refresh();
    // Furigana over the lines' kanji, or not; the text is laid out anew when this changes.
    void setFurigana(bool on);

    QTextBrowser* list() const { return list_; }
    // Moves the reading position `step` paragraphs (a line, a caption or a section heading) up
    // or down, scrolls it into view and returns the paragraph now there. The position starts at
    // the newest line on opening. It is not the text caret: a screen reader would read the
    // caret's line by itself, only up to the speaker's name.
    QString stepReadingLine(int step);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Brings the shown text up to the history: new entries are appended; once old ones have gone,
    // the text is written anew.
    void fill();
    void append(QTextCursor& cursor, const HistoryEntry& entry);

    const LineHistory& history_;
    RubyTextBrowser* list_;
    QPointer<QWidget> opener_;
    // What the shown text holds: entries from `shownFrom_` (counted from the history's start,
    // dropped ones included) up to `shownUpTo_`, and where its last heading left off.
    std::size_t shownFrom_ = 0;
    std::size_t shownUpTo_ = 0;
    QString caption_;
    bool newSection_ = true;
    int readingBlock_ = 0; // the paragraph stepReadingLine() is at
};

} // namespace lw

// Help for learners reading the Japanese: furigana (F), copying the line (Ctrl+C) and the
// clipboard feed that puts every new line on the clipboard (Ctrl+Shift+C).
#pragma once

#include "FuriganaText.h"

#include <QObject>
#include <QRect>
#include <QString>

#include <memory>

class QKeyEvent;
class QLabel;
class QTextBrowser;
class QWidget;

namespace lw {

struct GameWindows;

class SoundKeys;

// The part of the message window's label that its window shows, in the label's coordinates.
QRect visibleTextArea(const QLabel& label);

// `text` laid out as the label shows it with furigana, in its font and visible area; `spoken`:
// the text's first line is the speaker's name.
FuriganaLayout labelLayout(const QLabel& label, const RubyText& text, bool spoken);

class ReadingHelp : public QObject {
    Q_OBJECT
public:
    // `notes` carries the feed's confirmation in a window title, as it does for the sound keys.
    ReadingHelp(GameWindows& windows, SoundKeys& notes);
    ~ReadingHelp() override;

    bool furiganaOn() const { return furigana_; }
    void setFurigana(bool on);
    bool feedOn() const { return feed_; }

    // The marked form of the line about to be shown.
    void lineMarks(const QString& speaker, const QString& text);
    // A line shown in the message window, as shown.
    void lineShown(const QString& speaker, const QString& text);

    // F, Ctrl+C and Ctrl+Shift+C pressed in a game window or the history (`history` is the
    // history's list, or null); false for any other key.
    bool handleKey(QWidget* window, QTextBrowser* history, const QKeyEvent& key);

    // Paints the message window's label with furigana when they are on; false (the label paints
    // itself as always) when they are off.
    bool paintLabel(QLabel* label);
    // The layout the label gets with furigana: its text in its font, to its width and to the
    // part of it that lies inside its window.
    FuriganaLayout labelLayout(const QLabel& label) const;
    // The label's text as shown, with the readings of the line shown last where it still stands.
    RubyText labelText(const QLabel& label) const;

    // The readings of the line shown last, placed as the message window shows it.
    QList<Ruby> lineRuby() const;

    // Copies the line in the message window (Ctrl+C in a game window).
    void copyLine() const;
    // Copies the selection of the history as plain text; nothing happens without a selection.
    static void copySelection(const QTextBrowser& history);

private:
    void toggleFeed(QWidget* window);
    void repaintLabel() const;

    GameWindows& windows_;
    SoundKeys& notes_;
    bool furigana_ = false;
    bool feed_ = false;
    QString markedSpeaker_;
    QString markedText_;
    RubyText speaker_; // the line shown last
    RubyText text_;
    // The layout last painted, kept while the label's text and size stay the same.
    struct Cached;
    mutable std::unique_ptr<Cached> cached_;
};

} // namespace lw

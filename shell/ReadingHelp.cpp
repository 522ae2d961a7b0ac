// Furigana in the message window, copying lines and the history's selection, the clipboard feed.
#include "ReadingHelp.h"

#include "Game.h"
#include "GameWindows.h"
#include "KeyboardPlay.h"
#include "SoundKeys.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QTextBrowser>
#include <QTextDocumentFragment>

namespace lw {

struct ReadingHelp::Cached {
    QString key; // the label's text and its readings
    QSize size;
    int windowHeight;
    FuriganaLayout layout;
};

ReadingHelp::ReadingHelp(GameWindows& windows, SoundKeys& notes) : windows_(windows), notes_(notes) {}

ReadingHelp::~ReadingHelp() = default;

void ReadingHelp::setFurigana(bool on)
{
    furigana_ = on;
    repaintLabel();
}

void ReadingHelp::repaintLabel() const
{
    if (MessageWindow* message = windows_.message.ifLoaded())
        message->lineLabel->update();
}

void ReadingHelp::lineMarks(const QString& speaker, const QString& text)
{
    markedSpeaker_ = speaker;
    markedText_ = text;
}

void ReadingHelp::lineShown(const QString& speaker, const QString& text)
{
    speaker_ = rubyTextFor(speaker, markedSpeaker_);
    text_ = rubyTextFor(text, markedText_);
    markedSpeaker_.clear();
    markedText_.clear();
    // What goes on the clipboard is the line's text as shown, without the readings, the
    // speaker's name or the brackets: a dictionary tool gets the sentence alone. Each line once,
    // the moment it is shown; a line said again by the repeat key does not come through here.
    if (feed_)
        QGuiApplication::clipboard()->setText(text_.text, QClipboard::Clipboard);
}

void ReadingHelp::copyLine() const
{
    if (!text_.text.isEmpty())
        QGuiApplication::clipboard()->setText(text_.text, QClipboard::Clipboard);
}

void ReadingHelp::copySelection(const QTextBrowser& history)
{
    const QTextCursor cursor = history.textCursor();
    if (!cursor.hasSelection())
        return;
    // The fragment turns the lines' breaks into LF; the selection's own text would keep them as
    // paragraph and line separators.
    QGuiApplication::clipboard()->setText(QTextDocumentFragment(cursor).toPlainText(), QClipboard::Clipboard);
}

void ReadingHelp::toggleFeed(QWidget* window)
{
    feed_ = !feed_;
    notes_.noteInGameWindow(window, feed_ ? QStringLiteral("行をクリップボードへ：オン")
                                          : QStringLiteral("行をクリップボードへ：オフ"));
}

bool ReadingHelp::handleKey(QWidget* window, QTextBrowser* history, const QKeyEvent& key)
{
    const Qt::KeyboardModifiers chord =
        key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (key.key() == Qt::Key_C && chord == (Qt::ControlModifier | Qt::ShiftModifier)) {
        if (!key.isAutoRepeat())
            toggleFeed(window);
        return true;
    }
    if (key.key() == Qt::Key_C && chord == Qt::ControlModifier) {
        if (history)
            copySelection(*history);
        else
            copyLine();
        return true;
    }
    if (key.key() == Qt::Key_F && isPlainKey(key) && !(key.modifiers() & Qt::ShiftModifier)) {
        if (!key.isAutoRepeat())
            setFurigana(!furigana_);
        return true;
    }
    return false;
}

QList<Ruby> ReadingHelp::lineRuby() const
{
    QString shown = formatLine(speaker_.text, text_.text);
    shown.remove(QLatin1Char('\r'));
    return rubyForLine(shown, speaker_, text_).ruby;
}

RubyText ReadingHelp::labelText(const QLabel& label) const
{
    QString shown = formatLine(speaker_.text, text_.text);
    shown.remove(QLatin1Char('\r'));
    if (shown != label.text())
        return RubyText{label.text(), {}};
    return RubyText{shown, lineRuby()};
}

QRect visibleTextArea(const QLabel& label)
{
    // In the stacked layout the window is lower than the label, and side by side a pixel
    // narrower: what lies outside the window is never seen.
    QRect area = label.contentsRect();
    if (const QWidget* window = label.parentWidget())
        area &= QRect(-label.pos(), window->size());
    return area;
}

FuriganaLayout labelLayout(const QLabel& label, const RubyText& text, bool spoken)
{
    const QRect area = visibleTextArea(label);
    // A spoken line's first line is the speaker's name.
    const int nameEnd = spoken ? static_cast<int>(std::max<qsizetype>(0, text.text.indexOf(QLatin1Char('\n')))) : 0;
    return FuriganaLayout(text, label.font(), area.width(), area.height(), nameEnd);
}

FuriganaLayout ReadingHelp::labelLayout(const QLabel& label) const
{
    return lw::labelLayout(label, labelText(label), !speaker_.text.isEmpty());
}

bool ReadingHelp::paintLabel(QLabel* label)
{
    if (!furigana_)
        return false;
    QString key = label->text();
    for (const Ruby& ruby : labelText(*label).ruby)
        key += QStringLiteral("\0%1 %2 ").arg(ruby.start).arg(ruby.length) + ruby.reading;
    const int windowHeight = label->parentWidget() ? label->parentWidget()->height() : 0;
    if (!cached_ || cached_->key != key || cached_->size != label->size() || cached_->windowHeight != windowHeight)
        cached_.reset(new Cached{key, label->size(), windowHeight, labelLayout(*label)});
    QPainter painter(label);
    painter.setFont(label->font());
    cached_->layout.paint(painter, label->contentsRect().topLeft(), label->palette().color(QPalette::WindowText));
    return true;
}

} // namespace lw

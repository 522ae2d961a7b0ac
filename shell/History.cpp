// The history of lines and its window.
#include "History.h"

#include "MessageWindow.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace lw {

void LineHistory::push(HistoryEntry entry)
{
    entries_.push_back(std::move(entry));
    while (entries_.size() > kLimit) {
        entries_.pop_front();
        ++dropped_;
    }
}

void LineHistory::addLine(const QString& speaker, const QString& text, const QString& caption, const QList<Ruby>& ruby)
{
    push({speaker, text, caption, -1, ruby});
}

void LineHistory::clear()
{
    dropped_ += entries_.size();
    entries_.clear();
}

void LineHistory::startSection(int jumpState) { push({QString(), QString(), QString(), jumpState, {}}); }

QString sectionHeading(int jumpState) { return QStringLiteral("―― 画面ジャンプ %1 ――").arg(jumpState); }

HistoryWindow::HistoryWindow(const LineHistory& history)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), history_(history)
{
    setObjectName(QStringLiteral("History"));
    setWindowTitle(QStringLiteral("Lunaweave　履歴"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    list_ = new RubyTextBrowser(this);
    list_->setObjectName(QStringLiteral("HistoryList"));
    list_->setOpenLinks(false);
    // The player can select text to copy, with the mouse or with Shift and the arrow keys.
    list_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    list_->setAccessibleName(windowTitle());
    layout->addWidget(list_);
    list_->viewport()->installEventFilter(this);
}

void HistoryWindow::open(const QFont& font, const QRect& cover, QWidget* opener)
{
    opener_ = opener;
    list_->setFont(font);
    fill();
    setGeometry(cover);
    show();
    // The offscreen platform (tests) has no stacking order and says so on every call.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        raise();
    activateWindow();
    list_->setFocus();
    list_->verticalScrollBar()->setValue(list_->verticalScrollBar()->maximum());
    readingBlock_ = list_->document()->blockCount() - 1;
}

void HistoryWindow::closeHistory()
{
    if (!isVisible())
        return;
    hide();
    if (opener_ && opener_->isVisible())
        opener_->activateWindow();
}

void HistoryWindow::follow(const QFont& font, const QRect& cover)
{
    if (!isVisible())
        return;
    QScrollBar* bar = list_->verticalScrollBar();
    const double share = bar->maximum() > 0 ? double(bar->value()) / bar->maximum() : 1.0;
    list_->setFont(font);
    shownUpTo_ = 0; // the readings are placed for the font: the text is written anew
    list_->document()->clear();
    fill();
    setGeometry(cover);
    bar->setValue(static_cast<int>(std::lround(share * bar->maximum())));
}

void HistoryWindow::refresh()
{
    if (!isVisible())
        return;
    fill();
    list_->verticalScrollBar()->setValue(list_->verticalScrollBar()->maximum());
}

void HistoryWindow::setFurigana(bool on)
{
    if (on == list_->furigana())
        return;
    list_->setFurigana(on);
    shownUpTo_ = 0; // the lines' formats make room for the readings: the text is written anew
    list_->document()->clear();
    refresh();
}

void HistoryWindow::fill()
{
    const std::size_t from = history_.dropped();
    const std::size_t upTo = from + history_.entries().size();
    if (from == shownFrom_ && shownUpTo_ <= upTo && !list_->document()->isEmpty()) {
        QTextCursor cursor(list_->document());
        cursor.movePosition(QTextCursor::End);
        cursor.beginEditBlock();
        for (std::size_t i = shownUpTo_; i < upTo; ++i)
            append(cursor, history_.entries()[i - from]);
        cursor.endEditBlock();
    } else {
        // A fresh document, laid out once when the view takes it; rewriting the shown one would
        // lay it out again on every change.
        auto* document = new QTextDocument(list_);
        document->setDefaultFont(list_->font());
        QTextCursor cursor(document);
        caption_.clear();
        newSection_ = true;
        for (const HistoryEntry& entry : history_.entries())
            append(cursor, entry);
        list_->setDocument(document); // deletes the previous one, also a child of the view
    }
    shownFrom_ = from;
    shownUpTo_ = upTo;
    list_->moveCursor(QTextCursor::End);
}

void HistoryWindow::append(QTextCursor& cursor, const HistoryEntry& entry)
{
    const auto block = [&cursor](const QTextBlockFormat& format, const QTextCharFormat& chars, const QString& text) {
        if (cursor.document()->isEmpty())
            cursor.setBlockFormat(format);
        else
            cursor.insertBlock(format);
        cursor.setCharFormat(chars);
        cursor.insertText(text, chars);
    };
    QTextBlockFormat spaced;
    spaced.setTopMargin(6);
    spaced.setBottomMargin(6);
    if (entry.jumpState >= 0) {
        QTextBlockFormat centred = spaced;
        centred.setAlignment(Qt::AlignHCenter);
        QTextCharFormat grey;
        grey.setForeground(QColor(0x80, 0x80, 0x80));
        block(centred, grey, sectionHeading(entry.jumpState));
        newSection_ = true;
        return;
    }
    if (newSection_ || entry.caption != caption_) {
        caption_ = entry.caption;
        newSection_ = false;
        if (!caption_.isEmpty()) {
            QTextCharFormat bold;
            bold.setFontWeight(QFont::Bold);
            block(spaced, bold, QStringLiteral("◆ ") + caption_);
        }
    }
    // The line as the message window showed it, the speaker's name on a line of its own.
    QString shown = formatLine(entry.speaker, entry.text);
    shown.remove(QLatin1Char('\r'));
    QTextBlockFormat line;
    line.setBottomMargin(6);
    if (list_->furigana() && !entry.ruby.isEmpty())
        makeRoomForReadings(line, list_->font());
    block(line, QTextCharFormat(), shown.replace(QLatin1Char('\n'), QChar::LineSeparator));
    if (!entry.ruby.isEmpty())
        markRuby(cursor, cursor.block().position(), entry.ruby, list_->font());
    cursor.movePosition(QTextCursor::End);
}

QString HistoryWindow::stepReadingLine(int step)
{
    const QTextDocument* document = list_->document();
    readingBlock_ = std::clamp(readingBlock_ + step, 0, std::max(0, document->blockCount() - 1));
    const QTextBlock block = document->findBlockByNumber(readingBlock_);
    const QRect shown = list_->cursorRect(QTextCursor(block));
    const int below = list_->viewport()->height();
    QScrollBar* bar = list_->verticalScrollBar();
    if (shown.top() < 0)
        bar->setValue(bar->value() + shown.top());
    else if (shown.bottom() > below)
        bar->setValue(bar->value() + shown.bottom() - below);
    return block.text();
}

void HistoryWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        closeHistory();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool HistoryWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != list_->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
        // A click closes the history; a drag that selected text keeps it open for copying.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && !list_->textCursor().hasSelection()) {
            closeHistory();
            return true;
        }
        break;
    case QEvent::Wheel: {
        const QScrollBar* bar = list_->verticalScrollBar();
        if (static_cast<QWheelEvent*>(event)->angleDelta().y() < 0 && bar->value() >= bar->maximum()) {
            closeHistory();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace lw

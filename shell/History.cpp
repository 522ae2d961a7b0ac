// The history of lines and its window.
#include "History.h"

#include "GameState.h"
#include "Lunaweave.h"
#include "SceneCatalogue.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace lw {

void LineHistory::push(HistoryEntry entry)
{
    entries_.push_back(std::move(entry));
    while (entries_.size() > kLimit)
        entries_.pop_front();
}

void LineHistory::addLine(const QString& speaker, const QString& text, const QString& caption)
{
    push({speaker, text, caption, -1});
}

void LineHistory::startSection(int jumpState) { push({QString(), QString(), QString(), jumpState}); }

QString sceneCaptionOnScreen()
{
    const int scene = sceneOf(LastShownState());
    return scene > 0 && scene < kSceneSlots ? SceneCaption[static_cast<std::size_t>(scene)] : QString();
}

QString sectionHeading(int jumpState) { return QStringLiteral("―― 画面ジャンプ %1 ――").arg(jumpState); }

HistoryWindow::HistoryWindow(const LineHistory& history)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), history_(history)
{
    setObjectName(QStringLiteral("History"));
    setWindowTitle(QStringLiteral("Lunaweave　履歴"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    list_ = new QTextBrowser(this);
    list_->setObjectName(QStringLiteral("HistoryList"));
    list_->setOpenLinks(false);
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
}

void HistoryWindow::closeHistory()
{
    if (!isVisible())
        return;
    hide();
    if (opener_ && opener_->isVisible())
        opener_->activateWindow();
}

void HistoryWindow::refresh()
{
    if (!isVisible())
        return;
    fill();
    list_->verticalScrollBar()->setValue(list_->verticalScrollBar()->maximum());
}

void HistoryWindow::fill()
{
    list_->clear();
    QTextCursor cursor(list_->document());
    QTextBlockFormat lineFormat;
    lineFormat.setBottomMargin(6);
    QTextBlockFormat headingFormat;
    headingFormat.setTopMargin(6);
    headingFormat.setBottomMargin(6);
    QTextBlockFormat sectionFormat = headingFormat;
    sectionFormat.setAlignment(Qt::AlignHCenter);
    QTextCharFormat plain;
    QTextCharFormat heading;
    heading.setFontWeight(QFont::Bold);
    QTextCharFormat section;
    section.setForeground(QColor(0x80, 0x80, 0x80));

    bool first = true;
    QString caption;
    bool newSection = true;
    const auto block = [&](const QTextBlockFormat& format, const QTextCharFormat& chars, const QString& text) {
        if (first)
            cursor.setBlockFormat(format);
        else
            cursor.insertBlock(format);
        first = false;
        cursor.setCharFormat(chars);
        cursor.insertText(text, chars);
    };
    for (const HistoryEntry& entry : history_.entries()) {
        if (entry.jumpState >= 0) {
            block(sectionFormat, section, sectionHeading(entry.jumpState));
            newSection = true;
            continue;
        }
        if (newSection || entry.caption != caption) {
            caption = entry.caption;
            if (!caption.isEmpty())
                block(headingFormat, heading, QStringLiteral("◆ ") + caption);
            newSection = false;
        }
        // The line as the message window showed it; the block breaks at the LF.
        QString shown = formatLine(entry.speaker, entry.text);
        shown.remove(QLatin1Char('\r'));
        block(lineFormat, plain, shown.replace(QLatin1Char('\n'), QChar::LineSeparator));
    }
    list_->moveCursor(QTextCursor::End);
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
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
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

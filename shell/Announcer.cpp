// Texts said through the screen reader as notifications, through Qt's accessibility classes.
#include "Announcer.h"

#include "Ruby.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <utility>

namespace lw::speech {
namespace {

// Notices kept alive per window: a reader that falls behind still finds the ones it is about to
// speak; older ones are deleted.
constexpr int kKeptNotices = 8;

// The container the notices live in; its role tells the reader they are status messages.
class SpeechBar : public QWidget {
    Q_OBJECT
public:
    explicit SpeechBar(QWidget* window) : QWidget(window)
    {
        setObjectName(QStringLiteral("speechBar"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(0, 0, 1, 1); // an object of no size is not reported as showing
        show();
    }
};

// One text said: its accessible name is the text.
class SpeechNotice : public QWidget {
    Q_OBJECT
public:
    SpeechNotice(SpeechBar* bar, const QString& text) : QWidget(bar), text_(text)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(0, 0, 1, 1);
    }
    const QString& text() const { return text_; }

private:
    QString text_;
};

class NoticeAccessible : public QAccessibleWidget {
public:
    explicit NoticeAccessible(SpeechNotice* notice) : QAccessibleWidget(notice, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<const SpeechNotice*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* speechInterfaces(const QString&, QObject* object)
{
    if (auto* notice = qobject_cast<SpeechNotice*>(object))
        return new NoticeAccessible(notice);
    if (auto* bar = qobject_cast<SpeechBar*>(object))
        return new QAccessibleWidget(bar, QAccessible::StatusBar);
    return nullptr;
}

// The window with the keyboard, if it is on screen.
QWidget* activeWindow()
{
    QWidget* active = QApplication::activeWindow();
    return active && active->isVisible() ? active : nullptr;
}

// Some visible window, for when none has the keyboard.
QWidget* anyVisibleWindow()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->isWindow() && !window->isMinimized())
            return window;
    return nullptr;
}

void say(QWidget* window, const QString& text);

// Texts said while no window has the keyboard, as when the title gives way to the game's
// windows: a notice in a window that is closing would be lost. Opening windows also floods the
// reader with events, and a reader that catches up with a flood when a window is activated
// throws away the notices still queued; so the texts wait until windows have stopped changing
// hands for a moment, and are then said in the window that has the keyboard (or, after a longer
// wait, in any visible one).
} // namespace

class WaitingTexts : public QObject {
public:
    static constexpr int kSettleMs = 300;
    static constexpr int kLongestWaitMs = 1000;

    WaitingTexts()
    {
        settle_.setSingleShot(true);
        settle_.setInterval(kSettleMs);
        connect(&settle_, &QTimer::timeout, this, [this] { sayAll(activeWindow()); });
        fallback_.setSingleShot(true);
        fallback_.setInterval(kLongestWaitMs);
        connect(&fallback_, &QTimer::timeout, this, [this] {
            if (!sayAll(activeWindow()) && !sayAll(anyVisibleWindow()))
                fallback_.start(); // nothing on screen yet: wait on
        });
    }
    void add(const QString& text)
    {
        if (texts_.isEmpty()) {
            qApp->installEventFilter(this);
            fallback_.start();
        }
        texts_ << text;
    }
    bool isEmpty() const { return texts_.isEmpty(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::WindowActivate)
            if (auto* window = qobject_cast<QWidget*>(watched); window && window->isWindow())
                settle_.start();
        return false;
    }

private:
    bool sayAll(QWidget* window)
    {
        if (!window || texts_.isEmpty())
            return false;
        settle_.stop();
        fallback_.stop();
        qApp->removeEventFilter(this);
        const QStringList texts = std::exchange(texts_, {});
        for (const QString& text : texts)
            say(window, text);
        return true;
    }

    QStringList texts_;
    QTimer settle_;
    QTimer fallback_;
};

namespace {

SpeechBar* barOf(QWidget* window)
{
    if (auto* bar = window->findChild<SpeechBar*>(QString(), Qt::FindDirectChildrenOnly))
        return bar;
    return new SpeechBar(window);
}

} // namespace

// Qt keeps one copy of a factory however often it is installed.
Announcer::Announcer() : waiting_(std::make_unique<WaitingTexts>()) { QAccessible::installFactory(speechInterfaces); }

Announcer::~Announcer() = default;

bool Announcer::listening() const { return QAccessible::isActive() || withoutListener_; }

QString Announcer::spokenForm(const QString& marked) const
{
    const std::string text = marked.toStdString();
    return QString::fromStdString(kanaOn_ ? story::kanaReading(text) : story::displayText(text));
}

void Announcer::announce(const QString& text)
{
    if (!listening())
        return;
    QString said = text;
    said.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (const QChar breakChar :
         {QChar(u'\n'), QChar(u'\r'), QChar(QChar::LineSeparator), QChar(QChar::ParagraphSeparator)})
        said.replace(breakChar, QLatin1Char(' '));
    said = said.trimmed();
    if (said.isEmpty())
        return;
    if (QWidget* window = activeWindow(); window && waiting_->isEmpty())
        say(window, said);
    else
        waiting_->add(said); // after those still waiting, in order
}

namespace {

void say(QWidget* window, const QString& said)
{
    SpeechBar* bar = barOf(window);
    const QList<SpeechNotice*> older = bar->findChildren<SpeechNotice*>(QString(), Qt::FindDirectChildrenOnly);
    for (qsizetype i = 0; i < older.size(); ++i) {
        if (i + kKeptNotices <= older.size())
            older[i]->deleteLater();
        else
            older[i]->hide();
    }
    auto* notice = new SpeechNotice(bar, said);
    notice->show(); // the reader speaks it on this
}

} // namespace

} // namespace lw::speech

#include "Announcer.moc"

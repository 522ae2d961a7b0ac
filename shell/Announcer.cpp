// Texts said through the screen reader as notifications, through Qt's accessibility classes.
#include "Announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QPointer>
#include <QWidget>

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

// The window the text is said in: the one with the keyboard, or else a visible one.
QWidget* hostWindow()
{
    if (QWidget* active = QApplication::activeWindow(); active && active->isVisible())
        return active;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->isWindow() && !window->isMinimized())
            return window;
    return nullptr;
}

SpeechBar* barOf(QWidget* window)
{
    if (auto* bar = window->findChild<SpeechBar*>(QString(), Qt::FindDirectChildrenOnly))
        return bar;
    static bool factoryInstalled = false;
    if (!factoryInstalled) {
        QAccessible::installFactory(speechInterfaces);
        factoryInstalled = true;
    }
    return new SpeechBar(window);
}

bool withoutListener = false;

} // namespace

void sayWithoutListener(bool on) { withoutListener = on; }

QString spokenForm(const QString& shown) { return shown; }

void announce(const QString& text)
{
    if (!QAccessible::isActive() && !withoutListener)
        return;
    QString said = text;
    said.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (const QChar breakChar : {QChar(u'\n'), QChar(u'\r'), QChar(QChar::LineSeparator), QChar(QChar::ParagraphSeparator)})
        said.replace(breakChar, QLatin1Char(' '));
    said = said.trimmed();
    QWidget* window = hostWindow();
    if (said.isEmpty() || !window)
        return;
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

} // namespace lw::speech

#include "Announcer.moc"

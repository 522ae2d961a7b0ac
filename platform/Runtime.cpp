// The program's end and the first window's follow-up work.
#include "Runtime.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace lw {

void ProcessEnd::end(int status)
{
    runShutdownHooks();
    std::fflush(stdout);
    std::fflush(stderr);
    // _Exit: no static destructors and no window events run after this point, so no half-torn-down
    // window can deliver a close or unload handler.
    std::_Exit(status);
}

void ProcessEnd::fatal(const QString& message)
{
    std::fprintf(stderr, "Lunaweave: %s\n", message.toUtf8().constData());
    std::fflush(stderr);
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Lunaweave"),
                        QStringLiteral("実行時エラーが発生したため、ゲームを終了します。\n\n") + message,
                        QMessageBox::Ok);
        box.exec();
    }
    end(1);
}

void ProcessEnd::addShutdownHook(std::function<void()> hook) { hooks_.push_back(std::move(hook)); }

void ProcessEnd::runShutdownHooks()
{
    auto list = std::move(hooks_);
    hooks_.clear();
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        (*it)();
}

namespace runtime {
namespace {

// Waits, as an application event filter, for the first window's show. The show event comes before
// the window is mapped, so the action is queued rather than run there.
class FirstWindowWatch : public QObject {
public:
    explicit FirstWindowWatch(std::function<void()> action) : QObject(qApp), action_(std::move(action))
    {
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
            qApp->removeEventFilter(this);
            QTimer::singleShot(0, qApp, std::move(action_));
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> action_;
};

} // namespace

void whenFirstWindowShown(std::function<void()> action) { new FirstWindowWatch(std::move(action)); }

} // namespace runtime
} // namespace lw

// The program's end and the first window's follow-up work.
#include "Runtime.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace lw::runtime {
namespace {

std::vector<std::function<void()>>& hooks()
{
    static std::vector<std::function<void()>> list;
    return list;
}

void exitAtOnce(int status)
{
    runShutdownHooks();
    std::fflush(stdout);
    std::fflush(stderr);
    // _Exit: no static destructors and no window events run after this point, so no half-torn-down
    // window can deliver a close or unload handler.
    std::_Exit(status);
}

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

EndHandler& endHandler()
{
    static EndHandler handler = exitAtOnce;
    return handler;
}

} // namespace

void endProgram(int status) { endHandler()(status); }

EndHandler setEndHandler(EndHandler handler)
{
    EndHandler previous = std::move(endHandler());
    endHandler() = handler ? std::move(handler) : EndHandler(exitAtOnce);
    return previous;
}

void addShutdownHook(std::function<void()> hook) { hooks().push_back(std::move(hook)); }

void runShutdownHooks()
{
    auto list = std::move(hooks());
    hooks().clear();
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        (*it)();
}

void whenFirstWindowShown(std::function<void()> action) { new FirstWindowWatch(std::move(action)); }

} // namespace lw::runtime

// The termination signals, turned into a call on the window thread through a self-pipe: the
// handler only writes the signal's number to a pipe, which is async-signal-safe; a socket
// notifier on the window thread reads it.
#include "TerminationSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace lw {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT};

// The pipe's write end, for the handler: a signal handler can reach nothing else. -1 while no
// TerminationSignals exists.
std::atomic<int> handlerWriteEnd{-1};

extern "C" void onTerminationSignal(int signal)
{
    const int savedErrno = errno;
    const int fd = handlerWriteEnd.load(std::memory_order_relaxed);
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(signal);
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal))
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the signals keep their default actions
    readEnd_ = ends[0];
    handlerWriteEnd.store(ends[1]);
    notifier_ = new QSocketNotifier(readEnd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readSignals);

    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    // Restarted system calls, and the default action back for a second signal.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    for (int signal : kSignals)
        std::signal(signal, SIG_DFL);
    const int writeEnd = handlerWriteEnd.exchange(-1);
    if (writeEnd >= 0)
        ::close(writeEnd);
    if (readEnd_ >= 0) {
        delete notifier_;
        ::close(readEnd_);
    }
}

void TerminationSignals::readSignals()
{
    unsigned char caught[16];
    const ssize_t count = ::read(readEnd_, caught, sizeof caught);
    if (count > 0 && onSignal_)
        onSignal_(caught[0]);
}

} // namespace lw

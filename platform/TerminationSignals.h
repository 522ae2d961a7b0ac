// SIGTERM and SIGINT (a logout, a process manager, Ctrl+C in a terminal) end the game the way its
// own quit does, on the window thread, instead of killing it mid-write.
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace lw {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Catches SIGTERM and SIGINT from now on; `onSignal` runs on the window thread, from the event
    // loop, with the signal's number. A second such signal, once the first has been caught, ends
    // the process at once as it would have without this. One instance at a time.
    explicit TerminationSignals(std::function<void(int signal)> onSignal, QObject* parent = nullptr);
    ~TerminationSignals() override; // the default actions again

private:
    void readSignals();

    std::function<void(int)> onSignal_;
    int readEnd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace lw

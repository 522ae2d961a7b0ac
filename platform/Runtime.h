// Ending the program, and work that waits for the first window.
#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace lw {

// How the game ends the run. Callers return right after asking for the end: the real ending never
// comes back, a test's records the status and does.
class ProgramEnd {
public:
    virtual ~ProgramEnd() = default;
    // Ends the program at once with `status`.
    virtual void end(int status) = 0;
    // An error the game cannot go on from: reported to the player, then the end with status 1.
    virtual void fatal(const QString& message) = 0;
};

// The real ending: the shutdown work runs (the audio is closed cleanly, which finalizes a
// recording), then the process exits without running any further window event.
class ProcessEnd : public ProgramEnd {
public:
    void end(int status) override;
    // Writes the message to standard error and shows it in a modal error box, then ends.
    void fatal(const QString& message) override;

    // Work for the end of the run, run last added first.
    void addShutdownHook(std::function<void()> hook);
    void runShutdownHooks();

private:
    std::vector<std::function<void()>> hooks_;
};

namespace runtime {

// Runs `action` once, from the event loop, after the first top-level window has been shown (its
// map request already sent), ahead of anything that window queued when it was shown. Work the
// first window need not wait for starts here. Needs the application object.
void whenFirstWindowShown(std::function<void()> action);

} // namespace runtime
} // namespace lw

// Ending the program, and work that waits for the first window.
#pragma once

#include <functional>

namespace lw::runtime {

// Ends the program at once with `status`: the shutdown hooks run (the audio is closed cleanly),
// then the process exits without running any further window event. Tests replace the ending
// with a handler of their own; callers return right after calling it.
void endProgram(int status = 0);
using EndHandler = std::function<void(int status)>;
EndHandler setEndHandler(EndHandler handler); // returns the previous handler
void addShutdownHook(std::function<void()> hook);
void runShutdownHooks();

// Runs `action` once, from the event loop, after the first top-level window has been shown (its
// map request already sent), ahead of anything that window queued when it was shown. Work the
// first window need not wait for starts here. Needs the application object.
void whenFirstWindowShown(std::function<void()> action);

} // namespace lw::runtime

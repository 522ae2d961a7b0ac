// Start-up as a player sees it: starts a program and times, from another X client, the first map
// of one of its top-level windows.
//
// Usage: bench_map_observer [--timeout-ms N] -- program [arguments...]
// Prints the milliseconds from just before the program is started to the first MapNotify of a
// top-level window (a child of the root window that is not an override-redirect pop-up), and the
// milliseconds of CPU the program's threads had used by then (less disturbed by a busy machine),
// then ends the program. Exits 1 with a message when no window maps within the timeout.
#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) * 1e-6;
}

// CPU time of every thread of `pid` so far, from the scheduler's nanosecond counters.
double cpuMs(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    double total = 0;
    if (DIR* dir = opendir(tasks.c_str())) {
        while (dirent* entry = readdir(dir)) {
            if (entry->d_name[0] == '.')
                continue;
            if (std::FILE* f = std::fopen((tasks + "/" + entry->d_name + "/schedstat").c_str(), "r")) {
                unsigned long long ns = 0;
                if (std::fscanf(f, "%llu", &ns) == 1)
                    total += static_cast<double>(ns) * 1e-6;
                std::fclose(f);
            }
        }
        closedir(dir);
    }
    return total;
}

void endChild(pid_t child)
{
    kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

int main(int argc, char* argv[])
{
    int timeoutMs = 30000;
    int first = 1;
    for (; first < argc; ++first) {
        const std::string arg = argv[first];
        if (arg == "--timeout-ms" && first + 1 < argc) {
            timeoutMs = std::atoi(argv[++first]);
        } else if (arg == "--") {
            ++first;
            break;
        } else {
            break;
        }
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: %s [--timeout-ms N] -- program [arguments...]\n", argv[0]);
        return 2;
    }

    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "cannot connect to the X display\n");
        return 2;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    // Checked, so the selection is in force before the program starts.
    xcb_generic_error_t* error =
        xcb_request_check(connection, xcb_change_window_attributes_checked(connection, root, XCB_CW_EVENT_MASK, &mask));
    if (error) {
        std::fprintf(stderr, "cannot watch the root window (X error %d)\n", error->error_code);
        std::free(error);
        return 2;
    }

    const double start = nowMs();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("fork");
        return 2;
    }
    if (child == 0) {
        execvp(argv[first], argv + first);
        std::perror(argv[first]);
        _exit(127);
    }

    pollfd watch{xcb_get_file_descriptor(connection), POLLIN, 0};
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const bool topLevelMap = (event->response_type & 0x7f) == XCB_MAP_NOTIFY &&
                                     reinterpret_cast<xcb_map_notify_event_t*>(event)->event == root &&
                                     !reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect;
            std::free(event);
            if (topLevelMap) {
                const double elapsed = nowMs() - start;
                const double cpu = cpuMs(child);
                endChild(child);
                std::printf("%.3f %.3f\n", elapsed, cpu);
                xcb_disconnect(connection);
                return 0;
            }
        }
        if (xcb_connection_has_error(connection))
            break;
        const int left = timeoutMs - static_cast<int>(nowMs() - start);
        if (left <= 0)
            break;
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "%s ended before mapping a window\n", argv[first]);
            xcb_disconnect(connection);
            return 1;
        }
        // Wakes at least every 100 ms to notice a program that ended without a window.
        poll(&watch, 1, left < 100 ? left : 100);
    }
    endChild(child);
    std::fprintf(stderr, "no top-level window of %s mapped within %d ms\n", argv[first], timeoutMs);
    xcb_disconnect(connection);
    return 1;
}

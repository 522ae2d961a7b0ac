// Zoom and fullscreen as a player sees them: presses a key through XTest and times, from another X
// client, how long the given windows take to be drawn at their new size.
//
// Usage: bench_resize_observer [--timeout-ms N] [--settle-ms N] KEY WINDOW [WINDOW...]
// KEY is a key name with modifiers, as "ctrl+equal", "ctrl+minus", "ctrl+0", "F11" or
// "alt+Return"; the windows are X window ids (decimal or 0x hex) of the program's top-level
// windows, and the key goes to whichever has the keyboard focus. A window is done when it has
// been drawn (XDamage) after a ConfigureNotify that changed its size, or when it is unmapped. A
// program may draw its new frame before the window manager has resized the window (Qt does so when
// a window shrinks); when a window was drawn after the key and nothing more follows its new size
// within the settle time (200 ms, --settle-ms), that frame showed at the resize, and the resize is
// when it is done.
// Prints the milliseconds from the key press to the last window done, then for each window the
// milliseconds to its new size and to its first drawing after it (-1 for an unmapped window).
// Exits 1 with a message when a window is not done within the timeout.
#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <string>
#include <vector>

namespace {

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) * 1e-6;
}

// The keysyms of the names this benchmark needs.
xcb_keysym_t keysymOf(const std::string& name)
{
    static const struct {
        const char* name;
        xcb_keysym_t keysym;
    } kNames[] = {{"ctrl", 0xffe3}, {"alt", 0xffe9}, {"shift", 0xffe1}, {"equal", 0x3d},   {"plus", 0x2b},
                  {"minus", 0x2d},  {"0", 0x30},     {"F11", 0xffc8},   {"Return", 0xff0d}};
    for (const auto& known : kNames)
        if (name == known.name)
            return known.keysym;
    return 0;
}

// The first key code that gives `keysym` at any level of the keyboard's mapping; 0 when none does.
xcb_keycode_t keycodeOf(xcb_connection_t* connection, xcb_keysym_t keysym)
{
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* mapping = xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, static_cast<std::uint8_t>(count)),
        nullptr);
    if (!mapping)
        return 0;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping);
    xcb_keycode_t found = 0;
    for (int code = 0; code < count && !found; ++code)
        for (int level = 0; level < mapping->keysyms_per_keycode; ++level)
            if (keysyms[code * mapping->keysyms_per_keycode + level] == keysym) {
                found = static_cast<xcb_keycode_t>(setup->min_keycode + code);
                break;
            }
    std::free(mapping);
    return found;
}

struct Watched {
    xcb_window_t window;
    xcb_damage_damage_t damage;
    int width, height;
    double resizedMs = -1, drawnMs = -1;
    bool drawnSinceKey = false;
    bool done = false;
};

} // namespace

int main(int argc, char* argv[])
{
    int timeoutMs = 3000;
    double settleMs = 200;
    int first = 1;
    for (; first + 1 < argc; first += 2) {
        if (std::strcmp(argv[first], "--timeout-ms") == 0)
            timeoutMs = std::atoi(argv[first + 1]);
        else if (std::strcmp(argv[first], "--settle-ms") == 0)
            settleMs = std::atof(argv[first + 1]);
        else
            break;
    }
    if (argc - first < 2) {
        std::fprintf(stderr, "usage: %s [--timeout-ms N] [--settle-ms N] KEY WINDOW [WINDOW...]\n", argv[0]);
        return 2;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "cannot connect to the X display\n");
        return 2;
    }
    const xcb_query_extension_reply_t* damageExtension = xcb_get_extension_data(connection, &xcb_damage_id);
    if (!damageExtension || !damageExtension->present) {
        std::fprintf(stderr, "the X server has no DAMAGE extension\n");
        return 2;
    }
    std::free(xcb_damage_query_version_reply(connection, xcb_damage_query_version(connection, 1, 1), nullptr));
    const std::uint8_t damageNotify = damageExtension->first_event + XCB_DAMAGE_NOTIFY;

    // The key: modifiers first, pressed in order and released in reverse.
    std::vector<xcb_keycode_t> keys;
    const std::string keyName = argv[first];
    for (std::size_t start = 0;;) {
        const std::size_t plus = keyName.find('+', start);
        const std::string name = keyName.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        const xcb_keycode_t code = keycodeOf(connection, keysymOf(name));
        if (!code) {
            std::fprintf(stderr, "no key code for %s\n", name.c_str());
            return 2;
        }
        keys.push_back(code);
        if (plus == std::string::npos)
            break;
        start = plus + 1;
    }

    std::vector<Watched> watched;
    for (int i = first + 1; i < argc; ++i) {
        Watched w{static_cast<xcb_window_t>(std::strtoul(argv[i], nullptr, 0)), xcb_generate_id(connection), 0, 0};
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, w.window), nullptr);
        if (!geometry) {
            std::fprintf(stderr, "no window %s\n", argv[i]);
            return 2;
        }
        w.width = geometry->width;
        w.height = geometry->height;
        std::free(geometry);
        const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection, w.window, XCB_CW_EVENT_MASK, &mask);
        xcb_damage_create(connection, w.damage, w.window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
        watched.push_back(w);
    }
    // Everything above in force, and whatever it reported already, before the key goes.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection))
        std::free(event);
    for (const Watched& w : watched)
        xcb_damage_subtract(connection, w.damage, XCB_NONE, XCB_NONE);
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection))
        std::free(event);

    const double start = nowMs();
    for (const xcb_keycode_t code : keys)
        xcb_test_fake_input(connection, XCB_KEY_PRESS, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    for (auto code = keys.rbegin(); code != keys.rend(); ++code)
        xcb_test_fake_input(connection, XCB_KEY_RELEASE, *code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(connection);

    pollfd watch{xcb_get_file_descriptor(connection), POLLIN, 0};
    std::size_t done = 0;
    while (done < watched.size()) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const double at = nowMs() - start;
            const std::uint8_t type = event->response_type & 0x7f;
            for (Watched& w : watched) {
                if (w.done)
                    continue;
                if (type == XCB_CONFIGURE_NOTIFY) {
                    const auto* configure = reinterpret_cast<xcb_configure_notify_event_t*>(event);
                    if (configure->window == w.window &&
                        (configure->width != w.width || configure->height != w.height)) {
                        w.width = configure->width;
                        w.height = configure->height;
                        w.resizedMs = at;
                    }
                } else if (type == XCB_UNMAP_NOTIFY) {
                    if (reinterpret_cast<xcb_unmap_notify_event_t*>(event)->window == w.window) {
                        w.done = true;
                        ++done;
                    }
                } else if (type == damageNotify) {
                    const auto* damage = reinterpret_cast<xcb_damage_notify_event_t*>(event);
                    if (damage->damage == w.damage) {
                        xcb_damage_subtract(connection, w.damage, XCB_NONE, XCB_NONE);
                        w.drawnSinceKey = true;
                        if (w.resizedMs >= 0) {
                            w.drawnMs = at;
                            w.done = true;
                            ++done;
                        }
                    }
                }
            }
            std::free(event);
        }
        xcb_flush(connection);
        if (xcb_connection_has_error(connection))
            break;
        for (Watched& w : watched) {
            if (!w.done && w.drawnSinceKey && w.resizedMs >= 0 && nowMs() - start - w.resizedMs > settleMs) {
                w.drawnMs = w.resizedMs;
                w.done = true;
                ++done;
            }
        }
        const int left = timeoutMs - static_cast<int>(nowMs() - start);
        if (done < watched.size() && left <= 0) {
            std::fprintf(stderr, "not every window was drawn at a new size within %d ms\n", timeoutMs);
            return 1;
        }
        if (done < watched.size())
            poll(&watch, 1, left < 20 ? left : 20); // wakes to see whether a resized window has settled
    }
    double last = 0;
    for (const Watched& w : watched)
        last = std::max(last, w.drawnMs);
    std::printf("%.3f", last);
    for (const Watched& w : watched)
        std::printf(" %.3f %.3f", w.resizedMs, w.drawnMs);
    std::printf("\n");
    for (const Watched& w : watched)
        xcb_damage_destroy(connection, w.damage);
    xcb_disconnect(connection);
    return 0;
}

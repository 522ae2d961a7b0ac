#!/usr/bin/python3
"""The game read by an assistive tool: the real game under Xvfb, in this D-Bus session, with the
AT-SPI registry; an AT-SPI client follows the walkthrough's first scenes, driving the game through
X with its keys and the mouse, and checks that the message label's name it is told about equals
the line the game shows after every click, and that the main window's name is the scene caption.
The client switches accessibility on the way a screen reader does (org.a11y.Status.IsEnabled), so
the game needs no setting of its own.

Run it inside its own session bus:
    dbus-run-session -- /usr/bin/python3 screen_reader_walkthrough.py --game G --data D --oracle O

Debian's python3 is named on purpose: the AT-SPI bindings are Debian packages. Exits 77 (skipped)
when a tool it needs is missing.
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from orca_session import DesktopError, game_arguments, game_environment, start_xvfb  # noqa: E402

SKIP = 77
COMMAND_NAMES = {1: "見る", 2: "話をする", 3: "考えてみる", 4: "魔法を使う", 5: "次へ"}
MESSAGE_CAPTION = "Lunaweave"
TITLE_CAPTION = "Lunaweave\u3000オープニング"
HISTORY_CAPTION = "Lunaweave\u3000履歴"
# Keys for the left, middle and right third, taken in turn so that each of them is used.
COLUMN_KEYS = {1: ["Left", "z"], 2: ["Down", "x", "space", "Return"], 3: ["Right", "c"]}


class Failure(Exception):
    pass


def skip(reason):
    print(f"SKIPPED: {reason}")
    sys.exit(SKIP)


def stop(game, server, work):
    """Ends the game (if it started) and the X server, and removes the run's private folder."""
    if game is not None:
        game.terminate()
        try:
            game.wait(timeout=10)
        except subprocess.TimeoutExpired:
            game.kill()
            game.wait()
    server.terminate()
    server.wait(timeout=10)
    shutil.rmtree(work, ignore_errors=True)


class Client:
    """The AT-SPI side: waits on the bus, finds the game's windows, records name changes."""

    def __init__(self):
        from gi.repository import Gio, GLib
        # What a screen reader does when it starts: it tells the session that assistive tools are
        # listening, and toolkits that start from then on expose their windows.
        bus = Gio.bus_get_sync(Gio.BusType.SESSION)
        bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                      GLib.Variant("(ssv)", ("org.a11y.Status", "IsEnabled", GLib.Variant("b", True))),
                      None, Gio.DBusCallFlags.NONE, 10000, None)
        import pyatspi
        self.pyatspi = pyatspi
        self.glib = GLib
        self.context = GLib.MainContext.default()
        self.names = []  # (source, name) of every accessible-name change, in order
        # Listening first also brings the registry up before the game asks for it.
        pyatspi.Registry.registerEventListener(self._on_name, "object:property-change:accessible-name")

    def _on_name(self, event):
        try:
            self.names.append((event.source, event.source.name))
        except Exception:  # the object may be gone already
            pass

    def wait_for(self, what, condition, timeout):
        """Runs the bus until condition() returns something true; wakes at least every 50 ms."""
        deadline = time.monotonic() + timeout
        while True:
            while self.context.pending():
                self.context.iteration(False)
            value = condition()
            if value:
                return value
            if time.monotonic() > deadline:
                raise Failure(f"timed out after {timeout} s waiting for {what}")
            self.glib.timeout_add(50, lambda: False)
            self.context.iteration(True)

    def drain(self):
        while self.context.pending():
            self.context.iteration(False)

    def game(self):
        desktop = self.pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == "Lunaweave":
                return app
        return None

    def frame(self, match):
        app = self.game()
        if app is None:
            return None
        for i in range(app.childCount):
            try:
                window = app.getChildAtIndex(i)
                if window is not None and window.getRoleName() == "frame" and match(window.name) and showing(window):
                    return window
            except Exception:  # a window that closed during the scan, such as the demo unloading itself
                continue
        return None


def showing(accessible):
    from pyatspi import STATE_SHOWING
    return accessible.getState().contains(STATE_SHOWING)


def children(accessible):
    return [accessible.getChildAtIndex(i) for i in range(accessible.childCount)]


def descendants(accessible):
    for child in children(accessible):
        if child is not None:
            yield child
            yield from descendants(child)


def centre(accessible, pyatspi):
    x, y, width, height = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return x + width // 2, y + height // 2, x, y, width, height


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True, timeout=20)


def check(condition, message):
    if not condition:
        raise Failure(message)


def run(args):
    route = [json.loads(line) for line in
             subprocess.run([args.oracle, str(args.until)], check=True, capture_output=True, text=True,
                            timeout=30).stdout.splitlines()]
    check(len(route) > 1, "the route is empty")

    work = tempfile.mkdtemp(prefix="lw-a11y-")
    server, display = start_xvfb()
    os.environ["DISPLAY"] = display
    game = None
    passed = 0
    try:
        client = Client()
        game = subprocess.Popen([args.game], cwd=args.data, env=game_environment(work))
        pyatspi = client.pyatspi

        # The title, after the opening demo: its texts are readable.
        title = client.wait_for("the title window", lambda: client.frame(lambda n: n == TITLE_CAPTION), 60)
        texts = {label.name for label in children(title) if label is not None}
        for text in ("Luna", "weave", "Kestrune\u30002026年\u3000制作・著作", "Solvenne\u3000３"):
            check(text in texts, f"the title window does not read {text!r}: {sorted(texts)}")
        passed += 1
        x, y, *_ = centre(title, pyatspi)
        xdotool("mousemove", str(x), str(y), "click", "1")

        main = client.wait_for("the main window", lambda: client.frame(lambda n: n.startswith("Lunaweave\u3000【")), 30)
        message = client.wait_for("the message window", lambda: client.frame(lambda n: n == MESSAGE_CAPTION), 30)
        label = client.wait_for("the message label", lambda: next(
            (c for c in children(message) if c is not None and c.getRoleName() == "label"), None), 10)
        picture = next(c for c in children(main) if c is not None and c.getRoleName() == "image")
        icons = {}
        for child in descendants(main):
            if child.getRoleName() == "push button" and showing(child):
                icons[child.name] = child
        check(sorted(icons) == sorted(COMMAND_NAMES.values()), f"icons read as {sorted(icons)}")
        hover = next(c for c in descendants(main) if c.getRoleName() == "label")

        def message_is(expected):
            return lambda: label.name == expected

        client.wait_for(f"the first line {route[0]['line']!r}", message_is(route[0]["line"]), 20)
        check(main.name == route[0]["title"], f"main window reads {main.name!r}, expected {route[0]['title']!r}")
        check(picture.name in route[0]["title"], f"the scene picture reads {picture.name!r}")
        passed += 1

        # Keyboard focus on the main window, as a keyboard player has it.
        window_id = subprocess.run(["xdotool", "search", "--name", "^Lunaweave\u3000【"], check=True,
                                   capture_output=True, text=True, timeout=20).stdout.split()[0]
        xdotool("windowfocus", "--sync", window_id)

        selected = 0
        turns = {1: 0, 2: 0, 3: 0}
        for number, step in enumerate(route[1:], start=1):
            client.drain()
            heard_before = len(client.names)
            if step["command"] != selected:
                xdotool("key", str(step["command"]))
                name = COMMAND_NAMES[step["command"]]
                client.wait_for(f"the hover label to read {name}", lambda: hover.name == name, 10)
                selected = step["command"]
            if number % 5 == 0:
                # Now and then a real mouse click on the picture's third instead of a key.
                _, _, left, top, width, height = centre(picture, pyatspi)
                xdotool("mousemove", str(left + width * (2 * step["column"] - 1) // 6), str(top + height // 2),
                        "click", "1")
            else:
                keys = COLUMN_KEYS[step["column"]]
                xdotool("key", keys[turns[step["column"]] % len(keys)])
                turns[step["column"]] += 1
            expected = step["line"]
            if step["lines"] == 0:
                # A row that shows no line (only the state moves on): there is nothing to hear, and
                # the next click's line tells whether this one was taken.
                continue

            def told():
                return any(source == label and name == expected for source, name in client.names[heard_before:])

            if step["title"] != route[number - 1]["title"]:
                caption = step["title"]
                client.wait_for(f"click {number} to announce the place {caption!r}", lambda: any(
                    source == main and name == caption for source, name in client.names[heard_before:]), 20)

            try:
                client.wait_for(f"click {number} (state {step['state']}) to announce {expected!r}", told, 20)
            except Failure as failure:
                heard = [name for _, name in client.names[heard_before:]]
                raise Failure(f"{failure}; heard {heard}, the label reads {label.name!r}") from None
            check(label.name == expected, f"click {number}: the label reads {label.name!r}, expected {expected!r}")
            check(main.name == step["title"], f"click {number}: main window reads {main.name!r}, "
                                              f"expected {step['title']!r}")
            passed += 1

        # The history holds the lines just read, newest last, and Esc closes it.
        xdotool("key", "h")
        history = client.wait_for("the history window", lambda: client.frame(lambda n: n == HISTORY_CAPTION), 20)
        text_object = next(c for c in descendants(history) if c.name == HISTORY_CAPTION)
        text = text_object.queryText()
        whole = text.getText(0, -1).replace("\u2028", "\n").replace("\u2029", "\n").rstrip()
        check(whole.endswith(route[-1]["line"]), f"the history ends with {whole[-80:]!r}")
        xdotool("key", "Escape")
        client.wait_for("the history to close", lambda: not showing(history), 10)
        passed += 1

        # M mutes; the message window's caption says so, and the line is still read.
        xdotool("windowfocus", "--sync", window_id)
        xdotool("key", "m")
        client.wait_for("the mute note", lambda: message.name == MESSAGE_CAPTION + "\u3000［ミュート］", 10)
        check(label.name == route[-1]["line"], "the line changed with the mute note")
        passed += 1
    finally:
        stop(game, server, work)
    return passed


def main():
    args = game_arguments(__doc__.splitlines()[0], until=150)

    for tool in ("Xvfb", "xdotool"):
        if shutil.which(tool) is None:
            skip(f"{tool} is not installed")
    if "DBUS_SESSION_BUS_ADDRESS" not in os.environ:
        skip("no session bus: run under dbus-run-session")
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        skip("the AT-SPI bindings (python3-pyatspi) are not installed")

    started = time.monotonic()
    try:
        checks = run(args)
    except (Failure, DesktopError) as failure:
        print(f"FAILED: {failure}")
        print("0 passed, 1 failed")
        return 1
    print(f"{checks} checks in {time.monotonic() - started:.1f} s")
    print(f"{checks} passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""What Orca really says while a player plays the first scenes: the game under Xvfb and openbox,
with Orca listening in this D-Bus session. The test plays by keys and by mouse along the route the
oracle prints, and reads Orca's own record of every utterance: each line must be said once, after
the click that showed it and before the next; so must a new scene's caption and a command picked
with a number key. The title's text, the repeat key and the history's arrow keys are heard too,
and with kana speech on (K), the last lines and the repeat are said in their kana reading.

Run it inside its own session bus:
    dbus-run-session -- /usr/bin/python3 orca_speech.py --game G --data D --oracle O

Exits 77 (skipped) when a tool it needs is missing.
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import orca_session  # noqa: E402

SKIP = 77
COMMAND_NAMES = {1: "見る", 2: "話をする", 3: "考えてみる", 4: "魔法を使う", 5: "次へ"}
TITLE_TEXT = "Solvenne\u3000３ Lunaweave Kestrune\u30002026年\u3000制作・著作"
COLUMN_KEYS = {1: "Left", 2: "space", 3: "Right"}
WAIT = 20  # seconds for any one utterance; Orca on a busy machine is slow, never this slow


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def said(text):
    """How an announced text reaches Orca's record: line breaks as spaces; Orca may end it with
    a full stop of its own."""
    expected = " ".join(text.replace("\r", "").split("\n")).strip()
    return lambda record: record in (expected, expected + ".")


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, timeout=20, capture_output=True, text=True).stdout


def window_id(pattern):
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", pattern], capture_output=True,
                               text=True, timeout=20).stdout.split()
        if found:
            return found[0]
        time.sleep(0.1)
    raise Failure(f"no window named {pattern!r}")


class Listener:
    """Presses keys and clicks, and checks what Orca says after each."""

    def __init__(self, orca):
        self.orca = orca
        self.checks = 0

    def act(self, *xdotool_args):
        at = orca_session.now()
        xdotool(*xdotool_args)
        return at

    def hear(self, what, text, since):
        record = self.orca.wait_for(said(text), since, WAIT)
        if record is None:
            recent = [r.text for r in self.orca.spoken() if r.at >= since]
            raise Failure(f"Orca did not say {what} {text!r}; it said {recent}")
        self.checks += 1
        return record


def run(args, work):
    route = [json.loads(line) for line in
             subprocess.run([args.oracle, str(args.until)], check=True, capture_output=True, text=True,
                            timeout=30).stdout.splitlines()]
    check(len(route) > 3, "the route is too short")

    desktop = orca_session.Desktop(work)
    orca = orca_session.Orca(work)
    game = None
    try:
        orca.start()
        env = orca_session.game_environment(work)
        started = orca_session.now()
        game = subprocess.Popen([args.game], cwd=args.data, env=env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        listener = Listener(orca)

        # The title says its text when it opens; Space starts the game.
        listener.hear("the title", TITLE_TEXT, started)
        title = window_id("^Lunaweave\u3000オープニング$")
        xdotool("windowactivate", "--sync", title)
        click = listener.act("key", "space")
        listener.hear("the first line", route[0]["line"], click)
        main = window_id("^Lunaweave\u3000【")
        xdotool("windowactivate", "--sync", main)
        orca.quiet()

        # A command picked by key is said; so is the one picked back.
        listener.hear("the command", COMMAND_NAMES[1], listener.act("key", "1"))
        listener.hear("the command", COMMAND_NAMES[5], listener.act("key", "5"))

        lines = [route[0]]  # the steps that showed a line
        # Kana speech goes on before the last click that shows a line with kanji in it.
        kana_from = max((n for n, s in enumerate(route) if n and s["lines"] and s["reading"] != s["line"]), default=0)
        check(kana_from > 0, "no line on the route has kanji to tell its reading apart")
        kana = False
        clicks = []  # (time, what must be said after it and before the next)
        x, y, width, height = geometry(main)
        for number, step in enumerate(route[1:], start=1):
            check(step["command"] == 5, f"step {number}: the route picks command {step['command']}")
            if number == kana_from:
                listener.hear("the kana mode", "かなよみ オン", listener.act("key", "k"))
                kana = True
            if number % 3 == 0:
                # Every third click with the mouse, on the picture's third. The message window is
                # laid beside the main window, so the keyboard stays where the player left it.
                px, py = picture_point(main, step["column"], x, y, width, height)
                click = listener.act("mousemove", str(px), str(py), "click", "1")
            else:
                click = listener.act("key", COLUMN_KEYS[step["column"]])
            expected = []
            if step["title"] != route[number - 1]["title"]:
                caption = step["title_reading"] if kana else step["title"].replace("Lunaweave", "").strip()
                expected.append(("the scene caption", caption))
            if step["lines"]:
                expected.append((f"click {number}'s line", step["reading"] if kana else step["line"]))
                lines.append(step)
            for what, text in expected:
                listener.hear(what, text, click)
            clicks.append((click, expected))

        # R says the current line again.
        repeat = listener.act("key", "r")
        listener.hear("the repeated line", lines[-1]["reading"], repeat)
        listener.hear("the kana mode", "かなよみ オフ", listener.act("key", "k"))

        # In the history, the up arrow reads the line before the last one.
        history_open = listener.act("key", "h")
        window_id("^Lunaweave\u3000履歴$")
        orca.quiet()
        listener.hear("the history's line", lines[-2]["line"], listener.act("key", "Up"))
        xdotool("key", "Escape")
        orca.quiet()
        ended = orca_session.now()

        # Each line and caption once, after its click and before the next, and not again later
        # (until R asks for it).
        spoken = orca.spoken()
        bounds = [c for c, _ in clicks] + [repeat]
        for index, (click, expected) in enumerate(clicks):
            for what, text in expected:
                times = [r.at for r in spoken if said(text)(r.text) and click <= r.at < repeat]
                again = sum(text == t for _, later in clicks[index + 1:] for _, t in later)
                check(len(times) == 1 + again, f"{what} {text!r} said {len(times)} times")
                check(times[0] < bounds[index + 1], f"{what} {text!r} said after the next click")
        listener.checks += 1
        check(ended > started, "the clock went backwards")
        return listener.checks
    finally:
        if game is not None:
            orca_session.stop(game)
        orca.close()
        desktop.close()


def geometry(window):
    values = {}
    for line in xdotool("getwindowgeometry", "--shell", window).splitlines():
        key, _, value = line.partition("=")
        values[key] = int(value) if value.lstrip("-").isdigit() else value
    return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]


def picture_point(main, column, x, y, width, height):
    """A point in the given third of the scene picture: the picture fills the main window's
    width below the icon bar."""
    return x + width * (2 * column - 1) // 6, y + height * 2 // 3


def main():
    args = orca_session.game_arguments(__doc__.splitlines()[0], until=33)

    missing = orca_session.missing_tools()
    if missing:
        print(f"SKIPPED: not installed: {' '.join(missing)}")
        return SKIP
    if "DBUS_SESSION_BUS_ADDRESS" not in os.environ:
        print("SKIPPED: no session bus: run under dbus-run-session")
        return SKIP

    started = time.monotonic()
    work = tempfile.mkdtemp(prefix="lw-orca-")
    try:
        checks = run(args, work)
    except (Failure, orca_session.DesktopError) as failure:
        print(f"FAILED: {failure}")
        print(f"Orca's debug files are kept in {work}")
        print("0 passed, 1 failed")
        return 1
    shutil.rmtree(work, ignore_errors=True)
    print(f"{checks} checks in {time.monotonic() - started:.1f} s")
    print(f"{checks} passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())

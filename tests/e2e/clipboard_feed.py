#!/usr/bin/python3
"""The clipboard feed seen from outside: the real game under Xvfb, played by keys through X along
the walkthrough's first clicks, with xclip reading the CLIPBOARD selection after each click as a
texthooker page or a pop-up dictionary would. Checks that Ctrl+C copies the line, that
Ctrl+Shift+C turns the feed on with a note in the message window's title, and that each new line
is on the clipboard, as shown and without the speaker, right after its click.

    python3 clipboard_feed.py --game G --data D --oracle O [--until 150]

Exits 77 (skipped) when Xvfb, xdotool or xclip is missing.
"""

import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
TITLE_CAPTION = "Lunaweave\u3000オープニング"
COLUMN_KEYS = {1: "Left", 2: "Down", 3: "Right"}

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "a11y"))
from screen_reader_walkthrough import Failure, start_xvfb, stop  # noqa: E402


def run_tool(*args, timeout=20):
    return subprocess.run(list(args), check=True, capture_output=True, text=True, timeout=timeout).stdout


def clipboard():
    result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True, text=True, timeout=10)
    return result.stdout if result.returncode == 0 else None


def wait_for(what, condition, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    raise Failure(f"timed out waiting for {what}")


def window(name_pattern, timeout=30):
    return wait_for(f"a window named {name_pattern!r}",
                    lambda: subprocess.run(["xdotool", "search", "--name", name_pattern], capture_output=True,
                                           text=True, timeout=10).stdout.split(), timeout)[0]


def spoken_text(line):
    """What goes on the clipboard for a line as the message window shows it: the text alone."""
    if line.startswith("【") and "\n「" in line and line.endswith("」"):
        return line.split("\n", 1)[1][1:-1]
    return line


def run(args):
    route = [json.loads(line) for line in run_tool(args.oracle, str(args.until), timeout=30).splitlines()]
    work = tempfile.mkdtemp(prefix="lw-clip-")
    os.makedirs(os.path.join(work, "config", "Kestrune"))
    with open(os.path.join(work, "config", "Kestrune", "Kestrune.conf"), "w", encoding="utf-8") as settings:
        settings.write("[Solvenne]\nLWFLock=OFF\n")
    runtime = os.path.join(work, "runtime")
    os.makedirs(runtime, mode=0o700)
    server, display = start_xvfb()
    os.environ["DISPLAY"] = display
    game = None
    checks = 0
    try:
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", LW_NO_AUDIO="1", XDG_CONFIG_HOME=os.path.join(work, "config"),
                   XDG_RUNTIME_DIR=runtime)
        game = subprocess.Popen([args.game], cwd=args.data, env=env)
        title = window("^" + TITLE_CAPTION + "$", 60)
        geometry = dict(line.split("=") for line in run_tool("xdotool", "getwindowgeometry", "--shell", title).split())
        run_tool("xdotool", "mousemove", str(int(geometry["X"]) + int(geometry["WIDTH"]) // 2),
                 str(int(geometry["Y"]) + int(geometry["HEIGHT"]) // 2), "click", "1")
        main = window("^Lunaweave\u3000【")
        # The message window is the visible one of that name (Qt's hidden leader window has it too).
        message = wait_for("the message window", lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", "^Lunaweave$"], capture_output=True, text=True,
            timeout=10).stdout.split(), 30)[0]
        run_tool("xdotool", "windowfocus", "--sync", main)

        first = spoken_text(route[0]["line"])
        run_tool("xdotool", "key", "ctrl+c")
        wait_for(f"Ctrl+C to copy {first!r}", lambda: clipboard() == first, 10)
        checks += 1

        run_tool("xdotool", "key", "ctrl+shift+c")
        wait_for("the feed's note in the message window's title",
                 lambda: "クリップボードへ：オン" in run_tool("xdotool", "getwindowname", message), 10)
        checks += 1

        selected = 0
        for step in route[1:]:
            if step["command"] != selected:
                run_tool("xdotool", "key", str(step["command"]))
                selected = step["command"]
            run_tool("xdotool", "key", COLUMN_KEYS[step["column"]])
            expected = spoken_text(step["line"])
            got = None

            def fed():
                nonlocal got
                got = clipboard()
                return got == expected

            try:
                wait_for(f"the line {expected!r} on the clipboard", fed, 10)
            except Failure:
                raise Failure(f"after the click to state {step['state']} the clipboard holds {got!r}, "
                              f"expected {expected!r}")
            checks += 1
    finally:
        stop(game, server, work)
    return checks


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--game", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--oracle", required=True)
    parser.add_argument("--until", type=int, default=150)
    args = parser.parse_args()
    args.game, args.data, args.oracle = (os.path.abspath(p) for p in (args.game, args.data, args.oracle))
    for tool in ("Xvfb", "xdotool", "xclip"):
        if shutil.which(tool) is None:
            print(f"SKIPPED: {tool} is not installed")
            return SKIP
    started = time.monotonic()
    try:
        checks = run(args)
    except Failure as failure:
        print(f"FAILED: {failure}")
        return 1
    print(f"{checks} passed, 0 failed, in {time.monotonic() - started:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())

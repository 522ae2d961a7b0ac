#!/usr/bin/python3
"""Click-to-speech latency: from a key press (xdotool) to Orca's record of the line it says, for
the game and, in the same Orca session, for a bare Qt window that says one line through the same
announcer on every Space. Prints the medians and the game's ratio to the bare window.

Run by hand from the build directory, inside a session bus of its own:
    dbus-run-session -- /usr/bin/python3 ../bench/speech_latency.py \\
        --game bin/lunaweave --bare bench/bench_bare_speech --data data --oracle tests/route_oracle

Orca runs with no speech synthesizer, so the time is Orca's and the program's, not a voice's.
The press time is taken just before xdotool is started; both programs pay the same for that.
"""

import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "a11y"))
import orca_session  # noqa: E402
from orca_speech import said, window_id, xdotool  # noqa: E402


def press_and_hear(orca, key, text, timeout=20):
    """Presses `key`, waits for Orca to say `text`; returns the latency in milliseconds."""
    pressed = orca_session.now()
    xdotool("key", key)
    record = orca.wait_for(said(text), pressed, timeout)
    if record is None:
        recent = [r.text for r in orca.spoken() if r.at >= pressed - 5]
        raise SystemExit(f"Orca did not say {text!r} after {key}; it said {recent}")
    orca.quiet(settle=0.3)
    return (record.at - pressed) * 1000


def bare_round(orca, program, presses):
    env = dict(os.environ, QT_QPA_PLATFORM="xcb")
    bare = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        xdotool("windowactivate", "--sync", window_id("^bare speech$"))
        orca.quiet()
        return [press_and_hear(orca, "space", f"基準の台詞、{i + 1}行目。") for i in range(presses)]
    finally:
        orca_session.stop(bare)


def game_round(orca, args, work, route):
    env = orca_session.game_environment(work)
    game = subprocess.Popen([args.game], cwd=args.data, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        xdotool("windowactivate", "--sync", window_id("^Lunaweave\u3000オープニング$"))
        orca.quiet()
        first = press_and_hear(orca, "space", route[0]["line"])
        xdotool("windowactivate", "--sync", window_id("^Lunaweave\u3000【"))
        orca.quiet()
        press_and_hear(orca, "5", "次へ")  # Next, the command the route's first steps use
        keys = {1: "Left", 2: "space", 3: "Right"}
        latencies = [press_and_hear(orca, keys[step["column"]], step["line"]) for step in route[1:]]
        return first, latencies
    finally:
        orca_session.stop(game)


def describe(name, values, baseline=None):
    median = statistics.median(values)
    ratio = f"{median / baseline:.2f}x" if baseline else "1.00x (baseline)"
    return f"| {name} | {len(values)} | {median:.1f} ms | {min(values):.1f}-{max(values):.1f} | {ratio} |"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--game", required=True)
    parser.add_argument("--bare", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--oracle", required=True)
    parser.add_argument("--presses", type=int, default=20, help="lines said by each program per round")
    parser.add_argument("--rounds", type=int, default=2)
    args = parser.parse_args()
    for name in ("game", "bare", "data", "oracle"):
        setattr(args, name, os.path.abspath(getattr(args, name)))
    missing = orca_session.missing_tools()
    if missing or "DBUS_SESSION_BUS_ADDRESS" not in os.environ:
        raise SystemExit(f"needs {' '.join(missing) or 'a session bus (dbus-run-session)'}")

    # The route's first steps: one line for each press of Next.
    route = [json.loads(line) for line in subprocess.run(
        [args.oracle, "250"], check=True, capture_output=True, text=True, timeout=30).stdout.splitlines()]
    route = route[:args.presses + 1]
    if any(step["lines"] != 1 or step["command"] not in (0, 5) for step in route):
        raise SystemExit("the route's first steps are no longer one line per Next click")

    work = tempfile.mkdtemp(prefix="lw-speech-bench-")
    desktop = orca_session.Desktop(work)
    orca = orca_session.Orca(work)
    bare, game, opening = [], [], []
    try:
        orca.start()
        for _ in range(args.rounds):
            bare += bare_round(orca, args.bare, len(route))
            first, lines = game_round(orca, args, work, route)
            opening.append(first)
            game += lines
    finally:
        orca.close()
        desktop.close()
        shutil.rmtree(work, ignore_errors=True)
    load = os.getloadavg()[0]
    print(f"Measured {time.strftime('%Y-%m-%d')} on {os.cpu_count()} cores (load average at the end {load:.1f}), "
          f"{args.rounds} rounds of {len(route)} presses each")
    print("| program | lines | median key-to-speech | min-max | against baseline |")
    print("|---|---|---|---|---|")
    baseline = statistics.median(bare)
    print(describe("bare Qt window, one line per Space through the announcer (baseline)", bare))
    print(describe("Lunaweave, a line per key press in the first scenes (scene changes say the place first)",
                   game, baseline))
    print(describe("Lunaweave, the first line, said as the title gives way to the game's two windows",
                   opening, baseline))


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Zoom and fullscreen as an outside X client sees them, and the game's peak memory at 300 %.

Usage: bench/zoom_bench.py [--build build] [--runs 11] [--memory-runs 3] [--display 96]
                           [--keys-only | --memory-only]

Set-up (as root): apt-get install xvfb xauth xdotool openbox libxcb-damage0-dev libxcb-xtest0-dev
Starts its own X server (3840x2160, so that every zoom step fits) with openbox as the window
manager. Every run plays real synthesis into a WAV file with the TimGM6mb SoundFont.

Keys: bench_resize_observer presses the key through XTest and times it until each window is drawn
(XDamage) after its size changed. Zoom steps go 100 -> 300 % and back in steps of 50 % with Ctrl+=
and Ctrl+- (both windows); fullscreen is F11 in and out (the main window). The baseline is a bare Qt
program (bench_bare_qt --zoom) whose picture and text windows are resized by the same keys, in the
same run, turn about with the game.

Memory: the game's peak resident set (VmHWM) over a playthrough: the first scenes by key (5 picks
Next, Return clicks the picture), three screen jumps to later scenes and the jump to the ending, at
300 % (Ctrl+= four times before the first click) and at 100 %, alternating.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from run_bench import (game_environment, make_home, median_min_max, peak_memory_mb,  # noqa: E402
                       wait_for_window, window_centre, xdotool)

SOUNDFONT = "/usr/share/sounds/sf2/TimGM6mb.sf2"
ZOOM_KEYS = ["ctrl+equal"] * 4 + ["ctrl+minus"] * 4  # 150, 200, 250, 300, then back to 100 %
JUMPS = ["150", "250", "350"]


class Display:
    def __init__(self, number):
        self.name = f":{number}"
        self.server = subprocess.Popen(["Xvfb", self.name, "-screen", "0", "3840x2160x24", "-nolisten", "tcp",
                                        "-noreset"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.environ["DISPLAY"] = self.name
        time.sleep(1.0)
        self.wm = subprocess.Popen(["openbox"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1.0)

    def close(self):
        for process in (self.wm, self.server):
            process.terminate()
            process.wait()


def observe(observer, key, windows):
    result = subprocess.run([observer, key, *windows], capture_output=True, text=True, timeout=30)
    if result.returncode != 0:
        raise RuntimeError(f"{key}: {result.stderr.strip()}")
    return float(result.stdout.split()[0])


def start_game(game, data, env):
    process = subprocess.Popen([game], cwd=data, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    title = wait_for_window("オープニング", timeout=30)
    time.sleep(0.5)
    x, y = window_centre(title)
    xdotool("mousemove", str(x), str(y), "click", "1")
    main = wait_for_window("Lunaweave　【", timeout=20)
    message = wait_for_window("^Lunaweave$", timeout=5)
    time.sleep(1.0)
    return process, main, message


def end(process):
    process.kill()
    process.wait()


def time_keys(observer, windows, fullscreen_window, runs, samples, label):
    """Zoom steps and fullscreen toggles of one program, `runs` rounds, into samples[label, kind]."""
    xdotool("windowactivate", "--sync", fullscreen_window)
    time.sleep(0.3)
    for _ in range(runs):
        for key in ZOOM_KEYS:
            samples.setdefault((label, "zoom step"), []).append(observe(observer, key, windows))
            time.sleep(0.3)
        for kind in ("fullscreen on", "fullscreen off"):
            samples.setdefault((label, kind), []).append(observe(observer, "F11", [fullscreen_window]))
            time.sleep(0.3)


def keys(build, data, home, work, runs):
    observer = os.path.join(build, "bench", "bench_resize_observer")
    bare = os.path.join(build, "bench", "bench_bare_qt")
    game = os.path.join(build, "bin", "lunaweave")
    env = dict(game_environment(home), LW_AUDIO_FILE=os.path.join(work, "keys.wav"), LW_SOUNDFONT=SOUNDFONT)
    samples = {}
    # Turn about, a few rounds at a time, so both programs see the same machine.
    for _ in range(max(1, runs // 4)):
        process = subprocess.Popen([bare, "--zoom"], cwd=data, env=env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        try:
            picture = wait_for_window("^bare picture$")
            text = wait_for_window("^bare text$")
            time.sleep(0.5)
            time_keys(observer, [picture, text], picture, 4, samples, "bare Qt")
        finally:
            end(process)
        process, main, message = start_game(game, data, env)
        try:
            time_keys(observer, [main, message], main, 4, samples, "Lunaweave")
        finally:
            end(process)
    rows = []
    for kind in ("zoom step", "fullscreen on", "fullscreen off"):
        base = statistics.median(samples[("bare Qt", kind)])
        for label in ("bare Qt", "Lunaweave"):
            m = median_min_max(samples[(label, kind)])
            rows.append((kind, label + (" (baseline)" if label == "bare Qt" else ""), "%.1f ms" % m[0],
                         "%.1f-%.1f" % m[1:], len(samples[(label, kind)]), "%.2fx" % (m[0] / base)))
    return rows


def playthrough(game, data, env, zoom):
    """(peak memory in MiB, scenes shown, the main window's width) of one playthrough."""
    process, main, message = start_game(game, data, env)
    try:
        xdotool("windowactivate", "--sync", main)
        time.sleep(0.3)
        for _ in range(zoom):
            xdotool("key", "ctrl+equal")
            time.sleep(0.5)
        width = int(xdotool("getwindowgeometry", "--shell", main).split("WIDTH=")[1].split()[0])
        titles = [xdotool("getwindowname", main)]
        xdotool("key", "5")
        for _ in range(40):  # the first scenes, one Next click per key
            xdotool("key", "Return")
            time.sleep(0.15)
            title = xdotool("getwindowname", main)
            if title != titles[-1]:
                titles.append(title)
        for screen in JUMPS + ["563"]:
            xdotool("windowactivate", "--sync", wait_for_window("^Lunaweave$", timeout=5))
            xdotool("key", "ctrl+j")
            wait_for_window("ずるちゃん", timeout=10)
            xdotool("key", "--delay", "30", *screen, "Return")
            time.sleep(1.5)
            if screen != "563":  # the ending: the staff roll, no scene
                titles.append(xdotool("getwindowname", main))
        wait_for_window("エンディング", timeout=20)
        time.sleep(3.0)
        return peak_memory_mb(process.pid), len(titles) - 1, width
    finally:
        end(process)


def memory(build, data, home, work, runs):
    game = os.path.join(build, "bin", "lunaweave")
    env = dict(game_environment(home), LW_AUDIO_FILE=os.path.join(work, "memory.wav"), LW_SOUNDFONT=SOUNDFONT)
    samples = {0: [], 4: []}
    for _ in range(runs):
        for zoom in (0, 4):
            samples[zoom].append(playthrough(game, data, env, zoom))
    base = statistics.median(peak for peak, _, _ in samples[0])
    rows = []
    for zoom, label in ((0, "100 % (baseline)"), (4, "300 % (Ctrl+= four times)")):
        m = median_min_max([peak for peak, _, _ in samples[zoom]])
        scenes = min(count for _, count, _ in samples[zoom])
        width = samples[zoom][0][2]
        rows.append((f"{label}, main window {width} px wide, {scenes} scene changes or more", "%.2f MiB" % m[0],
                     "%.2f-%.2f" % m[1:], "%.2fx" % (m[0] / base)))
    return rows


def main():
    parser = argparse.ArgumentParser()
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--build", default=os.path.join(root, "build"))
    parser.add_argument("--runs", type=int, default=12, help="rounds of keys per program (a multiple of 4)")
    parser.add_argument("--memory-runs", type=int, default=3)
    parser.add_argument("--display", type=int, default=96)
    parser.add_argument("--keys-only", action="store_true")
    parser.add_argument("--memory-only", action="store_true")
    args = parser.parse_args()
    missing = [tool for tool in ("Xvfb", "xdotool", "openbox") if shutil.which(tool) is None]
    if missing:
        sys.exit("missing " + ", ".join(missing))
    build = os.path.abspath(args.build)
    data = os.path.join(build, "data")
    work = tempfile.mkdtemp(prefix="lw-zoom-bench-")
    home = make_home(False)
    display = Display(args.display)
    try:
        if not args.memory_only:
            print("| key | program | median key to new frame | min-max | n | against baseline |")
            print("|---|---|---|---|---|---|")
            for row in keys(build, data, home, work, args.runs):
                print("| %s | %s | %s | %s | %d | %s |" % row, flush=True)
        if not args.keys_only:
            print("| peak memory (VmHWM), TimGM6mb, real synthesis | median | min-max | against 100 % |")
            print("|---|---|---|---|")
            for row in memory(build, data, home, work, args.memory_runs):
                print("| %s | %s | %s | %s |" % row, flush=True)
    finally:
        display.close()
        shutil.rmtree(home, ignore_errors=True)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()

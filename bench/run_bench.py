#!/usr/bin/env python3
"""Benchmarks of the game, each against a baseline measured in the same run.

Usage: bench/run_bench.py [--build build] [--runs 15] [--out bench/results.md]

Needs Xvfb and xdotool (apt-get install xvfb xdotool). Starts its own X server, so it can run
on a machine without a display. Prints a table and writes it, in Markdown, to --out.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

CLK_TCK = os.sysconf("SC_CLK_TCK")


def median_min_max(samples):
    return statistics.median(samples), min(samples), max(samples)


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    # utime and stime are fields 14 and 15 of the whole line (11 and 12 after the name).
    return (int(fields[11]) + int(fields[12])) / CLK_TCK


def peak_memory_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024
    return float("nan")


def cpu_percent(pid, seconds):
    start_cpu, start = cpu_seconds(pid), time.monotonic()
    time.sleep(seconds)
    return 100 * (cpu_seconds(pid) - start_cpu) / (time.monotonic() - start)


def xdotool(*args, check=False):
    result = subprocess.run(["xdotool", *args], capture_output=True, text=True)
    if check and result.returncode != 0:
        raise RuntimeError(f"xdotool {' '.join(args)}: {result.stderr}")
    return result.stdout.strip()


def wait_for_window(name, timeout=30):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = xdotool("search", "--onlyvisible", "--name", name)
        if found:
            return found.split()[0]
        time.sleep(0.1)
    raise RuntimeError(f"no window named {name!r} within {timeout} s")


def window_centre(window):
    out = xdotool("getwindowgeometry", "--shell", window)
    values = dict(line.split("=") for line in out.splitlines() if "=" in line)
    return int(values["X"]) + int(values["WIDTH"]) // 2, int(values["Y"]) + int(values["HEIGHT"]) // 2


class Display:
    def __init__(self, number=97):
        self.name = f":{number}"
        self.server = subprocess.Popen(["Xvfb", self.name, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.environ["DISPLAY"] = self.name
        time.sleep(1.0)

    def close(self):
        self.server.terminate()
        self.server.wait()


def game_environment(home):
    env = dict(os.environ)
    env["HOME"] = home
    env["XDG_CONFIG_HOME"] = os.path.join(home, ".config")
    env.pop("QT_QPA_PLATFORM", None)
    return env


def make_home():
    home = tempfile.mkdtemp(prefix="lw-bench-home-")
    os.makedirs(os.path.join(home, ".config", "Kestrune"))
    with open(os.path.join(home, ".config", "Kestrune", "Kestrune.conf"), "w") as f:
        f.write("[Solvenne]\nLWFLock=OFF\n")
    return home


def time_to_first_window(command, cwd, env, runs):
    samples = []
    env = dict(env, LW_BENCH_EXIT_ON_FIRST_PAINT="1")
    for _ in range(runs):
        start = time.monotonic()
        subprocess.run(command, cwd=cwd, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=60, check=True)
        samples.append(1000 * (time.monotonic() - start))
    return samples


def measure_phases(game, data, env, seconds):
    """Runs the game from the demo to the staff roll, measuring the CPU of each phase."""
    process = subprocess.Popen([game], cwd=data, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    results = {}
    try:
        wait_for_window("Kestrune", timeout=20)
        time.sleep(0.5)
        results["demo (logo music playing)"] = cpu_percent(process.pid, 8.0)
        title = wait_for_window("オープニング", timeout=20)
        time.sleep(1.0)
        results["title (tune ended)"] = cpu_percent(process.pid, seconds)
        x, y = window_centre(title)
        xdotool("mousemove", str(x), str(y), "click", "1")
        wait_for_window("Lunaweave　【", timeout=20)
        time.sleep(2.0)
        results["game (background music playing)"] = cpu_percent(process.pid, seconds)
        message = wait_for_window("^Lunaweave$", timeout=5)
        xdotool("windowfocus", message)
        xdotool("key", "--window", message, "ctrl+j")
        wait_for_window("ずるちゃん", timeout=10)
        xdotool("type", "563")
        xdotool("key", "Return")
        wait_for_window("エンディング", timeout=20)
        time.sleep(1.0)
        results["staff roll (ending music playing)"] = cpu_percent(process.pid, seconds)
        results["peak memory (MB)"] = peak_memory_mb(process.pid)
    finally:
        process.kill()
        process.wait()
    return results


def measure_idle_game_without_music(game, data, env, seconds):
    """The game phase with no music files: what the game itself costs while nothing plays."""
    silent = tempfile.mkdtemp(prefix="lw-bench-silent-")
    for name in os.listdir(data):
        if not name.lower().endswith((".mid", ".wav")):
            shutil.copy(os.path.join(data, name), silent)
    process = subprocess.Popen([game], cwd=silent, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        title = wait_for_window("オープニング", timeout=30)
        x, y = window_centre(title)
        xdotool("mousemove", str(x), str(y), "click", "1")
        wait_for_window("Lunaweave　【", timeout=20)
        time.sleep(2.0)
        return cpu_percent(process.pid, seconds)
    finally:
        process.kill()
        process.wait()
        shutil.rmtree(silent, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--build", default=os.path.join(root, "build"))
    parser.add_argument("--runs", type=int, default=15)
    parser.add_argument("--phase-runs", type=int, default=3)
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("--out", default=os.path.join(root, "bench", "results.md"))
    args = parser.parse_args()

    build = os.path.abspath(args.build)
    data = os.path.join(build, "data")
    game = os.path.join(build, "bin", "lunaweave")
    bare = os.path.join(build, "bench", "bench_bare_qt")
    inprocess = os.path.join(build, "bench", "bench_inprocess")
    for path in (game, bare, inprocess):
        if not os.path.exists(path):
            sys.exit(f"missing {path}: build first (cmake --build {build})")

    display = Display()
    home = make_home()
    env = game_environment(home)
    rows = []
    try:
        # Start-up: alternate the two programs so that both see the same machine.
        bare_ms, game_ms = [], []
        for _ in range(args.runs):
            bare_ms += time_to_first_window([bare], data, env, 1)
            game_ms += time_to_first_window([game], data, env, 1)
        b, g = median_min_max(bare_ms), median_min_max(game_ms)
        rows.append(("start-up to first window: bare Qt, two windows (baseline)", "%.1f ms" % b[0],
                     "%.1f-%.1f" % b[1:], ""))
        rows.append(("start-up to first window: Lunaweave", "%.1f ms" % g[0], "%.1f-%.1f" % g[1:],
                     "%.2f× baseline" % (g[0] / b[0])))

        # Idle CPU per phase, over several runs of the whole flow.
        phases = {}
        for _ in range(args.phase_runs):
            for key, value in measure_phases(game, data, env, args.seconds).items():
                phases.setdefault(key, []).append(value)
        silent = [measure_idle_game_without_music(game, data, env, args.seconds) for _ in range(args.phase_runs)]
        for key, values in list(phases.items()) + [("game (no music files)", silent)]:
            m = median_min_max(values)
            unit = "MB" if "memory" in key else "% of a core"
            label = key if "memory" in key else f"CPU, {key}"
            rows.append((label, "%.2f %s" % (m[0], unit), "%.2f-%.2f" % m[1:], ""))
    finally:
        display.close()
        shutil.rmtree(home, ignore_errors=True)

    # In-process timings (offscreen).
    result = subprocess.run([inprocess], cwd=data, env=dict(os.environ, QT_QPA_PLATFORM="offscreen"),
                            capture_output=True, text=True, timeout=600)
    inprocess_lines = [line for line in result.stdout.splitlines() if line.strip()]

    lines = ["| measurement | median | min-max | against baseline |", "|---|---|---|---|"]
    lines += ["| %s | %s | %s | %s |" % row for row in rows]
    table = "\n".join(lines)
    print(table)
    print()
    print("\n".join(inprocess_lines))
    with open(args.out, "w") as f:
        f.write("# Benchmark results\n\n")
        f.write(f"Measured {time.strftime('%Y-%m-%d')} on {os.cpu_count()} cores with `bench/run_bench.py "
                f"--runs {args.runs} --phase-runs {args.phase_runs}` (Xvfb, no sound card).\n\n")
        f.write(table + "\n\nIn-process (offscreen, `build/bench/bench_inprocess` in `build/data`):\n\n```\n")
        f.write("\n".join(inprocess_lines) + "\n```\n")


if __name__ == "__main__":
    main()

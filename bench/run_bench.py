#!/usr/bin/env python3
"""Benchmarks of the game, each against a baseline measured in the same run.

Usage: bench/run_bench.py [--build build] [--runs 15] [--phase-runs 3] [--seconds 20] [--out bench/results.md]
                          [--startup-only]

Set-up (as root; the game's own set-up installs only TimGM6mb):
    apt-get install xvfb xauth xdotool fluid-soundfont-gm
Starts its own X server, so it runs on a machine without a display. Every phase is measured with
real synthesis: the game writes its sound to a WAV file in real time (LW_AUDIO_FILE), once for
each SoundFont installed. Start-up is timed by an outside X client (bench_map_observer) against
a bare Qt program, for both settings of the series notice, with Qt's own message box showing the
notice's text as a reference for what the notice itself costs; once with no D-Bus session bus, as
on this machine, and once more with a private session bus for every program, as on a desktop. The floor of the game phase's CPU
is FluidSynth alone (bench_synth_floor) rendering the same piece with the same settings, in the
same run: it starts when the game phase's music starts and is measured over the same seconds,
rendering in the game's clock steps into a file of the same 16-bit samples. Also runs the in-process
benchmark, which times the window thread's music calls while a SoundFont loads. Prints the tables
and writes them, in Markdown, to --out.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

SOUNDFONTS = ["/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2"]
GAME_PHASE_PIECE = "okera.mid"  # the music of the first scene, playing through the game phase
CLOCK_STEP_MS = 40  # how often the game's file output renders (kClockPeriod in audio/OutputClock.cpp)


def median_min_max(samples):
    return statistics.median(samples), min(samples), max(samples)


def cpu_seconds(pid):
    """CPU time of every thread of the process, from the scheduler's nanosecond counters."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                total += int(f.read().split()[0])
        except (FileNotFoundError, ProcessLookupError):
            pass  # a thread that ended meanwhile
    return total / 1e9


def peak_memory_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024
    return float("nan")


def cpu_percent(pid, seconds):
    return cpu_percents([pid], seconds)[0]


def cpu_percents(pids, seconds):
    """CPU percent of each process over the same `seconds`."""
    starts, start = [cpu_seconds(pid) for pid in pids], time.monotonic()
    time.sleep(seconds)
    elapsed = time.monotonic() - start
    return [100 * (cpu_seconds(pid) - before) / elapsed for pid, before in zip(pids, starts)]


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
    def __init__(self, number):
        self.name = f":{number}"
        self.server = subprocess.Popen(["Xvfb", self.name, "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"],
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


def make_home(notice):
    home = tempfile.mkdtemp(prefix="lw-bench-home-")
    os.makedirs(os.path.join(home, ".config", "Kestrune"))
    if not notice:
        with open(os.path.join(home, ".config", "Kestrune", "Kestrune.conf"), "w") as f:
            f.write("[Solvenne]\nLWFLock=OFF\n")
    return home


def first_map(observer, command, cwd, env):
    """(wall ms, CPU ms) from starting `command` to its first top-level window mapping."""
    result = subprocess.run([observer, "--", *command], cwd=cwd, env=env, capture_output=True, text=True, timeout=60)
    if result.returncode != 0:
        raise RuntimeError(f"{command[0]}: {result.stderr.strip()}")
    out = result.stdout.split()
    return float(out[0]), float(out[1])


def measure_phases(game, data, env, seconds, floor=None):
    """Runs the game from the demo to the staff roll, measuring the CPU of each phase. With `floor`
    (the command of FluidSynth alone, less its length) it starts as the game phase's music does and
    is measured over the same seconds: both play the same bars on the same machine. `floor` is
    (program, SoundFont, piece, file it writes)."""
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
        if floor:
            program, font, piece, sink = floor
            floor_process = subprocess.Popen([program, font, piece, str(seconds + 10), str(CLOCK_STEP_MS), sink],
                                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                time.sleep(2.0)
                game_cpu, floor_cpu = cpu_percents([process.pid, floor_process.pid], seconds)
            finally:
                floor_process.kill()
                floor_process.wait()
            results["game (background music playing)"] = game_cpu
            results["floor"] = floor_cpu
        else:
            time.sleep(2.0)
            results["game (background music playing)"] = cpu_percent(process.pid, seconds)
        message = wait_for_window("^Lunaweave$", timeout=5)
        # Keys as a keyboard sends them (XTEST) to the focused window: keys sent to a window as
        # events of their own can reach the dialog that Ctrl+J opens.
        xdotool("windowfocus", "--sync", message)
        xdotool("key", "ctrl+j")
        wait_for_window("ずるちゃん", timeout=10)
        xdotool("key", "--delay", "30", "5", "6", "3", "Return")
        wait_for_window("エンディング", timeout=20)
        time.sleep(1.0)
        results["staff roll (ending music playing)"] = cpu_percent(process.pid, seconds)
        results["peak memory (MiB)"] = peak_memory_mb(process.pid)
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


def missing_tools():
    return [tool for tool in ("Xvfb", "xdotool") if shutil.which(tool) is None]


def startup_comparison(observer, bare, game, data, homes, work, runs, extra_env, session):
    """Rows of first-map times for the baseline, Qt's message box and the game with and without the
    notice; the four programs take turns so that all see the same machine."""
    def with_session(env):
        for name, value in extra_env.items():
            if value is None:
                env.pop(name, None)
            else:
                env[name] = value
        return env

    samples = {"bare": [], "message box": [], True: [], False: []}
    for _ in range(runs):
        bare_env = with_session(game_environment(homes[False]))
        samples["bare"].append(first_map(observer, [bare], data, bare_env))
        samples["message box"].append(first_map(observer, [bare, "--message-box"], data, bare_env))
        for notice in (True, False):
            env = with_session(dict(game_environment(homes[notice]), LW_AUDIO_FILE=os.path.join(work, "startup.wav")))
            samples[notice].append(first_map(observer, [game], data, env))
    base_wall = statistics.median(w for w, _ in samples["bare"])
    base_cpu = statistics.median(c for _, c in samples["bare"])
    rows = []
    for key, label in (("bare", "bare Qt: a picture window and a label of Japanese text (baseline)"),
                       ("message box", "bare Qt: its own message box with the notice's text (reference)"),
                       (True, "Lunaweave, series notice shown"), (False, "Lunaweave, notice OFF (demo first)")):
        wall = median_min_max([w for w, _ in samples[key]])
        cpu = statistics.median(c for _, c in samples[key])
        rows.append((session, label, "%.1f ms" % wall[0], "%.1f-%.1f" % wall[1:], "%.2f×" % (wall[0] / base_wall),
                     "%.1f ms (%.2f×)" % (cpu, cpu / base_cpu)))
    return rows


def start_session_bus():
    """(process, address) of a private D-Bus session bus, or None without dbus-daemon."""
    if not shutil.which("dbus-daemon"):
        return None
    server = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    address = server.stdout.readline().strip()
    return (server, address) if address else None


def main():
    parser = argparse.ArgumentParser()
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--build", default=os.path.join(root, "build"))
    parser.add_argument("--runs", type=int, default=15)
    parser.add_argument("--phase-runs", type=int, default=3)
    parser.add_argument("--seconds", type=float, default=20.0)
    parser.add_argument("--display", type=int, default=97)
    parser.add_argument("--out", default=os.path.join(root, "bench", "results.md"))
    parser.add_argument("--startup-only", action="store_true", help="time the first window only; print, write nothing")
    args = parser.parse_args()

    if missing_tools():
        sys.exit("missing " + ", ".join(missing_tools()) + ": apt-get install xvfb xauth xdotool fluid-soundfont-gm")
    build = os.path.abspath(args.build)
    data = os.path.join(build, "data")
    game = os.path.join(build, "bin", "lunaweave")
    bare = os.path.join(build, "bench", "bench_bare_qt")
    observer = os.path.join(build, "bench", "bench_map_observer")
    floor = os.path.join(build, "bench", "bench_synth_floor")
    inprocess = os.path.join(build, "bench", "bench_inprocess")
    for path in (game, bare, observer, floor, inprocess):
        if not os.path.exists(path):
            sys.exit(f"missing {path}: build first (cmake --build {build})")
    fonts = [f for f in SOUNDFONTS if os.path.exists(f)]
    work = tempfile.mkdtemp(prefix="lw-bench-")

    display = Display(args.display)
    homes = {True: make_home(True), False: make_home(False)}
    startup_rows, phase_rows = [], []
    try:
        # Start-up, as an outside X client sees it, with real synthesis and the default SoundFont,
        # in a session with no D-Bus session bus (as here) and then with one (as on a desktop).
        no_bus = {"DBUS_SESSION_BUS_ADDRESS": None, "XDG_RUNTIME_DIR": None}
        startup_rows += startup_comparison(observer, bare, game, data, homes, work, args.runs, no_bus, "no session bus")
        bus = start_session_bus()
        if bus:
            try:
                startup_rows += startup_comparison(observer, bare, game, data, homes, work, args.runs,
                                                   {"DBUS_SESSION_BUS_ADDRESS": bus[1]}, "session bus")
            finally:
                bus[0].terminate()
                bus[0].wait()
        if args.startup_only:
            print("\n".join("| %s | %s | %s | %s | %s | %s |" % row for row in startup_rows))
            return

        # Every phase with real synthesis, for each SoundFont, and FluidSynth alone as the floor.
        for font in fonts:
            name = os.path.basename(font)
            phases = {}
            for _ in range(args.phase_runs):
                env = dict(game_environment(homes[False]), LW_AUDIO_FILE=os.path.join(work, "game.wav"),
                           LW_SOUNDFONT=font)
                floor_command = (floor, font, os.path.join(data, GAME_PHASE_PIECE), os.path.join(work, "floor.raw"))
                for key, value in measure_phases(game, data, env, args.seconds, floor_command).items():
                    phases.setdefault(key, []).append(value)
            floors = phases.pop("floor")
            ratios = [g / f for g, f in zip(phases["game (background music playing)"], floors)]
            for key, values in phases.items():
                m = median_min_max(values)
                unit = "MiB" if "memory" in key else "% of a core"
                label = f"{name}: " + (key if "memory" in key else f"CPU, {key}")
                against = ""
                if key.startswith("game"):
                    r = median_min_max(ratios)
                    against = "%.2f× FluidSynth alone (%.2f-%.2f)" % r
                phase_rows.append((label, "%.2f %s" % (m[0], unit), "%.2f-%.2f" % m[1:], against))
            m = median_min_max(floors)
            phase_rows.append((f"{name}: CPU, FluidSynth alone playing {GAME_PHASE_PIECE} into a file, same seconds "
                               "(floor)", "%.2f %% of a core" % m[0], "%.2f-%.2f" % m[1:], ""))
        silent = [measure_idle_game_without_music(game, data, game_environment(homes[False]), args.seconds)
                  for _ in range(args.phase_runs)]
        m = median_min_max(silent)
        phase_rows.append(("CPU, game (no music files)", "%.2f %% of a core" % m[0], "%.2f-%.2f" % m[1:], ""))
    finally:
        display.close()
        for home in homes.values():
            shutil.rmtree(home, ignore_errors=True)
        shutil.rmtree(work, ignore_errors=True)

    # In-process timings (offscreen).
    result = subprocess.run([inprocess], cwd=data, env=dict(os.environ, QT_QPA_PLATFORM="offscreen"),
                            capture_output=True, text=True, timeout=900)
    inprocess_lines = [line for line in result.stdout.splitlines() if line.strip()]

    startup = ["| session | first window mapped (outside X observer) | median | min-max | against baseline | "
               "CPU used by then |", "|---|---|---|---|---|---|"] + [
                   "| %s | %s | %s | %s | %s | %s |" % row for row in startup_rows]
    phases = ["| measurement (real synthesis into a WAV file) | median | min-max | against floor |",
              "|---|---|---|---|"] + ["| %s | %s | %s | %s |" % row for row in phase_rows]
    text = "\n".join(startup) + "\n\n" + "\n".join(phases)
    print(text)
    print()
    print("\n".join(inprocess_lines))
    load = os.getloadavg()
    with open(args.out, "w") as f:
        f.write("# Benchmark results\n\n")
        f.write(f"Measured {time.strftime('%Y-%m-%d')} on {os.cpu_count()} cores (load average at the end "
                f"{load[0]:.1f}) with `bench/run_bench.py --runs {args.runs} --phase-runs {args.phase_runs} "
                f"--seconds {args.seconds:g}` under Xvfb, SoundFonts: "
                + ", ".join(os.path.basename(x) for x in fonts) + ".\n\n")
        f.write(text + "\n\nIn-process (offscreen, `build/bench/bench_inprocess` in `build/data`):\n\n```\n")
        f.write("\n".join(inprocess_lines) + "\n```\n")


if __name__ == "__main__":
    main()

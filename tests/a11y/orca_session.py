"""A desktop for listening to a program with the real Orca: Xvfb, openbox as the window manager,
the AT-SPI registry on the D-Bus session the caller runs in, and Orca with speech turned off
(`-d speech`) logging every utterance it would speak to its debug file.

Orca writes its debug file through a block buffer, so a caller could only read it after Orca
quits. Orca is therefore started through a two-line launcher that opens that one file line by
line; `Orca.spoken()` then reads what has been said so far while Orca runs. SIGINT still ends it
cleanly.

Orca 43 sometimes stalls right after start-up and never says its greeting; `Orca.start()`
notices that and starts it again.

Used by the end-to-end speech test and by the speech latency benchmark.
"""

import argparse
import datetime
import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time

TOOLS = ("Xvfb", "openbox", "orca", "xdotool")
# Orca's greeting, spoken once it listens to the desktop.
GREETING = "Screen reader on."
_ENTRY = re.compile(r"^(\d\d):(\d\d):(\d\d)\.(\d{6}) - ")
# An utterance, then the voice's name if not the default one, then the voice's settings.
_SPEECH = re.compile(r"SPEECH OUTPUT: '(.*)'(?: voice=\w+)? ?(?:\{.*\}|None)?", re.S)
_CONTINUED = " " * 18  # how Orca indents the further lines of a timestamped entry
# Runs /usr/bin/orca with its debug file opened line-buffered and no speech synthesizer.
_LAUNCHER = (
    "import builtins, runpy, sys\n"
    "log, plain_open = sys.argv.pop(1), builtins.open\n"
    "builtins.open = lambda f, m='r', *a, **k: plain_open(f, m, 1, 'utf-8') if f == log and m == 'w' "
    "else plain_open(f, m, *a, **k)\n"
    "import orca.settings\n"
    "orca.settings.speechServerFactory, orca.settings.speechFactoryModules = 'no synthesizer', []\n"
    "sys.argv[0] = '/usr/bin/orca'\n"
    "runpy.run_path('/usr/bin/orca', run_name='__main__')\n"
)


class DesktopError(Exception):
    pass


def missing_tools():
    return [tool for tool in TOOLS if shutil.which(tool) is None]


def start_xvfb():
    """Starts Xvfb on a free display; returns the process and its display name."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    # The server writes the number and then a newline, and dies if the pipe is closed between.
    received = b""
    deadline = time.monotonic() + 20
    while not received.endswith(b"\n") and time.monotonic() < deadline:
        ready, _, _ = select.select([read_end], [], [], max(0.0, deadline - time.monotonic()))
        chunk = os.read(read_end, 32) if ready else b""
        if not chunk:
            break
        received += chunk
    os.close(read_end)
    number = received.decode().strip() if received.endswith(b"\n") else ""
    if not number:
        server.kill()
        raise DesktopError("Xvfb did not start")
    return server, ":" + number


def stop(process, how=signal.SIGTERM, timeout=10):
    if process is None or process.poll() is not None:
        return
    process.send_signal(how)
    try:
        process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def game_arguments(description, until):
    """The command line of the tests that play the game: the game, its data, the route oracle and
    the story state to play up to."""
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--game", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--oracle", required=True)
    parser.add_argument("--until", type=int, default=until, help="follow the route up to this story state")
    args = parser.parse_args()
    args.game, args.data, args.oracle = (os.path.abspath(p) for p in (args.game, args.data, args.oracle))
    return args


def game_environment(work):
    """The game's environment for a run under `work`: X (not offscreen), no audio, its settings
    and runtime folders there, and the series notice switched off as a player who has seen it
    would have it; the game writes nothing."""
    config = os.path.join(work, "config", "Kestrune")
    os.makedirs(config, exist_ok=True)
    with open(os.path.join(config, "Kestrune.conf"), "w", encoding="utf-8") as settings:
        settings.write("[Solvenne]\nLWFLock=OFF\n")
    runtime = os.path.join(work, "runtime")
    os.makedirs(runtime, mode=0o700, exist_ok=True)
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", LW_NO_AUDIO="1", XDG_CONFIG_HOME=os.path.join(work, "config"),
               XDG_RUNTIME_DIR=runtime)
    # A screen reader, not this variable, is what turns the game's accessibility on.
    env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
    return env


class Record:
    """One utterance: when Orca logged it (seconds since midnight, local time) and what."""

    def __init__(self, at, text):
        self.at, self.text = at, text

    def __repr__(self):
        return f"{self.at:.3f} {self.text!r}"


def now():
    """The clock of Orca's debug file: seconds since local midnight."""
    t = datetime.datetime.now()
    return t.hour * 3600 + t.minute * 60 + t.second + t.microsecond / 1e6


class Desktop:
    """Xvfb with openbox; the caller's environment gets DISPLAY."""

    def __init__(self, work):
        self.work = work
        self.server, self.display = start_xvfb()
        os.environ["DISPLAY"] = self.display
        ready = os.path.join(work, "openbox-ready")
        # openbox runs its start-up command once it manages the screen.
        self.wm = subprocess.Popen(["openbox", "--sm-disable", "--startup", f"touch {ready}"],
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 20
        while not os.path.exists(ready):
            if time.monotonic() > deadline or self.wm.poll() is not None:
                self.close()
                raise DesktopError("openbox did not start")
            time.sleep(0.05)

    def close(self):
        stop(self.wm)
        stop(self.server)


class Orca:
    """Orca on the current desktop and session bus, speech off, its utterances read back."""

    def __init__(self, work):
        self.work = work
        self.process = None
        self.log = None
        self.tries = 0

    def start(self, attempts=3, greeting_timeout=20):
        for attempt in range(attempts):
            self.tries = attempt + 1
            self._launch()
            deadline = time.monotonic() + greeting_timeout
            while time.monotonic() < deadline and self.process.poll() is None:
                if any(r.text == GREETING for r in self.spoken()):
                    return
                time.sleep(0.1)
            # A stalled start: no greeting. Kill it and try again.
            stop(self.process, signal.SIGKILL)
        raise DesktopError(f"Orca did not start in {attempts} tries")

    def _launch(self):
        prefs = tempfile.mkdtemp(prefix="orca-prefs-", dir=self.work)
        self.log = os.path.join(self.work, f"orca-{self.tries}.log")
        env = dict(os.environ, GTK_USE_PORTAL="0", NO_AT_BRIDGE="0")
        self.process = subprocess.Popen(
            ["/usr/bin/python3", "-c", _LAUNCHER, self.log, "--replace", "-d", "braille", "-d", "main-window",
             "-u", prefs,
             "--debug-file", self.log],
            env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def spoken(self):
        """Every utterance so far, in order."""
        if not self.log or not os.path.exists(self.log):
            return []
        entries = []  # [seconds, text] of each timestamped entry, further lines joined
        with open(self.log, encoding="utf-8", errors="replace") as log:
            for line in log:
                line = line.rstrip("\n")
                stamp = _ENTRY.match(line)
                if stamp:
                    h, m, s, us = (int(x) for x in stamp.groups())
                    entries.append([h * 3600 + m * 60 + s + us / 1e6, line[stamp.end():]])
                elif entries and line.startswith(_CONTINUED):
                    entries[-1][1] += "\n" + line[len(_CONTINUED):]
        records = []
        for at, text in entries:
            speech = _SPEECH.fullmatch(text)
            if speech:
                records.append(Record(at, speech.group(1)))
        return records

    def wait_for(self, text, since, timeout):
        """The first record saying `text` (a string, or a predicate on the text) at or after
        `since`, or None after `timeout` seconds."""
        match = text if callable(text) else (lambda said: said == text)
        deadline = time.monotonic() + timeout
        while True:
            for record in self.spoken():
                if record.at >= since and match(record.text):
                    return record
            if time.monotonic() > deadline:
                return None
            time.sleep(0.05)

    def quiet(self, settle=0.6, timeout=10):
        """Waits until Orca has said nothing new for `settle` seconds."""
        deadline = time.monotonic() + timeout
        count, changed = -1, time.monotonic()
        while time.monotonic() < deadline:
            n = len(self.spoken())
            if n != count:
                count, changed = n, time.monotonic()
            elif time.monotonic() - changed >= settle:
                return
            time.sleep(0.05)

    def close(self):
        # SIGINT lets Orca finish its debug file.
        stop(self.process, signal.SIGINT)

"""Runs the real morvask.exe under Wine for the system tests.

Each test gets a sandbox folder holding a copy of morvask.exe, so that its
settings file lies next to the executable as it would on a user's machine.
The launcher stand-in starts morvask with an exact command line, reads and
closes its message boxes, and reports its exit code.
"""
import functools
import os
import shutil
import subprocess
import time
import unittest
from dataclasses import dataclass, field
from pathlib import Path

import wine_host

REPO = Path(__file__).resolve().parents[2]
# The Windows build under test and the Wine it runs under (see wine_host).
WINE = wine_host.by_name(os.environ.get("MORVASK_WINE_BUILD", "win32"))
BUILD = Path(os.environ.get("MORVASK_BUILD_DIR", REPO / "build" / WINE.name))

USAGE = ("Usage:\r\n\r\n"
         "morvask current ... reactivate current profile\r\n"
         "morvask next ... activate next profile\r\n"
         "morvask profile profile_index ... activate specified profile\r\n"
         "morvask osd image_set image_index ... shows specified AtkOsd\r\n"
         "morvask show ... shows current profile").encode()

OSD = "osd"
CLOCK = "clock"
CLOCK_BASE = 0x800E


def prefix_dir():
    return Path(os.environ.get("WINEPREFIX", BUILD / "wineprefix"))


# Wine's .NET and HTML engines stay off: the prefix is made without them.
DLL_OVERRIDES = "mscoree,mshtml="


def wine_env(extra=None):
    env = dict(os.environ)
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "WINEARCH"):
        env.pop(name, None)
    env.update(WINE.env())
    env.update(WINEPREFIX=str(prefix_dir()), WINEDEBUG="-all",
               WINEDLLOVERRIDES=DLL_OVERRIDES)
    env.update(extra or {})
    return env


def wine(program, *args):
    """The command that runs a Windows program (or a Wine tool such as
    "wineboot") under this build's Wine loader."""
    return [str(WINE.loader), str(program), *map(str, args)]


def winpath(path):
    """The Windows name of a Unix path: Wine maps Z: to the root."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def tool(name):
    return BUILD / name


@dataclass
class Box:
    caption: bytes
    text: bytes
    icon: str
    buttons: str

    def is_usage(self):
        # No caption of our own: the system's "Error"; style 0x10: an icon
        # (the error icon, which cannot be told apart from another process)
        # and one OK button (id 1).
        return (self.text == USAGE and self.caption == b"Error"
                and self.icon == "present" and self.buttons == "1")


@dataclass
class Result:
    start_tick: int = 0
    start_us: int = 0
    elapsed_us: int = None
    boxes: list = field(default_factory=list)
    # (class, title) of each top-level window of the program seen.
    windows: list = field(default_factory=list)
    exit_code: int = None
    elapsed_ms: int = None
    timed_out: bool = False
    raw: str = ""

    @property
    def usage_shown(self):
        return len(self.boxes) == 1 and self.boxes[0].is_usage()


def unhex(text):
    """The bytes of a stand-in's hexadecimal text ("-" for none)."""
    return b"" if text == "-" else bytes.fromhex(text)


def parse_launch_output(text):
    result = Result(raw=text)
    for line in text.splitlines():
        words = line.split()
        if not words:
            continue
        if words[0] == "start":
            result.start_tick = int(words[1])
            result.start_us = int(words[2])
        elif words[0] == "box":
            result.boxes.append(Box(unhex(words[1]), unhex(words[2]),
                                    words[3], words[4]))
        elif words[0] == "window":
            result.windows.append((unhex(words[1]), unhex(words[2])))
        elif words[0] == "exit":
            result.exit_code = int(words[1])
            result.elapsed_ms = int(words[2])
            result.elapsed_us = int(words[3])
        elif words[0] == "timeout":
            result.timed_out = True
            result.elapsed_ms = int(words[1])
    return result


def as_bytes(text):
    return text if isinstance(text, bytes) else text.encode("latin-1")


class Sandbox:
    """A folder with its own morvask.exe and morvask.ini."""

    def __init__(self, name):
        self.dir = BUILD / "systest" / name
        self._unlock_all()
        shutil.rmtree(self.dir, ignore_errors=True)
        self.dir.mkdir(parents=True)
        self.exe = self.dir / "morvask.exe"
        shutil.copy(tool("morvask.exe"), self.exe)
        self.ini = self.dir / "morvask.ini"
        self.extra_env = {}
        self.power_supply = None  # A stand-in folder, once use_battery ran.
        self._runs = 0
        self._short_exe = None

    def _unlock_all(self):
        if self.dir.exists():
            subprocess.run(["chattr", "-R", "-i", str(self.dir)],
                           stderr=subprocess.DEVNULL)

    def write_ini(self, text, newline="\r\n"):
        data = "\n".join(line.strip() for line in text.strip().splitlines())
        self.ini.write_bytes((data + "\n").replace("\n", newline).encode())

    def ini_bytes(self):
        return self.ini.read_bytes() if self.ini.exists() else None

    def value(self, section, key):
        """A value as the file holds it, or None; names match in any case."""
        if not self.ini.exists():
            return None
        current = None
        for line in self.ini.read_text("latin-1").splitlines():
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                current = line[1:-1].strip().lower()
            elif "=" in line and current == section.lower():
                k, v = line.split("=", 1)
                if k.strip().lower() == key.lower():
                    return v.strip()
        return None

    def lock_ini(self):
        """Makes the settings file refuse every write, to root and Wine too."""
        subprocess.run(["chattr", "+i", str(self.ini)], check=True)

    def command_line_file(self, args, program=b"morvask"):
        self._runs += 1
        path = self.dir / f"cmdline{self._runs}.bin"
        line = as_bytes(program)
        if args is not None:
            line += b" " + as_bytes(args)
        path.write_bytes(line)
        return path

    def start(self, args, program=b"morvask", timeout_ms=30000, env=None,
              exe=None, stdout=None, wine_log=None):
        """Starts morvask (or `exe`, a path or its Windows name) through the
        launcher, its standard
        output into the file `stdout` if given, and Wine's debug output
        (see WINEDEBUG) into the file `wine_log` if given; returns the
        Popen."""
        program = exe if isinstance(exe, str) else winpath(exe or self.exe)
        cmd = [str(tool("launch.exe")), program,
               winpath(self.command_line_file(args, program)), str(timeout_ms)]
        if stdout:
            cmd.append(winpath(stdout))
        extra = dict(self.extra_env, **(env or {}))
        with open(wine_log or os.devnull, "wb") as errors:
            return subprocess.Popen(self._power_wrapper() + wine(*cmd),
                                    env=wine_env(extra),
                                    stdout=subprocess.PIPE, stderr=errors)

    def use_battery(self):
        """Makes the following runs see a machine on battery power.

        Wine reads the power source from /sys/class/power_supply; the runs
        get a private mount namespace in which a folder with an offline
        mains entry and a discharging battery stands there instead."""
        supply = self.dir / "power_supply"
        entries = {"AC": {"type": "Mains", "online": "0"},
                   "BAT0": {"type": "Battery", "present": "1",
                            "status": "Discharging", "capacity": "50"}}
        for name, files in entries.items():
            (supply / name).mkdir(parents=True, exist_ok=True)
            for file, text in files.items():
                (supply / name / file).write_text(text + "\n")
        self.power_supply = supply

    def plug_in(self, online=True):
        """Turns the stand-in mains entry on or off; the runs inside see it
        at their next look."""
        (self.power_supply / "AC" / "online").write_text(f"{int(online)}\n")

    def _power_wrapper(self):
        if not self.power_supply:
            return []
        mount = 'mount --bind "$0" /sys/class/power_supply && exec "$@"'
        return ["unshare", "-m", "sh", "-c", mount, str(self.power_supply)]

    @staticmethod
    def finish(process):
        out, _ = process.communicate(timeout=120)
        return parse_launch_output(out.decode("latin-1"))

    def run(self, args, **kwargs):
        return self.finish(self.start(args, **kwargs))

    def run_short(self, args, timeout=60):
        """Runs morvask straight from the Wine loader through the short
        (8.3) name of its folder, which it then sees in its own path (Wine's
        CreateProcess, and so the launcher, would give it the long name).
        Without the launcher a message box would stay open: a run that
        shows one times out, and has no exit code."""
        if not self._short_exe:
            self._short_exe = subprocess.run(
                wine("winepath", "-s", winpath(self.exe)), env=wine_env(),
                capture_output=True, text=True, timeout=60,
                check=True).stdout.strip()
            assert self._short_exe != winpath(self.exe), "no short name"
        short = self._short_exe
        try:
            run = subprocess.run(wine(short, *args.split()),
                                 env=wine_env(self.extra_env),
                                 capture_output=True, timeout=timeout)
            return Result(exit_code=run.returncode, raw=short)
        except subprocess.TimeoutExpired:
            return Result(timed_out=True, raw=f"{short}: timed out")

    def move_into(self, name):
        """Moves morvask.exe, and so its settings file, into the folder
        `name` of the sandbox; returns the short (8.3) Windows name of the
        executable there, by which the launcher can start it."""
        folder = self.dir / name
        folder.mkdir()
        self.exe = Path(shutil.move(self.exe, folder / "morvask.exe"))
        self.ini = folder / "morvask.ini"
        return subprocess.run(
            wine("winepath", "-s", winpath(self.exe)), env=wine_env(),
            capture_output=True, text=True, timeout=60,
            check=True).stdout.strip()

    def cleanup(self):
        self._unlock_all()


class Standin:
    """A stand-in window that records the WM_COMMANDs it receives."""

    def __init__(self, sandbox, kind):
        self.log = sandbox.dir / f"{kind}.log"
        self.log.write_text("")
        self.process = subprocess.Popen(
            wine(tool("standin_window.exe"), kind, winpath(self.log), "300"),
            env=wine_env(), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 30
        while "ready" not in self.log.read_text():
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise RuntimeError(f"stand-in {kind} did not start")
            time.sleep(0.05)

    def _records(self):
        """[wparam, lparam, tick, microseconds] of each command, in order."""
        return [[int(word) for word in line.split()[1:]]
                for line in self.log.read_text().splitlines()
                if line.startswith("command ")]

    def commands(self):
        """[(wparam, lparam, tick)] in the order received."""
        return [tuple(record[:3]) for record in self._records()]

    def arrival_us(self):
        """Performance-counter microseconds at which each command came."""
        return [record[3] for record in self._records()]

    def params(self):
        return [c[0] for c in self.commands()]

    def wait_for(self, count, timeout=5.0):
        """Gives posted messages time to arrive; returns the params seen."""
        deadline = time.monotonic() + timeout
        while len(self.commands()) < count and time.monotonic() < deadline:
            time.sleep(0.05)
        return self.params()

    def close(self):
        self.process.kill()
        self.process.wait()


NOTICE_CLASS = b"morvask notice"
# The extended styles of a notice: topmost, tool window (no taskbar button),
# click-through, layered, and never activated.
WS_EX_TOPMOST, WS_EX_TOOLWINDOW = 0x8, 0x80
WS_EX_TRANSPARENT, WS_EX_LAYERED, WS_EX_NOACTIVATE = 0x20, 0x80000, 0x8000000
NOTICE_EX_STYLES = (WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT
                    | WS_EX_LAYERED | WS_EX_NOACTIVATE)


@dataclass
class NoticeSight:
    """What the poller saw at `us` (performance-counter microseconds): the
    visible notices, each (extended style, title)."""
    us: int
    notices: list


class NoticePoll:
    """The notice poller (tests/standins/notice_poll.cc): a window of its own
    in the foreground, and every change in the visible notices."""

    def __init__(self, sandbox, seconds=120):
        self.log = sandbox.dir / "notice_poll.log"
        self.log.write_text("")
        self.process = subprocess.Popen(
            wine(tool("notice_poll.exe"), winpath(self.log), str(seconds)),
            env=wine_env(), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 30
        while not self.log.read_text().startswith("ready"):
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise RuntimeError("the notice poller did not start")
            time.sleep(0.05)

    def _lines(self):
        return [line.split() for line in self.log.read_text().splitlines()]

    def had_focus_at_start(self):
        return self._lines()[0][1] == "1"

    def focus_changes(self):
        """[(microseconds, whether its window is the foreground one)]."""
        return [(int(w[1]), w[2] == "1") for w in self._lines()
                if w[0] == "foreground"]

    def sights(self):
        result = []
        for words in self._lines():
            if words[0] != "seen":
                continue
            pairs = words[3:]
            result.append(NoticeSight(int(words[1]), [
                (int(pairs[i], 16), unhex(pairs[i + 1]))
                for i in range(0, len(pairs), 2)]))
        return result

    def wait_until(self, test, timeout=10.0):
        """The first sight for which `test` holds, waiting up to `timeout`
        s for it; None if none came."""
        deadline = time.monotonic() + timeout
        while True:
            for sight in self.sights():
                if test(sight):
                    return sight
            if time.monotonic() > deadline:
                return None
            time.sleep(0.05)

    def close(self):
        self.process.kill()
        self.process.wait()


class CliStandin:
    """The stand-in CLI.exe placed in a folder, and what it recorded. It runs
    longer when the sandbox's MORVASK_TEST_CLI_SLEEP_MS says so."""

    def __init__(self, sandbox, folder):
        folder.mkdir(parents=True, exist_ok=True)
        self.exe = folder / "CLI.exe"
        shutil.copy(tool("CLI.exe"), self.exe)
        self.log = sandbox.dir / "cli.log"
        self.log.write_text("")
        sandbox.extra_env["MORVASK_TEST_CLI_LOG"] = winpath(self.log)

    def command_lines(self, wait_for=0, timeout=5.0):
        deadline = time.monotonic() + timeout
        while True:
            lines = [bytes.fromhex(l.split()[1])
                     for l in self.log.read_text().splitlines() if l.strip()]
            if len(lines) >= wait_for or time.monotonic() > deadline:
                return lines
            time.sleep(0.05)

    def remove(self):
        self.exe.unlink(missing_ok=True)


def system_folder(bits=None):
    """The prefix's folder of system DLLs for a program of `bits` (this
    build's by default): system32, except for a 32-bit program in a 64-bit
    prefix, whose system folder is syswow64."""
    windows = prefix_dir() / "drive_c" / "windows"
    prefix_bits = 32 if WINE.winearch == "win32" else 64
    if (bits or WINE.bits) == 32 and prefix_bits == 64:
        return windows / "syswow64"
    return windows / "system32"


# Power plans and the power modes of Windows 11, as StringFromGUID2 writes
# them.
PLAN_BALANCED = "{381B4222-F694-41F0-9685-FF5BB260DF2E}"
PLAN_HIGH_PERFORMANCE = "{8C5E7FDA-E8BF-4A96-9A85-A6E23A8C635C}"
PLAN_POWER_SAVER = "{A1841308-3541-4FAB-BC81-F71556F20B4A}"
MODE_BEST_EFFICIENCY = "{961CC777-2547-4F9D-8174-7D86181B8A7A}"
MODE_BALANCED = "{00000000-0000-0000-0000-000000000000}"
MODE_BETTER_PERFORMANCE = "{3AF9B8D9-7C97-431D-AD78-34A8BFEA439F}"
MODE_BEST_PERFORMANCE = "{DED574B5-45A0-4F42-8737-46345C09C238}"

DEFAULT_PLANS = {
    "win11": [(PLAN_BALANCED, "Balanced"),
              (PLAN_HIGH_PERFORMANCE, "High performance"),
              (PLAN_POWER_SAVER, "Power saver")],
    "xp": [(0, "Home/Office Desk"), (1, "Portable/Laptop"),
           (2, "Presentation"), (3, "Always On")],
}
DEFAULT_PLANS["win10"] = DEFAULT_PLANS["win11"]


class PowerLibrary:
    """The stand-in power library (tests/standins/power_library.cc) of the
    chosen Windows ("win11", "win10" without the power mode functions, or
    "xp" with only the XP ones) installed as the prefix's powrprof.dll, for
    the sandbox's runs. `plans`: [(GUID or XP number, name)], the first of
    each kind active. Wine's own file is put back by restore()."""

    def __init__(self, sandbox, windows="win11", plans=None):
        self.windows = windows
        self.folder = sandbox.dir / "power"
        shutil.rmtree(self.folder, ignore_errors=True)
        self.folder.mkdir(parents=True)
        self.write_plans(DEFAULT_PLANS[windows] if plans is None else plans)
        self.system_dll = system_folder() / "powrprof.dll"
        # Kept outside the prefix's folders, and only once, so that a run
        # that died before restore() leaves Wine's own file to restore.
        self._wine_dll = prefix_dir() / "morvask-test-wine-powrprof.dll"
        if not self._wine_dll.exists() and self.system_dll.exists():
            shutil.copy(self.system_dll, self._wine_dll)
        shutil.copy(tool(f"power_{windows}.dll"), self.system_dll)
        self._planted = []
        self._sandbox = sandbox
        sandbox.extra_env.update(
            WINEDLLOVERRIDES=f"{DLL_OVERRIDES};powrprof=n",
            MORVASK_TEST_POWER=winpath(self.folder))

    def write_plans(self, plans):
        """Replaces the plans; the next call of any process sees them."""
        lines = "".join(f"{key}\t{name}\n" for key, name in plans)
        (self.folder / "plans.txt").write_bytes(lines.encode("utf-8"))

    def _lines(self, name):
        path = self.folder / name
        if not path.exists():
            return []
        return path.read_text("utf-8", errors="replace").splitlines()

    def calls(self, loaded=False):
        """The calls the system folder's copy recorded, in order, such as
        "PowerSetActiveScheme {GUID}"; with `loaded`, also its
        "loaded EXE_PATH" lines."""
        return [line for line in self._lines("calls.log")
                if loaded or not line.startswith("loaded ")]

    def loaded_by(self):
        """The Windows paths of the executables of the processes that loaded
        the system folder's copy, in order."""
        return [line.split(" ", 1)[1] for line in self._lines("calls.log")
                if line.startswith("loaded ")]

    def state(self):
        """What the last set left: {"active": GUID, "active_xp": NUMBER,
        "ac_mode": GUID, "dc_mode": GUID} as far as written; {} before the
        first set."""
        return dict(line.split(" ", 1) for line in self._lines("state.txt")
                    if " " in line)

    def plant_beside(self, exe_dir):
        """Copies the same library as powrprof.dll into `exe_dir`, as a less
        privileged account could plant it there. Returns its path; what it
        recorded is planted_calls() and planted_loaded_by()."""
        planted = Path(exe_dir) / "powrprof.dll"
        shutil.copy(tool(f"power_{self.windows}.dll"), planted)
        self._planted.append(planted)
        return planted

    def planted_calls(self, loaded=False):
        """As calls(), for the copies planted with plant_beside."""
        return [line for line in self._lines("planted.log")
                if loaded or not line.startswith("loaded ")]

    def planted_loaded_by(self):
        """As loaded_by(), for the copies planted with plant_beside."""
        return [line.split(" ", 1)[1] for line in self._lines("planted.log")
                if line.startswith("loaded ")]

    def restore(self):
        """Puts Wine's own powrprof.dll back and ends the sandbox's use of
        the stand-in; running it twice does no harm."""
        if self._wine_dll.exists():
            shutil.copy(self._wine_dll, self.system_dll)
            self._wine_dll.unlink()
        for planted in self._planted:
            planted.unlink(missing_ok=True)
        self._planted = []
        env = self._sandbox.extra_env
        if env.get("MORVASK_TEST_POWER") == winpath(self.folder):
            env.pop("MORVASK_TEST_POWER")
            env.pop("WINEDLLOVERRIDES", None)


class RunProbe:
    """The probe a profile's Run starts (tests/standins/run_probe.cc), copied
    into `folder` (by default one with a blank in its name in the
    sandbox)."""

    FIELDS_AS_TEXT = ("cmd", "cwd", "profile", "power", "command")

    def __init__(self, sandbox, folder=None):
        self.folder = Path(folder or sandbox.dir / "run probe")
        self.folder.mkdir(parents=True, exist_ok=True)
        self.exe = self.folder / "run_probe.exe"
        shutil.copy(tool("run_probe.exe"), self.exe)
        self.log = self.folder / "probe.log"
        self.log.write_bytes(b"")

    def command_line(self, exit_code=None, sleep_ms=None):
        """A command line that starts the probe: its quoted Windows path, the
        log, and the exit code and sleep when given."""
        words = [f'"{winpath(self.exe)}"', f'"{winpath(self.log)}"']
        if exit_code is not None or sleep_ms is not None:
            words.append(str(exit_code or 0))
        if sleep_ms is not None:
            words.append(str(sleep_ms))
        return " ".join(words)

    def records(self, wait_for=0, timeout=5.0):
        """One dict a start, in order: "pid" and "tick" (int); "cmd",
        "cwd", "profile", "power", "command" (bytes; None for an unset
        variable); "window" and "console" (bool); "stdout" ("none", "char",
        "disk", "pipe" or "unknown"). Waits up to `timeout` s for
        `wait_for` of them."""
        deadline = time.monotonic() + timeout
        while True:
            lines = self.log.read_text("ascii").splitlines()
            if len(lines) >= wait_for or time.monotonic() > deadline:
                return [self._decode(line) for line in lines if line]
            time.sleep(0.05)

    @classmethod
    def _decode(cls, line):
        record = dict(field.split("=", 1) for field in line.split())
        for name in cls.FIELDS_AS_TEXT:
            value = record[name]
            record[name] = None if value == "-" else bytes.fromhex(value)
        for name in ("pid", "tick"):
            record[name] = int(record[name])
        for name in ("window", "console"):
            record[name] = record[name] == "1"
        return record


def set_registry_path(type_code, data):
    """Sets HKLM\\Software\\ATI\\ACE value Path in the registry view that
    morvask of this build reads (the 32-bit one for the shipped build)."""
    subprocess.run(wine(tool("regset.exe"), "set", str(type_code),
                        as_bytes(data).hex() or "-"), env=wine_env(),
                   check=True, timeout=60)


WM_POWERBROADCAST = 0x218
PBT_APMSUSPEND, PBT_APMRESUMECRITICAL = 0x04, 0x06
PBT_APMRESUMESUSPEND, PBT_APMPOWERSTATUSCHANGE = 0x07, 0x0A
PBT_APMRESUMEAUTOMATIC = 0x12
WM_WTSSESSION_CHANGE, WTS_CONSOLE_CONNECT = 0x2B1, 0x1


def post_to_watcher(message, wparam):
    """Posts a message to morvask-watch's window, as Windows broadcasts its
    power events. Returns (tick when posted, whether the window is shown),
    or None when there is no such window."""
    out = subprocess.run(wine(tool("post.exe"), "morvask-watch", message,
                              wparam), env=wine_env(), capture_output=True,
                         text=True, timeout=60).stdout.split()
    if not out or out[0] != "posted":
        return None
    return int(out[1]), out[2] == "1"


def wait_for_watcher(timeout=30.0):
    """True once morvask-watch's window is there, False after `timeout` s."""
    deadline = time.monotonic() + timeout
    while not post_to_watcher(0, 0):  # WM_NULL: nothing to do.
        if time.monotonic() > deadline:
            return False
        time.sleep(0.1)
    return True


def ansi_code_page():
    """The ANSI code page of the prefix, as its registry gives it."""
    out = subprocess.run(
        wine("reg", "query", r"HKLM\System\CurrentControlSet\Control\Nls"
             r"\CodePage", "/v", "ACP"), env=wine_env(), capture_output=True,
        text=True, timeout=60, check=True).stdout.split()
    return int(out[out.index("ACP") + 2])


def delete_registry_key():
    subprocess.run(wine(tool("regset.exe"), "delete"), env=wine_env(),
                   check=True, timeout=60)


# Set by the test command (scripts/test.sh): there a test that cannot run
# on this host fails with its reason instead of skipping, since a skip
# reads as a pass.
NO_SKIP_VARIABLE = "MORVASK_NO_SKIP"


def power_supply_view_missing():
    """Why the runs cannot get a private view of the power supply (see
    Sandbox.use_battery), or None when they can."""
    if not Path("/sys/class/power_supply").is_dir():
        return "this host has no /sys/class/power_supply to stand in for"
    probe = subprocess.run(["unshare", "-m", "true"], capture_output=True,
                           text=True)
    if probe.returncode != 0:
        return ("no private mount namespace (unshare -m, which needs root): "
                + probe.stderr.strip())
    return None


def runs_only_if(missing):
    """Decorates a test or a test class that needs what `missing` (a reason,
    or None) says is not there: skipped with the reason, or under the test
    command failed with it."""
    def decorate(target):
        if missing is None:
            return target
        if not os.environ.get(NO_SKIP_VARIABLE):
            return unittest.skip(missing)(target)
        message = f"cannot run on this host: {missing}"
        if isinstance(target, type):
            def set_up(self):
                self.fail(message)
            target.setUp = set_up
            return target

        @functools.wraps(target)
        def failing(self, *args, **kwargs):
            self.fail(message)
        return failing
    return decorate


class SystemTest(unittest.TestCase):
    """A test with its own sandbox; stand-ins it opens are closed after."""

    def setUp(self):
        self.box = Sandbox(self.id().split(".", 1)[-1])
        self.addCleanup(self.box.cleanup)

    def standin(self, kind):
        standin = Standin(self.box, kind)
        self.addCleanup(standin.close)
        return standin

    def notice_poll(self):
        poll = NoticePoll(self.box)
        self.addCleanup(poll.close)
        return poll

    def power_library(self, windows="win11", plans=None):
        """Installs the stand-in power library for this test (see
        PowerLibrary); Wine's own is back after it."""
        library = PowerLibrary(self.box, windows, plans)
        self.addCleanup(library.restore)
        return library

    def run_probe(self, folder=None):
        return RunProbe(self.box, folder)

    def assert_normal_run(self, result, message=""):
        self.assertEqual(0, result.exit_code, f"{message} {result.raw}")
        self.assertEqual([], result.boxes, message)

    def assert_usage(self, result, message=""):
        self.assertEqual(0, result.exit_code, f"{message} {result.raw}")
        self.assertTrue(result.usage_shown, f"{message} {result.boxes}")

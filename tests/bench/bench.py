"""Benchmark of morvask.exe under Wine on this machine; prints a table.

- press-to-display latency: from the start of "morvask next" to the
  stand-in display window receiving its command, press by press with the
  same figure of a floor program that only finds the window and posts once,
  and with a cycle list ([Main] CycleAC) in place of ProfileCount;
- settle overhead: start-to-exit time of a press (settings lock and all)
  minus its Delay, beside the start-to-exit time of the floor program;
- the settings lock: a settings read without and with the named mutex that
  morvask holds around each settings call, and what that adds to a press;
- the run log: what writing the lines of a press with [Main] Log=1 costs
  (morvask's own log, timed in a loop), and start-to-exit times of presses
  with Log=0 and Log=1 beside presses without the key, in turn;
- a profile's power plan, power mode and program: press-to-display with
  and without them, press by press, and what each costs an apply
  (against the stand-in power library and the run probe);
- press-to-notice: from the start of "morvask next" with [Main] Notice on
  to its own notice on screen (seen by a poller about every millisecond),
  beside a floor program that only makes and shows one such window, and
  how long a replaced notice lingers after its successor appears (and the
  gap between them);
- key-to-press latency: from a key's input (the keys stand-in's SendInput)
  to the start tick of the morvask that morvask-watch started for it;
- morvask-watch at rest, holding the keys of a [Keys] section: the CPU
  time it takes while nothing happens, and its resident set (under Wine:
  Wine's own libraries included);
- size and imported DLLs of the shipped executables (the win32 build).

Figures are medians over --presses runs (at least 10). The timings are of
the build that this host's Wine runs (tests/system/wine_host.py): the
shipped win32 build, or on a host that cannot run 32-bit programs the
win64 build of the same sources, and the table's heading says which.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

TESTS = Path(__file__).resolve().parents[1]
sys.path[:0] = [str(TESTS / "system"), str(TESTS / "release"),
                str(TESTS.parent / "scripts")]
import harness  # noqa: E402
from make_zip import EXECUTABLES  # noqa: E402
from pe_imports import (MAX_EXECUTABLE_BYTES, imported_dlls,  # noqa: E402
                        only_known_dlls)

SETTLE_DELAY_MS = 500
# Settings calls of a "next" press with the display and the clock utility
# switched on: 5 reads to step, 2 writes, 3 reads to show, 1 to see whether
# a later press took over, 3 to apply, and the flush.
CALLS_PER_PRESS = 15
LOCK_READS = 2000
LOG_PRESSES = 1000
WATCH_IDLE_S = 10


def display_latencies(box, osd, presses, exe=None, settings=None, exes=None):
    """Microseconds from each start to the display command's arrival; with
    `settings`, a list of settings texts (or `exes`, a list of programs),
    each press runs on the next of them in turn and the figures come back
    interleaved, one of each in turn."""
    latencies = []
    for press in range(presses):
        if settings:
            box.write_ini(settings[press % len(settings)])
        if exes:
            exe = exes[press % len(exes)]
        seen = len(osd.arrival_us())
        result = box.run(b"next", exe=exe)
        osd.wait_for(seen + 1)
        latencies.append(osd.arrival_us()[seen] - result.start_us)
        time.sleep(0.05)
    return latencies


NOTICE_INI = "[Main]\nNotice=1\nNoticeTime={}\nDelay=0\nProfileCount=3"


def notice_latencies(box, poll, presses, exe=None, args=b"next"):
    """Microseconds from each start to its first notice on screen."""
    box.write_ini(NOTICE_INI.format(50))
    latencies = []
    for _ in range(presses):
        result = box.run(args, exe=exe)
        sight = poll.wait_until(
            lambda s: s.us > result.start_us and s.notices)
        latencies.append(sight.us - result.start_us)
        time.sleep(0.05)
    return latencies


def notice_replacements(box, poll, presses):
    """[(lingering, gap)] microseconds of each replaced notice: how long it
    was still seen after its successor appeared, and how long no notice
    was seen between them."""
    box.write_ini(NOTICE_INI.format(3000))
    figures = []
    for press in range(presses):
        old, new = (f"Profile {p} on mains".encode()
                    for p in (press % 2 + 1, 2 - press % 2))
        since = poll.sights()[-1].us
        first = box.start(f"profile {press % 2 + 1}".encode())
        # Its last notice, after applying, is up.
        shown = poll.wait_until(
            lambda s: s.us > since
            and any(t == old + b": applied" for _, t in s.notices))
        box.run(f"profile {2 - press % 2}".encode())
        box.finish(first)
        poll.wait_until(lambda s: s.us > shown.us and not s.notices)
        sights = [s for s in poll.sights() if s.us >= shown.us]
        titles = [[t for _, t in s.notices] for s in sights]
        appeared = next(s.us for s, t in zip(sights, titles)
                        if any(x.startswith(new) for x in t))
        old_last = max(s.us for s, t in zip(sights, titles)
                       if any(x.startswith(old) for x in t))
        old_gone = next(s.us for s in sights if s.us > old_last)
        figures.append((max(0, old_gone - appeared),
                        max(0, appeared - old_gone)))
        time.sleep(0.05)
    return figures


def settle_overheads(box, presses):
    """Microseconds each press ran beyond its delay."""
    box.write_ini(f"[Main]\nShowAtkOsd=1\nRMClock=1\nDelay={SETTLE_DELAY_MS}")
    return [box.run(b"next").elapsed_us - SETTLE_DELAY_MS * 1000
            for _ in range(presses)]


def floor_runtimes(box, presses):
    """Start-to-exit microseconds of the floor program: what Wine's process
    start and exit cost by themselves."""
    return [box.run(b"", exe=harness.tool("floor.exe")).elapsed_us
            for _ in range(presses)]


def log_costs(box, presses):
    """Start-to-exit microseconds of "next" presses without a Log key, with
    Log=0 and with Log=1, `presses` each and in turn, and the lines one
    press with Log=1 added to morvask.log."""
    texts = [f"[Main]\nShowAtkOsd=1\nDelay=0\n{log}[1]\nAtkOsdImageSet=92"
             for log in ("", "Log=0\n", "Log=1\n")]
    log = box.dir / "morvask.log"
    log.unlink(missing_ok=True)
    runs = [[] for _ in texts]
    for press in range(len(texts) * presses):
        box.write_ini(texts[press % len(texts)])
        runs[press % len(texts)].append(box.run(b"next").elapsed_us)
    lines = len(log.read_bytes().splitlines()) / presses if log.exists() else 0
    log.unlink(missing_ok=True)
    return runs, lines


UNELEVATED = {"MORVASK_TEST_UNELEVATED": "1"}


def apply_costs(box, presses, probe):
    """Median start-to-exit microseconds of "morvask current" applying a
    profile with no step of its own, then with PowerScheme, PowerMode and
    Run (the run probe, which ends at once) each alone, in turn."""
    texts = ["[0]\nName=none\n", "[0]\nPowerScheme=Balanced\n",
             "[0]\nPowerMode=balanced\n",
             f'[0]\nRun="{probe.command_line()}"\n']
    runs = [[] for _ in texts]
    for press in range(len(texts) * presses):
        box.write_ini(texts[press % len(texts)])
        result = box.run(b"current", env=UNELEVATED)
        runs[press % len(texts)].append(result.elapsed_us)
    return [statistics.median(times) for times in runs]


def floor_prints(*args):
    """What the floor program prints when run with `args`."""
    return subprocess.run(
        harness.wine(harness.tool("floor.exe"), *args), env=harness.wine_env(),
        check=True, capture_output=True, text=True, timeout=300).stdout


def log_press_cost(box, lines):
    """Microseconds that writing `lines` lines of a press to the run log
    costs, as a "next" press writes them."""
    log = box.dir / "floor.log"
    out = floor_prints("log", harness.winpath(log), LOG_PRESSES, round(lines))
    log.unlink(missing_ok=True)
    return float(out)


def spread(times):
    """Half the interquartile range: how far a median moves by chance."""
    quartiles = statistics.quantiles(times, n=4)
    return (quartiles[2] - quartiles[0]) / 2


def lock_cost(box):
    """(unlocked, locked) microseconds of one settings read."""
    plain, locked = map(float, floor_prints(
        "lock", harness.winpath(box.ini), LOCK_READS).split())
    return plain, locked


KEYS_SECTION = ("[Keys]\nnext=Ctrl+Alt+Right\nprev=Ctrl+Alt+Left\n"
                + "".join(f"profile {p}=Ctrl+Alt+F{p + 1}\n" for p in range(4)))


def key_latencies(box, presses):
    """Milliseconds from each key input to the start tick ([System] TickId)
    of the "morvask next" that morvask-watch started for it."""
    exe = box.dir / "morvask-watch.exe"
    shutil.copy(harness.tool("morvask-watch.exe"), exe)
    box.write_ini("[Main]\nDelay=0\nProfileCount=4\n[Watch]\nApplyAtStart=0\n"
                  + KEYS_SECTION)
    watcher = subprocess.Popen(harness.wine(exe), env=harness.wine_env(),
                               stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    latencies = []
    try:
        harness.wait_for_watcher()
        time.sleep(1)
        for _ in range(presses + 2):
            before = box.value("System", "TickId")
            sent = subprocess.run(
                harness.wine(harness.tool("keys.exe"), "tap", "CTRL", "ALT",
                             "RIGHT"), env=harness.wine_env(),
                capture_output=True, text=True, timeout=60).stdout.split()
            deadline = time.monotonic() + 10
            while (box.value("System", "TickId") == before
                   and time.monotonic() < deadline):
                time.sleep(0.01)
            time.sleep(0.2)  # Its run has ended.
            latencies.append(int(box.value("System", "TickId")) - int(sent[1]))
    finally:
        subprocess.run(harness.wine(exe, "stop"), env=harness.wine_env(),
                       timeout=60)
        watcher.wait(timeout=60)
    return latencies[2:]  # The first ones warm up.


def watcher_at_rest(box):
    """(CPU seconds over WATCH_IDLE_S of rest, resident KiB) of a running
    morvask-watch holding the keys of KEYS_SECTION, from the kernel's
    figures for its process."""
    exe = box.dir / "morvask-watch.exe"
    shutil.copy(harness.tool("morvask-watch.exe"), exe)
    # At rest from its start.
    box.write_ini("[Watch]\nApplyAtStart=0\n" + KEYS_SECTION)
    watcher = subprocess.Popen(harness.wine(exe), env=harness.wine_env(),
                               stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        time.sleep(3)  # Started and settled in its message loop.
        before = cpu_seconds(watcher.pid)
        time.sleep(WATCH_IDLE_S)
        used = cpu_seconds(watcher.pid) - before
        status = Path(f"/proc/{watcher.pid}/status").read_text()
        rss = next(int(line.split()[1]) for line in status.splitlines()
                   if line.startswith("VmRSS:"))
    finally:
        subprocess.run(harness.wine(exe, "stop"), env=harness.wine_env(),
                       timeout=60)
        watcher.wait(timeout=60)
    return used, rss


def cpu_seconds(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def ms(us):
    return f"{us / 1000:.1f} ms"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--presses", type=int, default=15)
    presses = max(10, parser.parse_args().presses)

    box = harness.Sandbox("bench")
    plain_ini = "[Main]\nShowAtkOsd=1\nDelay=0\n[1]\nAtkOsdImageSet=92"
    box.write_ini(plain_ini)
    osd = harness.Standin(box, harness.OSD)
    try:
        display_latencies(box, osd, 3)  # Warm up the server and caches.
        # morvask and the floor press by press, so that neither gets the
        # machine in a better moment.
        both = display_latencies(box, osd, 2 * presses,
                                 exes=[None, harness.tool("floor.exe")])
        morvask = statistics.median(both[0::2])
        floor = statistics.median(both[1::2])
        # Without and with a list, press by press, so that neither gets the
        # machine in a better moment.
        list_ini = plain_ini.replace("Delay=0", "Delay=0\nCycleAC=1, 0")
        both = display_latencies(box, osd, 2 * presses,
                                 settings=[plain_ini, list_ini])
        without_list = statistics.median(both[0::2])
        with_list = statistics.median(both[1::2])
        # Without and with a profile's power plan, mode and program.
        power = harness.PowerLibrary(box, "win11")
        probe = harness.RunProbe(box)
        # "next" with ProfileCount 1 goes to profile 0, whose keys it reads.
        keys_ini = plain_ini + ("\n[0]\nPowerScheme=Balanced\n"
                                "PowerMode=efficiency\n"
                                f'Run="{probe.command_line()}"')
        both = display_latencies(box, osd, 2 * presses,
                                 settings=[plain_ini, keys_ini])
        without_keys = statistics.median(both[0::2])
        with_keys = statistics.median(both[1::2])
        step_costs = apply_costs(box, presses, probe)
        power.restore()
        box.write_ini(plain_ini)
        settle = statistics.median(settle_overheads(box, presses))
        floor_run = statistics.median(floor_runtimes(box, presses))
        plain_read, locked_read = lock_cost(box)
        (no_key, log_off, log_on), log_lines = log_costs(box, 2 * presses)
        log_cost = log_press_cost(box, log_lines)
    finally:
        osd.close()
    poll = harness.NoticePoll(box)
    try:
        notice_latencies(box, poll, 3)  # Warm up.
        # Press and floor in turn, so that neither gets a better moment.
        press_notice, floor_notice = [], []
        for _ in range(presses):
            press_notice += notice_latencies(box, poll, 1)
            floor_notice += notice_latencies(
                box, poll, 1, exe=harness.tool("floor.exe"),
                args=b"notice 50")
        replaced = notice_replacements(box, poll, presses)
    finally:
        poll.close()
    to_notice = statistics.median(press_notice)
    notice_floor = statistics.median(floor_notice)
    linger = statistics.median(r[0] for r in replaced)
    linger_most = max(r[0] for r in replaced)
    gap = statistics.median(r[1] for r in replaced)
    keys = key_latencies(box, presses)
    watch_cpu, watch_rss = watcher_at_rest(box)

    shipped = harness.REPO / "build" / "win32"
    sizes = {exe: (shipped / exe).stat().st_size for exe in EXECUTABLES}
    dlls = sorted({dll for exe in sizes for dll in imported_dlls(shipped / exe)})
    ratio = morvask / floor
    rows = [
        ("press-to-display latency (median)", ms(morvask),
         f"<= 1.3 x floor ({ms(1.3 * floor)})", ratio <= 1.3),
        ("  floor: find window, post once", ms(floor), "", None),
        ("  alternating presses: no cycle list", ms(without_list), "", None),
        ("  alternating presses: CycleAC", ms(with_list),
         f"within noise of {ms(without_list)}", None),
        ("  ratio to floor", f"{ratio:.2f} x", "<= 1.30 x", ratio <= 1.3),
        ("  alternating: no power keys in the profile", ms(without_keys), "",
         None),
        ("  alternating: PowerScheme, PowerMode, Run", ms(with_keys),
         f"within noise of {ms(without_keys)}", None),
        ("apply (current), start to exit, no new step", ms(step_costs[0]),
         "", None),
        *[(f"  + {step}", ms(cost - step_costs[0]), "", None)
          for step, cost in zip(("PowerScheme (stand-in library)",
                                 "PowerMode (stand-in library)",
                                 "Run (a program that ends at once)"),
                                step_costs[1:])],
        (f"settle overhead (median, Delay {SETTLE_DELAY_MS} ms)", ms(settle),
         "<= 60 ms", settle <= 60000),
        ("  floor: start to exit", ms(floor_run), "", None),
        ("  settle overhead beyond the floor", ms(settle - floor_run), "",
         None),
        ("settings read, without the lock", f"{plain_read:.1f} us", "", None),
        ("settings read, holding the lock", f"{locked_read:.1f} us", "",
         None),
        (f"  lock cost of a press ({CALLS_PER_PRESS} settings calls)",
         ms(CALLS_PER_PRESS * (locked_read - plain_read)), "", None),
        ("press without a Log key, start to exit",
         f"{ms(statistics.median(no_key))} (+/- {ms(spread(no_key))})", "",
         None),
        ("  Log=0, beside it",
         ms(statistics.median(log_off) - statistics.median(no_key)),
         "nothing measurable", None),
        ("  Log=1, beside it",
         ms(statistics.median(log_on) - statistics.median(no_key)), "", None),
        (f"  Log=1: writing a press's {log_lines:.0f} lines", ms(log_cost),
         "< 1 ms", log_cost < 1000),
        ("press-to-notice (median, Notice=1)",
         f"{ms(to_notice)} (+/- {ms(spread(press_notice))})",
         f"<= 1.1 x floor ({ms(1.1 * notice_floor)})",
         to_notice <= 1.1 * notice_floor),
        ("  floor: make and show one notice",
         f"{ms(notice_floor)} (+/- {ms(spread(floor_notice))})", "", None),
        ("  ratio to floor", f"{to_notice / notice_floor:.2f} x", "<= 1.10 x",
         to_notice <= 1.1 * notice_floor),
        ("replaced notice lingers after its successor",
         f"{ms(linger)} (most {ms(linger_most)})", "0 ms", linger_most == 0),
        ("  no notice between them (median)", ms(gap), "", None),
        ("key-to-press latency (median, morvask-watch)",
         f"{statistics.median(keys):.0f} ms (+/- {spread(keys):.0f} ms)", "",
         None),
        (f"morvask-watch CPU time over {WATCH_IDLE_S} s at rest, 6 keys",
         f"{watch_cpu:.2f} s", "0 s", watch_cpu == 0),
        ("morvask-watch resident set, 6 keys (Wine's included)",
         f"{watch_rss / 1024:.1f} MiB", "", None),
        *[(f"size of {exe} (win32, shipped)", f"{size / 1024:.1f} KiB",
           f"<= {MAX_EXECUTABLE_BYTES // 1024} KiB",
           size <= MAX_EXECUTABLE_BYTES) for exe, size in sizes.items()],
        ("imported DLLs (win32, shipped)", ", ".join(dlls),
         "KnownDLLs only", only_known_dlls(dlls)),
    ]
    print(f"morvask benchmark: timings of the {harness.WINE.describe()},"
          f" {presses} presses per figure\n")
    print(f"{'measure':<44} {'figure':<40} {'target':<26} met")
    print("-" * 116)
    for name, figure, target, met in rows:
        mark = "" if met is None else ("yes" if met else "NO")
        print(f"{name:<44} {figure:<40} {target:<26} {mark}")


if __name__ == "__main__":
    main()

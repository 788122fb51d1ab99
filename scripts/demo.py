"""The demo: morvask.exe under Wine on the example settings file, with
stand-ins for the display window, the clock utility and CLI.exe."""
import shutil
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "system"))
import harness  # noqa: E402


class Demo:
    def __init__(self):
        self.box = harness.Sandbox("demo")
        shutil.copy(harness.REPO / "examples" / "morvask.ini", self.box.ini)
        self.osd = harness.Standin(self.box, harness.OSD)
        self.clock = harness.Standin(self.box, harness.CLOCK)
        ati = self.box.dir / "ATI"
        self.cli = harness.CliStandin(self.box, ati)
        harness.set_registry_path(1, harness.winpath(ati) + "\\\0")
        self.seen = {"osd": 0, "clock": 0, "cli": 0}

    def close(self):
        self.osd.close()
        self.clock.close()
        harness.delete_registry_key()

    def report(self, settle=0.5):
        time.sleep(settle)
        # Each log is read once, so that nothing arriving meanwhile is
        # counted as seen without having been printed.
        received = {"osd": self.osd.params(), "clock": self.clock.params(),
                    "cli": self.cli.command_lines()}
        for wparam in received["osd"][self.seen["osd"]:]:
            print(f"    ATKOSD window     <- WM_COMMAND 0x{wparam:08X}"
                  f" (image set {wparam & 0xFFFF}, index {wparam >> 16})")
        for wparam in received["clock"][self.seen["clock"]:]:
            print(f"    clock utility     <- WM_COMMAND 0x{wparam:X}"
                  f" (base 0x800E + profile {wparam - harness.CLOCK_BASE})")
        for line in received["cli"][self.seen["cli"]:]:
            print(f"    CLI.exe started   :  {line.decode('latin-1')}")
        self.seen = {name: len(items) for name, items in received.items()}

    def run(self, args, note):
        print(f"\n$ morvask {args}    # {note}")
        result = self.box.run(args.encode())
        outcome = "usage box" if result.usage_shown else "no box"
        print(f"    exit code {result.exit_code}, {outcome},"
              f" {result.elapsed_ms} ms")
        self.report()

    def burst(self, presses, gap):
        print(f"\n$ morvask next  x{presses}, {int(gap * 1000)} ms apart"
              "    # every press shows, only the last applies")
        runs = []
        for _ in range(presses):
            runs.append(self.box.start(b"next"))
            time.sleep(gap)
        for run in runs:
            self.box.finish(run)
        self.report()

    def watcher(self):
        print("\n$ morvask-watch    # resident, started at logon: re-applies"
              " the profile when the power source changes")
        missing = harness.power_supply_view_missing()
        if missing:
            print(f"    (left out: {missing})")
            return
        exe = self.box.dir / "morvask-watch.exe"
        shutil.copy(harness.tool("morvask-watch.exe"), exe)
        # From here on, every run sees a stand-in mains entry and battery.
        self.box.use_battery()
        self.box.plug_in()
        watcher = self.box.start(b"", program=b"morvask-watch", exe=exe,
                                 timeout_ms=120000)
        try:
            harness.wait_for_watcher()
            print("    unplugged: Windows broadcasts a power status change;\n"
                  "    after [Watch] Delay the watcher runs morvask current,"
                  " which applies the battery's profile 0")
            self.box.plug_in(False)
            harness.post_to_watcher(harness.WM_POWERBROADCAST,
                                    harness.PBT_APMPOWERSTATUSCHANGE)
            self.report(settle=3)
        finally:
            print("\n$ morvask-watch stop")
            self.box.run(b"stop", program=b"morvask-watch", exe=exe)
            result = self.box.finish(watcher)
            print(f"    the watcher ended with exit code {result.exit_code},"
                  f" {'a box' if result.boxes else 'no box'}")

    def check(self):
        print("\n$ morvask check > report.txt    # what morvask sees, for a"
              " bug report; changes nothing")
        report = self.box.dir / "report.txt"
        result = self.box.run(b"check", stdout=report)
        outcome = "a box" if result.boxes else "no box"
        print(f"    exit code {result.exit_code}, {outcome}; report.txt:")
        for line in report.read_text("latin-1").splitlines():
            print(f"    | {line}")

    def laptop_of_today(self):
        print("\n$ morvask profile 1    # a Windows 11 laptop"
              " (examples/morvask-windows11.ini): power plan, power mode, Run")
        power = harness.PowerLibrary(self.box, "win11")
        probe = harness.RunProbe(self.box)
        try:
            ini = (harness.REPO / "examples" /
                   "morvask-windows11.ini").read_text()
            # One more pair of quotes round the whole value: Windows takes
            # the outer pair away, leaving the quoted path.
            ini = ini.replace("[1]\n",
                              f"[1]\nRun=\"{probe.command_line()}\"\n")
            saved = self.box.ini.read_bytes()
            self.box.ini.write_text(ini)
            # As a program started normally, not elevated: an elevated
            # morvask starts no Run from a folder its user may change.
            result = self.box.run(b"profile 1",
                                  env={"MORVASK_TEST_UNELEVATED": "1"})
            print(f"    exit code {result.exit_code},"
                  f" {'a box' if result.boxes else 'no box'}")
            for call in power.calls():
                if call.startswith(("PowerSet", "PowerGet")):
                    print(f"    power library     <- {call}")
            for record in probe.records(wait_for=1):
                print(f"    Run started       :  {record['cmd'].decode()}")
                print(f"      in {record['cwd'].decode()}, MORVASK_PROFILE="
                      f"{record['profile'].decode()} MORVASK_POWER="
                      f"{record['power'].decode()} MORVASK_COMMAND="
                      f"{record['command'].decode()}, console window:"
                      f" {'yes' if record['window'] else 'none'}")
            self.box.ini.write_bytes(saved)
        finally:
            power.restore()

    def settings(self):
        ac = self.box.value("System", "CurrentProfileAC")
        print(f"    settings: [System] CurrentProfileAC={ac}")


def main():
    demo = Demo()
    try:
        print("Example settings file:", harness.REPO / "examples" / "morvask.ini")
        demo.run("show", "shows the current profile (1) on the display")
        demo.run("osd 108 2", "any display image by its numbers")
        demo.run("current", "re-applies profile 1: clock profile 3, driver"
                 " profile Performance")
        demo.run("profile 0", "chooses profile 0 and applies it")
        demo.settings()
        demo.burst(3, 0.3)
        demo.settings()
        demo.run("prev", "one step back, applied after Delay")
        demo.settings()
        demo.check()
        demo.laptop_of_today()
        demo.watcher()
        demo.run("bogus", "anything else shows the usage box")
    finally:
        demo.close()


if __name__ == "__main__":
    main()

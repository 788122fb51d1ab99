"""morvask-watch under Wine: power broadcasts and session changes posted to
its window, with a stand-in power supply whose mains entry the test turns
on and off; and the DLLs it loads."""
import shutil
import time
import unittest

import harness
from harness import (CLOCK, CLOCK_BASE, OSD, PBT_APMPOWERSTATUSCHANGE,
                     PBT_APMRESUMEAUTOMATIC, PBT_APMRESUMECRITICAL,
                     PBT_APMRESUMESUSPEND, PBT_APMSUSPEND, WM_POWERBROADCAST,
                     WM_WTSSESSION_CHANGE, WTS_CONSOLE_CONNECT, CliStandin,
                     SystemTest)

DELAY_MS = 600


@harness.runs_only_if(harness.power_supply_view_missing())
class WatchTest(SystemTest):
    def setUp(self):
        super().setUp()
        self.clock = self.standin(CLOCK)
        self.exe = self.box.dir / "morvask-watch.exe"
        shutil.copy(harness.tool("morvask-watch.exe"), self.exe)
        self.box.use_battery()
        self.box.plug_in()
        self.watcher = None
        self.addCleanup(self.stop)
        self.start_watching()

    def start_watching(self, watch_settings="ApplyAtStart=0", extra="",
                       delay=DELAY_MS):
        # Mains applies clock profile 1, battery clock profile 2.
        self.box.write_ini(f"""
            [Main]
            RMClock=1
            Log=1
            {extra}
            [System]
            CurrentProfileAC=1
            CurrentProfileBatt=2
            [Watch]
            Delay={delay}
            {watch_settings}
            [1]
            RMClockProfile=1
            AtiCatalystProfile=Mains
            [2]
            RMClockProfile=2
            AtiCatalystProfile=Battery
        """)
        self.watcher = self.watch(b"", timeout_ms=120000)
        self.assertTrue(harness.wait_for_watcher(), "no watcher window")

    def watch(self, args, **kwargs):
        return self.box.start(args, program=b"morvask-watch", exe=self.exe,
                              **kwargs)

    def stop(self):
        if self.watcher:
            self.box.run(b"stop", program=b"morvask-watch", exe=self.exe)
            result = self.box.finish(self.watcher)
            self.watcher = None
            return result

    def post(self, event, message=WM_POWERBROADCAST):
        """Posts a power broadcast to the watcher; returns the tick."""
        posted = harness.post_to_watcher(message, event)
        self.assertIsNotNone(posted, "no watcher window")
        tick, shown = posted
        self.assertFalse(shown, "the watcher's window is shown")
        return tick

    def applied(self, settle=DELAY_MS / 1000 + 1.0):
        """[(clock profile, tick)] after giving a pending run time."""
        time.sleep(settle)
        return [(w - CLOCK_BASE, tick) for w, _, tick in self.clock.commands()]

    def test_power_source_change_applies_once_after_the_delay(self):
        self.box.plug_in(False)
        posted = self.post(PBT_APMPOWERSTATUSCHANGE)
        [(profile, tick)] = self.applied()
        self.assertEqual(2, profile)
        self.assertGreaterEqual(tick - posted, DELAY_MS)
        self.assertLess(tick - posted, DELAY_MS + 1000)
        # A status change that keeps the power source (the battery's charge)
        # runs nothing.
        self.post(PBT_APMPOWERSTATUSCHANGE)
        self.assertEqual(1, len(self.applied()))
        # The watcher and the morvask it ran wrote to the one log.
        log = (self.box.dir / "morvask.log").read_bytes()
        for says in (b"morvask-watch started, on mains",
                     b"PBT_APMPOWERSTATUSCHANGE on battery: morvask current"
                     b" in 600 ms",
                     b'morvask.exe" current\r\n',
                     b"profile 2 of battery (CurrentProfileBatt)"):
            self.assertIn(says, log)

    def test_burst_of_broadcasts_gives_one_run(self):
        for online in (False, True, False, True, False):
            self.box.plug_in(online)
            self.post(PBT_APMPOWERSTATUSCHANGE)
        self.assertEqual([2], [p for p, _ in self.applied()])

    def test_one_run_per_wake(self):
        self.post(PBT_APMSUSPEND)
        self.post(PBT_APMRESUMEAUTOMATIC)
        self.post(PBT_APMRESUMESUSPEND)  # Within the delay: the same run.
        self.assertEqual([1], [p for p, _ in self.applied()])
        # The user is seen after the run: still the same wake.
        self.post(PBT_APMRESUMESUSPEND)
        self.assertEqual([1], [p for p, _ in self.applied()])
        # Windows XP after a suspend forced by a critical battery: no
        # suspend message before it, and a wake of its own.
        self.post(PBT_APMRESUMECRITICAL)
        self.assertEqual([1, 1], [p for p, _ in self.applied()])

    def test_session_back_at_the_console_runs_once(self):
        self.post(WTS_CONSOLE_CONNECT, message=WM_WTSSESSION_CHANGE)
        self.assertEqual([1], [p for p, _ in self.applied()])

    def test_applies_once_at_start_after_its_delay(self):
        self.stop()
        self.clock.log.write_text("")
        start = 1500
        self.start_watching(f"StartDelay={start}")
        [(profile, tick)] = self.applied(settle=start / 1000 + 1.0)
        self.assertEqual(1, profile)
        # The launcher's tick comes before the watcher's own start.
        started = self.stop().start_tick
        self.assertGreaterEqual(tick - started, start)
        self.assertLess(tick - started, start + 1500)

    def test_a_pending_press_applies_before_the_power_change(self):
        # A press of next on mains (profile 1 -> 0, clock profile 0), then
        # an unplug whose run is due before the press wakes: the battery's
        # profile (clock profile 2) must be applied last.
        self.stop()
        self.clock.log.write_text("")
        osd = self.standin(OSD)
        self.start_watching(extra="Delay=2200\nProfileCount=2\nShowAtkOsd=1",
                            delay=1500)
        press = self.box.start(b"next")
        osd.wait_for(1)  # It has taken the power source and its tick.
        self.box.plug_in(False)
        self.post(PBT_APMPOWERSTATUSCHANGE)
        self.assert_normal_run(self.box.finish(press))
        self.assertEqual([0, 2], [p for p, _ in self.applied(settle=2.5)])

    def test_next_run_waits_for_the_previous_morvask(self):
        # Each run of morvask waits a second for a CLI.exe that runs on:
        # with no settle delay, a second event comes while the first run's
        # morvask still waits.
        self.stop()
        self.addCleanup(harness.delete_registry_key)
        tool_dir = self.box.dir / "ATI"
        cli = CliStandin(self.box, tool_dir)
        harness.set_registry_path(1, harness.winpath(tool_dir) + "\\\0")
        self.box.extra_env["MORVASK_TEST_CLI_SLEEP_MS"] = "3000"
        self.start_watching(extra="AtiCatalyst=1", delay=0)
        self.box.plug_in(False)
        self.post(PBT_APMPOWERSTATUSCHANGE)
        time.sleep(0.2)
        self.box.plug_in(True)
        self.post(PBT_APMPOWERSTATUSCHANGE)
        lines = cli.command_lines(wait_for=2, timeout=10)
        self.assertEqual(2, len(lines), lines)
        self.assertIn(b'"Battery"', lines[0])
        self.assertIn(b'"Mains"', lines[1])
        first, second = [int(line.split()[0]) for line in
                         cli.log.read_text().splitlines()]
        self.assertGreaterEqual(second - first, 1000)

    def test_second_instance_ends_at_once_and_stop_ends_the_first(self):
        second = self.box.run(b"", program=b"morvask-watch", exe=self.exe)
        self.assert_normal_run(second)  # Ended by itself, and no box.
        self.post(PBT_APMRESUMEAUTOMATIC)  # The first still watches.
        self.assertEqual(1, len(self.applied()))
        self.assert_normal_run(self.stop())


class PlantedDllTest(SystemTest):
    def test_planted_wtsapi32_is_not_loaded(self):
        # A DLL of a system DLL's name that a less privileged account could
        # have put beside the watcher, which an elevated task starts.
        exe = self.box.dir / "morvask-watch.exe"
        shutil.copy(harness.tool("morvask-watch.exe"), exe)
        shutil.copy(harness.tool("planted.dll"), self.box.dir / "WTSAPI32.dll")
        self.box.write_ini("[Watch]\nApplyAtStart=0")
        mark = self.box.dir / "planted.mark"
        wine_log = self.box.dir / "wine.log"
        # Wine prefers its builtin wtsapi32 to one in the program's folder;
        # Windows looks there first, as Wine does with native first.
        overrides = harness.wine_env()["WINEDLLOVERRIDES"] + ";wtsapi32=n,b"
        watcher = self.box.start(
            b"", program=b"morvask-watch", exe=exe, timeout_ms=60000,
            wine_log=wine_log,
            env={"MORVASK_TEST_PLANTED_MARK": harness.winpath(mark),
                 "WINEDLLOVERRIDES": overrides,
                 "WINEDEBUG": "-all,+loaddll,+wtsapi"})
        running = harness.wait_for_watcher()
        self.box.run(b"stop", program=b"morvask-watch", exe=exe)
        self.assert_normal_run(self.box.finish(watcher))
        self.assertTrue(running, "no watcher window")
        self.assertFalse(mark.exists(), "the planted WTSAPI32.dll was loaded")
        # The system's own was, and the watcher registered with it. (Wine
        # writes a path's backslashes twice.)
        log = wine_log.read_text("latin-1")
        self.assertIn("\\system32\\wtsapi32.dll",
                      log.replace("\\\\", "\\").lower())
        self.assertIn("wtsapi:WTSRegisterSessionNotification", log)


if __name__ == "__main__":
    unittest.main()

"""morvask-watch under Wine: power broadcasts posted to its window, with a
stand-in power supply whose mains entry the test turns on and off."""
import shutil
import time
import unittest

import harness
from harness import (CLOCK, CLOCK_BASE, PBT_APMPOWERSTATUSCHANGE,
                     PBT_APMRESUMEAUTOMATIC, PBT_APMRESUMESUSPEND,
                     WM_POWERBROADCAST, SystemTest)

DELAY_MS = 600


@harness.runs_only_if(harness.power_supply_view_missing())
class WatchTest(SystemTest):
    def setUp(self):
        super().setUp()
        self.clock = self.standin(CLOCK)
        self.exe = self.box.dir / "morvask-watch.exe"
        shutil.copy(harness.tool("morvask-watch.exe"), self.exe)
        # Mains applies clock profile 1, battery clock profile 2.
        self.box.write_ini(f"""
            [Main]
            RMClock=1
            [System]
            CurrentProfileAC=1
            CurrentProfileBatt=2
            [Watch]
            Delay={DELAY_MS}
            [1]
            RMClockProfile=1
            [2]
            RMClockProfile=2
        """)
        self.box.use_battery()
        self.box.plug_in()
        self.watcher = self.watch(b"", timeout_ms=120000)
        self.addCleanup(self.stop)
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

    def post(self, event):
        """Posts a power broadcast to the watcher; returns the tick."""
        posted = harness.post_to_watcher(WM_POWERBROADCAST, event)
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

    def test_burst_of_broadcasts_gives_one_run(self):
        for online in (False, True, False, True, False):
            self.box.plug_in(online)
            self.post(PBT_APMPOWERSTATUSCHANGE)
        self.assertEqual([2], [p for p, _ in self.applied()])

    def test_resume_gives_one_run(self):
        self.post(PBT_APMRESUMEAUTOMATIC)
        self.post(PBT_APMRESUMESUSPEND)
        self.assertEqual([1], [p for p, _ in self.applied()])

    def test_second_instance_ends_at_once_and_stop_ends_the_first(self):
        second = self.box.run(b"", program=b"morvask-watch", exe=self.exe)
        self.assert_normal_run(second)  # Ended by itself, and no box.
        self.post(PBT_APMRESUMEAUTOMATIC)  # The first still watches.
        self.assertEqual(1, len(self.applied()))
        self.assert_normal_run(self.stop())


if __name__ == "__main__":
    unittest.main()

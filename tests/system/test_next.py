"""The "next" command with real, overlapping processes: every press shows
at once, only the last press of a burst applies, after the delay."""
import time
import unittest

from harness import (CLOCK, CLOCK_BASE, OSD, SystemTest, power_supply_view_missing,
                     runs_only_if)

# Profile p shows image index p and selects clock profile p, so that both
# stand-ins tell which profile a command belongs to.
PROFILES = "".join(f"[{p}]\nAtkOsdImageIndex={p}\nRMClockProfile={p}\n"
                   for p in range(4))


def settings(delay, count=4, show_first=0, current=0, tick=0, extra="",
             main=""):
    return f"""
        [Main]
        ShowAtkOsd=1
        RMClock=1
        Delay={delay}
        ShowBeforeSwitch={show_first}
        ProfileCount={count}
        {main}
        [System]
        CurrentProfileAC={current}
        CurrentProfileBatt={current}
        TickId={tick}
        {extra}
        {PROFILES}"""


class NextTest(SystemTest):
    def setUp(self):
        super().setUp()
        self.osd = self.standin(OSD)
        self.clock = self.standin(CLOCK)

    def applied(self, settle):
        """Clock profiles applied, after giving late presses `settle` s."""
        time.sleep(settle)
        return [w - CLOCK_BASE for w, _, _ in self.clock.commands()]

    def test_quiet_press_steps_and_applies(self):
        self.box.write_ini(settings(delay=600, current=1))
        result = self.box.run(b"next")
        self.assert_normal_run(result)
        self.assertEqual([2], self.osd.wait_for(1))
        self.assertEqual([2], self.applied(0.3))
        self.assertEqual("2", self.box.value("System", "CurrentProfileAC"))
        # The press applied after its delay, then ended.
        self.assertGreaterEqual(result.elapsed_ms, 600)
        apply_tick = self.clock.commands()[0][2]
        self.assertGreaterEqual(apply_tick - result.start_tick, 600)

    def test_quiet_press_with_show_before_switch_keeps_the_profile(self):
        self.box.write_ini(settings(delay=600, current=3, show_first=1))
        self.assert_normal_run(self.box.run(b"next"))
        self.assertEqual([3], self.osd.wait_for(1))
        self.assertEqual([3], self.applied(0.3))
        self.assertEqual("3", self.box.value("System", "CurrentProfileAC"))

    def test_wraps_at_profile_count(self):
        self.box.write_ini(settings(delay=0, count=3, current=2))
        self.assert_normal_run(self.box.run(b"next"))
        self.assertEqual([0], self.osd.wait_for(1))
        self.assertEqual("0", self.box.value("System", "CurrentProfileAC"))

    def test_two_presses_show_both_and_apply_the_second(self):
        delay = 1500
        self.box.write_ini(settings(delay=delay, current=0))
        first = self.box.start(b"next")
        time.sleep(0.4)
        second = self.box.start(b"next")
        results = [self.box.finish(first), self.box.finish(second)]
        for result in results:
            self.assert_normal_run(result)
        self.assertEqual([1, 2], self.osd.wait_for(2))
        self.assertEqual([2], self.applied(0.3))
        # Applied about Delay after the second press started.
        after = self.clock.commands()[0][2] - results[1].start_tick
        self.assertGreaterEqual(after, delay)
        self.assertLess(after, delay + 1000)

    def test_mixed_next_and_prev_burst_through_a_list(self):
        delay = 1500
        self.box.write_ini(settings(delay=delay, current=1,
                                    main="CycleAC= 3 , 1"))
        runs = []
        for args in (b"next", b"next", b"prev"):
            runs.append(self.box.start(args))
            time.sleep(0.4)
        for run in runs:
            self.assert_normal_run(self.box.finish(run))
        self.assertEqual([3, 1, 3], self.osd.wait_for(3))
        self.assertEqual([3], self.applied(0.3))
        self.assertEqual("3", self.box.value("System", "CurrentProfileAC"))

    def test_storm_of_presses_applies_the_last_tick_and_loses_nothing(self):
        presses, delay = 10, 2500
        self.box.write_ini(settings(delay=delay, current=0, extra="""
            MyOwnKey=stays
            [Mine]
            Colour=blue
            Empty=
        """))
        before = self.box.ini_bytes().decode()
        runs = []
        for _ in range(presses):
            runs.append(self.box.start(b"next"))
            time.sleep(0.1)
        results = [self.box.finish(run) for run in runs]
        for result in results:
            self.assert_normal_run(result)
        # Every press shows, and never a profile that is not there.
        shown = self.osd.wait_for(presses)
        self.assertEqual(presses, len(shown), shown)
        self.assertLessEqual(set(shown), {0, 1, 2, 3})
        # Presses are not ordered among themselves beyond their start ticks:
        # a slow press may show after a later one, two presses of the same
        # millisecond both apply, and the slot holds the last write. What
        # holds always: what is applied and stored was shown.
        applied = self.applied(0.5)
        self.assertTrue(applied)
        self.assertLessEqual(set(applied), set(shown))
        self.assertIn(int(self.box.value("System", "CurrentProfileAC")),
                      shown)
        # Each press writes TickId before it shows. When every show came
        # before the first press could wake, no write follows a wake: only
        # the presses whose tick stayed in TickId apply, at Delay after it.
        tick_id = int(self.box.value("System", "TickId")) % 2**32
        first_start = min(result.start_tick for result in results)
        last_show = max(tick for _, _, tick in self.osd.commands())
        if (last_show - first_start) % 2**32 < delay:
            for _, _, tick in self.clock.commands():
                after = (tick - tick_id) % 2**32
                self.assertGreaterEqual(after, delay)
                self.assertLess(after, delay + 1000)
        for line in before.splitlines():
            line = line.strip()
            if line and not line.startswith(("CurrentProfileAC", "TickId")):
                self.assertIn(line, self.box.ini_bytes().decode())

    def test_tick_id_above_now_starts_a_new_burst(self):
        # As after a restart: the stored tick lies in the future.
        self.box.write_ini(settings(delay=0, current=1, show_first=1,
                                    tick=2147483647))
        self.assert_normal_run(self.box.run(b"next"))
        self.assertEqual([1], self.osd.wait_for(1))

    def test_negative_delay_applies_at_once(self):
        self.box.write_ini(settings(delay=-1, current=0))
        result = self.box.run(b"next", timeout_ms=10000)
        self.assert_normal_run(result)
        self.assertEqual([1], self.applied(0.3))
        self.assertLess(result.elapsed_ms, 1000)

    def test_refused_writes_show_usage_and_nothing_else(self):
        self.box.write_ini(settings(delay=0))
        self.box.lock_ini()
        before = self.box.ini_bytes()
        self.assert_usage(self.box.run(b"next"))
        self.assertEqual([], self.osd.wait_for(1, 0.5))
        self.assertEqual(before, self.box.ini_bytes())

    @runs_only_if(power_supply_view_missing())
    def test_battery_slot(self):
        self.box.write_ini(settings(delay=0, current=0).replace(
            "CurrentProfileBatt=0", "CurrentProfileBatt=2"))
        self.box.use_battery()
        self.assert_normal_run(self.box.run(b"next"))
        self.assertEqual([3], self.osd.wait_for(1))
        self.assertEqual("3", self.box.value("System", "CurrentProfileBatt"))
        self.assertEqual("0", self.box.value("System", "CurrentProfileAC"))
        self.assert_normal_run(self.box.run(b"profile 1"))
        self.assertEqual("1", self.box.value("System", "CurrentProfileBatt"))
        self.assertEqual("0", self.box.value("System", "CurrentProfileAC"))
        # The reading commands take the battery's profile too.
        self.assert_normal_run(self.box.run(b"show"))
        self.assertEqual([3, 1, 1], self.osd.wait_for(3))


if __name__ == "__main__":
    unittest.main()

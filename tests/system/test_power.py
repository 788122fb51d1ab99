"""A profile's power plan, power mode and program, run for real under Wine
against the stand-in power library (installed as the prefix's powrprof.dll)
and the run probe."""
import unittest

import harness
from harness import (MODE_BEST_EFFICIENCY, MODE_BEST_PERFORMANCE,
                     PLAN_BALANCED, PLAN_HIGH_PERFORMANCE, PLAN_POWER_SAVER,
                     SystemTest, winpath)

# As a program started normally under UAC: not elevated.
UNELEVATED = {"MORVASK_TEST_UNELEVATED": "1"}


class PowerPlanTest(SystemTest):
    def test_each_form_of_the_value_selects_its_plan(self):
        cases = [
            ("a GUID in braces", PLAN_HIGH_PERFORMANCE, PLAN_HIGH_PERFORMANCE),
            ("a GUID in lower case", PLAN_POWER_SAVER.strip("{}").lower(),
             PLAN_POWER_SAVER),
            ("an alias", "scheme_balanced", PLAN_BALANCED),
            ("a name in another case", "HIGH performance",
             PLAN_HIGH_PERFORMANCE),
        ]
        power = self.power_library("win11")
        for name, value, expected in cases:
            with self.subTest(name):
                # Another plan is active before each run.
                other = PLAN_POWER_SAVER if expected != PLAN_POWER_SAVER \
                    else PLAN_BALANCED
                self.box.write_ini(f"[1]\nPowerScheme={value}")
                (power.folder / "state.txt").write_text(f"active {other}\n")
                self.assert_normal_run(self.box.run(b"profile 1"), name)
                self.assertEqual(expected, power.state().get("active"), name)
                self.assertIn(f"PowerSetActiveScheme {expected}",
                              power.calls(), name)
                # Read back after the set.
                calls = power.calls()
                self.assertEqual("PowerGetActiveScheme", calls[-1], name)

    def test_unknown_plan_or_form_does_nothing_and_the_log_says_why(self):
        cases = [("win11", "Turbo", "no power plan of this machine is "
                  "\"Turbo\""),
                 ("xp", PLAN_BALANCED, "Windows XP names its power schemes "
                  "by number")]
        for windows, value, says in cases:
            with self.subTest(windows):
                power = self.power_library(windows)
                self.box.write_ini(f"[Main]\nLog=1\n[0]\nPowerScheme={value}")
                self.assert_normal_run(self.box.run(b"current"), windows)
                self.assertFalse([c for c in power.calls()
                                  if c.startswith(("PowerSet", "SetActive"))],
                                 windows)
                log = (self.box.dir / "morvask.log").read_bytes()
                self.assertIn(says.encode(), log, windows)
                power.restore()

    def test_windows_xp_selects_its_scheme_by_number(self):
        power = self.power_library("xp")
        self.box.write_ini("[2]\nPowerScheme=3")
        self.assert_normal_run(self.box.run(b"profile 2"))
        self.assertEqual(["SetActivePwrScheme 3", "GetActivePwrScheme"],
                         [c for c in power.calls()
                          if "ActivePwrScheme" in c])
        self.assertEqual("3", power.state().get("active_xp"))

    def test_only_an_apply_with_these_keys_loads_the_library(self):
        power = self.power_library("win11")
        planted = power.plant_beside(self.box.dir)
        self.box.write_ini("[Main]\nDelay=0\nShowAtkOsd=1\n[0]\nPowerMode=")
        for args in (b"show", b"next", b"current"):
            self.assert_normal_run(self.box.run(args), args)
        self.assertEqual([], power.loaded_by())
        self.box.write_ini("[0]\nPowerMode=performance")
        self.assert_normal_run(self.box.run(b"current"))
        self.assertEqual([winpath(self.box.exe)], power.loaded_by())
        # The one planted beside morvask.exe is never loaded.
        self.assertTrue(planted.exists())
        self.assertEqual([], power.planted_loaded_by())


class PowerModeTest(SystemTest):
    def test_mains_sets_the_ac_mode_and_check_lists_plans_and_modes(self):
        power = self.power_library("win11")
        self.box.write_ini("[0]\nPowerMode=Performance\nPowerScheme=Balanced")
        self.assert_normal_run(self.box.run(b"current"))
        self.assertEqual(MODE_BEST_PERFORMANCE, power.state().get("ac_mode"))
        self.assertIn(f"PowerSetUserConfiguredACPowerMode "
                      f"{MODE_BEST_PERFORMANCE}", power.calls())
        self.assertFalse([c for c in power.calls() if "DCPowerMode {" in c])
        report_file = self.box.dir / "report.txt"
        self.assert_normal_run(self.box.run(b"check", stdout=report_file))
        report = report_file.read_bytes()
        for says in (b"Power plans (by GUID or name):\r\n",
                     b"  381b4222-f694-41f0-9685-ff5bb260df2e Balanced "
                     b"(active)\r\n",
                     b"  8c5e7fda-e8bf-4a96-9a85-a6e23a8c635c High "
                     b"performance\r\n",
                     b"Power mode: performance on mains, balanced on battery",
                     b"profile 0 PowerMode sets performance on mains"):
            self.assertIn(says, report, report.decode("latin-1"))

    @harness.runs_only_if(harness.power_supply_view_missing())
    def test_battery_sets_the_dc_mode(self):
        power = self.power_library("win11")
        self.box.use_battery()
        self.box.write_ini("[0]\nPowerMode=efficiency")
        self.assert_normal_run(self.box.run(b"current"))
        self.assertEqual(MODE_BEST_EFFICIENCY, power.state().get("dc_mode"))
        self.assertFalse([c for c in power.calls() if "ACPowerMode {" in c])

    def test_before_windows_11_no_mode_and_check_says_so(self):
        power = self.power_library("win10")
        self.box.write_ini("[0]\nPowerMode=performance")
        self.assert_normal_run(self.box.run(b"current"))
        self.assertFalse([c for c in power.calls() if "PowerMode" in c])
        report_file = self.box.dir / "report.txt"
        self.assert_normal_run(self.box.run(b"check", stdout=report_file))
        self.assertIn(b'[0] PowerMode "performance" does nothing: power modes '
                      b'need Windows 11', report_file.read_bytes())


class RunTest(SystemTest):
    def test_started_as_written_in_morvasks_folder_without_a_console(self):
        probe = self.run_probe()
        self.box.write_ini(f"[Main]\nLog=1\n[3]\nRun={probe.command_line(7)}")
        self.assert_normal_run(self.box.run(b"profile 3", env=UNELEVATED))
        [record] = probe.records(wait_for=1)
        self.assertEqual(probe.command_line(7).encode(), record["cmd"])
        self.assertEqual(winpath(self.box.dir).encode(),
                         record["cwd"].rstrip(b"\\"))
        self.assertEqual((b"3", b"mains", b"profile"),
                         (record["profile"], record["power"],
                          record["command"]))
        # A console of its own, but no window for it.
        self.assertEqual((False, True), (record["window"],
                                         record["console"]))
        log = (self.box.dir / "morvask.log").read_bytes()
        self.assertIn(b"ended with exit code 7: ", log)
        self.assertIn(b"program: program ended with 7", log)

    def test_a_value_in_one_more_pair_of_quotes_keeps_its_own(self):
        # Windows takes the quotes round a whole value away: a command line
        # that begins and ends with one is written in one more pair.
        probe = self.run_probe()
        self.box.write_ini(f'[0]\nRun="{probe.command_line()}"')
        self.assert_normal_run(self.box.run(b"current", env=UNELEVATED))
        [record] = probe.records(wait_for=1)
        self.assertEqual(probe.command_line().encode(), record["cmd"])

    def test_a_program_still_running_runs_on_after_run_wait(self):
        probe = self.run_probe()
        self.box.write_ini(f"[Main]\nRunWait=300\n"
                           f"[0]\nRun={probe.command_line(0, 3000)}")
        result = self.box.run(b"current", env=UNELEVATED)
        self.assert_normal_run(result)
        self.assertLess(result.elapsed_ms, 2500)
        self.assertGreaterEqual(result.elapsed_ms, 300)
        self.assertEqual(1, len(probe.records(wait_for=1)))

    def test_a_missing_program_is_no_failure(self):
        self.box.write_ini('[0]\nRun="C:\\no such\\tool.exe" now')
        self.assert_normal_run(self.box.run(b"current", env=UNELEVATED))
        report_file = self.box.dir / "report.txt"
        self.assert_normal_run(self.box.run(b"check", stdout=report_file,
                                            env=UNELEVATED))
        self.assertIn(b'program "C:\\no such\\tool.exe" not found',
                      report_file.read_bytes())

    def test_elevated_with_settings_its_own_programs_may_change(self):
        # Wine runs a program elevated unless it is given the limited
        # token; the sandbox belongs to this user, so its programs that
        # are not elevated may change the settings: nothing starts.
        probe = self.run_probe()
        self.box.write_ini(f"[Main]\nLog=1\n[0]\nRun={probe.command_line()}")
        self.assert_normal_run(self.box.run(b"current"))
        self.assertEqual([], probe.records(wait_for=1, timeout=1.0))
        log = (self.box.dir / "morvask.log").read_bytes()
        self.assertIn(b"morvask runs elevated, and programs that are not "
                      b"elevated may change", log)


if __name__ == "__main__":
    unittest.main()

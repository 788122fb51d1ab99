"""The stand-in power library and the run probe under Wine, on their own,
driven by a GUI program as morvask would drive them, so that the tests of
morvask can rely on what they record."""
import shutil
import unittest

from harness import (MODE_BEST_EFFICIENCY, MODE_BEST_PERFORMANCE,
                     PLAN_BALANCED, PLAN_HIGH_PERFORMANCE, SystemTest, tool,
                     winpath)

UNKNOWN = "{0BADBAD0-0000-4000-8000-000000000000}"
ERROR_INVALID_PARAMETER, ERROR_MORE_DATA, ERROR_NO_MORE_ITEMS = 87, 234, 259
CREATE_NO_WINDOW = 0x08000000
NAME = "Höchstleistung"  # Not ASCII: the name must stay whole in UTF-16.


def name_hex(text):
    return text.encode("utf-8").hex()


class StandinTest(SystemTest):
    def drive(self, *steps, env=None):
        """Runs the GUI driver from the sandbox's folder through the
        launcher, as morvask runs; returns its lines."""
        exe = self.box.dir / "power_driver.exe"
        if not exe.exists():
            shutil.copy(tool("power_driver.exe"), exe)
        out = self.box.dir / "driver.txt"
        out.write_text("")
        args = " ".join([winpath(out), *map(str, steps)])
        result = self.box.run(args, program=b"power_driver", exe=exe, env=env)
        self.assertEqual(0, result.exit_code, result.raw)
        return out.read_text("latin-1").splitlines()

    def system_dll(self):
        return "load ok C:\\windows\\system32\\powrprof.dll"


class PowerLibraryTest(StandinTest):
    def test_plans_and_modes_read_back_across_processes(self):
        power = self.power_library(
            "win11", [(PLAN_BALANCED, "Balanced"), (PLAN_HIGH_PERFORMANCE, NAME)])
        runs = [
            [("load powrprof.dll", self.system_dll()),
             ("enum", f"enum {ERROR_NO_MORE_ITEMS} {PLAN_BALANCED} "
                      f"{PLAN_HIGH_PERFORMANCE}"),
             ("enumsmall 1", f"enumsmall {ERROR_MORE_DATA} 16"),
             ("enumsmall 2", f"enumsmall {ERROR_NO_MORE_ITEMS} 4"),
             (f"name {PLAN_HIGH_PERFORMANCE}",
              f"name 0 {2 * (len(NAME) + 1)} {name_hex(NAME)}"),
             (f"name {UNKNOWN}", f"name {ERROR_INVALID_PARAMETER} 0 "),
             ("get", f"get 0 {PLAN_BALANCED}"),
             (f"set {PLAN_HIGH_PERFORMANCE}", "set 0"),
             (f"set {UNKNOWN}", f"set {ERROR_INVALID_PARAMETER}"),
             (f"setac {MODE_BEST_PERFORMANCE}", "setac 0"),
             (f"setdc {MODE_BEST_EFFICIENCY}", "setdc 0"),
             (f"setdc {UNKNOWN}", f"setdc {ERROR_INVALID_PARAMETER}")],
            [("load powrprof.dll", self.system_dll()),
             ("get", f"get 0 {PLAN_HIGH_PERFORMANCE}"),
             ("getac", f"getac 0 {MODE_BEST_PERFORMANCE}"),
             ("getdc", f"getdc 0 {MODE_BEST_EFFICIENCY}")],
        ]
        for rows in runs:
            lines = self.drive(*(step for step, _ in rows))
            self.assertEqual([line for _, line in rows], lines)
        self.assertEqual(
            ["PowerEnumerate 0", "PowerEnumerate 0", "PowerEnumerate 1",
             "PowerEnumerate 1", "PowerEnumerate 2", "PowerEnumerate 1",
             "PowerEnumerate 2", f"PowerReadFriendlyName {PLAN_HIGH_PERFORMANCE}",
             f"PowerReadFriendlyName {PLAN_HIGH_PERFORMANCE}",
             f"PowerReadFriendlyName {UNKNOWN}", "PowerGetActiveScheme",
             f"PowerSetActiveScheme {PLAN_HIGH_PERFORMANCE}",
             f"PowerSetActiveScheme {UNKNOWN}",
             f"PowerSetUserConfiguredACPowerMode {MODE_BEST_PERFORMANCE}",
             f"PowerSetUserConfiguredDCPowerMode {MODE_BEST_EFFICIENCY}",
             f"PowerSetUserConfiguredDCPowerMode {UNKNOWN}",
             "PowerGetActiveScheme", "PowerGetUserConfiguredACPowerMode",
             "PowerGetUserConfiguredDCPowerMode"], power.calls())
        driver = winpath(self.box.dir / "power_driver.exe")
        self.assertEqual([driver, driver], power.loaded_by())
        self.assertEqual({"active": PLAN_HIGH_PERFORMANCE,
                          "ac_mode": MODE_BEST_PERFORMANCE,
                          "dc_mode": MODE_BEST_EFFICIENCY}, power.state())

    def test_each_windows_has_only_its_functions(self):
        xp_plans = [(0, "Home/Office Desk"), (3, NAME)]
        cases = [
            ("win11", "set", f"set {PLAN_HIGH_PERFORMANCE}", "set 0"),
            ("win11", "mode", f"setac {MODE_BEST_PERFORMANCE}", "setac 0"),
            ("win10", "set", f"set {PLAN_HIGH_PERFORMANCE}", "set 0"),
            ("win10", "mode", f"setac {MODE_BEST_PERFORMANCE}",
             "setac missing"),
            ("win10", "mode", "getdc", "getdc missing"),
            ("xp", "set", f"set {PLAN_HIGH_PERFORMANCE}", "set missing"),
            ("xp", "enum", "enum", "enum missing"),
            ("xp", "mode", "getac", "getac missing"),
            ("xp", "xpenum", "xpenum",
             f"xpenum 1 0:{name_hex('Home/Office Desk')} 3:{name_hex(NAME)}"),
            ("xp", "xpget", "xpget", "xpget 1 0"),
            ("xp", "xpset", "xpset 3", "xpset 1 0"),
            ("xp", "xpset unknown", "xpset 7",
             f"xpset 0 {ERROR_INVALID_PARAMETER}"),
            # Present, but the plans of Windows 11 are none of XP's.
            ("win11", "xpget", "xpget", "xpget 0 0"),
        ]
        for windows in ("win11", "win10", "xp"):
            rows = [row for row in cases if row[0] == windows]
            power = self.power_library(windows,
                                       xp_plans if windows == "xp" else None)
            lines = self.drive("load powrprof.dll",
                               *(step for _, _, step, _ in rows))
            for (_, name, _, expected), line in zip(rows, lines[1:]):
                with self.subTest(windows=windows, step=name):
                    self.assertEqual(expected, line)
            self.assertEqual(len(rows) + 1, len(lines), lines)
            power.restore()
        # The XP plan set in one process is the next one's.
        power = self.power_library("xp", xp_plans)
        self.drive("load powrprof.dll", "xpset 3")
        self.assertEqual(["xpget 1 3"],
                         self.drive("load powrprof.dll", "xpget")[1:])
        self.assertEqual("3", power.state()["active_xp"])

    def test_planted_copy_records_apart_and_only_when_loaded(self):
        power = self.power_library()
        power.plant_beside(self.box.dir)
        driver = winpath(self.box.dir / "power_driver.exe")
        system = "C:\\windows\\system32\\powrprof.dll"
        # By full path: the system's copy; by name: the one beside the
        # program, found first.
        self.assertEqual([self.system_dll(), "get 0 " + PLAN_BALANCED],
                         self.drive(f"load {system}", "get"))
        self.assertEqual([], power.planted_loaded_by())
        self.assertEqual(
            [f"load ok {winpath(self.box.dir / 'powrprof.dll')}",
             "get 0 " + PLAN_BALANCED], self.drive("load powrprof.dll", "get"))
        self.assertEqual([driver], power.planted_loaded_by())
        self.assertEqual(["PowerGetActiveScheme"], power.planted_calls())
        self.assertEqual([driver], power.loaded_by())
        self.assertEqual(["PowerGetActiveScheme"], power.calls())


class RunProbeTest(StandinTest):
    def test_records_command_line_folder_variables_and_console(self):
        probe = self.run_probe()
        folder = self.box.dir / "a folder"
        folder.mkdir()
        env = {"MORVASK_PROFILE": "2", "MORVASK_POWER": ""}
        starts = [(CREATE_NO_WINDOW, probe.command_line(3, 50), folder),
                  (0, probe.command_line(), None)]
        steps = []
        for flags, line, cwd in starts:
            steps += ["run", hex(flags), line.encode().hex(),
                      winpath(cwd).encode().hex() if cwd else "-"]
        self.assertEqual(["run 3", "run 0"], self.drive(*steps, env=env))
        hidden, plain = probe.records(wait_for=2)
        self.assertEqual(probe.command_line(3, 50).encode(), hidden["cmd"])
        self.assertEqual(winpath(folder).encode(), hidden["cwd"])
        self.assertEqual((b"2", b"", None),
                         (hidden["profile"], hidden["power"],
                          hidden["command"]))
        # CREATE_NO_WINDOW: a console of its own, and no window for it.
        self.assertEqual((False, True, "char"),
                         (hidden["window"], hidden["console"],
                          hidden["stdout"]))
        self.assertNotEqual((False, True),
                            (plain["window"], plain["console"]))


if __name__ == "__main__":
    unittest.main()

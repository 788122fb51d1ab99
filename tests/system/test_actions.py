"""Showing and applying profiles, against stand-ins for the display window,
the clock utility and the graphics driver tool."""
import shutil
import unittest

import harness
from harness import CLOCK, CLOCK_BASE, OSD, CliStandin, SystemTest

REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ = 1, 2, 3, 4, 7
FIXED_FOLDER = (harness.prefix_dir() / "drive_c" / "Program Files" /
                "ATI Technologies" / "ATI.ACE")


class DisplayTest(SystemTest):
    def test_osd_image_set_table_and_16_bit_words(self):
        osd = self.standin(OSD)
        cases = [
            (b"92 3", 0x0003005C),
            (b"108 3", 0x0003006C),
            (b"5 3", 3),
            (b"0 0", 0),
            (b"65628 3", 0x0003005C),      # 65536 + 92
            (b"92 -1", 0xFFFF005C),
            (b"$1006C 0x10001", 0x0001006C),
            (b"91 65539", 3),
        ]
        for args, expected in cases:
            with self.subTest(args):
                seen = len(osd.commands())
                self.assert_normal_run(self.box.run(b"osd " + args), args)
                self.assertEqual(expected, osd.wait_for(seen + 1)[seen:][0],
                                 args)
        self.assertTrue(all(l == 0 for _, l, _ in osd.commands()))

    def test_switch_off_silences_show_but_not_osd(self):
        self.box.write_ini("[Main]\nShowAtkOsd=0\n[0]\nAtkOsdImageSet=92")
        osd = self.standin(OSD)
        self.assert_normal_run(self.box.run(b"show"))
        self.assert_normal_run(self.box.run(b"current"))
        self.assert_normal_run(self.box.run(b"osd 92 3"))
        self.assertEqual([0x0003005C], osd.wait_for(1))

    def test_show_reads_the_slots_profile(self):
        self.box.write_ini("""
            [Main]
            ShowAtkOsd=1
            [System]
            CurrentProfileAC=-1
            [-1]
            AtkOsdImageSet=$1006C
            AtkOsdImageIndex=-2
        """)
        osd = self.standin(OSD)
        self.assert_normal_run(self.box.run(b"show"))
        self.assertEqual([0xFFFE006C], osd.wait_for(1))

    def test_settings_read_alike_with_any_line_ends(self):
        osd = self.standin(OSD)
        ini = """
            [Main]
            ShowAtkOsd = 1
            [System]
            CurrentProfileAC=0x1
            [1]
            AtkOsdImageSet=108
            AtkOsdImageIndex=$7
        """
        for name, newline in (("CR LF", "\r\n"), ("LF", "\n")):
            with self.subTest(name):
                self.box.write_ini(ini, newline=newline)
                seen = len(osd.commands())
                self.assert_normal_run(self.box.run(b"show"), name)
                self.assertEqual([0x0007006C], osd.wait_for(seen + 1)[seen:],
                                 name)
                self.assert_normal_run(self.box.run(b"profile 2"), name)
                self.assertEqual("2", self.box.value("System",
                                                     "CurrentProfileAC"), name)
                self.assertEqual("$7", self.box.value("1", "AtkOsdImageIndex"),
                                 name)

    def test_no_window_is_no_failure(self):
        self.box.write_ini("[Main]\nShowAtkOsd=1\nRMClock=1")
        for args in (b"osd 92 3", b"show", b"current", b"profile 1"):
            with self.subTest(args):
                self.assert_normal_run(self.box.run(args), args)


class ClockTest(SystemTest):
    def test_profile_range_and_base(self):
        clock = self.standin(CLOCK)
        cases = [
            ("2", None, CLOCK_BASE + 2),
            (None, None, CLOCK_BASE),
            ("3", "0x800E", CLOCK_BASE + 3),
            ("1", "$10", 0x11),
            ("65537", None, CLOCK_BASE + 1),
            ("1", "-1", 0),                   # wraps around
            ("3", "$FFFFFFFF", 2),
            ("4", None, None),
            ("-1", None, None),
        ]
        for profile, base, expected in cases:
            name = f"profile {profile} base {base}"
            with self.subTest(name):
                ini = "[Main]\nRMClock=1\n"
                ini += f"RMClockBase={base}\n" if base else ""
                ini += f"[0]\nRMClockProfile={profile}\n" if profile else ""
                self.box.write_ini(ini)
                seen = len(clock.commands())
                self.assert_normal_run(self.box.run(b"profile 0"), name)
                got = clock.wait_for(seen + 1, 1.0 if expected is None else 5)
                self.assertEqual([] if expected is None else [expected],
                                 got[seen:], name)

    def test_switch_off_sends_nothing(self):
        self.box.write_ini("[Main]\nRMClock=0\n[0]\nRMClockProfile=1")
        clock = self.standin(CLOCK)
        self.assert_normal_run(self.box.run(b"current"))
        self.assertEqual([], clock.wait_for(1, 1.0))


class DriverToolTest(SystemTest):
    def setUp(self):
        super().setUp()
        self.addCleanup(harness.delete_registry_key)
        self.tool_dir = self.box.dir / "ATI Tools"
        self.cli = CliStandin(self.box, self.tool_dir)
        self.box.write_ini("""
            [Main]
            RMClock=1
            AtiCatalyst=1
            [System]
            CurrentProfileAC=1
            [1]
            RMClockProfile=2
            AtiCatalystProfile=Performance
        """)

    def folder(self, path=None):
        return harness.winpath(path or self.tool_dir) + "\\"

    def expected(self, folder, name="Performance"):
        return f'"{folder}CLI.exe" Load profilename="{name}"'.encode()

    def test_registry_folder_is_quoted_and_used_as_given(self):
        cases = [
            ("text with terminator", REG_SZ, self.folder() + "\0"),
            ("text without terminator", REG_SZ, self.folder()),
            ("text with a NUL inside", REG_SZ, self.folder() + "\0D:\\x\\\0"),
            ("expandable text", REG_EXPAND_SZ, self.folder() + "\0"),
        ]
        for name, type_code, data in cases:
            with self.subTest(name):
                harness.set_registry_path(type_code, data)
                seen = len(self.cli.command_lines())
                self.assert_normal_run(self.box.run(b"current"), name)
                lines = self.cli.command_lines(seen + 1)
                self.assertEqual([self.expected(self.folder())], lines[seen:],
                                 name)

    def test_folder_without_backslash_runs_into_the_file_name(self):
        # "...\ATI Tools" + "CLI.exe" names "ATI ToolsCLI.exe" beside it.
        shutil.copy(self.cli.exe, self.box.dir / "ATI ToolsCLI.exe")
        folder = harness.winpath(self.tool_dir)
        harness.set_registry_path(REG_SZ, folder + "\0")
        self.assert_normal_run(self.box.run(b"current"))
        self.assertEqual([self.expected(folder)], self.cli.command_lines(1))

    def test_environment_references_stay_unexpanded(self):
        literal = self.box.dir / "%MORVASK_TEST_DIR%"
        shutil.copytree(self.tool_dir, literal)
        self.box.extra_env["MORVASK_TEST_DIR"] = "elsewhere"
        folder = harness.winpath(self.box.dir) + "\\%MORVASK_TEST_DIR%\\"
        harness.set_registry_path(REG_EXPAND_SZ, folder + "\0")
        self.assert_normal_run(self.box.run(b"current"))
        self.assertEqual([self.expected(folder)], self.cli.command_lines(1))

    def test_wrong_types_show_usage_after_the_clock_step(self):
        clock = self.standin(CLOCK)
        cases = [("dword", REG_DWORD, b"\x01\x00\x00\x00"),
                 ("binary", REG_BINARY, self.folder().encode()),
                 ("multi text", REG_MULTI_SZ, self.folder().encode() + b"\0\0")]
        for name, type_code, data in cases:
            with self.subTest(name):
                harness.set_registry_path(type_code, data)
                seen = len(clock.commands())
                self.assert_usage(self.box.run(b"current"), name)
                self.assertEqual([CLOCK_BASE + 2],
                                 clock.wait_for(seen + 1)[seen:], name)
        self.assertEqual([], self.cli.command_lines())

    def test_empty_value_of_any_type_means_the_fixed_folder(self):
        fixed = CliStandin(self.box, FIXED_FOLDER)
        self.addCleanup(shutil.rmtree, FIXED_FOLDER.parent)
        expected = self.expected("c:\\Program Files\\ATI Technologies\\ATI.ACE\\")
        for name, type_code in (("no key", None), ("empty dword", REG_DWORD),
                                ("empty text", REG_SZ)):
            with self.subTest(name):
                if type_code is None:
                    harness.delete_registry_key()
                else:
                    harness.set_registry_path(type_code, b"")
                seen = len(fixed.command_lines())
                self.assert_normal_run(self.box.run(b"current"), name)
                self.assertEqual([expected],
                                 fixed.command_lines(seen + 1)[seen:], name)

    def test_a_planted_program_on_the_unquoted_path_is_not_run(self):
        # Unquoted, "c:\Program Files\..." would first try c:\Program.exe.
        harness.delete_registry_key()
        fixed = CliStandin(self.box, FIXED_FOLDER)
        self.addCleanup(shutil.rmtree, FIXED_FOLDER.parent)
        planted = harness.prefix_dir() / "drive_c" / "Program.exe"
        shutil.copy(fixed.exe, planted)
        self.addCleanup(planted.unlink)
        self.assert_normal_run(self.box.run(b"current"))
        lines = fixed.command_lines(1)
        self.assertEqual(1, len(lines))
        self.assertTrue(lines[0].startswith(b'"c:\\Program Files\\ATI Tech'))

    def test_missing_tool_is_quiet(self):
        self.cli.remove()
        harness.set_registry_path(REG_SZ, self.folder() + "\0")
        result = self.box.run(b"current")
        self.assert_normal_run(result)
        self.assertLess(result.elapsed_ms, 900)

    def test_missing_section_sends_an_empty_name(self):
        harness.set_registry_path(REG_SZ, self.folder() + "\0")
        self.assert_normal_run(self.box.run(b"profile 7"))
        self.assertEqual([self.expected(self.folder(), "")],
                         self.cli.command_lines(1))

    def test_long_profile_name_is_cut_to_2047(self):
        harness.set_registry_path(REG_SZ, self.folder() + "\0")
        name = "".join(chr(ord("a") + i % 26) for i in range(3000))
        self.box.write_ini(f"[Main]\nAtiCatalyst=1\n[0]\nAtiCatalystProfile={name}")
        self.assert_normal_run(self.box.run(b"current"))
        self.assertEqual([self.expected(self.folder(), name[:2047])],
                         self.cli.command_lines(1))

    def test_waits_one_second_for_a_slow_tool(self):
        harness.set_registry_path(REG_SZ, self.folder() + "\0")
        self.box.extra_env["MORVASK_TEST_CLI_SLEEP_MS"] = "5000"
        result = self.box.run(b"current")
        self.assert_normal_run(result)
        self.assertGreaterEqual(result.elapsed_ms, 1000)
        self.assertLess(result.elapsed_ms, 2500)
        self.assertEqual(1, len(self.cli.command_lines(1)))


if __name__ == "__main__":
    unittest.main()

"""morvask check and the opt-in log, run for real under Wine: the report in
a file and in its box, that it changes nothing, and log lines that stay
whole while several processes write and the file is moved aside."""
import os
import re
import shutil
import subprocess
import unittest

import harness
from harness import CLOCK, OSD, SystemTest

REG_DWORD = 4
LINE = re.compile(rb"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} pid (\d+): (.*)")


class CheckTest(SystemTest):
    def test_report_to_a_file_changes_nothing(self):
        self.box.write_ini("""
            [Main]
            RMClock=1
            AtiCatalyst=1
            Delay=500 ; ms
            ProfileCount="2"
            [System]
            CurrentProfileAC=1
            [1]
            RMClockProfile=9
        """)
        before = self.box.ini_bytes()
        self.standin(CLOCK)
        self.standin(OSD)
        self.addCleanup(harness.delete_registry_key)
        harness.set_registry_path(REG_DWORD, b"\1\0\0\0")
        # Wine gives a file the access list of its Unix mode: here the
        # folder may be changed only by its owner, this user, and the
        # program by everyone.
        self.box.dir.chmod(0o755)
        self.box.exe.chmod(0o777)
        report_file = self.box.dir / "report.txt"
        result = self.box.run(b"check", stdout=report_file)
        self.assert_normal_run(result)  # No box: the report went to the file.
        report = report_file.read_bytes()
        self.assertTrue(report.endswith(b"\r\n"))
        self.assertNotIn(b"\n", report.replace(b"\r\n", b""))
        for says in [
            f"Settings file: {harness.winpath(self.box.ini)}\r\n".encode(),
            b"exists, and morvask may write to it",
            b"Power source: mains (AC line status 1)",
            b"Current profile: 1 on mains, 0 on battery; now profile 1",
            # A ";" after a value is part of it; quotes round one are not.
            b'[Main] Delay = "500 ; ms" is not an integer, so it reads as 2200',
            b"[Main] ProfileCount 2, Delay 2200 ms,",
            b"profile 0 (the other power source's profile) has no section [0]",
            b"[1] RMClockProfile 9 sends nothing",
            b"window found; morvask's post would reach it",
            b"registry value Path is REG_DWORD, not text",
            b"window ATKOSD found",
            b"morvask-watch: does not run in this session",
            # The program alone, so no DLL beside it.
            b"\r\n  " + harness.winpath(self.box.exe).encode() +
            b" may be changed by other accounts (Everyone): they can "
            b"replace morvask, which",
        ]:
            self.assertIn(says, report, report.decode("latin-1"))
        self.assertEqual(before, self.box.ini_bytes())

    def test_report_in_its_own_box_creates_no_file(self):
        result = self.box.run(b"CHECK")
        self.assertEqual(0, result.exit_code, result.raw)
        [box] = result.boxes
        self.assertEqual(b"morvask check", box.caption)
        self.assertTrue(box.text.startswith(b"morvask "), box.text)
        self.assertIn(b"does not exist: every setting reads as its default",
                      box.text)
        self.assertEqual(("present", "1"), (box.icon, box.buttons))
        self.assertEqual(sorted(p.name for p in self.box.dir.iterdir()),
                         ["cmdline1.bin", "morvask.exe"])

    def test_with_an_argument_the_usage_box(self):
        self.assert_usage(self.box.run(b"check all"))


class LogTest(SystemTest):
    def log_lines(self):
        data = (self.box.dir / "morvask.log").read_bytes()
        self.assertTrue(data.endswith(b"\r\n"))
        lines = data[:-2].split(b"\r\n")
        for line in lines:
            self.assertRegex(line, LINE)
        return [LINE.fullmatch(line).groups() for line in lines]

    def test_off_makes_no_file(self):
        self.box.write_ini("[Main]\nLog=0\nDelay=0")
        for args in (b"next", b"bogus", b"check"):
            self.box.run(args)
        self.assertFalse((self.box.dir / "morvask.log").exists())

    def test_concurrent_runs_write_whole_lines_and_move_the_file_once(self):
        self.box.write_ini("[Main]\nLog=1\nShowAtkOsd=1\nDelay=300")
        self.standin(OSD)
        # Just past the size at which the log is moved aside.
        old = b"".join(b"2026-01-01 00:00:00.000 pid 1: old line %6d\r\n" % i
                       for i in range(24000))
        self.assertGreater(len(old), 1024 * 1024)
        (self.box.dir / "morvask.log").write_bytes(old)
        runs = [self.box.start(args)
                for args in [b"next"] * 5 + [b"profile x"]]
        results = [self.box.finish(run) for run in runs]
        for result in results[:-1]:
            self.assert_normal_run(result)
        self.assert_usage(results[-1])
        # Moved once, whole: a second move would have put the new file there.
        self.assertTrue(old == (self.box.dir / "morvask.log.1").read_bytes())
        lines = self.log_lines()
        pids = {pid for pid, _ in lines}
        self.assertEqual(6, len(pids), lines)
        events = [event for _, event in lines]
        self.assertEqual(6, sum(e.startswith(b"command line: ")
                                for e in events), events)
        self.assertIn(b"failed, EConvertError: 'x' is not a valid integer "
                      b"value; showing the usage box", events)
        self.assertEqual(5, sum(e.startswith(b"applying profile") or
                                e.startswith(b"left profile")
                                for e in events), events)

    def test_a_log_that_cannot_be_written_changes_nothing(self):
        # One that refuses writes, and one with a second name (a hard
        # link, as one planted to make morvask write to another file).
        other = b"2026-01-01 00:00:00.000 pid 1: another file\r\n"
        cases = [
            ("refuses writes", b"", lambda log: subprocess.run(
                ["chattr", "+i", str(log)], check=True)),
            ("has a second name", other, lambda log: os.link(
                log, self.box.dir / "elsewhere.txt")),
        ]
        for name, content, prepare in cases:
            with self.subTest(name):
                self.box.cleanup()
                for path in self.box.dir.glob("morvask.*"):
                    if path.suffix != ".exe":
                        path.unlink()
                (self.box.dir / "elsewhere.txt").unlink(missing_ok=True)
                self.box.write_ini("[Main]\nLog=1")
                log = self.box.dir / "morvask.log"
                log.write_bytes(content)
                prepare(log)
                self.assert_normal_run(self.box.run(b"profile 2"), name)
                self.assertEqual("2",
                                 self.box.value("System", "CurrentProfileAC"))
                self.assertEqual(content, log.read_bytes(), name)
                self.assertFalse((self.box.dir / "morvask.log.1").exists())


if __name__ == "__main__":
    unittest.main()

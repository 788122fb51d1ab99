"""The hotkeys of [Keys] under Wine: morvask-watch holds them, and key
input sent as a keyboard would (the keys stand-in, through SendInput)
starts morvask; Wine delivers hotkeys so with its null graphics driver."""
import shutil
import subprocess
import time
import unittest

import harness
from harness import CLOCK, CLOCK_BASE, OSD, SystemTest

DELAY_MS = 1500  # Room for a loaded machine between the taps.
CTRL_ALT, VK_LEFT, VK_UP = 3, 0x25, 0x26
PROFILES = "".join(f"[{p}]\nAtkOsdImageIndex={p}\nRMClockProfile={p}\n"
                   for p in range(4))


def settings(keys):
    return f"""
        [Main]
        ShowAtkOsd=1
        RMClock=1
        Delay={DELAY_MS}
        ProfileCount=4
        Log=1
        [Watch]
        ApplyAtStart=0
        [Keys]
        {keys}
        [System]
        CurrentProfileAC=0
        CurrentProfileBatt=0
        {PROFILES}"""


def keys(*args, timeout=60):
    """Runs the keys stand-in; returns its output's words."""
    return subprocess.run(harness.wine(harness.tool("keys.exe"), *args),
                          env=harness.wine_env(), capture_output=True,
                          text=True, timeout=timeout).stdout.split()


class KeysTest(SystemTest):
    def setUp(self):
        super().setUp()
        self.osd = self.standin(OSD)
        self.clock = self.standin(CLOCK)
        self.exe = self.box.dir / "morvask-watch.exe"
        shutil.copy(harness.tool("morvask-watch.exe"), self.exe)
        self.watcher = None
        self.addCleanup(self.stop)

    def start_watching(self, lines="next=Ctrl+Alt+Right\nprev=Ctrl+Alt+Left"):
        self.box.write_ini(settings(lines))
        self.watcher = self.box.start(b"", program=b"morvask-watch",
                                      exe=self.exe, timeout_ms=120000)
        self.assertTrue(harness.wait_for_watcher(), "no watcher window")

    def stop(self):
        if self.watcher:
            self.box.run(b"stop", program=b"morvask-watch", exe=self.exe)
            self.box.finish(self.watcher)
            self.watcher = None

    def log(self):
        path = self.box.dir / "morvask.log"
        return path.read_text("latin-1") if path.exists() else ""

    def applied(self, settle=DELAY_MS / 1000 + 1.0):
        time.sleep(settle)
        return [w - CLOCK_BASE for w, _, _ in self.clock.commands()]

    def test_three_quick_taps_show_three_profiles_and_apply_the_last_once(self):
        self.start_watching()
        for _ in range(3):
            self.assertEqual("sent", keys("tap", "CTRL", "ALT", "RIGHT")[0])
        self.assertEqual([1, 2, 3], self.osd.wait_for(3))
        self.assertEqual([3], self.applied())
        self.assertEqual("3", self.box.value("System", "CurrentProfileAC"))

    def test_a_held_key_gives_one_press(self):
        self.start_watching()
        keys("hold", "1500", "CTRL", "ALT", "RIGHT")
        self.assertEqual([1], self.applied())
        self.assertEqual([1], self.osd.params())
        # And the key works again once released.
        keys("tap", "CTRL", "ALT", "RIGHT")
        self.assertEqual([1, 2], self.osd.wait_for(2))
        self.assertEqual([1, 2], self.applied())  # Not left to the next test.

    def test_a_key_another_program_holds_is_said_and_the_others_work(self):
        other = subprocess.Popen(
            harness.wine(harness.tool("keys.exe"), "hold-hotkey", CTRL_ALT,
                         VK_LEFT, 30000),
            env=harness.wine_env(), stdout=subprocess.PIPE, text=True)
        self.addCleanup(other.wait, 60)
        self.addCleanup(other.kill)
        self.assertEqual("held", other.stdout.readline().strip())
        self.start_watching()
        report_file = self.box.dir / "report.txt"
        self.box.run(b"check", stdout=report_file)
        report = report_file.read_text("latin-1")
        self.assertIn("[Keys] prev=Ctrl+Alt+Left: Ctrl+Alt+Left is held by "
                      "another program", report)
        self.assertIn("[Keys] next=Ctrl+Alt+Right: Ctrl+Alt+Right is held by "
                      "the running morvask-watch", report)
        self.assertIn('cannot hold Ctrl+Alt+Left for "prev": another program '
                      "holds it (error 1409)", self.log())
        keys("tap", "CTRL", "ALT", "RIGHT")
        self.assertEqual([1], self.osd.wait_for(1))
        self.assertEqual([1], self.applied())

    def test_an_edited_section_counts_without_a_restart_and_the_end_frees(self):
        self.start_watching()
        self.box.write_ini(settings("next=Ctrl+Alt+Up"))
        deadline = time.monotonic() + 10
        while "holds Ctrl+Alt+Up" not in self.log():
            self.assertLess(time.monotonic(), deadline, self.log())
            time.sleep(0.1)
        keys("tap", "CTRL", "ALT", "RIGHT")  # Released: nothing.
        keys("tap", "CTRL", "ALT", "UP")
        self.assertEqual([1], self.osd.wait_for(1, timeout=2))
        self.assertEqual([1], self.applied())
        self.assertEqual(["held"], keys("hold-hotkey", CTRL_ALT, VK_LEFT, 0))
        self.stop()
        self.assertEqual(["held"], keys("hold-hotkey", CTRL_ALT, VK_UP, 0),
                         "a key stays held after the watcher ended")


if __name__ == "__main__":
    unittest.main()

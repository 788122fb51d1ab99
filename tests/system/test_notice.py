"""morvask's own notice on real windows: one at a time across processes,
never taking the focus, gone after NoticeTime or with its process, and no
window at all with Notice off."""
import time
import unittest

from harness import NOTICE_CLASS, NOTICE_EX_STYLES, SystemTest

def settings(notice="1", notice_time=800, delay=600, name0="Profile named 0"):
    notice_line = "" if notice is None else f"Notice={notice}"
    return f"""
        [Main]
        {notice_line}
        NoticeTime={notice_time}
        Delay={delay}
        ProfileCount=3
        [0]
        Name={name0}
        [1]
        Name=Profile named 1
        [2]
        Name=Profile named 2"""


def titles(sights):
    return [title for sight in sights for _, title in sight.notices]


class NoticeTest(SystemTest):
    def setUp(self):
        super().setUp()
        self.poll = self.notice_poll()
        self.assertTrue(self.poll.had_focus_at_start())

    def test_burst_leaves_one_notice_the_last_and_the_focus_where_it_was(self):
        self.box.write_ini(settings())
        presses = []
        for _ in range(4):
            presses.append(self.box.start(b"next"))
            time.sleep(0.15)
        results = [self.box.finish(p) for p in presses]
        for result in results:
            self.assert_normal_run(result)
        sights = self.poll.sights()
        self.assertTrue(sights, "no notice seen")
        # Never two at once; every one with the styles that keep it out of
        # the way.
        self.assertEqual(1, max(len(s.notices) for s in sights), sights)
        for style, title in (n for s in sights for n in s.notices):
            self.assertEqual(NOTICE_EX_STYLES, style & NOTICE_EX_STYLES,
                             f"{style:x} {title}")
        # Steps 0 -> 1 -> 2 -> 0 -> 1; the last press applied its profile.
        seen = titles(sights)
        self.assertEqual(b"Profile named 1 on mains: applied", seen[-1])
        self.assertNotIn(b"Profile named 2 on mains: applied", seen)
        self.assertIn(b"Profile named 2 on mains", seen)
        # It went, with the last process.
        last = [s for s in sights if s.notices][-1]
        self.assertIsNotNone(self.poll.wait_until(
            lambda s: s.us > last.us and not s.notices, timeout=5))
        self.assertEqual([], self.poll.focus_changes())

    def test_goes_after_notice_time_and_the_process_with_it(self):
        cases = [
            ("700", "Profile named 0", b"Profile named 0 on mains", 700),
            ("x", "Profile named 0", b"Profile named 0 on mains", 1500),
            # A name of 2047 characters is cut.
            ("700", "N" * 2047, b"N" * 64 + b"... on mains", 700),
        ]
        for notice_time, name, title, lasts_ms in cases:
            with self.subTest(notice_time=notice_time, name=name[:20]):
                self.box.write_ini(settings(notice_time=notice_time,
                                            name0=name))
                before = len(self.poll.sights())
                result = self.box.run(b"show")
                self.assert_normal_run(result)
                self.assertIn((NOTICE_CLASS, title), result.windows)
                sights = self.poll.sights()[before:]
                shown = [s for s in sights if s.notices]
                self.assertTrue(shown, sights)
                self.assertEqual(title, shown[0].notices[0][1])
                gone = [s for s in sights if not s.notices and
                        s.us > shown[0].us]
                self.assertTrue(gone, sights)
                # It stayed its time, and the run lasted as long.
                self.assertGreaterEqual(gone[0].us - shown[0].us,
                                        (lasts_ms - 100) * 1000)
                self.assertGreaterEqual(result.elapsed_ms, lasts_ms - 100)

    def test_no_window_with_the_notice_off_or_for_no_time(self):
        cases = [(None, 800), ("0", 800), ("1", 0), ("1", -5)]
        for notice, notice_time in cases:
            for command in (b"show", b"current", b"profile 1", b"next"):
                with self.subTest(notice=notice, time=notice_time,
                                  command=command):
                    self.box.write_ini(settings(notice, notice_time,
                                                delay=100))
                    result = self.box.run(command)
                    self.assert_normal_run(result)
                    self.assertEqual([], result.windows)
        self.assertEqual([], titles(self.poll.sights()))

    def test_an_ended_process_leaves_no_notice(self):
        self.box.write_ini(settings(notice_time=60000))
        # The launcher ends morvask from outside after 1.5 s.
        result = self.box.run(b"show", timeout_ms=1500)
        self.assertTrue(result.timed_out)
        sights = self.poll.sights()
        shown = [s for s in sights if s.notices]
        self.assertEqual(b"Profile named 0 on mains", titles(shown)[0])
        # Wine may show it a moment longer, without its title, while it
        # tears the process down; then it is gone.
        self.assertIsNotNone(self.poll.wait_until(
            lambda s: s.us > shown[0].us and not s.notices, timeout=5))


if __name__ == "__main__":
    unittest.main()

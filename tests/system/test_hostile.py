"""Hostile command lines: each one ends in the usage box or a normal run,
with exit code 0, never a crash or a hang."""
import unittest

from harness import OSD, SystemTest


class HostileCommandLineTest(SystemTest):
    def test_hostile_command_lines(self):
        osd = self.standin(OSD)
        self.box.write_ini("[Main]\nShowAtkOsd=1\nDelay=0\n[System]\nX=1")
        usage, normal = "usage", "normal"
        cases = [
            ("control bytes", bytes(range(1, 32)), usage),
            ("control bytes around a word", b"\x01\x02current\x1f\x7f", usage),
            ("control bytes as separators", b"\x01show\x1f", normal),
            ("high bytes", bytes(range(0x80, 0x100)), usage),
            ("high bytes after a word", b"show " + bytes(range(0x80, 0x100)),
             usage),
            ("5000-digit number", b"profile " + b"9" * 5000, usage),
            ("5000 zeros then 7", b"profile " + b"0" * 5000 + b"7", normal),
            ("5000-digit hex", b"osd $" + b"F" * 5000 + b" 1", usage),
            ("lone double quote", b'"', usage),
            ("word and a lone quote", b'show "', normal),
            ("a hundred double quotes", b'"' * 100, usage),
            ("a hundred and one double quotes", b'"' * 101, usage),
            ("word and a hundred quotes", b'show ' + b'"' * 100, normal),
            ("long word", b"x" * 30000, usage),
            ("many arguments", b"osd" + b" 1" * 5000, usage),
        ]
        for name, args, outcome in cases:
            with self.subTest(name):
                result = self.box.run(args, timeout_ms=20000)
                self.assertFalse(result.timed_out, name)
                if outcome == usage:
                    self.assert_usage(result, name)
                else:
                    self.assert_normal_run(result, name)
        # Nothing the user had was lost along the way.
        self.assertEqual("1", self.box.value("System", "X"))
        self.assertEqual("7", self.box.value("System", "CurrentProfileAC"))
        self.assertTrue(len(osd.commands()) >= 3)


if __name__ == "__main__":
    unittest.main()

"""How the host's Wine is chosen, with planted loaders: one that runs, one
the kernel refuses ("Exec format error", as a 32-bit program on a kernel
without IA-32 emulation), one that a system-call filter kills, one that
fails, and none at all."""
import os
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

CHOOSER = Path(__file__).resolve().parent / "wine_host.py"

LOADERS = {
    "runs": b"#!/bin/sh\nexit 0\n",
    "refused": b"\x7fELF\x01\x01\x01" + bytes(9) + b"\x02\x00\x28\x00",
    "filtered": b"#!/bin/sh\nkill -SYS $$\n",
    "fails": b"#!/bin/sh\nexit 3\n",
}


class ChoiceTest(unittest.TestCase):
    def run_chooser(self, command, forced, loader32, loader64):
        env = {k: v for k, v in os.environ.items() if k != "MORVASK_WINE"}
        if forced:
            env["MORVASK_WINE"] = forced
        with tempfile.TemporaryDirectory() as folder:
            for bits, kind in ((32, loader32), (64, loader64)):
                path = Path(folder) / f"wine{bits}"
                if kind != "missing":
                    path.write_bytes(LOADERS[kind])
                    path.chmod(0o755)
                env[f"MORVASK_WINE{bits}_LOADER"] = str(path)
            return subprocess.run([sys.executable, str(CHOOSER), command],
                                  env=env, capture_output=True, text=True)

    def test_choice(self):
        fail = None
        cases = [
            # name, forced, 32-bit loader, 64-bit loader,
            # builds chosen / tested (None: fails), words of the reason
            ("32-bit Wine runs", None, "runs", "runs",
             ["win32"], ["win32", "win64"], "runs 32-bit programs"),
            ("kernel refuses 32-bit programs", None, "refused", "runs",
             ["win64"], ["win64"], "Exec format error"),
            ("system-call filter kills 32-bit programs", None, "filtered",
             "runs", ["win64"], ["win64"], "SIGSYS"),
            ("32-bit loader fails", None, "fails", "runs",
             fail, fail, "exited with 3; install Debian's wine32:i386"),
            ("no 32-bit Wine installed", None, "missing", "runs",
             fail, fail, "does not start: No such file or directory; "
             "install Debian's wine32:i386"),
            ("no 64-bit Wine to test as well", None, "runs", "missing",
             ["win32"], ["win32"], "runs 32-bit programs"),
            ("forced win64", "win64", "runs", "runs",
             ["win64"], ["win64"], "MORVASK_WINE=win64 forces it"),
            ("forced win32", "win32", "runs", "runs",
             ["win32"], ["win32"], "MORVASK_WINE=win32 forces it"),
            ("forced win32 the kernel refuses", "win32", "refused", "runs",
             fail, fail, "Exec format error"),
            ("forced win64 not installed", "win64", "runs", "missing",
             fail, fail, "does not start"),
            ("forced nonsense", "win16", "runs", "runs",
             fail, fail, "use win32 or win64"),
            ("no Wine at all", None, "refused", "missing",
             fail, fail, "no Wine runs here"),
        ]
        for name, forced, l32, l64, chosen, tested, reason in cases:
            for command, expected in (("choose", chosen),
                                      ("test-builds", tested)):
                with self.subTest(name, command=command):
                    run = self.run_chooser(command, forced, l32, l64)
                    self.assertIn(reason, run.stderr, name)
                    if expected is fail:
                        self.assertNotEqual(0, run.returncode, name)
                        self.assertEqual("", run.stdout, name)
                    else:
                        self.assertEqual(0, run.returncode, run.stderr)
                        self.assertEqual(expected, run.stdout.split(), name)


if __name__ == "__main__":
    unittest.main()

"""Checks the release executables, morvask.exe and morvask-watch.exe: each a
PE32 GUI program of at most MAX_EXECUTABLE_BYTES that imports only KnownDLLs and only
what the oldest supported Windows has, carries the project version and its
own name, embeds no manifest, and comes out byte for byte the same from a
second build tree; and the release zip holds both and comes out the same
twice.

  check_release.py VERSION SOURCE_DIR BUILD_DIR
"""
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile
from pathlib import Path

import windows_floor
from pe_imports import KNOWN_DLLS, MAX_EXECUTABLE_BYTES, imported_functions

VERSION, SOURCE, BUILD = sys.argv[1:4]
del sys.argv[1:4]
sys.path.insert(0, str(Path(SOURCE) / "scripts"))
import make_zip  # noqa: E402

IMAGE_SUBSYSTEM_WINDOWS_GUI = 2


def utf16(text):
    return text.encode("utf-16-le")


def string_value(data, name):
    """A StringFileInfo value: the key, padding to 4 bytes, the text."""
    key = utf16(name + "\0")
    at = data.find(key)
    if at < 0:
        return None
    at += len(key)
    at += (4 - at % 4) % 4
    end = data.find(b"\0\0", at)
    while (end - at) % 2:
        end = data.find(b"\0\0", end + 1)
    return data[at:end].decode("utf-16-le")


def duration_seconds(text):
    """Seconds of an XML duration such as PT1M or P3D; None if it is not
    one (or absent)."""
    match = re.fullmatch(r"P(?:(\d+)D)?(?:T(?:(\d+)H)?(?:(\d+)M)?(?:(\d+)S)?)?",
                         text or "")
    if not match or text in ("P", "PT") or text.endswith("T"):
        return None
    days, hours, minutes, seconds = (int(g or 0) for g in match.groups())
    return ((days * 24 + hours) * 60 + minutes) * 60 + seconds


class ReleaseTest(unittest.TestCase):
    def setUp(self):
        self.exes = {name: Path(BUILD) / name for name in make_zip.EXECUTABLES}

    def each(self):
        """(name, path, bytes) of each shipped executable, as a subtest."""
        for name, path in self.exes.items():
            with self.subTest(name):
                yield name, path, path.read_bytes()

    def test_pe32_gui_executables(self):
        for name, _, data in self.each():
            pe = struct.unpack_from("<I", data, 0x3C)[0]
            self.assertEqual(b"PE\0\0", data[pe:pe + 4], name)
            machine = struct.unpack_from("<H", data, pe + 4)[0]
            magic, = struct.unpack_from("<H", data, pe + 24)
            subsystem, = struct.unpack_from("<H", data, pe + 24 + 68)
            self.assertEqual(0x14C, machine, f"{name}: i386")
            self.assertEqual(0x10B, magic, f"{name}: PE32")
            self.assertEqual(IMAGE_SUBSYSTEM_WINDOWS_GUI, subsystem, name)

    def test_size_and_imports(self):
        for name, path, data in self.each():
            self.assertLessEqual(len(data), MAX_EXECUTABLE_BYTES, name)
            dlls = set(imported_functions(path))
            self.assertTrue(dlls, f"{name}: no imports found")
            self.assertLessEqual(dlls, KNOWN_DLLS, name)

    def test_runs_on_the_oldest_supported_windows(self):
        for name, path, data in self.each():
            pe = struct.unpack_from("<I", data, 0x3C)[0]
            version = struct.unpack_from("<HH", data, pe + 24 + 48)
            self.assertLessEqual(version, windows_floor.SUBSYSTEM_VERSION,
                                 f"{name}: subsystem version above the floor")
            for dll, functions in imported_functions(path).items():
                beyond = functions - windows_floor.IMPORTS.get(dll, set())
                self.assertEqual(set(), beyond, f"{name} imports from {dll}"
                                 " what the oldest Windows may lack")

    def test_version_resources(self):
        for name, _, data in self.each():
            self.assertEqual(VERSION, string_value(data, "FileVersion"), name)
            self.assertEqual(VERSION, string_value(data, "ProductVersion"),
                             name)
            self.assertEqual(name, string_value(data, "OriginalFilename"))

    def test_no_manifest(self):
        for name, _, data in self.each():
            self.assertFalse(b"requestedExecutionLevel" in data, name)
            self.assertFalse(b"<assembly" in data, name)

    def test_second_build_tree_gives_the_same_bytes(self):
        tree = Path(BUILD) / "repro"
        subprocess.run(["cmake", "-S", SOURCE, "-B", str(tree), "-G", "Ninja",
                        f"-DCMAKE_TOOLCHAIN_FILE={SOURCE}/cmake/mingw-i686.cmake",
                        "-DCMAKE_BUILD_TYPE=MinSizeRel"], check=True,
                       stdout=subprocess.DEVNULL)
        targets = [Path(name).stem for name in self.exes]
        subprocess.run(["cmake", "--build", str(tree), "--target", *targets],
                       check=True, stdout=subprocess.DEVNULL)
        for name, _, data in self.each():
            self.assertTrue(data == (tree / name).read_bytes(),
                            f"the second build of {name} differs")

    def test_task_scheduler_tasks(self):
        import xml.etree.ElementTree as ET
        ns = {"t": "http://schemas.microsoft.com/windows/2004/02/mit/task"}
        # Every shipped task: its triggers (event, logon), what it starts,
        # what it does with a second start, and its time limit in seconds
        # (0: none). morvask's runs end within seconds, so a minute is ample
        # and a hung one goes; the watcher runs for the whole logon. Runs
        # of morvask current never overlap (the watcher avoids it too);
        # presses of a burst must run side by side.
        tasks = {
            "morvask-power-events.xml":
                (2, 0, '\\morvask.exe"', "current", "Queue", 60),
            "morvask-next-elevated.xml":
                (0, 0, '\\morvask.exe"', "next", "Parallel", 60),
            "morvask-watch-logon.xml":
                (0, 1, '\\morvask-watch.exe"', None, "IgnoreNew", 0),
        }
        shipped = {p.name for p in (Path(SOURCE) / "docs").glob("*.xml")}
        self.assertEqual(set(tasks), shipped)
        for name, (event_triggers, logon_triggers, program, arguments,
                   instances, limit) in tasks.items():
            with self.subTest(name):
                raw = (Path(SOURCE) / "docs" / name).read_bytes()
                # PowerShell hands the file over as a UTF-16 string, so it
                # must not declare another encoding; being ASCII, it needs
                # none.
                self.assertTrue(raw.isascii(), name)
                self.assertNotIn(b"encoding=", raw.split(b"?>", 1)[0], name)
                task = ET.fromstring(raw)
                queries = task.findall(".//t:Subscription", ns)
                self.assertEqual(event_triggers, len(queries), name)
                for query in queries:
                    ET.fromstring(query.text)  # An XML event query of its own.
                self.assertEqual(logon_triggers, len(
                    task.findall(".//t:LogonTrigger", ns)), name)
                command = task.find(".//t:Exec/t:Command", ns).text
                self.assertTrue(command.endswith(program), command)
                found = task.find(".//t:Exec/t:Arguments", ns)
                self.assertEqual(arguments, None if found is None
                                 else found.text, name)
                settings = task.find("t:Settings", ns)
                value = lambda key: settings.findtext(f"t:{key}", None, ns)
                self.assertEqual(instances, value("MultipleInstancesPolicy"))
                # Absent, each means the opposite: the default task does
                # not start on battery and is stopped when it goes onto
                # battery, and stopped after 72 hours.
                self.assertEqual("false", value("DisallowStartIfOnBatteries"))
                self.assertEqual("false", value("StopIfGoingOnBatteries"))
                self.assertEqual(limit, duration_seconds(
                    value("ExecutionTimeLimit")), name)
                # Task Scheduler's 4 to 6 are the normal priority class;
                # absent, it is 7: below normal.
                self.assertIn(value("Priority"), ("4", "5", "6"), name)
                # An elevated run from a folder that other accounts (or the
                # user's own non-elevated programs) may write to runs what
                # they put there; Program Files is out of their reach.
                level = task.findtext(".//t:Principal/t:RunLevel", None, ns)
                if level == "HighestAvailable":
                    self.assertTrue(command.lower().startswith(
                        '"c:\\program files\\'), command)

    def test_zip_holds_both_and_is_reproducible(self):
        zips = []
        for _ in range(2):
            out = tempfile.mkdtemp(dir=BUILD)
            subprocess.run([sys.executable, make_zip.__file__, BUILD, VERSION,
                            out], check=True, stdout=subprocess.DEVNULL)
            zips.append(Path(out) / f"morvask-{VERSION}-win32.zip")
            # A touched source file must not change the next zip.
            os.utime(Path(SOURCE) / "docs" / "USER-GUIDE.md")
        self.assertTrue(zips[0].read_bytes() == zips[1].read_bytes(),
                        "the two zips differ")
        with zipfile.ZipFile(zips[0]) as archive:
            for name, path in self.exes.items():
                self.assertEqual(path.read_bytes(), archive.read(
                    f"morvask-{VERSION}/{name}"), name)
            for doc in (Path(SOURCE) / "docs").iterdir():
                self.assertIn(f"morvask-{VERSION}/docs/{doc.name}",
                              archive.namelist())


if __name__ == "__main__":
    unittest.main(verbosity=2)

"""Checks the release executable: a PE32 GUI program under 256 KiB that
imports only Windows' own DLLs and only what the oldest supported Windows
has, carries the project version, embeds no manifest, and comes out byte
for byte the same from a second build tree; and the release zip comes out
the same twice.

  check_release.py MORVASK_EXE VERSION SOURCE_DIR BUILD_DIR
"""
import os
import struct
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

import windows_floor
from pe_imports import WINDOWS_OWN_DLLS, imported_dlls, imported_functions

EXE, VERSION, SOURCE, BUILD = sys.argv[1:5]
del sys.argv[1:5]

IMAGE_SUBSYSTEM_WINDOWS_GUI = 2


def utf16(text):
    return text.encode("utf-16-le")


class ReleaseTest(unittest.TestCase):
    def setUp(self):
        self.data = Path(EXE).read_bytes()

    def test_pe32_gui_executable(self):
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        self.assertEqual(b"PE\0\0", self.data[pe:pe + 4])
        machine = struct.unpack_from("<H", self.data, pe + 4)[0]
        magic, = struct.unpack_from("<H", self.data, pe + 24)
        subsystem, = struct.unpack_from("<H", self.data, pe + 24 + 68)
        self.assertEqual(0x14C, machine, "i386")
        self.assertEqual(0x10B, magic, "PE32")
        self.assertEqual(IMAGE_SUBSYSTEM_WINDOWS_GUI, subsystem)

    def test_size_and_imports(self):
        self.assertLessEqual(len(self.data), 256 * 1024)
        dlls = {d.lower() for d in imported_dlls(EXE)}
        self.assertTrue(dlls, "no imports found")
        self.assertLessEqual(dlls, WINDOWS_OWN_DLLS)

    def test_runs_on_the_oldest_supported_windows(self):
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        version = struct.unpack_from("<HH", self.data, pe + 24 + 48)
        self.assertLessEqual(version, windows_floor.SUBSYSTEM_VERSION,
                             "subsystem version above the floor")
        for dll, functions in imported_functions(EXE).items():
            beyond = functions - windows_floor.IMPORTS.get(dll, set())
            self.assertEqual(set(), beyond,
                             f"{dll}: not known to be on the oldest Windows")

    def string_value(self, name):
        """A StringFileInfo value: the key, padding to 4 bytes, the text."""
        key = utf16(name + "\0")
        at = self.data.find(key)
        if at < 0:
            return None
        at += len(key)
        at += (4 - at % 4) % 4
        end = self.data.find(b"\0\0", at)
        while (end - at) % 2:
            end = self.data.find(b"\0\0", end + 1)
        return self.data[at:end].decode("utf-16-le")

    def test_version_resource(self):
        self.assertEqual(VERSION, self.string_value("FileVersion"))
        self.assertEqual(VERSION, self.string_value("ProductVersion"))
        self.assertEqual("morvask.exe", self.string_value("OriginalFilename"))

    def test_no_manifest(self):
        self.assertFalse(b"requestedExecutionLevel" in self.data)
        self.assertFalse(b"<assembly" in self.data)

    def test_second_build_tree_gives_the_same_bytes(self):
        tree = Path(BUILD) / "repro"
        subprocess.run(["cmake", "-S", SOURCE, "-B", str(tree), "-G", "Ninja",
                        f"-DCMAKE_TOOLCHAIN_FILE={SOURCE}/cmake/mingw-i686.cmake",
                        "-DCMAKE_BUILD_TYPE=MinSizeRel"], check=True,
                       stdout=subprocess.DEVNULL)
        subprocess.run(["cmake", "--build", str(tree), "--target", "morvask"],
                       check=True, stdout=subprocess.DEVNULL)
        self.assertTrue(self.data == (tree / "morvask.exe").read_bytes(),
                        "the second build differs")

    def test_task_scheduler_xml_is_well_formed(self):
        import xml.etree.ElementTree as ET
        task = ET.parse(Path(SOURCE) / "docs" / "morvask-power-events.xml")
        ns = {"t": "http://schemas.microsoft.com/windows/2004/02/mit/task"}
        queries = task.getroot().findall(".//t:Subscription", ns)
        self.assertEqual(2, len(queries))
        for query in queries:
            ET.fromstring(query.text)  # The event query is XML of its own.
        args = task.getroot().find(".//t:Exec/t:Arguments", ns).text
        self.assertEqual("current", args)

    def test_zip_is_reproducible(self):
        script = Path(SOURCE) / "scripts" / "make_zip.py"
        zips = []
        for _ in range(2):
            out = tempfile.mkdtemp(dir=BUILD)
            subprocess.run([sys.executable, str(script), EXE, VERSION, out],
                           check=True, stdout=subprocess.DEVNULL)
            zips.append((Path(out) / f"morvask-{VERSION}-win32.zip").read_bytes())
            # A touched source file must not change the next zip.
            os.utime(Path(SOURCE) / "docs" / "USER-GUIDE.md")
        self.assertTrue(zips[0] == zips[1], "the two zips differ")
        self.assertTrue(b"morvask.exe" in zips[0])


if __name__ == "__main__":
    unittest.main(verbosity=2)

"""Packs the release zip byte for byte the same from the same inputs:
entries in a fixed order, with a fixed date and fixed permissions.

  make_zip.py BUILD_DIR VERSION OUTPUT_DIR
"""
import sys
import zipfile
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
FIXED_DATE = (2020, 1, 1, 0, 0, 0)
# What ships, from the win32 build folder.
EXECUTABLES = ("morvask.exe", "morvask-watch.exe")


def contents(build):
    """(name in the zip, bytes) for every file, in order."""
    for exe in EXECUTABLES:
        yield exe, (Path(build) / exe).read_bytes()
    yield "morvask.ini", crlf(REPO / "examples" / "morvask.ini")
    for example in sorted((REPO / "examples").glob("morvask-*.ini")):
        yield example.name, crlf(example)
    for doc in sorted((REPO / "docs").iterdir()):
        yield f"docs/{doc.name}", crlf(doc)


# Files of these kinds are text; any other (a picture) ships as it is.
TEXT_SUFFIXES = (".md", ".xml", ".ini", ".txt")


def crlf(path):
    """Text files get Windows line ends, whatever the checkout has."""
    data = path.read_bytes()
    if path.suffix not in TEXT_SUFFIXES:
        return data
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def main(build, version, out_dir):
    target = Path(out_dir) / f"morvask-{version}-win32.zip"
    with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, data in contents(build):
            info = zipfile.ZipInfo(f"morvask-{version}/{name}", FIXED_DATE)
            info.external_attr = 0o644 << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)
    print(target)


if __name__ == "__main__":
    main(*sys.argv[1:4])

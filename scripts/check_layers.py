"""Checks that every file of src/ includes only from its own room or from
rooms below it, so that the layout keeps telling the architecture:

    common < platform < settings < log < actions < app, watch

app and watch are the two programs' rooms; neither includes the other.
Prints each include that runs upward or sideways, and exits with 1 if any.
"""
import re
import sys
from pathlib import Path

RANKS = {"common": 0, "platform": 1, "settings": 2, "log": 3, "actions": 4,
         "app": 5, "watch": 5}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/[^"]+"', re.M)


def faults(src):
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cc"):
            continue
        room = path.relative_to(src).parts[0]
        for included in INCLUDE.findall(path.read_text()):
            if included != room and RANKS[included] >= RANKS[room]:
                yield f"{path.relative_to(src.parent)}: includes {included}/"


def main():
    src = Path(__file__).resolve().parents[1] / "src"
    found = list(faults(src))
    for fault in found:
        print(f"layers: {fault}, a room not below its own")
    sys.exit(1 if found else 0)


if __name__ == "__main__":
    main()

#!/bin/bash
# The benchmark: installs what is missing, builds, and measures morvask.exe
# under Wine on this machine. Prints a table of figures and targets. The
# timings are of the build this host's Wine runs (which one, and why, is
# printed first); size and imports are of the shipped win32 build.
set -euo pipefail
source "$(dirname "$0")/wine-session.sh"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target morvask morvask-watch standin_keys >/dev/null
python3 tests/bench/bench.py "$@"

#!/bin/bash
# The benchmark: installs what is missing, builds, and measures morvask.exe
# under Wine on this machine. Prints a table of figures and targets.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 >/dev/null
export MORVASK_BUILD_DIR="$PWD/build/win32"
export WINEPREFIX="$MORVASK_BUILD_DIR/wineprefix"
python3 tests/system/wine_prefix.py prepare >/dev/null
trap 'python3 tests/system/wine_prefix.py stop' EXIT
python3 tests/bench/bench.py "$@"

#!/bin/bash
# Installs what is missing, builds morvask.exe and runs it under Wine on the
# example settings file, with stand-ins for the programs it drives, printing
# what each of them received.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 >/dev/null
export MORVASK_BUILD_DIR="$PWD/build/win32"
export WINEPREFIX="$MORVASK_BUILD_DIR/wineprefix"
python3 tests/system/wine_prefix.py prepare >/dev/null
trap 'python3 tests/system/wine_prefix.py stop' EXIT
python3 scripts/demo.py

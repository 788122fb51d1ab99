#!/bin/bash
# Builds the release: build/win32/morvask-<version>-win32.zip holding
# morvask.exe and morvask-watch.exe, the example settings file and the user
# documentation.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target release_zip

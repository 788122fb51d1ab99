#!/bin/bash
# Installs what is missing, then builds and runs every test: the unit tests
# natively under AddressSanitizer and UBSan, and the system tests of the
# real morvask.exe under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake --preset native
cmake --build --preset native
ctest --preset native

cmake --preset win32
cmake --build --preset win32
ctest --preset win32

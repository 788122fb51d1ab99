#!/bin/bash
# Installs what is missing, then builds and runs every test: the unit tests
# natively under AddressSanitizer and UBSan, the static checks, the two
# fuzzers for a bounded time, and the system and release tests of the real
# morvask.exe under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake --preset native
cmake --build --preset native
ctest --preset native

bash scripts/lint.sh

cmake --preset fuzz -DMORVASK_FUZZ_SECONDS="${MORVASK_FUZZ_SECONDS:-30}"
cmake --build --preset fuzz
ctest --preset fuzz

cmake --preset win32
cmake --build --preset win32
ctest --preset win32

#!/bin/bash
# Installs what is missing, then builds and runs every test: the unit tests
# natively under AddressSanitizer and UBSan, the static checks, the two
# fuzzers for a bounded time, the release checks of the shipped win32
# morvask.exe, and the system tests of the real executable under Wine: the
# win32 build under 32-bit Wine where this host runs 32-bit programs, the
# win64 build under 64-bit Wine where it does not, and both where both run
# (MORVASK_WINE=win32 or win64 forces one; see tests/system/wine_host.py).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

# A system test that cannot run on this host fails the run with its reason
# rather than skipping, which would read as a pass.
export MORVASK_NO_SKIP=1

# Decided first, so that a host without a usable Wine fails before building.
wine_builds=$(python3 tests/system/wine_host.py test-builds)

cmake --preset native
cmake --build --preset native
ctest --preset native

bash scripts/lint.sh

cmake --preset fuzz -DMORVASK_FUZZ_SECONDS="${MORVASK_FUZZ_SECONDS:-30}"
cmake --build --preset fuzz
ctest --preset fuzz

cmake --preset win32
cmake --build --preset win32
if grep -qx win32 <<<"$wine_builds"; then
  ctest --preset win32
else
  ctest --preset win32 -LE wine  # The checks that never run the executable.
fi

if grep -qx win64 <<<"$wine_builds"; then
  cmake --preset win64
  cmake --build --preset win64
  ctest --preset win64
fi

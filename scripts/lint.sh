#!/bin/bash
# Static checks: formatting (check only), cppcheck, and clang-tidy on the
# portable sources (it reads build/native/compile_commands.json, so the
# native preset must be configured first).
set -euo pipefail
cd "$(dirname "$0")/.."

sources=$(git ls-files 'src/*.cc' 'src/*.h' 'tests/*.cc' 'tests/*.h')
echo "lint: rooms include only from below"
python3 scripts/check_layers.py

echo "lint: clang-format"
clang-format --dry-run --Werror $sources

echo "lint: cppcheck"
cppcheck --quiet --std=c++17 --enable=warning,performance,portability,style \
  --suppress=useStlAlgorithm --library=googletest --inline-suppr \
  --error-exitcode=1 -I src -I tests/unit src tests/unit tests/fuzz tests/standins

echo "lint: clang-tidy"
portable=$(git ls-files 'src/*.cc' | grep -v '_win32\.cc$')
if ! report=$(clang-tidy -p build/native --quiet $portable 2>&1); then
  grep -v 'warnings generated' <<<"$report"
  exit 1
fi
echo "lint: clean"

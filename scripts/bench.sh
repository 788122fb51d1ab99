#!/bin/bash
# The benchmark: installs what is missing, builds, and measures morvask.exe
# under Wine on this machine. Prints a table of figures and targets.
set -euo pipefail
source "$(dirname "$0")/wine-session.sh"
python3 tests/bench/bench.py "$@"

#!/bin/bash
# Installs what is missing, builds morvask.exe and runs it under Wine on the
# example settings file, with stand-ins for the programs it drives, printing
# what each of them received; then starts morvask-watch and unplugs a
# stand-in mains supply. On a host that cannot run 32-bit programs it runs
# the 64-bit build of the same sources under 64-bit Wine; its first line
# says which build and Wine ran, and why.
set -euo pipefail
source "$(dirname "$0")/wine-session.sh"
python3 scripts/demo.py

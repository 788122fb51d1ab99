#!/bin/bash
# Installs what is missing, builds morvask.exe and runs it under Wine on the
# example settings file, with stand-ins for the programs it drives, printing
# what each of them received.
set -euo pipefail
source "$(dirname "$0")/wine-session.sh"
python3 scripts/demo.py

# Sourced by the scripts that run morvask.exe under Wine: installs what is
# missing, builds the win32 preset, and prepares the private Wine prefix,
# whose server is stopped again when the calling script exits.
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 >/dev/null
export MORVASK_BUILD_DIR="$PWD/build/win32"
export WINEPREFIX="$MORVASK_BUILD_DIR/wineprefix"
python3 tests/system/wine_prefix.py prepare >/dev/null
trap 'python3 tests/system/wine_prefix.py stop' EXIT

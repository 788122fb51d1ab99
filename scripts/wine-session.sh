# Sourced by the scripts that run morvask.exe under Wine: installs what is
# missing, chooses the build and the Wine this host runs (and says which and
# why), builds it, and prepares its private Wine prefix, whose server is
# stopped again when the calling script exits.
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/install-deps.sh
MORVASK_WINE_BUILD=$(python3 tests/system/wine_host.py choose)
cmake --preset "$MORVASK_WINE_BUILD" >/dev/null
cmake --build --preset "$MORVASK_WINE_BUILD" >/dev/null
export MORVASK_WINE_BUILD
export MORVASK_BUILD_DIR="$PWD/build/$MORVASK_WINE_BUILD"
export WINEPREFIX="$MORVASK_BUILD_DIR/wineprefix"
python3 tests/system/wine_prefix.py prepare >/dev/null
trap 'python3 tests/system/wine_prefix.py stop' EXIT

#!/bin/bash
# Makes docs/notice.png, the guide's picture of morvask's own notice, from
# the real morvask.exe (the win32 build) under Wine's X11 driver on a
# virtual display (Xvfb) in a prefix of its own, inside a Wine desktop
# window so that the screen has a desktop behind the notice. Run it again
# after changing how the notice looks.
#
#   bash scripts/notice_picture.sh [OUTPUT_PNG]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh xvfb x11-apps imagemagick
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target morvask >/dev/null

out=${1:-docs/notice.png}
build=build/win32
work=$build/notice-picture
prefix=$work/prefix
display=:97
rm -rf "$work/box"
mkdir -p "$work/box"
cp "$build/morvask.exe" "$work/box/"
printf '[Main]\r\nNotice=1\r\nNoticeTime=6000\r\n[1]\r\nName=Cool and quiet\r\n' \
  >"$work/box/morvask.ini"

Xvfb "$display" -screen 0 1024x640x24 -nolisten tcp &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; WINEPREFIX=$prefix wineserver -k 2>/dev/null || true' EXIT
export DISPLAY=$display WINEPREFIX=$PWD/$prefix WINEDEBUG=-all \
  WINEDLLOVERRIDES="mscoree,mshtml="
unset WAYLAND_DISPLAY WINEARCH
[ -d "$prefix" ] || WINEARCH=win32 wineboot -i >/dev/null 2>&1
wineserver -w
# A 640x360 desktop window; the notice sits at the bottom centre of it.
wine explorer /desktop=morvask,640x360 "$work/box/morvask.exe" profile 1 \
  >/dev/null 2>&1 &
sleep 4  # Started, applied (nothing to apply: "applied"), and drawn.
xwd -root -silent -display "$display" >"$work/screen.xwd"
# The bottom of the desktop window, which Xvfb places at the top left.
convert "$work/screen.xwd" -crop 640x150+0+210 +repage -strip \
  -define png:exclude-chunks=date,time "$out"
echo "wrote $out"

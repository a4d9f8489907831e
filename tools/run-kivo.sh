#!/usr/bin/env bash
# Starts kivo.exe under Wine for a person to use.
#   run-kivo.sh [KIVO_EXE | BUILD_DIR]   (default: build/win64)
# The Wine prefix is kept in build/wine-prefix, so accounts and settings stay
# from one run to the next. On a desktop with a window manager the program
# runs directly; on a bare X server it runs in a Wine virtual desktop (with a
# taskbar and a notification area); with no X display at all it runs on a
# private Xvfb display whose number is printed, for screenshots.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-$root/build/win64}
[ -d "$exe" ] && exe=$exe/src/app/kivo.exe
exe=$(realpath -m "$exe")
[ -f "$exe" ] || { echo "run-kivo: $exe not found; build the win64 preset first" >&2; exit 1; }

if [ -z "${DISPLAY:-}" ] && [ -z "${KIVO_RUN_IN_XVFB:-}" ]; then
  KIVO_RUN_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x900x24" "$0" "$exe"
fi

# shellcheck source=wine-prefix.sh
. "$root/tools/wine-prefix.sh"
kivo_prefix "$root"

# A window manager announces itself on the root window.
has_window_manager() {
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

cd "$(dirname "$exe")"
if [ -n "${KIVO_RUN_IN_XVFB:-}" ]; then
  echo "run-kivo: no X display; running on Xvfb display $DISPLAY (screenshot: DISPLAY=$DISPLAY import -window root shot.png)"
  wine explorer /desktop=kivo,1024x768 "$exe"
elif has_window_manager; then
  wine "$exe"
else
  wine explorer /desktop=kivo,1024x768 "$exe"
fi

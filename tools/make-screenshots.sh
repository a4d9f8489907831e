#!/usr/bin/env bash
# The pictures of docs/screenshots/, taken from a fresh run of the end-to-end
# journey (tests/e2e/journey.sh) so they always show the current program:
#   make-screenshots.sh [BUILD_DIR]   (default: build/win64; configured already)
# main-window.png  the main window with mail, a message read in the preview
# tray.png         the notification area with the icon and its count badge
# settings.png     the Settings sheet, when the journey takes its picture
#                  (shoot_settings=1 in tests/e2e/journey.sh)
# They are cut to what they show and stored with a small palette, so the
# whole folder stays a few hundred KB at most.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build/win64}")
out=$root/docs/screenshots
shots=$build/shots/journey
[ -f "$build/CTestTestfile.cmake" ] || { echo "make-screenshots: $build is not a configured build folder" >&2; exit 1; }

cmake --build "$build" -j2 --target kivo kivo_sound send_command read_list window_probe kivo-diag fake-pop3
ctest --test-dir "$build" -R '^e2e_journey$' --output-on-failure

# crop SHOT RECT_FILE: the part of the desktop picture that RECT_FILE names.
crop_args() {
  local x y w h
  read -r x y w h <"$1"
  echo "${w}x${h}+${x}+${y}"
}
mkdir -p "$out"
convert "$shots/07_seen.png" -crop "$(crop_args "$shots/main.rect")" +repage -strip PNG8:"$out/main-window.png"

# The desktop's lower right corner with the end of the taskbar (and the
# icon's tooltip when the journey had the pointer bring it up), enlarged
# twice without smoothing so it reads as on a screen.
tray_shot=$shots/12_tray_tooltip.png
[ -f "$tray_shot" ] || tray_shot=$shots/11_tray_badge.png
read -r tx ty tw th <"$shots/tray.rect"
convert "$tray_shot" -crop "220x$((th + 50))+$((tx + tw - 220))+$((ty - 50))" +repage \
  -filter point -resize 200% -strip PNG8:"$out/tray.png"

if [ -f "$shots/13_settings.png" ] && [ -f "$shots/settings.rect" ]; then
  convert "$shots/13_settings.png" -crop "$(crop_args "$shots/settings.rect")" +repage -strip PNG8:"$out/settings.png"
else
  echo "make-screenshots: no picture of the Settings sheet (switched off in tests/e2e/journey.sh); settings.png left as it is"
fi
ls -l "$out"
du -sh "$out"

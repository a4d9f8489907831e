#!/usr/bin/env bash
# The tray icon end to end, run inside a throw-away Wine prefix by
# tools/wine-run.sh --display --script:
#   tray.sh KIVO_EXE SHOTS_DIR KIVO_DIAG_EXE FAKE_POP3
# kivo.exe on a Wine desktop with a taskbar, hidden at start, FlashIcon on,
# one account whose server is not up yet: its first check fails, so the icon
# carries the red "failed" badge and no green. Then the server comes up (it
# records every command), nothing reaches it until the account is chosen
# from the tray menu's Check submenu with a right click and the keys; that
# check finds three messages, the green badge shows in the notification
# area, and shots taken while it flashes differ there. Exit from the tray
# menu ends the program and takes the icon away. Shots go to SHOTS_DIR.
set -u
exe=$1
shots=$2
kivo_diag=$3
fake_pop3=$4
work=$(mktemp -d)
server=
desktop=
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; [ -n "$desktop" ] && kill "$desktop" 2>/dev/null; rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# shellcheck source=../support/wait_for.sh
. "$(dirname "$0")/../support/wait_for.sh"

# ImageMagick's own convert, whatever else is on the PATH under that name.
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert
# The notification area: the right end of the taskbar of a 1024x768 desktop.
area_x=928
area_y=744
area=96x24+$area_x+$area_y
shot_area() { import -window root -crop "$area" +repage "$1"; }
# Pixels of one exact colour (#RRGGBB) in a picture.
pixels() { "$convert" "$1" txt:- | grep -c " #$2 " ; }
# The middle of the pixels of one colour, in screen coordinates.
middle_of() {
  "$convert" "$1" txt:- |
    awk -F'[,: ]+' -v c="#$2" -v dx="$area_x" -v dy="$area_y" \
      '$0 ~ " " c " " { x += $1; y += $2; n++ } END { if (n) printf "%d %d\n", dx + x / n, dy + y / n }'
}
green=008C00   # the badge of a normal state, RGB(0, 140, 0)
red=8C0000     # the badge of a failed account

mkdir -p "$work/mail" "$work/app" "$shots"
for i in 1 2 3; do
  printf 'From: Sender %s <sender%s@example.com>\r\nTo: alice@example.com\r\nSubject: Tray %s\r\n\r\nHello %s.\r\n' \
    "$i" "$i" "$i" "$i" >"$work/mail/$i.eml"
done
# A port nobody listens on yet; the server takes it later.
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cp "$exe" "$work/app/kivo.exe"
cp "$kivo_diag" "$work/app/kivo-diag.exe"
wine "$work/app/kivo-diag.exe" accounts --add alice --host 127.0.0.1 --port "$port" --user alice \
  --password secret --interval 3600 </dev/null >"$work/make.log" 2>&1 || fail "no kivo.dat: $(cat "$work/make.log")"
for value in FlashIcon HideStart; do
  wine reg add 'HKCU\Software\Kivo, Inc.\Kivo\Settings' /v "$value" /t REG_DWORD /d 1 /f </dev/null >/dev/null 2>&1
done

start=$SECONDS
wine explorer /desktop=kivo,1024x768 "$work/app/kivo.exe" </dev/null >"$work/kivo.log" 2>&1 &
desktop=$!

failed_badge() { shot_area "$work/area.png" && [ "$(pixels "$work/area.png" "$red")" -gt 20 ]; }
wait_for 60 failed_badge || fail "no red badge in the notification area within 60 s"
import -window root "$shots/tray_failed.png"
cp "$work/area.png" "$shots/tray_area_failed.png"
[ "$(pixels "$work/area.png" "$green")" = 0 ] || fail "green in the notification area before any mail"
# The badge is on the icon: that is where the clicks go.
read -r icon_x icon_y < <(middle_of "$work/area.png" "$red")
echo "the icon is at $icon_x,$icon_y"

"$fake_pop3" serve --port "$port" --maildir "$work/mail" --user alice:secret --record "$work/record" \
  >"$work/server.log" 2>&1 &
server=$!
connects() { grep -c '^<connect>' "$work/record" 2>/dev/null || echo 0; }
listening() { grep -q 'messages on 127.0.0.1' "$work/server.log"; }
wait_for 10 listening || fail "the fake server did not start: $(cat "$work/server.log")"
# The failed account waits its whole interval: nothing may come now.
sleep 2
[ "$(connects)" = 0 ] || fail "the server saw the program before the menu was used: $(cat "$work/record")"
before=0

# The menu shows above the icon; its keys are sent once it is up.
menu_region=200x200+824+544
import -window root -crop "$menu_region" +repage "$work/no_menu.png"
menu_up() {
  import -window root -crop "$menu_region" +repage "$work/menu.png" &&
    [ "$(compare -metric AE "$work/no_menu.png" "$work/menu.png" null: 2>&1 | cut -d. -f1)" -gt 500 ]
}
open_menu() {
  xdotool mousemove "$icon_x" "$icon_y" click 3
  wait_for 10 menu_up || fail "no tray menu after a right click on the icon"
}

# Right click on the icon; Down to "Check", into it, past "All" to alice.
open_menu
import -window root "$shots/tray_menu.png"
xdotool key Down Down Right
sleep 0.5
import -window root "$shots/tray_menu_check.png"
xdotool key Down Return
logged_in() { [ "$(connects)" -gt "$before" ] && grep -q -E '^(APOP|USER) alice' "$work/record"; }
wait_for 30 logged_in || fail "no login after the account was chosen: $(cat "$work/record" 2>/dev/null)"
grep -q '^QUIT' "$work/record" || wait_for 20 grep -q '^QUIT' "$work/record" || fail "the check did not end"
echo "the server saw, after the menu: $(tr '\n' ' ' <"$work/record" | cut -c1-200)"

mail_badge() { shot_area "$work/area.png" && [ "$(pixels "$work/area.png" "$green")" -gt 20 ]; }
wait_for 30 mail_badge || fail "no green badge in the notification area after the check"
import -window root "$shots/tray_mail.png"
cp "$work/area.png" "$shots/tray_area_mail.png"
[ "$(pixels "$work/area.png" "$red")" = 0 ] || fail "the red badge stayed after a good check"

# Flashing: the badge and the flash picture take turns every 500 ms.
with_badge=0
without_badge=0
for i in 1 2 3 4 5 6 7 8; do
  shot_area "$work/flash_$i.png"
  if [ "$(pixels "$work/flash_$i.png" "$green")" -gt 20 ]; then with_badge=$i; else without_badge=$i; fi
  [ "$with_badge" != 0 ] && [ "$without_badge" != 0 ] && break
  sleep 0.3
done
[ "$with_badge" != 0 ] && [ "$without_badge" != 0 ] ||
  fail "the icon did not flash: badge in $with_badge, none in $without_badge of the shots"
cp "$work/flash_$with_badge.png" "$shots/tray_flash_on.png"
cp "$work/flash_$without_badge.png" "$shots/tray_flash_off.png"
differ=$(compare -metric AE "$work/flash_$with_badge.png" "$work/flash_$without_badge.png" null: 2>&1)
echo "the two flash shots differ in $differ pixels"
[ "${differ%%.*}" -gt 20 ] 2>/dev/null || fail "the flash shots differ in $differ pixels only"

# Exit, the last item of the tray menu.
open_menu
xdotool key Up Return
icon_gone() {
  shot_area "$work/area.png" &&
    [ "$(pixels "$work/area.png" "$green")" = 0 ] && [ "$(pixels "$work/area.png" "$red")" = 0 ]
}
wait_for 30 icon_gone || fail "the icon was still there 30 s after Exit"
cp "$work/area.png" "$shots/tray_area_after_exit.png"
# The desktop closes once its last program has ended.
ended() { ! kill -0 "$desktop" 2>/dev/null; }
wait_for 30 ended || fail "the program was still running 30 s after Exit"
echo "PASS in $((SECONDS - start)) s"

#!/usr/bin/env bash
# A new user's first session with Kivo, end to end, run inside a throw-away
# Wine prefix by tools/wine-run.sh --display --script:
#   journey.sh KIVO_EXE SHOTS_DIR SEND_COMMAND_EXE READ_LIST_EXE WINDOW_PROBE_EXE KIVO_DIAG_EXE FAKE_POP3
# The program runs in a Wine virtual desktop (taskbar and notification area
# included), in a folder of its own with its sound. Everything the user does
# is typed on the keyboard into the focused control; what the program shows
# is read from outside its process, as a user reads it:
#   the first start asks for an account; the wizard is typed through;
#   the account dialog gets the fake server's port; Check fills the list;
#   a message focused for 3 s becomes seen; a message marked with Ctrl+D is
#   deleted on the server at the next check, after the confirmation;
#   the tray icon carries the badge; Exit ends the program with 0 and the
#   registry and kivo.dat hold what was set.
# Every step leaves a picture of the whole desktop in SHOTS_DIR (NN_step.png),
# and the windows' rectangles beside them (NAME.rect: X Y WIDTH HEIGHT) for
# tools/make-screenshots.sh.
set -u
exe=$1
shots=$2
send=$3
read_list=$4
probe=$5
kivo_diag=$6
fake_pop3=$7

# The Settings sheet's picture (command 1010 opens a window titled "Settings").
shoot_settings=1

title='Kivo Email Checker'
wizard='Accounts Wizard'
# The wizard's buttons (the property sheet's own ids).
next_button=12324
finish_button=12325
work=$(mktemp -d)
server=
kivo=
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -d "$shots" ] && import -window root "$shots/failure.png" 2>/dev/null && echo "picture of the failure: $shots/failure.png" >&2
  [ -n "$kivo" ] && kill "$kivo" 2>/dev/null
  exit 1
}
step() { echo "$(date +%T) $*"; }

# shellcheck source=../support/wait_for.sh
. "$(dirname "$0")/../support/wait_for.sh"

win() { wine "$@" </dev/null 2>/dev/null | tr -d '\r'; }
shown() { wine "$probe" shown "$1" </dev/null >/dev/null 2>&1; }
gone() { ! shown "$1"; }
focus_is() { [ "$(win "$probe" focus "$1" | cut -d' ' -f1)" = "$2" ]; }
enabled() { wine "$probe" enabled "$1" "$2" </dev/null >/dev/null 2>&1; }
rows() { win "$read_list" "$1" "$2"; }
running() { kill -0 "$1" 2>/dev/null; }
ended() { ! running "$1"; }
# A picture once the screen has settled: two shots a moment apart that differ
# in no more than a blinking caret's pixels (bounded; the last one is kept).
settled() {
  import -window root "$work/a.png" 2>/dev/null || return 1
  sleep 0.2
  import -window root "$work/b.png" 2>/dev/null || return 1
  [ "$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 | cut -d' ' -f1)" -le 40 ]
}
shoot() {
  wait_for 5 settled || true
  cp "$work/b.png" "$shots/$1.png" 2>/dev/null || import -window root "$shots/$1.png" || fail "screenshot $1 failed"
}
keep_rect() { win "$probe" rect "$1" >"$shots/$2.rect"; }
# Waits until the focus is on the control, then types into it.
type_into() {
  local window=$1 id=$2 text=$3
  wait_for 10 focus_is "$window" "$id" ||
    fail "the focus in '$window' is on $(win "$probe" focus "$window"), expected control $id"
  xdotool type --delay 40 "$text"
}

rm -rf "$shots"
mkdir -p "$shots" "$work/mail" "$work/app"

# The mailbox: three plain messages.
for i in 1 2 3; do
  printf 'From: Sender %s <sender%s@example.com>\r\nTo: journey@example.com\r\nSubject: Message number %s\r\nDate: Mon, 7 Dec 2026 10:0%s:00 +0000\r\n\r\nHello, this is message %s.\r\n' \
    "$i" "$i" "$i" "$i" "$i" >"$work/mail/$i.eml"
done
"$fake_pop3" serve --port-file "$work/port" --maildir "$work/mail" --user journey:secret \
  --record "$work/commands" >"$work/server.log" 2>&1 &
server=$!
port_written() { [ -s "$work/port" ]; }
wait_for 10 port_written || fail "the fake server did not start: $(cat "$work/server.log")"
port=$(tr -d '[:space:]' <"$work/port")
sessions() { local n; n=$(grep -c '^<connect>' "$work/commands" 2>/dev/null); echo "${n:-0}"; }

cp "$exe" "$work/app/kivo.exe"
cp "$(dirname "$exe")/kivo.wav" "$work/app/kivo.wav" || fail "no kivo.wav beside $exe"
cp "$kivo_diag" "$work/app/kivo-diag.exe"

# A virtual desktop, as on a Windows machine: every window of the prefix on
# one screen with a taskbar and a notification area.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f </dev/null >/dev/null 2>&1

start=$SECONDS
step "start $exe"
wine "$work/app/kivo.exe" </dev/null >"$work/kivo.log" 2>&1 &
kivo=$!

# 1. The first start asks for an account.
wait_for 60 shown "$wizard" || fail "no '$wizard' at the first start within 60 s"
shown "$title" && fail "the main window showed before the first-start wizard was answered"

# 2. The wizard, typed: name; Next; server; Next; user, password; Finish.
enabled "$wizard" $next_button && fail "Next is enabled before a name was typed"
type_into "$wizard" 1013 Journey
wait_for 10 enabled "$wizard" $next_button || fail "Next stays disabled with a name typed"
shoot 01_wizard_name
xdotool key Return
type_into "$wizard" 1016 127.0.0.1
shoot 02_wizard_server
xdotool key Return
type_into "$wizard" 1014 journey
enabled "$wizard" $finish_button && fail "Finish is enabled without a password"
xdotool key Tab
type_into "$wizard" 1015 secret
wait_for 10 enabled "$wizard" $finish_button || fail "Finish stays disabled with user and password typed"
shoot 03_wizard_login
xdotool key Return
wait_for 30 gone "$wizard" || fail "the wizard did not close on Finish"
wait_for 30 shown "$title" || fail "no window titled '$title' after the wizard"
step "wizard done, window up after $((SECONDS - start)) s"

# Account, Server, User, Total msgs, New messages, State, ...
account_row() { rows "$title" 1012 | grep "^Journey	" | cut -f1-6; }
# The wizard's account has the standard port 110, where nobody listens on
# this machine's loopback: its first check, at once, fails.
checked_in_vain() { account_row | grep -q '	failed$'; }
wait_for 60 checked_in_vain || fail "the new account's row reads: $(account_row)"
account_row | grep -q "^Journey	127.0.0.1	journey	0	0	" || fail "the new account's row reads: $(account_row)"
shoot 04_first_check
win "$probe" tray >"$shots/tray.rect"
read -r tray_x tray_y tray_w tray_h <"$shots/tray.rect" || fail "no notification area on the desktop"
[ "${tray_w:-0}" -gt 0 ] || fail "no notification area on the desktop"

# The badge's colours (src/appcore/tray_decisions.cpp):
# red while the account has failed, green with mail and nothing failed or
# being checked. Counted in the right end of the taskbar, where the
# notification area's icons are.
badge_red='rgb(140,0,0)'
badge_green='rgb(0,140,0)'
pixels_of() {
  convert "$2" -crop "160x${tray_h}+$((tray_x + tray_w - 160))+${tray_y}" +repage \
    -fill black +opaque "$1" -fill white -opaque "$1" -format '%[fx:round(mean*w*h)]' info:
}
[ "$(pixels_of "$badge_green" "$shots/04_first_check.png")" = 0 ] ||
  fail "the tray shows the green badge before any mail ($(pixels_of "$badge_green" "$shots/04_first_check.png") pixels)"
[ "$(pixels_of "$badge_red" "$shots/04_first_check.png")" -ge 20 ] ||
  fail "the tray shows no red badge for the failed account ($(pixels_of "$badge_red" "$shots/04_first_check.png") pixels)"

# 3. The account dialog, opened on the selected account; the port is typed
# into its field (reached by its label's mnemonic, Alt+O), then OK.
wine "$send" "$title" 1005 </dev/null >"$work/send.log" 2>&1 || fail "could not send Edit: $(cat "$work/send.log")"
wait_for 30 shown 'Account Edit' || fail "no 'Account Edit' dialog for command 1005"
wait_for 10 focus_is 'Account Edit' 1013 || fail "the account dialog did not open on its first field"
xdotool key alt+o
type_into 'Account Edit' 1017 "$port"
[ "$(win "$read_list" 'Account Edit' 1017 edit)" = "$port" ] ||
  fail "the port field reads '$(win "$read_list" 'Account Edit' 1017 edit)', typed $port"
shoot 05_account_edit
xdotool key Return
wait_for 30 gone 'Account Edit' || fail "the account dialog did not close on OK"

# 4. OK checks the edited account at once: the list fills without a Check.
wait_for 10 focus_is "$title" 1012 || fail "the focus is not back on the accounts list after the dialog"
checked() { account_row | grep -q "^Journey	127.0.0.1	journey	3	3	sleeping$"; }
wait_for 60 checked || fail "after the edit the account's row reads: $(account_row) (server: $(cat "$work/commands" 2>/dev/null))"
subjects() { rows "$title" 1051 | cut -f2 | sed 's/^ *//' | tr '\n' ','; }
listed() { [ "$(subjects)" = "$1" ]; }
wait_for 30 listed "Message number 1,Message number 2,Message number 3," ||
  fail "the messages list reads: $(subjects)"
shoot 06_first_mail
step "first check listed three messages after $((SECONDS - start)) s"

# 5. Tab to the messages list, Down to its first message: the preview shows
# it, and after 3 s of focus it is seen, so the row's New count drops.
xdotool key Tab Down
wait_for 10 focus_is "$title" 1051 || fail "Tab did not reach the messages list"
one_seen() { account_row | grep -q "^Journey	127.0.0.1	journey	3	2	sleeping$"; }
wait_for 20 one_seen || fail "the focused message did not become seen: $(account_row)"
preview_shown() { win "$read_list" "$title" 2 edit | grep -q "Hello, this is message 1."; }
wait_for 10 preview_shown || fail "the preview reads: $(win "$read_list" "$title" 2 edit)"
shoot 07_seen
keep_rect "$title" main

# 6. Ctrl+D marks it for deletion (its row shows picture 0, the deletion
# mark; the others none); Shift+Tab and Enter check again; the confirmation
# lists it alone; Enter approves; the server gets DELE.
row_pictures() { win "$probe" images "$title" 1051 | sed 's/^-[0-9]*$/none/' | tr '\n' ','; }
[ "$(row_pictures)" = "none,none,none," ] || fail "before Ctrl+D the rows show the pictures $(row_pictures)"
xdotool key ctrl+d
marked() { [ "$(row_pictures)" = "0,none,none," ]; }
wait_for 10 marked || fail "after Ctrl+D the rows show the pictures $(row_pictures)"
shoot 08_marked
xdotool key shift+Tab
wait_for 10 focus_is "$title" 1012 || fail "Shift+Tab did not reach the accounts list"
xdotool key Return
wait_for 60 shown Confirmation || fail "no Confirmation for the marked message at the next check"
confirm_list() { rows Confirmation 1147 | cut -f2 | sed 's/^ *//' | tr '\n' ','; }
[ "$(confirm_list)" = "Message number 1," ] || fail "the confirmation lists: $(confirm_list)"
shoot 09_confirmation
wait_for 10 focus_is Confirmation 1147 || fail "the confirmation does not have the focus"
xdotool key Return
wait_for 30 gone Confirmation || fail "the confirmation did not close on Enter"
dele_sent() { grep -qx 'DELE 1' "$work/commands"; }
wait_for 30 dele_sent || fail "the server got no DELE 1: $(cat "$work/commands")"
[ "$(grep -c '^DELE' "$work/commands")" = 1 ] || fail "the server got more than one DELE: $(cat "$work/commands")"
wait_for 30 listed "Message number 2,Message number 3," || fail "after the deletion the list reads: $(subjects)"
# One more check: the server's mailbox has two messages left, nothing more is deleted.
sessions_before=$(sessions)
wait_for 10 focus_is "$title" 1012 || fail "the focus is not back on the accounts list after the confirmation"
xdotool key Return
third_check() { [ "$(sessions)" -gt "$sessions_before" ] && [ "$(tail -n 1 "$work/commands")" = QUIT ]; }
wait_for 60 third_check || fail "no third check: $(cat "$work/commands")"
two_left() { account_row | grep -q "^Journey	127.0.0.1	journey	2	2	sleeping$"; }
wait_for 30 two_left || fail "after the third check the row reads: $(account_row)"
[ "$(grep -c '^DELE' "$work/commands")" = 1 ] || fail "the third check deleted again: $(cat "$work/commands")"
listed "Message number 2,Message number 3," || fail "after the third check the list reads: $(subjects)"
shoot 10_deleted
step "deleted on the server after $((SECONDS - start)) s"

# 7. The notification area: the icon with its green badge.
badge_shown() {
  import -window root "$work/tray.png" 2>/dev/null || return 1
  [ "$(pixels_of "$badge_green" "$work/tray.png")" -ge 20 ] && [ "$(pixels_of "$badge_red" "$work/tray.png")" = 0 ]
}
wait_for 20 badge_shown || fail "no green badge in the notification area ($(pixels_of "$badge_green" "$work/tray.png") pixels)"
cp "$work/tray.png" "$shots/11_tray_badge.png"
# The pointer on the badge brings the icon's tooltip up (for the pictures:
# a tooltip that does not come is no failure here).
read -r bx by bw bh < <(convert "$work/tray.png" -crop "160x${tray_h}+$((tray_x + tray_w - 160))+${tray_y}" +repage \
  -fill black +opaque "$badge_green" -fill white -opaque "$badge_green" -trim -format '%X %Y %w %h' info: | tr -d +)
xdotool mousemove $((tray_x + tray_w - 160 + bx + bw / 2)) $((tray_y + by + bh / 2))
tooltip_up() {
  import -window root "$work/tip.png" 2>/dev/null &&
    [ "$(compare -metric AE "$work/tray.png" "$work/tip.png" null: 2>&1 | cut -d' ' -f1)" -gt 300 ]
}
if wait_for 10 tooltip_up; then shoot 12_tray_tooltip; else step "no tooltip over the tray icon"; fi
xdotool mousemove 500 500

# The Settings sheet, for the pictures of the documentation.
if [ "$shoot_settings" = 1 ]; then
  wine "$send" "$title" 1010 </dev/null >"$work/send.log" 2>&1 || fail "could not send Settings"
  wait_for 30 shown Settings || fail "no window titled 'Settings' for command 1010"
  shoot 13_settings
  keep_rect Settings settings
  xdotool key Escape
  wait_for 30 gone Settings || fail "the Settings sheet did not close on Escape"
fi

# 8. Exit: the program ends within 5 s with 0 and has saved its settings.
exit_start=$(date +%s.%N)
wine "$send" "$title" 40013 </dev/null >"$work/send.log" 2>&1 || fail "could not send Exit: $(cat "$work/send.log")"
wait_for 30 ended "$kivo" || fail "the program did not end within 30 s of Exit"
wait "$kivo"
rc=$?
kivo=
took=$(echo "$(date +%s.%N) - $exit_start" | bc)
[ "$rc" = 0 ] || fail "the program ended with $rc, expected 0"
step "ended $took s after Exit"
[ "$(echo "$took < 5" | bc)" = 1 ] || fail "Exit took $took s, expected under 5 s"

key='HKCU\Software\Kivo, Inc.\Kivo'
win reg query "$key\\Settings" >"$work/settings.reg"
for value in HideStart MainWindowPlacement WriteLog FlashIcon PlaySound SoundFile ShowNumberAllMsgs; do
  grep -q "^ *$value *REG_" "$work/settings.reg" || fail "the Settings key has no $value: $(cat "$work/settings.reg")"
done
# The font: the dialog's own, stored at the first start (not all zero).
grep -Eq '^ *Font *REG_BINARY *[0-9A-F]*[1-9A-F]' "$work/settings.reg" ||
  fail "the Settings key holds no font: $(grep Font "$work/settings.reg")"
win reg query "$key\\Accounts\\Journey" >"$work/account.reg"
grep -q '^ *MsgDeletion *REG_DWORD *0x40000448' "$work/account.reg" ||
  fail "the account's key does not hold its deletion mode: $(cat "$work/account.reg")"
grep -qi '^ *SoundFile *REG_SZ *.*kivo\.wav' "$work/account.reg" ||
  fail "the account's key does not hold the default sound: $(cat "$work/account.reg")"
# kivo.dat, beside the program, holds the account as typed.
(cd "$work/app" && win kivo-diag.exe accounts) >"$work/accounts.json"
grep -q '"name": *"Journey"' "$work/accounts.json" && grep -q '"host": *"127.0.0.1"' "$work/accounts.json" &&
  grep -q "\"port\": *$port[,}]" "$work/accounts.json" && grep -q '"user": *"journey"' "$work/accounts.json" ||
  fail "kivo.dat holds: $(cat "$work/accounts.json")"
echo "PASS in $((SECONDS - start)) s; pictures in $shots"

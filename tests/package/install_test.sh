#!/usr/bin/env bash
# The 64-bit installer end to end, in a throw-away Wine prefix on an X
# display (run by tools/wine-run.sh --display --script):
#   install_test.sh SETUP_EXE SEND_COMMAND_EXE
# Installs silently; checks the files, the Start menu shortcut and the
# uninstall entry; starts the installed kivo.exe, checks that the
# uninstaller refuses while it runs, and closes it; uninstalls
# silently and checks that the program went while the user's data stayed;
# installs again over that data, uninstalls with /REMOVEDATA and checks that
# the data, the settings key and the folder went too.
set -u
setup=$1
send=$2
title='Kivo Email Checker'
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
log=$work/wine.log

fail() {
  echo "FAIL: $*" >&2
  [ -n "${kivo:-}" ] && kill "$kivo" 2>/dev/null
  echo "--- wine output:" >&2; tail -20 "$log" >&2
  exit 1
}

# shellcheck source=../support/wait_for.sh
. "$(dirname "$0")/../support/wait_for.sh"

# Every Wine call keeps its output away from ours: the prefix's background
# processes it may start would otherwise hold our pipes open.
w() { wine "$@" </dev/null >>"$log" 2>&1; }
unix_path() { winepath -u "$(wine cmd /c echo "%$1%" </dev/null 2>>"$log" | tr -d '\r')" 2>>"$log"; }
reg_has() { w reg query "$1"; }
has_window() { [ "$(xdotool search --name "^${title}\$" 2>/dev/null | wc -l)" -ge 1 ]; }
ended() { ! kill -0 "$1" 2>/dev/null; }
# The uninstaller runs a copy of itself from the temporary folder and
# returns at once; the copy is done when the prefix's processes have ended.
settle() { timeout 120 wineserver -w || fail "Wine processes still running after 120 s"; }

install() {
  timeout 120 wine "$setup" /S </dev/null >>"$log" 2>&1
  local rc=$?
  [ "$rc" = 0 ] || fail "the installer ended with $rc"
}

start=$SECONDS
install
inst=$(unix_path LOCALAPPDATA)/Programs/Kivo
menu=$(unix_path APPDATA)/Microsoft/Windows/Start\ Menu/Programs
shortcut=$menu/$title.lnk
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kivo'
settings_key='HKCU\Software\Kivo, Inc.\Kivo'
program=(kivo.exe kivo.wav kivo.chm readme.txt licence.txt uninstall.exe)
data=(kivo.dat from.dat friends.dat kivo.log)

for f in "${program[@]}"; do
  [ -f "$inst/$f" ] || fail "$inst/$f was not installed"
done
[ -f "$shortcut" ] || fail "no Start menu shortcut at $shortcut"
python3 - "$shortcut" <<'PY' || fail "the shortcut does not lead to kivo.exe"
import sys
raw = open(sys.argv[1], "rb").read().lower()
sys.exit(0 if b"kivo.exe" in raw or "kivo.exe".encode("utf-16-le") in raw else 1)
PY
reg_has "$uninstall_key" || fail "no uninstall entry under $uninstall_key"
echo "installed in $((SECONDS - start)) s"

# The installed program starts, shows its window and ends cleanly.
wine "$inst/kivo.exe" </dev/null >>"$log" 2>&1 &
kivo=$!
wait_for 60 has_window || fail "no window titled '$title' within 60 s"

# While it runs, the uninstaller refuses (it would leave it half removed).
# _?= keeps the uninstaller in place, so its exit code is the answer.
timeout 60 wine "$inst/uninstall.exe" /S "_?=$(winepath -w "$inst" 2>>"$log")" </dev/null >>"$log" 2>&1
rc=$?
[ "$rc" = 3 ] || fail "uninstalling a running Kivo ended with $rc, expected 3"
[ -f "$inst/kivo.exe" ] || fail "uninstalling a running Kivo removed kivo.exe"
# The first start asks for an account; without one, Exit ends the program.
wizard_up() { [ "$(xdotool search --onlyvisible --name '^Accounts Wizard$' 2>/dev/null | wc -l)" -ge 1 ]; }
main_shown() { [ "$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | wc -l)" -ge 1 ]; }
wait_for 60 wizard_up || fail "no Accounts Wizard at the first start"
w "$send" 'Accounts Wizard' 2 || fail "could not cancel the wizard"
wait_for 60 main_shown || fail "the main window did not show after the wizard"
w "$send" "$title" 40013 || fail "could not send Exit"
wait_for 30 ended "$kivo" || fail "kivo.exe did not end within 30 s of Exit"
wait "$kivo"; rc=$?
kivo=
[ "$rc" = 0 ] || fail "kivo.exe ended with $rc"
reg_has "$settings_key" || fail "kivo.exe left no settings under $settings_key"
echo "kivo.exe ran in $((SECONDS - start)) s"

# The user's accounts, filters and log, as the program would leave them.
for f in "${data[@]}"; do printf 'KV10 %s of the user\r\n' "$f" >"$inst/$f"; done

# A plain silent uninstall removes the program and keeps the data.
w "$inst/uninstall.exe" /S
settle
for f in "${program[@]}"; do
  [ ! -e "$inst/$f" ] || fail "$f is still there after uninstalling"
done
[ ! -e "$shortcut" ] || fail "the Start menu shortcut is still there"
reg_has "$uninstall_key" && fail "the uninstall entry is still there"
for f in "${data[@]}"; do
  [ "$(cat "$inst/$f" 2>/dev/null)" = "$(printf 'KV10 %s of the user\r\n' "$f")" ] ||
    fail "$f did not survive a plain uninstall"
done
reg_has "$settings_key" || fail "a plain uninstall removed the settings"
echo "uninstalled, data kept, in $((SECONDS - start)) s"

# Installing again leaves the data alone; /REMOVEDATA then removes it all.
install
[ -f "$inst/kivo.exe" ] || fail "the second install put no kivo.exe"
[ "$(cat "$inst/kivo.dat")" = "$(printf 'KV10 kivo.dat of the user\r\n')" ] ||
  fail "installing over an old folder changed kivo.dat"
w "$inst/uninstall.exe" /S /REMOVEDATA
settle
[ ! -e "$inst" ] || fail "$inst is still there after uninstalling with /REMOVEDATA: $(ls -A "$inst")"
reg_has "$settings_key" && fail "the settings key survived /REMOVEDATA"
reg_has 'HKCU\Software\Kivo, Inc.' && fail "the empty vendor key survived /REMOVEDATA"

echo "PASS in $((SECONDS - start)) s"

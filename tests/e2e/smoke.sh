#!/usr/bin/env bash
# End-to-end smoke test of kivo.exe on an X display, run inside a throw-away
# Wine prefix by tools/wine-run.sh --display --script:
#   smoke.sh KIVO_EXE SHOTS_DIR SEND_COMMAND_EXE
# Starts the program, waits for its window, takes a screenshot, checks that a
# second copy ends at once with exit code 0 and leaves the first alone, checks
# that WM_CLOSE only hides it, ends it with the Exit command and checks its
# exit code, how fast it ended and the saved settings.
set -u
exe=$1
shots=$2
send=$3
title='Kivo Email Checker'
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -n "${first:-}" ] && kill "$first" 2>/dev/null
  exit 1
}

# shellcheck source=../support/wait_for.sh
. "$(dirname "$0")/../support/wait_for.sh"

windows_titled() { xdotool search --name "^${title}\$" 2>/dev/null | wc -l; }
has_window() { [ "$(windows_titled)" -ge 1 ]; }
running() { kill -0 "$1" 2>/dev/null; }
ended() { ! running "$1"; }

visible_titled() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l; }
wizard_up() { [ "$(visible_titled 'Accounts Wizard')" -ge 1 ]; }
wizard_gone() { ! wizard_up; }
window_shown() { [ "$(visible_titled "$title")" -ge 1 ]; }

start=$SECONDS
wine "$exe" </dev/null >"$work/first.log" 2>&1 &
first=$!
# A first start without accounts asks for one; cancelling leaves an empty list.
wait_for 60 wizard_up || fail "no Accounts Wizard at the first start within 60 s"
window_shown && fail "the main window showed before the first-start wizard was answered"
mkdir -p "$shots"
import -window root "$shots/first_start_wizard.png" || true
wine "$send" 'Accounts Wizard' 2 </dev/null >"$work/send.log" 2>&1 || fail "could not cancel the wizard"
wait_for 30 wizard_gone || fail "the wizard did not close on Cancel"
wait_for 60 window_shown || fail "no window titled '$title' within 60 s of the wizard"
echo "window up after $((SECONDS - start)) s"

# Let the first paint finish before the screenshot: wait until two shots a
# moment apart are identical (bounded; a moving screen is no failure here).
shot="$shots/smoke.png"
settle() {
  import -window root "$work/a.png" 2>/dev/null || return 1
  sleep 0.3
  import -window root "$work/b.png" 2>/dev/null || return 1
  cmp -s "$work/a.png" "$work/b.png"
}
wait_for 10 settle || true
import -window root "$shot" || fail "screenshot failed"
echo "screenshot: $shot"

# A second copy must end by itself, successfully, without a window of its own.
timeout 60 wine "$exe" </dev/null >"$work/second.log" 2>&1
rc=$?
[ "$rc" = 0 ] || fail "second copy ended with $rc, expected 0"
running "$first" || fail "the first copy ended when the second started"
[ "$(windows_titled)" = 1 ] || fail "expected one window titled '$title', found $(windows_titled)"

# taskkill without /f posts WM_CLOSE to the program's top-level windows:
# that hides the window, the program goes on in the tray.
wine taskkill /im kivo.exe </dev/null >"$work/taskkill.log" 2>&1 || fail "taskkill failed: $(cat "$work/taskkill.log")"
sleep 2
running "$first" || fail "WM_CLOSE ended the program; it must only hide the window"

# Exit (command 40013) ends it, quickly and successfully.
exit_start=$SECONDS
wine "$send" "$title" 40013 </dev/null >"$work/send.log" 2>&1 || fail "could not send Exit: $(cat "$work/send.log")"
wait_for 30 ended "$first" || fail "the program did not end within 30 s of Exit"
wait "$first"
rc=$?
[ "$rc" = 0 ] || fail "the program ended with $rc, expected 0"
echo "ended $((SECONDS - exit_start)) s after Exit"

# A clean shutdown saved the log settings.
wine reg query 'HKCU\Software\Kivo, Inc.\Kivo\Settings' /v WriteLog </dev/null >"$work/reg.log" 2>&1 ||
  fail "log settings were not saved: $(cat "$work/reg.log")"
wine reg query 'HKCU\Software\Kivo, Inc.\Kivo\Settings' /v HideStart </dev/null >"$work/reg.log" 2>&1 ||
  fail "the settings were not saved: $(cat "$work/reg.log")"

echo "PASS in $((SECONDS - start)) s"

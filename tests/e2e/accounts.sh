#!/usr/bin/env bash
# End to end with mail, run inside a throw-away Wine prefix by
# tools/wine-run.sh --display --script:
#   accounts.sh KIVO_EXE SHOTS_DIR SEND_COMMAND_EXE KIVO_DIAG_EXE READ_LIST_EXE FAKE_POP3
# kivo.exe, in a folder of its own, with two accounts on the fake POP3 server:
# alice with three messages, bob with a wrong password. The window is shown,
# both rows must read as a user would see them, with alice's messages listed,
# a screenshot kept; Exit must end the program within 5 s with exit code 0
# and leave its window placement in the registry.
set -u
exe=$1
shots=$2
send=$3
kivo_diag=$4
read_list=$5
fake_pop3=$6
title='Kivo Email Checker'
work=$(mktemp -d)
server=
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -n "${kivo:-}" ] && kill "$kivo" 2>/dev/null
  exit 1
}

# shellcheck source=../support/wait_for.sh
. "$(dirname "$0")/../support/wait_for.sh"

has_window() { [ "$(xdotool search --name "^${title}\$" 2>/dev/null | wc -l)" -ge 1 ]; }
running() { kill -0 "$1" 2>/dev/null; }
ended() { ! running "$1"; }

mkdir -p "$work/mail" "$work/app"
for i in 1 2 3; do
  printf 'From: Sender %s <sender%s@example.com>\r\nTo: alice@example.com\r\nSubject: Message number %s\r\nDate: Mon, 7 Dec 2026 10:0%s:00 +0000\r\n\r\nHello, this is message %s.\r\n' \
    "$i" "$i" "$i" "$i" "$i" >"$work/mail/$i.eml"
done
"$fake_pop3" serve --port-file "$work/port" --maildir "$work/mail" --user alice:secret >"$work/server.log" 2>&1 &
server=$!
port_written() { [ -s "$work/port" ]; }
wait_for 10 port_written || fail "the fake server did not start: $(cat "$work/server.log")"
port=$(cat "$work/port")

cp "$exe" "$work/app/kivo.exe"
# kivo-diag writes kivo.dat beside itself: the program's folder.
cp "$kivo_diag" "$work/app/kivo-diag.exe"
for account in alice:secret bob:wrong; do
  wine "$work/app/kivo-diag.exe" accounts --add "${account%%:*}" --host 127.0.0.1 --port "$port" \
    --user "${account%%:*}" --password "${account#*:}" </dev/null >>"$work/make.log" 2>&1 ||
    fail "could not write kivo.dat: $(cat "$work/make.log")"
done
[ -s "$work/app/kivo.dat" ] || fail "no kivo.dat"
# Shown at start, so there is something to look at.
wine reg add 'HKCU\Software\Kivo, Inc.\Kivo\Settings' /v HideStart /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1

start=$SECONDS
wine "$work/app/kivo.exe" </dev/null >"$work/kivo.log" 2>&1 &
kivo=$!
wait_for 60 has_window || fail "no window titled '$title' within 60 s"
# Both checks are quick on loopback: the rows say so once they are done.
rows() { wine "$read_list" "$title" "$1" </dev/null 2>/dev/null | tr -d '\r'; }
# Account, Server, User, Total msgs, New messages, State
accounts_done() {
  rows 1012 >"$work/accounts.txt"
  grep -q "^alice	127.0.0.1	alice	3	3	sleeping	" "$work/accounts.txt" &&
    grep -q "^bob	127.0.0.1	bob	0	0	failed	" "$work/accounts.txt"
}
wait_for 60 accounts_done || fail "the account rows read: $(cat "$work/accounts.txt")"
# The selected account is alice, the first row: her messages, From then Subject.
messages_listed() {
  rows 1051 >"$work/messages.txt"
  # (header values keep the blank after the colon, as received)
  [ "$(cut -f2 "$work/messages.txt" | sed 's/^ *//' | tr '\n' ',')" = "Message number 1,Message number 2,Message number 3," ]
}
wait_for 30 messages_listed || fail "the messages list reads: $(cat "$work/messages.txt")"
# Tab to the messages list and Down to its first message: the preview shows it.
xdotool key Tab Down
preview_shown() {
  wine "$read_list" "$title" 1 edit </dev/null 2>/dev/null | tr -d '\r' >"$work/preview_header.txt"
  wine "$read_list" "$title" 2 edit </dev/null 2>/dev/null | tr -d '\r' >"$work/preview_body.txt"
  grep -q "Sender 1" "$work/preview_header.txt" && grep -q "Message number 1" "$work/preview_header.txt" &&
    grep -q "Hello, this is message 1." "$work/preview_body.txt"
}
wait_for 20 preview_shown || fail "the preview reads: $(cat "$work/preview_header.txt" "$work/preview_body.txt")"
mkdir -p "$shots"
import -window root "$shots/accounts.png" || fail "screenshot failed"
echo "screenshot: $shots/accounts.png"

exit_start=$(date +%s.%N)
wine "$send" "$title" 40013 </dev/null >"$work/send.log" 2>&1 || fail "could not send Exit: $(cat "$work/send.log")"
wait_for 30 ended "$kivo" || fail "the program did not end within 30 s of Exit"
wait "$kivo"
rc=$?
took=$(echo "$(date +%s.%N) - $exit_start" | bc)
[ "$rc" = 0 ] || fail "the program ended with $rc, expected 0"
echo "ended $took s after Exit"
[ "$(echo "$took < 5" | bc)" = 1 ] || fail "Exit took $took s, expected under 5 s"

wine reg query 'HKCU\Software\Kivo, Inc.\Kivo\Settings' /v MainWindowPlacement </dev/null >"$work/reg.log" 2>&1 ||
  fail "the window placement was not saved: $(cat "$work/reg.log")"
wine reg query 'HKCU\Software\Kivo, Inc.\Kivo\CustomizeControls\Splitter' </dev/null >"$work/reg.log" 2>&1 ||
  fail "the splitter heights were not saved: $(cat "$work/reg.log")"
wine reg query 'HKCU\Software\Kivo, Inc.\Kivo\CustomizeControls' /s </dev/null >"$work/reg.log" 2>&1
[ "$(grep -c REG_ "$work/reg.log")" -ge 3 ] || fail "the column layouts were not saved: $(cat "$work/reg.log")"
wine reg query 'HKCU\Software\Kivo, Inc.\Kivo\Accounts\alice' </dev/null >"$work/reg.log" 2>&1 ||
  fail "the accounts' values were not saved: $(cat "$work/reg.log")"
echo "PASS in $((SECONDS - start)) s"

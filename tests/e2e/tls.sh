#!/usr/bin/env bash
# kivo.exe with secure accounts, run inside a throw-away Wine prefix by
# tools/wine-run.sh --display --script (tests/e2e/dovecot_tls.py starts it):
#   tls.sh KIVO_EXE SHOTS_DIR SEND_EXE KIVO_DIAG_EXE READ_LIST_EXE CA_REG
#          TLS_PORT STLS_PORT PLAIN_PORT COUNT SUBJECT PASSWORD
# The prefix is given the CA first. "TLS" (Security 1) and "STLS" (Security
# 2) must read COUNT messages and "sleeping", the messages list must hold
# SUBJECT, "Not TLS" (TLS asked of a plain server) must read "failed";
# Exit must end the program with 0.
set -u
exe=$1
shots=$2
send=$3
kivo_diag=$4
read_list=$5
ca_reg=$6
tls_port=$7
stls_port=$8
plain_port=$9
count=${10}
subject=${11}
password=${12}
title='Kivo Email Checker'
key='HKCU\Software\Kivo, Inc.\Kivo'
work=$(mktemp -d)
kivo=
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  mkdir -p "$shots" && import -window root "$shots/dovecot_tls_failure.png" 2>/dev/null
  [ -n "$kivo" ] && kill "$kivo" 2>/dev/null
  exit 1
}

# shellcheck source=../support/wait_for.sh
. "$(dirname "$0")/../support/wait_for.sh"

has_window() { [ "$(xdotool search --name "^${title}\$" 2>/dev/null | wc -l)" -ge 1 ]; }
running() { kill -0 "$1" 2>/dev/null; }
ended() { ! running "$1"; }
rows() { wine "$read_list" "$title" "$1" </dev/null 2>/dev/null | tr -d '\r'; }

wine reg import "$(winepath -w "$ca_reg" 2>/dev/null)" </dev/null >/dev/null 2>&1 || fail "could not import the CA"
wineserver -w

mkdir -p "$work/app"
cp "$exe" "$work/app/kivo.exe"
cp "$kivo_diag" "$work/app/kivo-diag.exe"
add_account() {
  local name=$1 port=$2 security=$3
  wine "$work/app/kivo-diag.exe" accounts --add "$name" --host localhost --port "$port" --user kivo \
    --password "$password" --no-apop </dev/null >>"$work/make.log" 2>&1 || fail "could not write kivo.dat: $(cat "$work/make.log")"
  wine reg add "$key\\Accounts\\$name" /v Security /t REG_DWORD /d "$security" /f </dev/null >/dev/null 2>&1 ||
    fail "could not set the security of $name"
}
add_account TLS "$tls_port" 1
add_account STLS "$stls_port" 2
add_account "Not TLS" "$plain_port" 1
wine reg add "$key\\Settings" /v HideStart /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1

start=$SECONDS
wine "$work/app/kivo.exe" </dev/null >"$work/kivo.log" 2>&1 &
kivo=$!
wait_for 60 has_window || fail "no window titled '$title' within 60 s"
# Account, Server, User, Total msgs, New messages, State
accounts_done() {
  rows 1012 >"$work/accounts.txt"
  grep -q "^TLS	localhost	kivo	$count	$count	sleeping	" "$work/accounts.txt" &&
    grep -q "^STLS	localhost	kivo	$count	$count	sleeping	" "$work/accounts.txt" &&
    grep -q "^Not TLS	localhost	kivo	0	0	failed	" "$work/accounts.txt"
}
wait_for 90 accounts_done || fail "the account rows read: $(cat "$work/accounts.txt")"
# The first row is selected: the TLS account's messages.
subject_listed() {
  rows 1051 >"$work/messages.txt"
  cut -f2 "$work/messages.txt" | sed 's/^ *//' | grep -qxF "$subject"
}
wait_for 30 subject_listed || fail "the messages list reads: $(cat "$work/messages.txt")"
mkdir -p "$shots"
import -window root "$shots/dovecot_tls.png" || fail "screenshot failed"
echo "screenshot: $shots/dovecot_tls.png"
# The account's values keep the choice.
wine reg query "$key\\Accounts\\TLS" /v Security </dev/null 2>/dev/null | grep -q 'REG_DWORD *0x1' ||
  fail "the TLS account lost its security value"

wine "$send" "$title" 40013 </dev/null >"$work/send.log" 2>&1 || fail "could not send Exit: $(cat "$work/send.log")"
wait_for 30 ended "$kivo" || fail "the program did not end within 30 s of Exit"
wait "$kivo"
rc=$?
kivo=
[ "$rc" = 0 ] || fail "the program ended with $rc, expected 0"
echo "PASS in $((SECONDS - start)) s"

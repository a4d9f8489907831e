#!/usr/bin/env bash
# `make run`: Kivo with a demo mailbox, for a first look.
#   run-demo.sh [BUILD_DIR]   (default: build/win64)
# Starts the fake POP3 server on 127.0.0.1 with the messages of
# tools/demo/mailbox (user "demo", password "demo"), installs kivo.exe into
# the persistent Wine prefix (C:\Kivo), gives it a "Kivo demo" account and
# the demo filters unless the prefix has accounts of its own, and runs it.
# Ending Kivo (Exit in the tray menu) or Ctrl+C stops the server too.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build/win64}")
server=$build/tools/fake-pop3/host/fake-pop3
for f in "$server" "$build/src/app/kivo.exe" "$build/tools/kivo-diag/kivo-diag.exe"; do
  [ -x "$f" ] || [ -f "$f" ] || { echo "run-demo: $f not found; build the win64 preset first" >&2; exit 1; }
done
state=$root/build/demo
mkdir -p "$state"
demo_name="Kivo demo"

server_pid=
stop_server() { [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null; wait 2>/dev/null || true; }
trap stop_server EXIT
trap 'exit 130' INT TERM

# The same port every time if it is free, so the stored account keeps working.
start_server() {
  rm -f "$state/port"
  "$server" serve --port "$1" --port-file "$state/port" --maildir "$root/tools/demo/mailbox" \
    --user demo:demo </dev/null >"$state/server.log" 2>&1 &
  server_pid=$!
  for _ in $(seq 50); do
    [ -s "$state/port" ] && return 0
    kill -0 "$server_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
start_server 11110 || start_server 0 || { cat "$state/server.log" >&2; exit 1; }
port=$(tr -d '[:space:]' <"$state/port")
echo "run-demo: demo POP3 server on 127.0.0.1:$port ($(ls "$root/tools/demo/mailbox" | wc -l) messages)"

# shellcheck source=wine-prefix.sh
. "$root/tools/wine-prefix.sh"
kivo_prefix "$root"
dest=$WINEPREFIX/drive_c/Kivo
mkdir -p "$dest"
for f in "$build/src/app/kivo.exe" "$build/src/app/kivo.wav" "$build/src/app/kivo.chm" \
         "$build/tools/kivo-diag/kivo-diag.exe"; do
  [ -f "$f" ] && cp "$f" "$dest/"
done

# The user's own accounts are never touched: the demo account is added only
# to an empty list, and only its own entry is brought up to date.
names=$(cd "$dest" && wine kivo-diag.exe accounts 2>/dev/null | python3 -c '
import json, sys
text, at, d = sys.stdin.read(), 0, json.JSONDecoder()
while text[at:].strip():
    row, at = d.raw_decode(text, len(text) - len(text[at:].lstrip()))
    print(row["name"])')
if [ -z "$names" ] || [ "$names" = "$demo_name" ]; then
  (cd "$dest" && wine kivo-diag.exe accounts --add "$demo_name" --host 127.0.0.1 --port "$port" \
     --user demo --password demo --interval 60 >/dev/null)
  for f in power.dat spammers.dat friends.dat; do
    [ -e "$dest/$f" ] || cp "$root/tools/demo/$f" "$dest/"
  done
  echo "run-demo: account \"$demo_name\" points at the demo server"
else
  echo "run-demo: the prefix has accounts of its own; they are left as they are"
fi

bash "$root/tools/run-kivo.sh" "$dest/kivo.exe"

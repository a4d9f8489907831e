#!/usr/bin/env bash
# Starts or stops the fake POP3 server that a test run shares (a CTest fixture).
#   fixture.sh start SERVER STATE_DIR   control port number in STATE_DIR/port
#   fixture.sh stop  -      STATE_DIR
# The server also leaves by itself after 30 idle minutes, so an interrupted
# run leaves nothing behind for long.
set -u
action=$1 server=$2 state=$3
mkdir -p "$state"
pid_file=$state/pid

stop_server() {
  [ -f "$pid_file" ] || return 0
  pid=$(cat "$pid_file")
  # Only our own server: the pid may have been reused since.
  if grep -q fake-pop3 "/proc/$pid/cmdline" 2>/dev/null; then
    kill "$pid" 2>/dev/null
  fi
  rm -f "$pid_file"
}

case $action in
start)
  stop_server
  rm -f "$state/port"
  setsid "$server" control --port-file "$state/port" --idle-exit 1800 </dev/null >"$state/server.log" 2>&1 &
  echo $! >"$pid_file"
  for _ in $(seq 100); do
    [ -s "$state/port" ] && { echo "fake-pop3 control port $(cat "$state/port")"; exit 0; }
    sleep 0.1
  done
  echo "fake-pop3 did not start:"; cat "$state/server.log"
  exit 1 ;;
stop)
  stop_server
  rm -f "$state/port" ;;
esac

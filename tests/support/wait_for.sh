# Sourced by the shell tests. wait_for SECONDS COMMAND...: polls the command
# every 0.2 s until it succeeds or SECONDS have passed (then returns 1).
wait_for() {
  local limit=$1; shift
  local end=$((SECONDS + limit))
  until "$@"; do
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep 0.2
  done
}

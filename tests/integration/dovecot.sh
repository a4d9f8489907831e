#!/usr/bin/env bash
# Starts or stops a private Dovecot POP3 server for the integration tests
# (a CTest fixture): loopback only, a high port, one test user with a plain
# password (so APOP works), a maildir that the tests fill, no delay after a
# failed login. It runs unprivileged: as the calling user, or as "nobody"
# when called as root (Dovecot refuses mail access as root).
#   dovecot.sh start FIXTURE_DIR     port and maildir in FIXTURE_DIR/env
#                                    ("absent=..." when Dovecot is not installed)
#   dovecot.sh stop FIXTURE_DIR
# The server's own files live in a folder under /tmp, which the unprivileged
# user can reach wherever the build folder is (a home folder may be closed).
set -u
action=$1
fixture=$(mkdir -p "$2" && cd "$2" && pwd)

stop_server() {
  [ -f "$fixture/state" ] || return 0
  old=$(cat "$fixture/state")
  if [ -f "$old/run/master.pid" ]; then
    pid=$(cat "$old/run/master.pid")
    if grep -q dovecot "/proc/$pid/cmdline" 2>/dev/null; then
      kill "$pid" 2>/dev/null
      for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
    fi
  fi
  case $old in /tmp/kivo-dovecot.*) rm -rf "$old" ;; esac
  rm -f "$fixture/state" "$fixture/env"
}

if [ "$action" = stop ]; then
  stop_server
  exit 0
fi

dovecot=$(command -v dovecot || echo /usr/sbin/dovecot)
stop_server
if [ ! -x "$dovecot" ]; then
  # The tests that need it skip, visibly, instead of failing on a fixture.
  echo "dovecot is not installed (tools/install-deps.sh)"
  echo "absent=dovecot is not installed (tools/install-deps.sh)" >"$fixture/env"
  exit 0
fi
state=$(mktemp -d /tmp/kivo-dovecot.XXXXXX)
echo "$state" >"$fixture/state"
mkdir -p "$state/run" "$state/lib" "$state/mail/kivo"/{new,cur,tmp}

if [ "$(id -u)" -eq 0 ]; then
  user=nobody
  run=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups)
else
  user=$(id -un)
  run=()
fi
uid=$(id -u "$user")
gid=$(id -g "$user")
group=$(id -gn "$user")

# A free high port on loopback.
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
tls_port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
# A certificate for 127.0.0.1 from a CA made here, for the TLS listener and
# STLS on the plain port.
python3 -c 'import sys; sys.path.insert(0, sys.argv[1]); from tls_pop3_server import make_certs; make_certs(sys.argv[2])' \
  "$(cd "$(dirname "$0")/../tools" && pwd)" "$state"

printf 'kivo:{PLAIN}kivo-secret\n' >"$state/passwd"
cat >"$state/dovecot.conf" <<CONF
base_dir = $state/run
state_dir = $state/lib
log_path = $state/dovecot.log
protocols = pop3
listen = 127.0.0.1
ssl = yes
ssl_cert = <$state/good.pem
ssl_key = <$state/good.key
disable_plaintext_auth = no
auth_mechanisms = plain apop
# A wrong-password test must not slow the logins after it.
auth_failure_delay = 0
login_trusted_networks = 127.0.0.0/8
default_login_user = $user
default_internal_user = $user
default_internal_group = $group
first_valid_uid = 1
mail_location = maildir:$state/mail/%u
passdb {
  driver = passwd-file
  args = scheme=PLAIN $state/passwd
  default_fields = nodelay=yes
}
userdb {
  driver = static
  args = uid=$uid gid=$gid home=$state/mail/%u
}
service pop3-login {
  chroot =
  user = $user
  inet_listener pop3 {
    address = 127.0.0.1
    port = $port
  }
  inet_listener pop3s {
    address = 127.0.0.1
    port = $tls_port
    ssl = yes
  }
}
# Dovecot also slows every login from an address after a failed one (the
# auth penalty kept by anvil). Its socket, closed to everyone, switches that
# off, so a wrong-password test does not slow the rest.
service anvil {
  chroot =
  unix_listener anvil-auth-penalty {
    mode = 0
  }
}
service auth {
  user = $user
}
service auth-worker {
  user = $user
}
CONF

# The tests (possibly root, possibly Windows under Wine) drop messages into
# new/; Dovecot's user must be able to move and remove them.
chmod -R a+rwX "$state"
chown -R "$uid:$gid" "$state/run" "$state/lib" "$state/mail" 2>/dev/null

# Its output goes to a file: the daemon keeps what it inherits open, and a
# test runner reading our output would wait for it for ever.
"${run[@]}" "$dovecot" -c "$state/dovecot.conf" </dev/null >"$state/start.log" 2>&1 ||
  { cat "$state/start.log" "$state/dovecot.log" 2>/dev/null; exit 1; }
for _ in $(seq 100); do
  if python3 -c "import socket,sys; socket.create_connection(('127.0.0.1', $port), 0.2).close()" 2>/dev/null; then
    printf 'port=%s\ntls_port=%s\nca=%s\nmaildir=%s\n' "$port" "$tls_port" "$state/ca.pem" "$state/mail/kivo" \
      >"$fixture/env"
    echo "dovecot on 127.0.0.1:$port"
    exit 0
  fi
  sleep 0.1
done
echo "dovecot did not start:"; cat "$state/dovecot.log"
exit 1

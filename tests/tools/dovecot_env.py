"""The Dovecot fixture's env file (port, tls_port, ca, maildir; or absent=why)."""


def read_env(path):
    env = {}
    try:
        with open(path) as f:
            for line in f:
                key, _, value = line.strip().partition("=")
                env[key] = value
    except OSError:
        pass
    return env

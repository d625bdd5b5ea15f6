#!/usr/bin/env bash
# Measures how long a screen reader waits for the client while it reconnects to an instrument
# on another computer whose login is slow: the client runs with --host, through a stand-in ssh
# that runs the bridge to this session's bus after a login of ORVIX_LOGIN_SECONDS (default 2);
# once the window is up the SSH connection is dropped, and every AT-SPI round trip is timed
# until the client is connected again. Fails when one took longer than 0.3 s.
#   ./scripts/atspi-remote-check.sh [BUILD_DIR]   (default: build)
# Builds nothing. Runs on a virtual display, a private session bus and a temporary home. Needs
# xvfb-run, at-spi2-core, python3-gi and gir1.2-atspi-2.0.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/private-session.sh

build_dir=$(cd "${1:-build}" && pwd)
client="$build_dir/bin/orvix-client"

in_display_session atspi-remote-check "$0" "$build_dir"

# The stand-in ssh: the remote command (after "--" and the host) runs here, after the login.
fake=$(mktemp -d)
cat >"$fake/ssh" <<'SCRIPT'
#!/bin/sh
echo $$ >>"$(dirname "$0")/pids"
while [ "$#" -gt 0 ] && [ "$1" != "--" ]; do shift; done
shift 2
sleep "${ORVIX_LOGIN_SECONDS:-2}"
exec sh -c "$*"
SCRIPT
chmod +x "$fake/ssh"

PATH="$fake:$PATH" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    ORVIX_AUTOANSWER_MESSAGES=1 \
    "$client" --host lab --bus-path "$DBUS_SESSION_BUS_ADDRESS" &
client_pid=$!
trap 'kill -TERM "$client_pid" 2>/dev/null || true; rm -rf "$fake"' EXIT
/usr/bin/python3 scripts/atspi_remote_check.py "$fake/pids"

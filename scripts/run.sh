#!/usr/bin/env bash
# Installs what is needed, builds, registers the simulated instrument server and starts the
# client: ./scripts/run.sh [client arguments...]
#   ORVIX_SERVER=none   leave the server registration as it is (to run against another
#                       server that is registered already)
# Needs a session bus (starts one for the client when there is none) and a display (runs under
# a virtual X server when there is none, printing the message boxes here).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build_dir=${ORVIX_BUILD_DIR:-build}

./scripts/install-deps.sh

./scripts/build.sh orvix-client
if cmake --build "$build_dir" --target help 2>/dev/null | grep -qw 'orvix-instrument-server'; then
    ./scripts/build.sh orvix-instrument-server
fi

client="$root/$build_dir/bin/orvix-client"
server="$root/$build_dir/bin/orvix-instrument-server"

if [ "${ORVIX_SERVER:-simulator}" != none ]; then
    if [ -x "$server" ]; then
        "$server" --RegServer
        echo "run: registered the simulated instrument server ($server)"
    else
        echo "run: the simulated instrument server is not built ($server);" \
             "the client will say \"Class not registered\"" >&2
    fi
fi

# The client reaches the instrument server through the session bus. The bus goes inside the
# virtual display, so that what the bus starts can reach the display too.
bus=()
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && [ ! -S "${XDG_RUNTIME_DIR:-/nonexistent}/bus" ]; then
    echo "run: no session bus: starting one for the client (dbus-run-session)" >&2
    bus=(dbus-run-session --)
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "${bus[@]}" "$client" "$@"
fi

echo "run: no display (\$DISPLAY and \$WAYLAND_DISPLAY are empty): running the client on a" \
     "virtual X server (xvfb-run), where nobody can see it; its message boxes are printed" \
     "here as \"caption|text\" and answered OK. Stop it with Ctrl+C." >&2
echo "run: on a desktop, the same command shows the window." >&2
export ORVIX_AUTOANSWER_MESSAGES=1

# The virtual display and the bus run in a session of their own, so that Ctrl+C reaches only the
# client, which then ends as if its window were closed; the bus and the display go after it.
pidfile=$(mktemp)
trap 'rm -f "$pidfile"' EXIT
setsid xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" "${bus[@]}" \
    sh -c 'echo $$ >"$0"; exec "$@"' "$pidfile" "$client" "$@" &
runner=$!
trap 'kill -TERM "$(cat "$pidfile" 2>/dev/null)" 2>/dev/null || true' INT TERM HUP
status=0
while kill -0 "$runner" 2>/dev/null; do
    wait "$runner" && status=0 || status=$?
done
exit "$status"

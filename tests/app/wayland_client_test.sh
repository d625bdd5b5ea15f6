#!/usr/bin/env bash
# The client on a Wayland compositor that imposes its window's size: weston's kiosk shell shows
# every window full screen, here on a 1024 x 640 output. Against the simulated server the client
# must take that size (no protocol error), stay up for 10 s and end on SIGTERM with status 0.
# Its window's app id must name its desktop entry. With no server, a signal must end it while it
# waits in its start-up "Error" box.
# Then under weston's desktop shell (1400 x 1000), where Qt draws the title bar and borders, the
# window program's test: the main window opens whole, and its About box names it as its parent.
#   wayland_client_test.sh BIN_DIR WINDOW_TEST
set -euo pipefail

fail() {
    echo "wayland_client: $*" >&2
    exit 1
}

# Polls until "$@" succeeds; gives up after 30 s or as soon as the client has ended.
await() {
    local deadline=$((SECONDS + 30))
    until "$@"; do
        kill -0 "$client" 2>/dev/null || fail "the client ended early: $(cat "$work/client.err")"
        [ "$SECONDS" -lt "$deadline" ] || fail "timed out waiting for: $*"
        sleep 0.1
    done
}

# Waits up to 20 s for the client to end; sets status to its exit status.
await_end() {
    local deadline=$((SECONDS + 20))
    while kill -0 "$client" 2>/dev/null; do
        [ "$SECONDS" -lt "$deadline" ] || fail "the client did not end: $(cat "$work/client.err")"
        sleep 0.1
    done
    status=0
    wait "$client" || status=$?
}

bus() {
    dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        "org.freedesktop.DBus.$1" "${@:2}" 2>/dev/null
}

server_started() {
    [ -n "$(bus GetConnectionUnixProcessID string:org.orvix.InstrumentServer)" ]
}

# The client has a bus connection once it is past taking the signals.
client_on_bus() {
    local name
    for name in $(bus ListNames | tr -s ' \n' '\n' | grep '^:'); do
        [ "$(bus GetConnectionUnixProcessID "string:$name" | awk '{ print $2 }')" = "$client" ] &&
            return 0
    done
    return 1
}

# Inside a private bus whose data home holds the simulated server's registration.
if [ "${1:-}" = --kiosk ]; then
    bin=$2
    work=$3
    WAYLAND_DEBUG=client "$bin/orvix-client" 2>"$work/client.err" &
    client=$!
    trap 'kill -KILL "$client" 2>/dev/null || true' EXIT
    await server_started
    for _ in $(seq 100); do
        kill -0 "$client" 2>/dev/null || fail "the client ended early: $(tail "$work/client.err")"
        sleep 0.1
    done
    kill -TERM "$client"
    await_end
    [ "$status" = 0 ] || fail "the client ended with status $status: $(tail "$work/client.err")"
    # The window took the compositor's size: its last geometry is the whole output.
    geometry=$(grep -o 'set_window_geometry([0-9, ]*)' "$work/client.err" | tail -n 1)
    [ "$geometry" = "set_window_geometry(0, 0, 1024, 640)" ] ||
        fail "the window's geometry is $geometry, not the output's"
    ! grep -q -i 'protocol error' "$work/client.err" || fail "$(grep -i error "$work/client.err")"
    # The compositor finds the desktop entry, and with it the icon, by the window's app id.
    grep -q "set_app_id(\"$app_id\")" "$work/client.err" ||
        fail "the window's app id is not $app_id: $(grep -o 'set_app_id([^)]*)' "$work/client.err")"
    exit 0
fi

# Inside a private bus with no instrument server.
if [ "${1:-}" = --start-up-box ]; then
    bin=$2
    work=$3
    "$bin/orvix-client" 2>"$work/client.err" &
    client=$!
    trap 'kill -KILL "$client" 2>/dev/null || true' EXIT
    await client_on_bus
    kill -INT "$client"
    await_end
    [ "$status" = 0 ] || fail "the start-up box ended with status $status: $(cat "$work/client.err")"
    exit 0
fi

bin=$1
window_test=$2
desktop_entry=$(ls "$(dirname "$0")"/../../dist/*.desktop)
export app_id
app_id=$(basename "$desktop_entry" .desktop)
command -v weston >/dev/null || fail "weston is not installed"
work=$(mktemp -d)
weston_pid=
trap '[ -z "$weston_pid" ] || kill "$weston_pid" 2>/dev/null || true; rm -rf "$work"' EXIT

# A compositor of its own, on a socket no other compositor uses: start_weston SHELL W H.
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
start_weston() {
    export WAYLAND_DISPLAY=orvix-wayland-$$-$RANDOM
    weston --backend=headless-backend.so --shell="$1" --width="$2" --height="$3" \
        --socket="$WAYLAND_DISPLAY" --no-config >"$work/weston.log" 2>&1 &
    weston_pid=$!
    local deadline=$((SECONDS + 20))
    until [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ]; do
        kill -0 "$weston_pid" 2>/dev/null || fail "weston did not start: $(cat "$work/weston.log")"
        [ "$SECONDS" -lt "$deadline" ] || fail "weston made no socket"
        sleep 0.1
    done
}
start_weston kiosk-shell.so 1024 640

export QT_QPA_PLATFORM=wayland
unset DISPLAY
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_DATA_DIRS=$work/system-data
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_DIRS"

# The bus reads its service folders when it starts: register first.
"$bin/orvix-instrument-server" --RegServer >/dev/null
dbus-run-session -- "$0" --kiosk "$bin" "$work"
"$bin/orvix-instrument-server" --UnregServer >/dev/null
dbus-run-session -- "$0" --start-up-box "$bin" "$work"

kill "$weston_pid"
wait "$weston_pid" 2>/dev/null || true
start_weston desktop-shell.so 1400 1000
WAYLAND_DEBUG=client timeout 60 dbus-run-session -- "$window_test" >"$work/window.out" \
    2>"$work/window.err" || fail "$(cat "$work/window.out")"
# The compositor learns of the parent only from the protocol: a null one would say nil.
grep -q 'xdg_toplevel@[0-9]*\.set_parent(xdg_toplevel@[0-9]*)' "$work/window.err" ||
    fail "the About box names no parent: $(grep -o 'set_parent([^)]*)' "$work/window.err")"

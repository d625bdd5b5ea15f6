#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks what a desktop reads from it, then starts the
# installed client on a virtual X server with a session bus that knows only the prefix's
# registrations: the bus must start the installed simulated server from its activation file, the
# client must show its main window against it and end cleanly when asked to.
#   installed_client_test.sh CMAKE BUILD_DIR
set -euo pipefail

fail() {
    echo "installed_client: $*" >&2
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

server_pid() {
    dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.GetConnectionUnixProcessID string:org.orvix.InstrumentServer \
        2>/dev/null | awk '{ print $2 }'
}

server_started() {
    [ -n "$(server_pid)" ]
}

main_window_shown() {
    xwininfo -name "Orvix Diagnostics" 2>/dev/null | grep -q 'Map State: IsViewable'
}

# Inside the virtual display and the private bus.
if [ "${1:-}" = --inside ]; then
    prefix=$2
    work=$3
    "$prefix/bin/orvix-client" 2>"$work/client.err" &
    client=$!
    trap 'kill -TERM "$client" 2>/dev/null || true' EXIT
    await server_started
    instrument=$(server_pid)
    started=$(readlink "/proc/$instrument/exe")
    [ "$started" = "$prefix/bin/orvix-instrument-server" ] ||
        fail "the bus started $started, not the installed server"
    await main_window_shown
    kill -TERM "$client"
    status=0
    wait "$client" || status=$?
    [ "$status" = 0 ] || fail "the client ended with status $status: $(cat "$work/client.err")"
    # The server saves its state on the way out; it must be done before its folder goes.
    kill -TERM "$instrument" 2>/dev/null || true
    while kill -0 "$instrument" 2>/dev/null; do
        sleep 0.1
    done
    exit 0
fi

cmake=$1
build_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

"$cmake" --install "$build_dir" --prefix "$prefix" >/dev/null

for file in bin/orvix-client bin/orvix-instrument-server share/man/man1/orvix-client.1 \
    share/man/man1/orvix-instrument-server.1 \
    share/icons/hicolor/scalable/apps/org.orvix.Diagnostics.svg; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done
# A PNG's width and height are the 4-byte big-endian numbers at offsets 16 and 20.
for size in 16 22 24 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/org.orvix.Diagnostics.png
    [ -f "$png" ] || fail "no ${size}x${size} icon"
    [ "$(od -An -tx1 -j16 -N8 "$png" | tr -d ' \n')" = "$(printf '%08x%08x' "$size" "$size")" ] ||
        fail "$png is not ${size}x${size}"
done
grep -qx "Exec=$prefix/bin/orvix-instrument-server -Embedding" \
    "$prefix/share/dbus-1/services/org.orvix.InstrumentServer.service" ||
    fail "the activation file does not start the installed server"
desktop-file-validate "$prefix/share/applications/org.orvix.Diagnostics.desktop" ||
    fail "the desktop entry is not valid"
report=$(appstreamcli validate --no-net "$prefix/share/metainfo/org.orvix.Diagnostics.metainfo.xml" \
    2>&1) || fail "the metainfo is not valid: $report"

# Nothing of the user's: an empty home, and the prefix as the only system data folder, so the bus
# can start the server only from the installed activation file.
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state
export XDG_DATA_DIRS=$prefix/share
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_STATE_HOME"
unset QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS
export ORVIX_AUTOANSWER_MESSAGES=1
xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" \
    dbus-run-session -- "$0" --inside "$prefix" "$work"

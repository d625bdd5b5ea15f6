#!/usr/bin/env bash
# What the Orca screen reader says about the real client against the simulated instrument:
# flat review of the main window, Tab through Change Flow, flat review of the service sheet's
# Valves and AutoSampler Sensors pages, and a new instrument error while the main window has the
# focus. Prints Orca's SPEECH OUTPUT lines (from its debug file, so no speech synthesis is
# needed) and fails when a caption is heard without its value or the error is not heard.
#   ./scripts/screen-reader-check.sh [BUILD_DIR]   (default: build)
# Builds nothing (needs orvix-client and orvix-instrument-server). Always runs on a virtual
# display of its own (Orca --replace would otherwise replace the desktop's screen reader), on a
# private session bus and a temporary home. Needs orca, xdotool, xvfb-run, at-spi2-core,
# python3-gi and gir1.2-atspi-2.0; not part of install-deps, Orca is large.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/private-session.sh

build_dir=$(cd "${1:-build}" && pwd)
client="$build_dir/bin/orvix-client"
server="$build_dir/bin/orvix-instrument-server"
# The Password dialog's access code for the service sheet.
access_code=6274

if [ -z "${ORVIX_ORCA_ON_BUS:-}" ]; then
    for program in "$client" "$server"; do
        if [ ! -x "$program" ]; then
            echo "screen-reader-check: $program is not built" >&2
            exit 1
        fi
    done
    for tool in orca xdotool xvfb-run; do
        if ! command -v "$tool" >/dev/null; then
            echo "screen-reader-check: needs $tool" >&2
            exit 1
        fi
    done
    if [ -z "${ORVIX_ORCA_DISPLAY:-}" ]; then
        exec env ORVIX_ORCA_DISPLAY=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build_dir"
    fi
    in_private_session "$server" ORVIX_ORCA_ON_BUS 1 "$0" "$build_dir"
fi

# From here on, inside the private bus on the virtual display. No window manager runs, so the
# driver hands each window the X input focus itself.
# ORVIX_ORCA_DEBUG_FILE keeps Orca's whole debug log where it says.
debug_file=${ORVIX_ORCA_DEBUG_FILE:-$XDG_STATE_HOME/orca-debug.txt}
: >"$debug_file"
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 ORVIX_AUTOANSWER_MESSAGES=1 \
    "$client" 2>/dev/null &
client_pid=$!
orca --replace --debug-file="$debug_file" >/dev/null 2>&1 &
orca_pid=$!
# The driver ends Orca itself (which writes out its log); the shell need not report how.
disown "$orca_pid"
trap 'kill -TERM "$orca_pid" "$client_pid" 2>/dev/null || true' EXIT
/usr/bin/python3 scripts/screen_reader_check.py "$debug_file" "$orca_pid" "$access_code" "$server"

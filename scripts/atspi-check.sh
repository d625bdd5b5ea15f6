#!/usr/bin/env bash
# Drives the real client through the accessibility bus (AT-SPI), as a screen reader does: the
# status values are named by what they show and labelled by their captions (a table cell by its
# row and column), Wet Prime's A2 is a radio button whose action selects reservoir 2 on the
# instrument, a new instrument error is announced once as a notification, and the status bar
# says when the instrument stops answering and when its server is gone.
#   ./scripts/atspi-check.sh [BUILD_DIR]   (default: build)
# Builds nothing (needs orvix-client and orvix-instrument-server). Runs on a virtual display, a
# private session bus and a temporary home. Needs xvfb-run, at-spi2-core, python3-gi and
# gir1.2-atspi-2.0.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/private-session.sh

build_dir=$(cd "${1:-build}" && pwd)
client="$build_dir/bin/orvix-client"
server="$build_dir/bin/orvix-instrument-server"

in_display_session atspi-check "$0" "$build_dir"

# From here on, inside the private bus. The client shows on the display, where Qt's bridge to
# the accessibility bus runs.
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 ORVIX_AUTOANSWER_MESSAGES=1 "$client" &
client_pid=$!
trap 'kill -TERM "$client_pid" 2>/dev/null || true' EXIT
/usr/bin/python3 scripts/atspi_check.py "$server"

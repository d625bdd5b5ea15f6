#!/usr/bin/env bash
# Builds and runs orvix-screenshots: pictures of the main window, its Control menu, the Service
# Diagnostics sheet, its Valves and AutoSampler Sensors pages and the trace and log docks against
# the simulated instrument, and the first page of a service report of a sample visit
# (orvix-client --report, with the trace the windows left, drawn by pdftoppm), written as PNG
# files:
#   ./scripts/screenshots.sh [OUTPUT_FOLDER [IMAGE...]]   (default: docs/images, every image)
# IMAGE names one picture to make (main-window.png, valves-page.png, ...); without any, all.
#   ORVIX_BUILD_DIR   the build folder (default: build)
# Runs on Qt's offscreen platform and a private session bus, with the registration, profile and
# instrument state in a temporary home: it needs no display and touches neither the user's bus
# nor their files.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/private-session.sh

output=$(mkdir -p "${1:-docs/images}" && cd "${1:-docs/images}" && pwd)
build_dir=${ORVIX_BUILD_DIR:-build}

if [ -z "${ORVIX_SCREENSHOTS_ON_BUS:-}" ]; then
    ./scripts/build.sh orvix-screenshots orvix-client orvix-instrument-server
    bin=$(cd "$build_dir/bin" && pwd)
    in_private_session "$bin/orvix-instrument-server" ORVIX_SCREENSHOTS_ON_BUS "$bin" "$0" "$output" \
        "${@:2}"
fi

# From here on, inside the private bus.
bin=$ORVIX_SCREENSHOTS_ON_BUS
status=0
wanted=("${@:2}")
windows=()
for image in "${wanted[@]}"; do
    [ "$image" = service-report.png ] || windows+=("$image")
done
if [ "${#wanted[@]}" = 0 ] || [ "${#windows[@]}" != 0 ]; then
    QT_QPA_PLATFORM=offscreen ORVIX_AUTOANSWER_MESSAGES=1 "$bin/orvix-screenshots" "$output" \
        "${windows[@]}" || status=$?
fi
if [ "${#wanted[@]}" = 0 ] || [ "${#windows[@]}" != "${#wanted[@]}" ]; then
    report_dir=$(mktemp -d)
    if QT_QPA_PLATFORM=offscreen "$bin/orvix-client" --report "$report_dir/report.pdf" \
        --engineer "A. Moreau" --customer "Northfield Bioanalytics" --site "Lab 2, Building C" \
        --work-order WO-2026-1187 --as-found "Pump A overpressure at 5 uL/min; check valve sticking" \
        --work-done "Replaced pump A check valve and inlet filter; pressure test passed" \
        --part "CV-2210,CV-88412,CV-90177" --part "FLT-0305,,FLT-11903" \
        --next-service 2027-06-09; then
        pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$report_dir/report.pdf" \
            "$output/service-report" || status=$?
    else
        status=1
    fi
    rm -rf "$report_dir"
fi

# The server saves its state on SIGTERM; it must be done before its temporary home goes.
server_pid=$(dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus \
    /org/freedesktop/DBus org.freedesktop.DBus.GetConnectionUnixProcessID \
    string:org.orvix.InstrumentServer 2>/dev/null | awk '{ print $2 }')
if [ -n "$server_pid" ] && kill -TERM "$server_pid" 2>/dev/null; then
    for _ in $(seq 50); do
        kill -0 "$server_pid" 2>/dev/null || break
        sleep 0.1
    done
fi
exit "$status"

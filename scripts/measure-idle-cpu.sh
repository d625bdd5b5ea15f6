#!/usr/bin/env bash
# Measures the client's processor use while it sits idle with its main window open, polling the
# simulated instrument: ./scripts/measure-idle-cpu.sh [BUILD_DIR]   (default: build-rel)
#   ORVIX_IDLE_SECONDS    how long to sample (default: 60)
#   ORVIX_SETTLE_SECONDS  how long start-up may take before sampling begins (default: 5)
# Builds nothing: build first, e.g. ORVIX_BUILD_DIR=build-rel ORVIX_BUILD_TYPE=Release
# ./scripts/build.sh orvix-client orvix-instrument-server. Runs on a private session bus and the
# offscreen platform, with the registration, profile and instrument state in a temporary home,
# so it touches neither the user's bus nor their files.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/private-session.sh

build_dir=$(cd "${1:-build-rel}" && pwd)
client="$build_dir/bin/orvix-client"
server="$build_dir/bin/orvix-instrument-server"
idle_seconds=${ORVIX_IDLE_SECONDS:-60}
settle_seconds=${ORVIX_SETTLE_SECONDS:-5}

if [ -z "${ORVIX_IDLE_CPU_ON_BUS:-}" ]; then
    for program in "$client" "$server"; do
        if [ ! -x "$program" ]; then
            echo "measure-idle-cpu: $program is not built" >&2
            exit 1
        fi
    done
    in_private_session "$server" ORVIX_IDLE_CPU_ON_BUS 1 "$0" "$build_dir"
fi

# From here on, inside the private bus.
ticks_per_second=$(getconf CLK_TCK)

# utime + stime of a process (fields 14 and 15 of its stat), in clock ticks. The command name
# may hold spaces, so the fields are counted from the state (field 3) after its parenthesis.
cpu_ticks() {
    local stat fields
    stat=$(cat "/proc/$1/stat") || return 1
    read -ra fields <<<"${stat##*) }"
    echo $((fields[11] + fields[12]))
}

now() { date +%s.%N; }

percent() {
    awk -v ticks="$1" -v hz="$ticks_per_second" -v seconds="$2" \
        'BEGIN { printf "%.3f", 100 * ticks / hz / seconds }'
}

server_pid() {
    dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.GetConnectionUnixProcessID string:org.orvix.InstrumentServer \
        2>/dev/null | awk '{ print $2 }'
}

QT_QPA_PLATFORM=offscreen ORVIX_AUTOANSWER_MESSAGES=1 "$client" &
client_pid=$!
trap 'kill -TERM "$client_pid" 2>/dev/null || true' INT TERM HUP

sleep "$settle_seconds"
if ! kill -0 "$client_pid" 2>/dev/null; then
    echo "measure-idle-cpu: the client ended during start-up" >&2
    wait "$client_pid" || true
    exit 1
fi
instrument_pid=$(server_pid)

client_start=$(cpu_ticks "$client_pid")
server_start=$(cpu_ticks "$instrument_pid" 2>/dev/null || echo "")
wall_start=$(now)
echo "measure-idle-cpu: sampling the idle client (pid $client_pid) for $idle_seconds s" >&2
sleep "$idle_seconds"
client_end=$(cpu_ticks "$client_pid")
server_end=$(cpu_ticks "$instrument_pid" 2>/dev/null || echo "")
wall=$(awk -v a="$wall_start" -v b="$(now)" 'BEGIN { printf "%.3f", b - a }')

echo "client: $(percent $((client_end - client_start)) "$wall") % of one core" \
     "($((client_end - client_start)) ticks of 1/$ticks_per_second s in $wall s)"
if [ -n "$server_start" ] && [ -n "$server_end" ]; then
    echo "simulated instrument server: $(percent $((server_end - server_start)) "$wall") %" \
         "of one core"
fi

kill -TERM "$client_pid"
client_status=0
wait "$client_pid" || client_status=$?
# The server saves its state on SIGTERM; it must be done before its temporary home goes.
if [ -n "$instrument_pid" ] && kill -TERM "$instrument_pid" 2>/dev/null; then
    for _ in $(seq 50); do
        kill -0 "$instrument_pid" 2>/dev/null || break
        sleep 0.1
    done
fi
if [ "$client_status" != 0 ]; then
    echo "measure-idle-cpu: the client ended with status $client_status" >&2
    exit "$client_status"
fi

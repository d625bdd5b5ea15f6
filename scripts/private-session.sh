# Sourced by the scripts that run the client and the simulated server away from the user's own
# session: a temporary home for registration, profile and instrument state, and a bus of their
# own.

# in_private_session SERVER MARKER VALUE COMMAND [ARGS...]
# Registers SERVER in the temporary home, then runs COMMAND on a new session bus with MARKER=VALUE
# in its environment (so a script that runs itself knows it is inside), and exits with its status.
in_private_session() {
    local server=$1 marker=$2 value=$3
    shift 3
    private_home=$(mktemp -d)
    trap 'rm -rf "$private_home"' EXIT
    export XDG_DATA_HOME="$private_home/data" XDG_CONFIG_HOME="$private_home/config"
    export XDG_STATE_HOME="$private_home/state"
    mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_STATE_HOME"
    # Registered before the bus starts, so the bus finds the server when the client asks for it.
    "$server" --RegServer >/dev/null
    local status=0
    env "$marker=$value" dbus-run-session -- "$@" || status=$?
    exit "$status"
}

# in_display_session NAME SCRIPT BUILD_DIR
# Unless already inside (ORVIX_ATSPI_ON_BUS set): checks that the client and the simulated
# server are built in BUILD_DIR, runs SCRIPT again on a virtual display when there is none, and
# then in a private session with the server registered; returns only inside, where the client's
# bridge to the accessibility bus runs.
in_display_session() {
    local name=$1 script=$2 build_dir=$3
    if [ -n "${ORVIX_ATSPI_ON_BUS:-}" ]; then
        return 0
    fi
    for program in "$build_dir/bin/orvix-client" "$build_dir/bin/orvix-instrument-server"; do
        if [ ! -x "$program" ]; then
            echo "$name: $program is not built" >&2
            exit 1
        fi
    done
    if [ -z "${DISPLAY:-}" ]; then
        exec xvfb-run -a "$script" "$build_dir"
    fi
    in_private_session "$build_dir/bin/orvix-instrument-server" ORVIX_ATSPI_ON_BUS 1 "$script" \
        "$build_dir"
}

#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Orvix Diagnostics need.
# Does nothing when they are all there, unless --always is given (CI: refresh the package
# lists and install, whatever the machine already has).
set -euo pipefail

packages=(
    cmake make g++ pkg-config      # the build
    qt6-base-dev                   # Qt Widgets, DBus, Sql, Test (with the offscreen platform)
    libqt6sql6-sqlite              # Qt SQL's SQLite driver: the service history
    libsqlite3-dev libsodium-dev   # the service history's verifier and its signed checkpoints
    libqt6svg6                     # draws the toolbar's SVG button images
    qt6-charts-dev libqt6charts6   # the pressure trace's chart
    libqt6opengl6-dev              # Qt Charts' CMake package looks for Qt OpenGL
    libgl-dev                      # OpenGL headers that Qt's CMake package looks for
    libgtest-dev libgmock-dev      # the tests
    libbenchmark-dev               # the benchmarks
    dbus dbus-x11                  # the session bus (dbus-run-session, dbus-launch)
    xvfb xauth                     # a virtual display where there is no real one
    at-spi2-core gir1.2-atspi-2.0 python3-gi  # scripts/atspi-check.sh, the client through AT-SPI
    srecord                        # S-record tools, for firmware files in tests
    poppler-utils                  # pdftotext, pdftoppm: the service report read back in tests
    fonts-dejavu-core              # something to draw text with
    desktop-file-utils appstream   # validate the installed desktop entry and metainfo
    x11-utils                      # xwininfo: the installed client's window on the virtual display
    weston qt6-wayland             # the client on a Wayland compositor (headless weston in tests)
    openssh-client systemd         # ssh and systemd-stdio-bridge: an instrument on another computer
    openssh-server                 # the tests' own sshd on loopback
)

always=0
[ "${1:-}" = "--always" ] && always=1

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ "$always" = 0 ] && [ "${#missing[@]}" = 0 ]; then
    echo "install-deps: every package is installed"
    exit 0
fi

as_root=()
if [ "$(id -u)" != 0 ]; then
    if ! command -v sudo >/dev/null; then
        echo "install-deps: these packages are missing and I am not root: ${missing[*]}" >&2
        exit 1
    fi
    as_root=(sudo)
fi

export DEBIAN_FRONTEND=noninteractive
# The package mirrors sometimes stumble; try a few times before giving up.
for attempt in 1 2 3; do
    if "${as_root[@]}" apt-get update -q; then
        break
    fi
    [ "$attempt" = 3 ] && exit 1
    sleep 10
done
for attempt in 1 2 3; do
    if "${as_root[@]}" apt-get install -y -q --no-install-recommends "${packages[@]}"; then
        break
    fi
    [ "$attempt" = 3 ] && exit 1
    sleep 10
done

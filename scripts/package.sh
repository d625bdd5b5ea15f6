#!/usr/bin/env bash
# Builds the Debian packages (the client, and the simulated instrument server as a package of its
# own) with dpkg-buildpackage and checks them with lintian: ./scripts/package.sh [OUTPUT_DIR]
# Needs debhelper and lintian besides the build's own packages (./scripts/install-deps.sh).
# Builds the tracked files, uncommitted changes included, in a temporary copy, so the working
# tree gets none of the build's files; leaves the .deb, .changes and .buildinfo files in
# OUTPUT_DIR (default: build-deb).
set -euo pipefail
cd "$(dirname "$0")/.."

for tool in dpkg-buildpackage dh lintian; do
    if ! command -v "$tool" >/dev/null; then
        echo "package: $tool is missing: apt-get install debhelper lintian" >&2
        exit 1
    fi
done

output=${1:-build-deb}
mkdir -p "$output"
output=$(cd "$output" && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/orvix-diagnostics"
snapshot=$(git stash create)
git archive "${snapshot:-HEAD}" | tar -x -C "$work/orvix-diagnostics"

(cd "$work/orvix-diagnostics" && dpkg-buildpackage -us -uc -b)

lintian_options=(--fail-on error --info)
[ "$(id -u)" = 0 ] && lintian_options+=(--allow-root)
lintian "${lintian_options[@]}" "$work"/*.changes

cp "$work"/*.deb "$work"/*.changes "$work"/*.buildinfo "$output"/
echo "package: the packages are in $output"

#!/usr/bin/env bash
# Renders the application icon's PNG sizes for the hicolor theme from its SVG:
# ./scripts/render-icons.sh   (needs rsvg-convert, package librsvg2-bin)
# The PNGs are committed, so building and installing need no SVG renderer; run this after
# changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/../dist/icons/hicolor"

svg=scalable/apps/org.orvix.Diagnostics.svg
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "${size}x${size}/apps"
    rsvg-convert --width "$size" --height "$size" "$svg" \
        --output "${size}x${size}/apps/org.orvix.Diagnostics.png"
done

#!/usr/bin/env bash
# Configures and builds Orvix Diagnostics: ./scripts/build.sh [target...]
#   ORVIX_BUILD_DIR   the build folder (default: build)
#   ORVIX_BUILD_TYPE  the CMake build type (default: Debug)
#   ORVIX_SANITIZE    ON for an AddressSanitizer + UndefinedBehaviorSanitizer build
#   ORVIX_WERROR      OFF to let warnings through (default: ON)
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${ORVIX_BUILD_DIR:-build}
cmake -S . -B "$build_dir" \
    -DCMAKE_BUILD_TYPE="${ORVIX_BUILD_TYPE:-Debug}" \
    -DORVIX_WERROR="${ORVIX_WERROR:-ON}" \
    -DORVIX_SANITIZE="${ORVIX_SANITIZE:-OFF}"

jobs=$(nproc 2>/dev/null || echo 2)
if [ "$#" = 0 ]; then
    cmake --build "$build_dir" --parallel "$jobs"
else
    cmake --build "$build_dir" --parallel "$jobs" --target "$@"
fi

#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test; ends with ctest's summary.
#   ORVIX_SANITIZE=ON   the same in an AddressSanitizer + UndefinedBehaviorSanitizer build
#                       (LeakSanitizer on), in build-sanitize unless ORVIX_BUILD_DIR says
#   other settings: see scripts/build.sh
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

if [ "${ORVIX_SANITIZE:-OFF}" = ON ]; then
    export ORVIX_BUILD_DIR=${ORVIX_BUILD_DIR:-build-sanitize}
    suppressions="$PWD/scripts/lsan.supp"
    export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1}
    export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$suppressions:print_suppressions=0}
    export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
fi
build_dir=${ORVIX_BUILD_DIR:-build}

./scripts/build.sh

cd "$build_dir"
exec ctest --output-on-failure --parallel "$(nproc 2>/dev/null || echo 2)"

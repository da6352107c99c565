#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test, the end-to-end
# flows under Xvfb included (ctest -L e2e runs just those).
#   ./test.sh             the whole suite
#   ./test.sh --sanitize  the same suite built with AddressSanitizer and UBSan
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
ensure_packages "${PASSAGES_TEST_PACKAGES[@]}"

preset=dev
if [ "${1:-}" = "--sanitize" ]; then
    preset=asan
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --preset "$preset" -j"$(nproc)"

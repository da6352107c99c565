#!/usr/bin/env bash
# Runs one scripted session (set-up through the dialog, strokes with both buttons, save) under
# valgrind's memcheck and prints its error and leak summary; it fails on any error or on memory
# definitely or indirectly lost. No suppressions are needed: what stays reachable at exit is
# Qt's and glib's process-wide state, which memcheck does not count as a leak.
#   scripts/memcheck.sh [build dir]   (default build/dev)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
ensure_packages valgrind
build=${1:-build/dev}
cmake --build "$build" --target session -j"$(nproc)" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QT_QPA_PLATFORM=offscreen valgrind --tool=memcheck --leak-check=full \
    --show-leak-kinds=definite,indirect --errors-for-leak-kinds=definite,indirect \
    --error-exitcode=3 --num-callers=30 \
    "$build/tools/session" 12 10 32 "$work/test.bmp" 2>&1 | tee "$work/memcheck.log" \
    | grep -E "ERROR SUMMARY|definitely lost|indirectly lost|possibly lost|still reachable|suppressed:"

#!/usr/bin/env bash
# Builds Release and runs the benchmarks (5 repetitions, the least kept) into build/bench/results.json,
# measures the peak memory of one session at the largest grid, and writes the table of ratios
# into docs/performance.md.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
ensure_packages python3 time

cmake --preset bench >/dev/null
cmake --build --preset bench -j"$(nproc)"

out=build/bench
export QT_QPA_PLATFORM=offscreen
(cd "$out" && ./bench/passages_bench --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true \
    --benchmark_out=results.json --benchmark_out_format=json)

session_file=$(mktemp -d)/test.bmp
/usr/bin/time -v "$out/tools/session" 100 100 96 "$session_file" 2> "$out/largest_session.txt"
rm -rf "$(dirname "$session_file")"

python3 bench/report.py "$out/results.json" "$out/largest_session.txt" docs/performance.md

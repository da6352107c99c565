#!/usr/bin/env bash
# Fuzzes the settings dialog's number reader with libFuzzer (clang), growing the corpus in
# fuzz/corpus/numbertext.   ./fuzz.sh [seconds]   (default 600)
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
ensure_packages clang libclang-rt-14-dev
seconds=${1:-600}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz_numbertext -j"$(nproc)"
mkdir -p build/fuzz/new-inputs
./build/fuzz/fuzz/fuzz_numbertext -max_total_time="$seconds" -max_len=64 -print_final_stats=1 \
    build/fuzz/new-inputs fuzz/corpus/numbertext
# Keep a small corpus: merge what was found into the committed one.
./build/fuzz/fuzz/fuzz_numbertext -merge=1 fuzz/corpus/numbertext build/fuzz/new-inputs

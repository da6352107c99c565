#!/bin/sh
# The command line: --version and --help answer without a window (there is no display to open
# one on), an unknown option or an argument is an error with exit status 2.   cli.sh PASSAGES
program=$1
fail() { echo "FAIL: $*"; exit 1; }
run() { env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$program" "$@" 2>&1; }

out=$(run --version) || fail "--version exited with $?: $out"
[ "$out" = "passages @PROJECT_VERSION@" ] || fail "--version printed: $out"
out=$(run -h) || fail "-h exited with $?: $out"
echo "$out" | grep -q -- "--version" || fail "-h printed: $out"
for wrong in --frobnicate extra; do
    out=$(run "$wrong")
    status=$?
    [ $status -eq 2 ] || fail "$wrong exited with $status: $out"
    echo "$out" | grep -q -- "${wrong#--}" || fail "$wrong printed: $out"
done
echo "passed: the command line"

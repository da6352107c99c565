#!/bin/sh
# The command line: --version and --help answer without a window (there is no display to open
# one on), with Qt's own options anywhere on the line but nothing else, and fail when the answer
# cannot be written, telling why; Qt and its platform plugin take their
# options, and whatever is left is an error with exit status 2.   cli.sh PASSAGES
# Every run of the program has a minute: a hang fails here, with the line that hung, well before
# ctest's own limit for the whole script.
program=$1
# In a session bus of its own (the script runs itself again in one), with nothing of a desktop it
# may be run from: no run of the program autolaunches a bus, or opens a window or talks on a bus
# where the user works. What it starts ends with it: at its end, and on its death (setpriv).
[ "${PASSAGES_E2E_OWN_BUS:-}" = "$PPID" ] \
    || PASSAGES_E2E_OWN_BUS=$$ exec dbus-run-session -- sh "$0" "$@"
unset DISPLAY WAYLAND_DISPLAY XAUTHORITY AT_SPI_BUS_ADDRESS SESSION_MANAGER
folder=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null; [ -n "$editor" ] && kill $editor 2>/dev/null; rm -rf "$folder"' EXIT
export XDG_RUNTIME_DIR="$folder"
fail() { echo "FAIL: $*"; exit 1; }
run() { timeout 60 env QT_QPA_PLATFORM=xcb "$program" "$@" 2>&1; }
run_within() { seconds=$1; shift; timeout "$seconds" "$program" "$@" 2>&1; }

for line in "--version" "-style fusion --version" "-platform offscreen --version"; do
    out=$(run $line) || fail "$line exited with $?: $out"
    [ "$out" = "passages @PROJECT_VERSION@" ] || fail "$line printed: $out"
done
for line in "-h" "-reverse --help"; do
    out=$(run $line) || fail "$line exited with $?: $out"
    echo "$out" | grep -q -- "--version" || fail "$line printed: $out"
    echo "$out" | head -n 1 | grep -qx "Usage: passages \[options\]" || fail "$line printed: $out"
done
# Neither takes a value, and there is no --help-all: Qt's own options cannot be listed before the
# editor's application has a display.
for line in "--version=1" "--help=all" "-v=x"; do
    out=$(run $line)
    status=$?
    [ $status -eq 2 ] && echo "$out" | grep -q "Unexpected value after" || fail "$line: $status: $out"
done
out=$(run -h)
echo "$out" | grep -q -- "--help-all" && fail "--help offers --help-all: $out"
# Beside --help or --version only Qt's own options may stand; anything else is refused, unanswered.
refused() {
    out=$(run $1)
    status=$?
    [ $status -eq 2 ] && echo "$out" | grep -qxF "passages: $2" \
        && ! echo "$out" | grep -q -e "^passages @PROJECT_VERSION@" -e "^Usage:" \
        || fail "$1: $status: $out"
}
refused "--version --bogus" "Unknown option 'bogus'."
refused "-v extra" "Unexpected argument 'extra'."
refused "-style fusion --help extra" "Unexpected argument 'extra'."
refused "--help --version" "Unexpected argument '--version'."
out=$(run -platform offscreen --help-all)
[ $? -eq 2 ] && echo "$out" | grep -q "help-all" || fail "--help-all was taken: $out"

# An answer that cannot be written is an error: said on standard error, exit status 1.
for line in "--version" "--help"; do
    err=$("$program" $line 2>&1 >/dev/full)
    status=$?
    [ $status -eq 1 ] || fail "$line >/dev/full exited with $status: $err"
    [ "$err" = "passages: The answer could not be written: No space left on device" ] \
        || fail "$line >/dev/full printed: $err"
done
# A closed standard output is told as such, also after Qt's own options have been taken.
for line in "--version" "-style fusion --help"; do
    err=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" $line 2>&1 >&-)
    status=$?
    [ $status -eq 1 ] && [ "$err" = "passages: The answer could not be written: Bad file descriptor" ] \
        || fail "$line with standard output closed: $status: $err"
done

# Without a display only a platform that needs none can start; Qt takes its option first.
for wrong in --frobnicate extra; do
    out=$(run -platform offscreen "$wrong")
    status=$?
    [ $status -eq 2 ] || fail "$wrong exited with $status: $out"
    echo "$out" | grep -q -- "${wrong#--}" || fail "$wrong printed: $out"
done

# No thread can be started when each would need a stack larger than the address space allowed:
# the editor says so rather than wait for Qt's painting threads. (Not with the sanitizers, whose
# shadow memory no such limit leaves room for.)
if [ "@PASSAGES_SANITIZE@" != "ON" ]; then
    out=$( (ulimit -s 4000000 && ulimit -v 3000000 && run_within 60 -platform offscreen) )
    status=$?
    [ $status -eq 1 ] \
        && echo "$out" | grep -qx "passages: There is not enough memory to start the editor." \
        || fail "threads that cannot start: $status: $out"
fi

# A platform plugin's own option: xcb's -visual, on an X server of our own.
setpriv --pdeathsig KILL Xvfb -displayfd 3 -nolisten tcp 3>"$folder/display" >/dev/null 2>&1 &
xvfb=$!
tries=0
until [ -s "$folder/display" ]; do
    tries=$((tries + 1))
    [ $tries -le 600 ] || fail "Xvfb did not start"
    sleep 0.1
done
display=:$(cat "$folder/display")
xrun() { timeout 60 env DISPLAY=$display QT_QPA_PLATFORM=xcb "$program" "$@" 2>&1; }
out=$(xrun -visual 0x21 extra)
status=$?
[ $status -eq 2 ] && echo "$out" | grep -q "'extra'" || fail "-visual 0x21 extra: $status: $out"

# Starts the editor on the display (GLIBC_TUNABLES as given), waits for its window, notes its
# address space in kB in "$folder/size" and ends it.
open_editor() {
    setpriv --pdeathsig KILL env DISPLAY=$display QT_QPA_PLATFORM=xcb HOME="$folder" \
        GLIBC_TUNABLES="$1" "$program" $2 >"$folder/output" 2>&1 &
    editor=$!
    DISPLAY=$display timeout 60 xdotool search --sync --onlyvisible --name '^Form1$' >/dev/null \
        || fail "$2: no window: $(cat "$folder/output")"
    kill -0 $editor || fail "$2: the editor ended: $(cat "$folder/output")"
    awk '/^VmSize:/ { print $2 }' /proc/$editor/status >"$folder/size"
    kill $editor
    wait $editor
    editor=
}
# Taken by the plugin, the option leaves nothing to refuse: the editor opens its window.
open_editor "" "-visual 0x21"
size=$(cat "$folder/size")
# Every thread allocates from the one heap: a heap of its own reserves 64 MiB of address space
# for each thread, which under an address-space limit the largest canvas cannot then have. The
# editor's address space once its window is open is that of the same program held to one heap
# from outside (half a heap apart at most).
open_editor "glibc.malloc.arena_max=1" ""
one_heap=$(cat "$folder/size")
[ "$size" -le $((one_heap + 32768)) ] \
    || fail "the editor takes $size kB of address space, $one_heap kB when held to one heap"
echo "passed: the command line"

#!/usr/bin/env python3
"""The largest grid set up under address-space limits (`ulimit -v`) around the one where its
canvas stops fitting, which moves with the build and the machine, so it is found first:

    memory_sweep.py PATH/TO/passages

A bisection finds the smallest limit at which the set-up succeeds; then every limit of a band
around it runs the whole check. Each run is the real program under that limit on one display:
it must either show the not-enough-memory warning and keep settings, canvas and drawing, or go
on working (the dialog, a stroke, Save). A hang shows as a dialog or warning that never comes,
a crash as the program ending."""

import resource
import subprocess
import sys
import time

import processes
from driver import COMMAND1, DIALOG, Failure, Session, check_squares

LARGEST = (100, 100, 96)
CANVAS_KB = 100 * 96 * 100 * 96 * 4 // 1024
MB = 1024  # in kB, the unit of the limits


def start(s, kilobytes):
    def limit():
        resource.setrlimit(resource.RLIMIT_AS, (kilobytes * 1024, kilobytes * 1024))
    s.log.write("--- limit %d kB\n" % kilobytes)
    s.log.flush()
    s.app = s.spawn([s.program], s.program_env, stdout=s.log, stderr=subprocess.STDOUT,
                    cwd=s.home, preexec_fn=limit)
    s.form1 = s.wait_for(lambda: s.keyboard_window("Form1"),
                         "the main window with the keyboard at %d kB" % kilobytes)


def stop(s):
    processes.stop(s.app)
    s.wait_for(lambda: not s.windows("Form1"), "the windows to go")


def cancel_dialog(s):
    dialog = s.wait_for(lambda: s.window("Form2"), "the settings dialog")
    s.click(dialog, DIALOG["Cancel"])
    s.wait_for(lambda: not s.windows("Form2"), "the dialog to close")


def dialog_or_warning(s):
    """What "Command1" brings after the largest set-up: the dialog, or the warning, which
    (window-modal, shown before the set-up returned) keeps the click from the window behind it."""
    if s.window("Form2"):
        return "dialog"
    return "warning" if len(s.windows("Form1")) == 2 else None


def close_warning(s, warning):
    """Clicks "OK" in the warning, 52 and 24 pixels in from its bottom right corner. A click,
    not Return: the click on Command1 before it, which the warning blocks, makes Qt give the
    main window the keyboard (Qt activates a window clicked into) until openbox hands it back to
    the warning, and a Return sent in between is lost. On the busy machine one was: the warning
    stayed, active, with its OK focused. Clicks reach the program in the order they were made."""
    info = subprocess.run(["xwininfo", "-id", warning], env=s.env, capture_output=True,
                          text=True).stdout
    size = dict(line.strip().split(": ") for line in info.splitlines()
                if line.strip().startswith(("Width:", "Height:")))
    s.click(warning, (int(size["Width"]) - 52, int(size["Height"]) - 24))


def set_up_largest(s, kilobytes, thorough):
    """Sets up the largest grid under the limit, and checks that the editor goes on; True when
    the canvas fitted. Thorough: with a drawing before, and a stroke and Save after."""
    start(s, kilobytes)
    try:
        if thorough:
            s.set_up(10, 10, 32)
            s.stroke(32, [(1, 1), (2, 1)])
        s.set_up(*LARGEST)
        s.click(s.form1, COMMAND1)
        shown = s.wait_for(lambda: dialog_or_warning(s),
                           "the dialog or the warning at %d kB" % kilobytes)
        if shown == "warning":
            # The click went to the main window; the user turns to the warning to close it.
            close_warning(s, [w for w in s.windows("Form1") if w != s.form1][0])
            s.wait_for(lambda: len(s.windows("Form1")) == 1, "the warning to close")
            s.click(s.form1, COMMAND1)
        cancel_dialog(s)
        if thorough:
            if shown == "dialog":
                s.stroke(96, [(0, 0), (1, 0)])
                check_squares(s.save(), 96, 100, 100, {(0, 0): ("0010", 0), (1, 0): ("1000", 0)})
            else:
                check_squares(s.save(), 32, 10, 10, {(1, 1): ("0010", 0), (2, 1): ("1000", 0)})
        return shown == "dialog"
    finally:
        stop(s)


def address_space_kb(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmSize:"):
                return int(line.split()[1])
    raise Failure("no VmSize for the program")


def smallest_fitting_limit(s):
    """The smallest limit (to 2 MB) at which the largest set-up succeeds, by bisection from a
    limit that leaves a quarter of the canvas free above the running program to one that leaves
    three canvases."""
    started = address_space_kb(s.app.pid)
    stop(s)
    low, high = started + CANVAS_KB // 4, started + 3 * CANVAS_KB
    if set_up_largest(s, low, thorough=False):
        raise Failure("the largest grid fitted at %d kB" % low)
    if not set_up_largest(s, high, thorough=False):
        raise Failure("the largest grid did not fit at %d kB" % high)
    while high - low > 2 * MB:
        middle = (low + high) // 2
        if set_up_largest(s, middle, thorough=False):
            high = middle
        else:
            low = middle
        print("bisection: %d .. %d kB" % (low, high), flush=True)
    return high


def main(program):
    with Session(program) as s:
        threshold = smallest_fitting_limit(s)
        print("the largest grid fits from about %d kB" % threshold, flush=True)
        for kilobytes in range(threshold - 8 * MB, threshold + 40 * MB + 1, 4 * MB):
            began = time.monotonic()
            fitted = set_up_largest(s, kilobytes, thorough=True)
            print("%d kB (%.0f s): %s" % (kilobytes, time.monotonic() - began, "a working editor" if fitted else
                                  "the warning, everything kept"), flush=True)
    print("passed: memory_sweep")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: memory_sweep.py PROGRAM")
    processes.isolate()
    main(sys.argv[1])

#!/usr/bin/env python3
"""End-to-end flows of the editor on a real display, one per run:

    flows.py FLOW PATH/TO/passages [x11|wayland|gnome]

Each flow starts its own display (X11 unless told), drives the program with real input and judges
what a user could see: the windows open, the screen, the files in HOME and the saved bitmap,
square by square. The stalling disk's flow takes its library from PASSAGES_STALL_LIBRARY."""

import os
import sys
import time

import processes
from driver import (CLIENT, CORNER, LAYOUT, SAVE, Bitmap, Failure, Session, check_squares,
                    light, wait_until)

# Fusion's scroll bars are 14 pixels wide; a scrolled canvas ends beside them.
SCROLL_BAR = 14
VIEW = (CLIENT[0] - CORNER[0] - SCROLL_BAR, CLIENT[1] - CORNER[1] - SCROLL_BAR)
DIALOG_CLIENT = tuple(LAYOUT["Form2"]["client"])


def left_in_home(s):
    """The names in HOME a user would see, and any new file a save left under a hidden name."""
    return sorted(name for name in os.listdir(s.home)
                  if not name.startswith(".") or name.startswith(".test.bmp"))


def both_buttons_a_jump_and_a_diagonal(s):
    s.set_up(10, 10, 32)
    s.stroke(32, [(1, 1), (2, 1), (2, 2)], button=1)
    s.stroke(32, [(5, 5), (6, 5)], button=3)  # the right button: the second tile set
    s.stroke(32, [(1, 5), (4, 5)])  # a jump of three squares in one movement
    s.stroke(32, [(7, 7), (8, 8)])  # a diagonal: the vertical step wins
    check_squares(s.save(), 32, 10, 10, {
        (1, 1): ("0010", 0), (2, 1): ("1100", 0), (2, 2): ("0001", 0),
        (5, 5): ("0010", 1), (6, 5): ("1000", 1),
        (3, 5): ("0010", 0), (4, 5): ("1000", 0),
        (8, 7): ("0100", 0), (8, 8): ("0001", 0)})


def a_drag_off_every_edge_and_back(s):
    s.set_up(10, 10, 32)
    # From an edge square out past that edge, then into the square beside it.
    for start, outside, back in (((0, 5), (-40, 176), (1, 5)), ((5, 0), (176, -40), (5, 1)),
                                 ((9, 4), (360, 144), (8, 4)), ((4, 9), (144, 360), (4, 8))):
        s.pointer(s.square(32, *start), press=1)
        s.pointer(s.canvas(*outside))  # still on the start square, the edge one
        s.pointer(s.square(32, *back), release=1)
    check_squares(s.save(), 32, 10, 10, {
        (0, 5): ("0010", 0), (1, 5): ("1000", 0), (5, 0): ("0100", 0), (5, 1): ("0001", 0),
        (9, 4): ("1000", 0), (8, 4): ("0010", 0), (4, 9): ("0001", 0), (4, 8): ("0100", 0)})


def a_second_button_pressed_outside(s):
    s.set_up(10, 10, 32)
    s.pointer(s.square(32, 0, 1), press=1)
    s.pointer(s.canvas(-60, 48), press=3)  # right pressed off the canvas, left still held
    s.pointer(s.canvas(-60, 48), release=1)
    s.pointer(s.square(32, 0, 1))
    s.pointer(s.square(32, 0, 2), release=3)
    check_squares(s.save(), 32, 10, 10, {(0, 1): ("0100", 1), (0, 2): ("0001", 1)})


def the_settings_by_keyboard(s):
    s.open_settings()
    for value in ("12", "8", "24"):  # the boxes in their tab order: X, Y, pixels
        s.key("ctrl+a")
        s.type(value)
        s.key("Tab")
    s.key("Escape")  # nothing: had it closed the dialog, Enter below could not accept it
    s.key("shift+Tab", "shift+Tab", "shift+Tab")  # back in a box, where Enter means "OK"
    s.key("Return")
    s.wait_for(lambda: not s.windows("Form2"), "Enter to accept the dialog")
    s.stroke(24, [(1, 1), (2, 1), (2, 2)], button=1)
    s.stroke(24, [(5, 5), (6, 5)], button=3)
    drawing = {(1, 1): ("0010", 0), (2, 1): ("1100", 0), (2, 2): ("0001", 0),
               (5, 5): ("0010", 1), (6, 5): ("1000", 1)}
    check_squares(s.save(), 24, 12, 8, drawing)
    s.check_screen(24, 12, 8, drawing, frame=(6, 5))
    # The dialog's close button changes nothing.
    s.open_settings()
    s.key("ctrl+a")
    s.type("50")
    s.key("alt+F4")  # the window manager's close
    s.wait_for(lambda: not s.windows("Form2"), "the window manager to close the dialog")
    check_squares(s.save(), 24, 12, 8, drawing)


def a_failed_save_and_its_message(s):
    s.set_up(10, 10, 32)
    s.stroke(32, [(1, 1), (2, 1)])
    os.mkdir(s.bitmap())  # a folder where the bitmap should go
    s.click(s.form1, SAVE)
    s.focused_window("Form1", other_than=s.form1)  # the warning, which takes its owner's title
    s.key("Return")
    s.wait_for(lambda: len(s.windows("Form1")) == 1, "Enter to dismiss the warning")
    left = left_in_home(s)
    if not os.path.isdir(s.bitmap()) or left != ["test.bmp"]:
        raise Failure("the folder was touched or something was left: %s" % left)
    os.rmdir(s.bitmap())
    check_squares(s.save(), 32, 10, 10, {(1, 1): ("0010", 0), (2, 1): ("1000", 0)})


def the_settings_stay_on_top(s):
    """Form1 clicked while the settings are open: the dialog stays above Form1 and Enter accepts
    it; on X11 and GNOME it has the keyboard before the button is let go. It opens over Form1,
    but on GNOME Shell 43, which places it as an ordinary window, beside Form1 where there is room.

    On sway Form1 is clicked tiled, where sway's own default puts it: sway raises a clicked
    floating window over every other, a dialog of it too. The click leaves sway's keyboard in
    Form1: by default sway answers the program's request to activate the dialog by marking it
    urgent, and the dialog has the keyboard again when it is clicked."""
    sway = s.backend.name == "wayland"
    dialog = s.open_settings()

    def middle_of_dialog():
        (x1, y1), (x2, y2) = s.backend.origin(s.form1), s.backend.origin(dialog)
        return (x2 - x1 + DIALOG_CLIENT[0] // 2, y2 - y1 + DIALOG_CLIENT[1] // 2)
    middle = middle_of_dialog()
    if s.backend.name != "gnome" and not (0 < middle[0] < CLIENT[0] and 0 < middle[1] < CLIENT[1]):
        raise Failure("the settings opened away from the main window, at %s of it" % (middle,))
    if sway:
        s.backend.set_floating(s.form1, False)
        middle = middle_of_dialog()
    corners = [(x, y) for x in (8, CLIENT[0] - 8) for y in (8, CLIENT[1] - 8)]
    pressed = s.presses_received()
    s.pointer(max(corners, key=lambda c: (c[0] - middle[0]) ** 2 + (c[1] - middle[1]) ** 2),
              press=1)
    if s.backend.name != "x11":  # the press reached the program, so the shell has acted on it
        s.wait_for(lambda: s.presses_received() > pressed, "the press to reach Form1")
    if sway:
        s.wait_for(lambda: s.backend.view(dialog)["urgent"], "Form2 to be marked urgent")
        if not s.backend.focused(s.form1):
            raise Failure("the click did not give Form1 sway's keyboard")
    else:
        s.focused_window("Form2")
    s.backend.button(1, False)
    stacking = s.backend.stacking()
    if stacking.index(dialog) < stacking.index(s.form1):
        raise Failure("the main window was raised over the settings")
    if sway:
        s.click(dialog, (DIALOG_CLIENT[0] // 2, 8))
        s.focused_window("Form2")
    s.key("Return")
    s.wait_for(lambda: not s.windows("Form2"), "Enter to accept the dialog")
    if sway:
        s.backend.set_floating(s.form1, True)
    check_squares(s.save(), 32, 10, 10, {})


def far_corner(s, size_x, size_y, pixels, notches):
    """Wheels to the bottom right of a canvas larger than the window (down, then Shift+wheel
    across); returns how far it scrolled."""
    s.pointer(s.canvas(100, 100))
    s.wheel(notches)
    s.wheel(notches, shift=True)
    return (size_x * pixels - VIEW[0], size_y * pixels - VIEW[1])


def the_wheel_on_a_large_canvas(s):
    s.set_up(30, 20, 32)
    scrolled = far_corner(s, 30, 20, 32, 40)
    s.pointer(s.square(32, 28, 19, scrolled), press=1)
    s.pointer(s.square(32, 29, 19, scrolled))
    s.pointer(s.square(32, 29, 18, scrolled), release=1)  # mostly under "Command1"
    check_squares(s.save(), 32, 30, 20, {
        (28, 19): ("0010", 0), (29, 19): ("1001", 0), (29, 18): ("0100", 0)})


def the_largest_grid(s):
    s.set_up(100, 100, 96)
    scrolled = far_corner(s, 100, 100, 96, 200)
    s.pointer(s.square(96, 98, 99, scrolled), press=3)
    s.pointer(s.square(96, 99, 99, scrolled), release=3)
    check_squares(s.save(), 96, 100, 100, {(98, 99): ("0010", 1), (99, 99): ("1000", 1)})


def passage_down_then_across(start, down_to, across_to):
    """The codes of a passage drawn with the left button from `start` straight down to row
    `down_to`, then across to column `across_to`."""
    path = [start]
    while path[-1][1] != down_to:
        path.append((start[0], path[-1][1] + 1))
    while path[-1][0] != across_to:
        column, row = path[-1]
        path.append((column + (1 if across_to > column else -1), row))
    expected = {}
    for i, (column, row) in enumerate(path):
        code = ["0"] * 4
        for other in path[max(i - 1, 0):i] + path[i + 1:i + 2]:
            dx, dy = other[0] - column, other[1] - row
            code[0 if dx < 0 else 1 if dy > 0 else 2 if dx > 0 else 3] = "1"
        expected[(column, row)] = ("".join(code), 0)
    return expected


def a_drag_held_below_the_window(s):
    """Down to the bottom edge of the view and held there, on the scroll bar: the view scrolls to
    the end of the canvas and the passage runs unbroken down to the last row. Then on past the
    window's own edge, 40 pixels below it, where the pointer stays on the last row."""
    s.set_up(100, 100, 16)
    bottom = VIEW[1] - 1  # the last visible pixel row of the canvas
    last = (bottom + 1) // 16 - 1  # the last row the view shows whole
    s.pointer(s.square(16, 3, last - 1), press=1)
    s.pointer(s.square(16, 3, last))
    # The next row down, past the view's edge: the one move made while the view scrolls, since
    # two such moves merged by Qt would be a jump over the rows scrolled between them.
    s.pointer(s.canvas(56, (last + 2) * 16 - 1))
    # At the end of the canvas the last square's closed bottom side shows at the view's edge;
    # until then the passage or blank squares do.
    s.wait_for(lambda: not light(s.shown_canvas(VIEW[0], VIEW[1]).pixel(56, bottom)),
               "the view to reach the end of the canvas")
    for y in range(VIEW[1] + SCROLL_BAR, 528 - CORNER[1] + 41, 8):  # past the window's own edge
        s.pointer(s.canvas(56, y))
    s.pointer(s.canvas(56, CLIENT[1] - CORNER[1] + 40), release=1)
    check_squares(s.save(), 16, 100, 100, passage_down_then_across((3, last - 1), 99, 3))


def the_wheel_during_a_drag(s):
    """At 7 pixels a square a notch of the wheel carries the held pointer over several squares,
    down and, with Shift, across: every square on the way is joined."""
    s.set_up(100, 100, 7)
    s.pointer(s.square(7, 3, 3), press=1)
    s.pointer(s.square(7, 3, 4))
    s.wheel(2)  # two notches of 60 pixels
    s.wheel(1, shift=True)  # a notch across, as far as the canvas goes
    s.pointer(s.centre(7, 3, 4), release=1)
    across = min(60, 100 * 7 - VIEW[0])
    check_squares(s.save(), 7, 100, 100,
                  passage_down_then_across((3, 3), (4 * 7 + 3 + 120) // 7, (3 * 7 + 3 + across) // 7))


def a_save_on_a_stalling_disk(s):
    """Every sync of the disk, the file's and then the folder's, stalls for STALL_SECONDS
    (stalling_disk): the progress window shows while the file's sync stalls, Escape then keeps
    the earlier file and leaves nothing behind, and a save left to finish writes the whole
    canvas. Escape once the new file has replaced the earlier one, while the folder's sync
    stalls, comes too late: the user is told, and the new file is whole. The main window closed
    through the window manager while the progress window shows ends the program, with the
    earlier file kept and nothing left."""
    s.set_up(10, 10, 32)
    s.stroke(32, [(1, 1), (2, 1)])
    drawing = {(1, 1): ("0010", 0), (2, 1): ("1000", 0)}
    check_squares(s.save(), 32, 10, 10, drawing)
    s.wait_for(lambda: not s.windows("Saving"), "the first save to end")
    with open(s.bitmap(), "rb") as f:
        earlier = f.read()
    s.stroke(32, [(5, 5), (6, 5)])
    drawing.update({(5, 5): ("0010", 0), (6, 5): ("1000", 0)})

    pressed = time.monotonic()
    s.click(s.form1, SAVE)
    s.focused_window("Saving")
    print("the progress window showed %.2f s after Save was pressed" % (time.monotonic() - pressed))
    s.key("Escape")
    s.wait_for(lambda: not s.windows("Saving"), "the cancelled save to stop")
    left = left_in_home(s)
    with open(s.bitmap(), "rb") as f:
        if f.read() != earlier or left != ["test.bmp"]:
            raise Failure("the earlier file was changed or something was left: %s" % left)
    if len(s.windows("Form1")) != 1:
        raise Failure("a message came for a cancelled save: %s" % s.window_names())

    def replaced():
        with open(s.bitmap(), "rb") as f:
            return f.read() != earlier
    s.click(s.form1, SAVE)
    s.focused_window("Saving")
    s.wait_for(replaced, "the new file to replace the earlier one")
    renamed = time.monotonic()
    s.key("Escape")
    print("Escape was pressed %.2f s after the new file had its name"
          % (time.monotonic() - renamed))
    s.focused_window("Form1", other_than=s.form1)  # the message, with its owner's title
    s.key("Return")
    s.wait_for(lambda: len(s.windows("Form1")) == 1 and not s.windows("Saving"),
               "Enter to dismiss the message")
    left = left_in_home(s)
    if left != ["test.bmp"]:
        raise Failure("a save cancelled too late left: %s" % left)
    check_squares(Bitmap(s.bitmap()), 32, 10, 10, drawing)

    with open(s.bitmap(), "rb") as f:
        earlier = f.read()
    s.stroke(32, [(1, 7), (2, 7)])
    s.click(s.form1, SAVE)
    s.focused_window("Saving")
    s.click(s.form1, (400, 20))  # beside the read-outs, where nothing is
    s.focused_window("Form1")
    s.key("alt+F4")  # openbox's close
    wait_until(lambda: s.app.poll() is not None, "the program to end")
    left = left_in_home(s)
    with open(s.bitmap(), "rb") as f:
        kept = f.read() == earlier
    if not kept or left != ["test.bmp"] or s.app.returncode != 0:
        raise Failure("closed during a save: exit status %s, the earlier file %s, left: %s"
                      % (s.app.returncode, "kept" if kept else "changed", left))


# Long enough for a user to press Escape while the folder's sync stalls.
STALL_SECONDS = 3


def stalling_disk():
    """The program's environment for a disk whose every fsync and fdatasync stalls (the library
    tests/e2e/stalldisk.cpp, preloaded). In a build with AddressSanitizer, its runtime is then
    not the first library loaded, which it would otherwise refuse."""
    return {"LD_PRELOAD": os.environ["PASSAGES_STALL_LIBRARY"],
            "PASSAGES_STALL_SECONDS": str(STALL_SECONDS),
            "ASAN_OPTIONS": ":".join(filter(None, (os.environ.get("ASAN_OPTIONS"),
                                                    "verify_asan_link_order=0")))}


FLOWS = {f.__name__: f for f in (
    both_buttons_a_jump_and_a_diagonal, a_drag_off_every_edge_and_back,
    a_second_button_pressed_outside, the_settings_by_keyboard, a_failed_save_and_its_message,
    the_wheel_on_a_large_canvas, the_largest_grid, a_drag_held_below_the_window,
    the_wheel_during_a_drag, a_save_on_a_stalling_disk, the_settings_stay_on_top)}
# Flows whose program is given more in its environment.
PROGRAM_ENV = {"a_save_on_a_stalling_disk": stalling_disk}

if __name__ == "__main__":
    if len(sys.argv) not in (3, 4) or sys.argv[1] not in FLOWS or sys.argv[3:] not in (
            [], ["x11"], ["wayland"], ["gnome"]):
        sys.exit("usage: flows.py {%s} PROGRAM [x11|wayland|gnome]" % ",".join(FLOWS))
    processes.isolate()
    env = PROGRAM_ENV.get(sys.argv[1], dict)()
    with Session(os.path.abspath(sys.argv[2]), *sys.argv[3:], env=env) as session:
        FLOWS[sys.argv[1]](session)
    print("passed:", sys.argv[1], *sys.argv[3:])

"""A small driver for end-to-end tests: its own X server (Xvfb) and window manager (openbox), the
real `passages` program with HOME in a temporary folder, real X input through XTest (xdotool),
and only what a user could see to judge by: the windows that are open, the files in HOME, and the
saved bitmap square by square. There are no hooks into the program."""

import os
import shutil
import struct
import subprocess
import tempfile
import time

CORNER = (24, 32)  # the canvas's corner in the main window
SAVE = (560 + 56, 408 + 16)  # the middle of "Save" and "Command1" in the main window
COMMAND1 = (560 + 56, 448 + 16)
DIALOG = {"txtSizeX": (112 + 50, 16 + 9), "txtSizeY": (112 + 50, 40 + 9),
          "txtPixel": (112 + 50, 64 + 10), "OK": (272 + 52, 248 + 12),
          "Cancel": (176 + 44, 248 + 12)}
# Qt merges pointer movements that are queued together; a pause of this length between steps
# lets each one arrive on its own, as a hand moving square by square does.
STEP = 0.03


class Failure(AssertionError):
    pass


class Session:
    def __init__(self, program):
        self.program = program
        self.home = tempfile.mkdtemp(prefix="passages-e2e-")
        self.processes = []

    # --- starting and stopping -------------------------------------------------------------
    def __enter__(self):
        read, write = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24",
                                 "-nolisten", "tcp"], pass_fds=[write],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(xvfb)
        os.close(write)
        with os.fdopen(read) as display:
            number = display.readline().strip()
        if not number:
            raise Failure("Xvfb did not start")
        self.env = {k: v for k, v in os.environ.items()
                    if not k.startswith("QT_") and k not in ("WAYLAND_DISPLAY", "XAUTHORITY")}
        self.env.update(DISPLAY=":" + number, HOME=self.home, QT_QPA_PLATFORM="xcb",
                        LC_ALL="C.UTF-8")
        self.processes.append(subprocess.Popen(["openbox"], env=self.env,
                                               stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL))
        # The window manager announces itself on the root window once it manages windows.
        self.wait_for(self.window_manager_ready, "the window manager")
        self.log = open(os.path.join(self.home, ".passages-output"), "w+")
        self.app = subprocess.Popen([self.program], env=self.env, stdout=self.log,
                                    stderr=subprocess.STDOUT, cwd=self.home)
        self.processes.append(self.app)
        self.form1 = self.wait_for(lambda: self.window("Form1"), "the main window")
        return self

    def __exit__(self, kind, error, trace):
        if error is not None:
            print(self.report())
        for process in reversed(self.processes):
            process.terminate()
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
        self.log.close()
        shutil.rmtree(self.home, ignore_errors=True)
        return False

    def report(self):
        self.log.flush()
        self.log.seek(0)
        return ("windows open: %s\nfiles in HOME: %s\nprogram output:\n%s"
                % (self.window_names(), sorted(os.listdir(self.home)), self.log.read()))

    # --- waiting and looking -----------------------------------------------------------------
    def wait_for(self, condition, what, timeout=20.0):
        end = time.monotonic() + timeout
        while True:
            value = condition()
            if value:
                return value
            if hasattr(self, "app") and self.app.poll() is not None:
                raise Failure("the program ended (%s) while waiting for %s"
                              % (self.app.returncode, what))
            if time.monotonic() > end:
                raise Failure("waited %g s for %s" % (timeout, what))
            time.sleep(0.05)

    def window_manager_ready(self):
        result = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env,
                                capture_output=True, text=True)
        return "window id" in result.stdout

    def xdo(self, *args):
        result = subprocess.run(["xdotool", *map(str, args)], env=self.env,
                                capture_output=True, text=True)
        return result.stdout.split()

    def windows(self, name):
        return self.xdo("search", "--onlyvisible", "--name", "^%s$" % name)

    def window(self, name):
        found = self.windows(name)
        return found[0] if len(found) == 1 else None

    def window_names(self):
        ids = self.xdo("search", "--onlyvisible", "--name", ".")
        return [" ".join(self.xdo("getwindowname", w)) for w in ids]

    # --- input ---------------------------------------------------------------------------------
    # Buttons and keys go through XTest as separate commands: chained after a "--window" command,
    # xdotool would send them to that window as synthetic events, which no user can make.
    def click(self, window, at, button=1):
        self.xdo("mousemove", "--window", window, "--", at[0], at[1])
        self.xdo("click", button)

    def key(self, *keys):
        self.xdo("key", "--delay", 30, *keys)

    def type(self, text):
        self.xdo("type", "--delay", 30, text)

    def canvas(self, x, y):
        """A point of the canvas (not scrolled) in the main window."""
        return (CORNER[0] + x, CORNER[1] + y)

    def pointer(self, at, press=None, release=None):
        """Moves the pointer to `at` in the main window, then presses or releases a button."""
        self.xdo("mousemove", "--window", self.form1, "--", at[0], at[1], "sleep", STEP)
        if press:
            self.xdo("mousedown", press, "sleep", STEP)
        if release:
            self.xdo("mouseup", release, "sleep", STEP)

    def centre(self, pixels, column, row, scrolled=(0, 0)):
        return self.canvas(column * pixels + pixels // 2 - scrolled[0],
                           row * pixels + pixels // 2 - scrolled[1])

    def stroke(self, pixels, squares, button=1):
        """A drag through the centres of the squares, one step each."""
        points = [self.centre(pixels, c, r) for c, r in squares]
        self.pointer(points[0], press=button)
        for point in points[1:]:
            self.pointer(point)
        self.pointer(points[-1], release=button)

    # --- the two windows -----------------------------------------------------------------------
    def open_settings(self):
        self.click(self.form1, COMMAND1)
        return self.wait_for(lambda: self.window("Form2"), "the settings dialog")

    def set_up(self, size_x, size_y, pixels):
        dialog = self.open_settings()
        for box, value in (("txtSizeX", size_x), ("txtSizeY", size_y), ("txtPixel", pixels)):
            self.click(dialog, DIALOG[box])
            self.key("ctrl+a")
            self.type(str(value))
        self.click(dialog, DIALOG["OK"])
        self.wait_for(lambda: not self.windows("Form2"), "the dialog to close")

    def bitmap(self):
        return os.path.join(self.home, "test.bmp")

    def save(self):
        """Presses "Save" and waits for the bitmap, which appears whole or not at all."""
        if os.path.exists(self.bitmap()):
            os.remove(self.bitmap())
        self.click(self.form1, SAVE)
        self.wait_for(lambda: os.path.exists(self.bitmap()), "test.bmp", timeout=60)
        return Bitmap(self.bitmap())


class Bitmap:
    """A 24-bit Windows bitmap, read a pixel at a time (the largest is 276 MB)."""

    def __init__(self, path):
        self.file = open(path, "rb")
        header = self.file.read(54)
        if header[:2] != b"BM":
            raise Failure("test.bmp is not a bitmap")
        self.offset, = struct.unpack_from("<I", header, 10)
        self.width, self.height = struct.unpack_from("<ii", header, 18)
        bits, = struct.unpack_from("<H", header, 28)
        if bits != 24:
            raise Failure("test.bmp has %d bits per pixel" % bits)
        self.stride = (self.width * 3 + 3) & ~3

    def pixel(self, x, y):
        row = self.height - 1 - y if self.height > 0 else y
        self.file.seek(self.offset + row * self.stride + x * 3)
        b, g, r = self.file.read(3)
        return r, g, b


def light(c):
    return sum(c) / 3 > 180


def check_squares(bitmap, pixels, size_x, size_y, expected):
    """Every square of the grid against what the strokes should have made of it: the squares in
    `expected` ((column, row) -> (code, tile set)) show the tile of the code in that set (passage
    in the middle and across exactly the open sides, walls of the set's colour at the corners);
    every other square is blank."""
    if (bitmap.width, abs(bitmap.height)) != (size_x * pixels, size_y * pixels):
        raise Failure("test.bmp is %d x %d" % (bitmap.width, abs(bitmap.height)))
    for row in range(size_y):
        for column in range(size_x):
            def at(fx, fy):
                return bitmap.pixel(column * pixels + round(fx * (pixels - 1)),
                                    row * pixels + round(fy * (pixels - 1)))
            where = "square %d,%d" % (column, row)
            if (column, row) not in expected:
                if at(0, 0) != (255, 255, 255) or at(0.5, 0.5) != (255, 255, 255):
                    raise Failure("%s should be blank, shows %s" % (where, at(0, 0)))
                continue
            code, tile_set = expected[(column, row)]
            corner = at(0, 0)
            teal = corner[2] > corner[0]
            if light(corner) or teal != (tile_set == 1):
                raise Failure("%s: a wall of tile set %d expected, corner is %s"
                              % (where, tile_set, corner))
            if not light(at(0.5, 0.5)):
                raise Failure("%s: no passage in the middle" % where)
            for side, (fx, fy) in enumerate(((0, 0.5), (0.5, 1), (1, 0.5), (0.5, 0))):
                if light(at(fx, fy)) != (code[side] == "1"):
                    raise Failure("%s: code %s expected, side %d is %s"
                                  % (where, code, side, "open" if light(at(fx, fy)) else "closed"))

"""What an end-to-end test starts ends with it, and reaches nothing outside it: not the desktop it
may be run from, not another test.

`isolate()`, first thing in a test, runs the test's script again inside a session bus of its own
(dbus-run-session, which ends the bus with the script) and without the variables through which a
program finds a desktop: its display, its buses, its session manager. So nothing the test starts
autolaunches a bus (dbus-launch, with dbus-x11 installed) or opens a window or talks on a bus
where the user works.

`start()` starts a process in a process group of its own, which `stop()` ends whole; should the
test itself be killed first, the kernel sends the process SIGKILL (setpriv's parent-death signal,
set after any change of account, which would clear it)."""

import os
import signal
import subprocess
import sys

# The desktop's display, buses, session manager and session, which the test has its own of or
# does without; XDG_* (the runtime folder, settings and caches) and Qt's own settings go too.
DESKTOP = {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "XAUTHORITY", "SWAYSOCK", "I3SOCK",
           "DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS", "SESSION_MANAGER", "DESKTOP_SESSION",
           "GTK_MODULES"}
# Set to its own process id by the script that runs itself again under dbus-run-session.
OWN_BUS = "PASSAGES_E2E_OWN_BUS"
STOP_DEADLINE = 5.0


def away_from_desktop(environ):
    return {k: v for k, v in environ.items()
            if k not in DESKTOP and not k.startswith(("XDG_", "QT_"))}


def isolate():
    """Runs this script again in a session bus of its own, unless it is that run."""
    if os.environ.get(OWN_BUS) == str(os.getppid()):
        return
    env = away_from_desktop(os.environ)
    env[OWN_BUS] = str(os.getpid())
    sys.stdout.flush()
    os.execvpe("dbus-run-session", ["dbus-run-session", "--", sys.executable, *sys.argv], env)


def environment(home):
    """What the test's processes are given: the test's bus, `home` as HOME and a runtime folder in
    it (made here) as XDG_RUNTIME_DIR."""
    if os.environ.get(OWN_BUS) != str(os.getppid()):
        raise RuntimeError("the test runs in no bus of its own: isolate() comes first")
    runtime = os.path.join(home, ".runtime")
    os.mkdir(runtime, 0o700)
    env = away_from_desktop(os.environ)
    env.update(DBUS_SESSION_BUS_ADDRESS=os.environ["DBUS_SESSION_BUS_ADDRESS"], HOME=home,
               XDG_RUNTIME_DIR=runtime, LC_ALL="C.UTF-8")
    return env


def start(command, env, account=(), **options):
    """Starts `command`, as the account that setpriv's options `account` name if any."""
    options.setdefault("stdout", subprocess.DEVNULL)
    options.setdefault("stderr", subprocess.DEVNULL)
    return subprocess.Popen(["setpriv", "--pdeathsig", "KILL", *account, "--", *command], env=env,
                            process_group=0, **options)


def stop(process):
    """Ends the process and whatever of its group is left: asked first, then killed."""
    for sent in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(process.pid, sent)
        except ProcessLookupError:
            break
        try:
            process.wait(timeout=STOP_DEADLINE)
        except subprocess.TimeoutExpired:
            pass
    process.wait()

"""Orca, Debian's screen reader, listening to the program on the X11 display: what it says is
read from its debug log, the "SPEECH OUTPUT" entries, as they are written.

Orca runs with a settings folder of its own in the session's HOME (`orca -u`), whose
orca-customizations.py only makes the debug log go out line by line (Orca buffers it); no speech
setting is changed. Its speech goes to speech-dispatcher, configured in the same HOME to use the
silent dummy output module. The session bus (dbus-run-session) starts the accessibility bus and
speech-dispatcher is started by its client library on first use.

Orca will not start while another Orca of the same account runs anywhere on the machine (another
test's, or the user's own screen reader). So it runs as the first process of a process-id
namespace of its own (unshare; for an account other than root, in a user namespace that maps it
to itself), where it sees no other, and the speech-dispatcher it starts ends with it.

    with Session(program, backend="x11-orca", env=...) as s:
        s.backend.orca.spoken()"""

import os
import re

from driver import BACKENDS, X11, Failure, wait_until

CUSTOMIZATIONS = """\
# The debug log is read while Orca runs: every line goes out as it is written.
import orca.debug
orca.debug.debugFile.reconfigure(line_buffering=True)
"""

# The dummy module says nothing of what it is sent; it still opens the audio output, which
# libao opens without a sound card or sound server, where Pulse and ALSA fail.
SPEECHD_CONFIG = """\
AddModule "dummy" "sd_dummy" ""
DefaultModule dummy
AudioOutputMethod "libao"
LogDir "{log}"
"""

# A log entry is a timestamped line; Orca indents the lines that follow inside one entry. An
# utterance is followed by its voice; the echo of a key pressed (a space, then the voice) is
# left out.
ENTRY = re.compile(r"^\d\d:\d\d:\d\d\.\d{6} - ", re.MULTILINE)
SPEECH = re.compile(r"SPEECH OUTPUT: '(.*?)'(?: voice=\w+)?(?:\{.*\})?\s*$", re.DOTALL)
INDENT = "\n" + " " * 18


class Orca:
    def __init__(self, session, env):
        home = session.home
        settings = os.path.join(home, ".orca")
        os.mkdir(settings)
        with open(os.path.join(settings, "orca-customizations.py"), "w") as f:
            f.write(CUSTOMIZATIONS)
        speechd = os.path.join(home, ".config", "speech-dispatcher")
        os.makedirs(speechd)
        with open(os.path.join(speechd, "speechd.conf"), "w") as f:
            f.write(SPEECHD_CONFIG.format(log=speechd))
        self.log = os.path.join(home, ".orca-debug")
        env = dict(env, XDG_CONFIG_HOME=os.path.join(home, ".config"))
        alone = ["unshare", "--pid", "--mount-proc", "--kill-child"]
        if os.geteuid() != 0:
            alone.append("--map-current-user")
        self.process = session.spawn(alone + ["orca", "-u", settings, "--debug-file", self.log],
                                     env)
        self.wait(lambda: "ORCA: Starting ATSPI registry." in self.text(), "Orca to start")
        self.wait(lambda: "Screen reader on." in self.spoken()
                  and "SPEECH DISPATCHER: Speaking" in self.text(),
                  "Orca to say it is on, through speech-dispatcher")

    def text(self):
        try:
            with open(self.log, encoding="utf-8", errors="replace") as f:
                return f.read()
        except FileNotFoundError:
            return ""

    def spoken(self):
        """Everything Orca has said so far, one utterance each."""
        said = []
        for entry in ENTRY.split(self.text()):
            match = SPEECH.match(entry.replace(INDENT, "\n"))
            if match:
                said.append(match.group(1))
        return said

    def wait(self, condition, what, said_since=None):
        """Waits for a condition, as the driver does, while Orca runs; on failure says what Orca
        said after the first `said_since` utterances."""
        try:
            return wait_until(condition, what, alive=self.process)
        except Failure as failure:
            if said_since is None:
                raise
            raise Failure("%s; Orca said: %s" % (failure, self.spoken()[said_since:])) from None


class X11WithOrca(X11):
    """The X11 display with Orca started on it before the program."""

    name = "x11-orca"

    def start(self, env):
        env = super().start(env)
        self.orca = Orca(self.session, env)
        return env


BACKENDS[X11WithOrca.name] = X11WithOrca

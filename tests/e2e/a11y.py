#!/usr/bin/env python3
"""What a screen reader says: the real program under Xvfb with Qt's accessibility bridge and
Orca 43 listening (tests/e2e/orca.py), driven by the keyboard and one drag through XTest. What
Orca says is judged from its debug log; what it cannot show (the labelled-by relations, answers
to every text request) is read over AT-SPI with pyatspi, as a screen reader reads it.

    python3 a11y.py PATH/TO/passages

The script runs in a session bus of its own (processes.isolate), which starts the accessibility
bus (at-spi-bus-launcher) and its registry on first use. The name-change listener is registered
before the program starts, so that Qt's bridge knows from the start that someone listens and
sends those events."""

import os
import sys

import processes

# Before the accessibility client connects to any bus: a desktop's would be the first it finds.
processes.isolate()

import pyatspi  # noqa: E402
from gi.repository import GLib  # noqa: E402

from driver import Failure, Session  # noqa: E402
import orca  # noqa: F401 (adds the "x11-orca" display)

# Orca's spoken output on arrival at each focus stop, utterance by utterance, in order.
CANVAS = ["Canvas canvas.", "The grid of squares. Drag across it"]
FORM1_STOPS = [["Save push button."],
               ["Command1 push button.", "Opens the settings"],
               CANVAS]
BOXES = [["Square Size X: text.", "10 selected.", "3 to 100."],
         ["Square Size Y: text.", "10 selected.", "3 to 100."],
         ["Pixels Per Square: text.", "32 selected.", "8 to 96."]]
FORM2_STOPS = BOXES[1:] + [["OK push button."], ["Cancel push button."], BOXES[0]]


def tree(node):
    yield node
    for child in node:
        yield from tree(child)


def find(root, role, name):
    found = [n for n in tree(root) if n.getRole() == role and n.name == name]
    if len(found) != 1:
        raise Failure("%d of %s named %r; the tree has %s" % (
            len(found), role.value_nick, name, [(n.getRoleName(), n.name) for n in tree(root)]))
    return found[0]


def labelled_by(node):
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            return [relation.getTarget(i).name for i in range(relation.getNTargets())]
    return []


def in_order(said, expected):
    """Whether the utterances `said` hold, in this order, one starting with each of `expected`."""
    at = 0
    for utterance in said:
        if at < len(expected) and utterance.startswith(expected[at]):
            at += 1
    return at == len(expected)


def answers_every_text_request(box):
    """Asks the box for the text at, before and after every offset (the ends and one past them
    included, -1 the end and -2 the cursor) by every boundary, and for its attributes at every
    offset, which are one run over the whole text; a request the program leaves unanswered
    raises an error."""
    name, text = box.name, box.queryText()
    length = text.characterCount
    for offset in range(-2, length + 2):
        for boundary in range(7):  # character, word and sentence starts and ends, line
            for ask in (text.getTextAtOffset, text.getTextBeforeOffset,
                        text.getTextAfterOffset):
                try:
                    ask(offset, boundary)
                except Exception as error:
                    raise Failure("the %r box left %s(%d, %d) unanswered: %s"
                                  % (name, ask.__name__, offset, boundary, error))
    for offset in range(length + 1) if length else ():  # the end too, where a reader asks
        run = text.getAttributeRun(offset, False)
        if (run[1], run[2]) != (0, length):
            raise Failure("the %r box's text attributes at %d run over %s of %d characters"
                          % (name, offset, run[1:], length))


def main(program):
    renamed = []  # the objects whose name changed, as the bus told it
    pyatspi.Registry.registerEventListener(lambda event: renamed.append(event.source),
                                           "object:property-change:accessible-name")
    context = GLib.MainContext.default()

    def pumped(condition):
        def check():
            while context.iteration(False):
                pass
            return condition()
        return check

    env = {"QT_ACCESSIBILITY": "1", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"}
    with Session(program, backend="x11-orca", env=env) as s:
        heard = s.backend.orca
        desktop = pyatspi.Registry.getDesktop(0)

        def window(name):
            apps = [a for a in desktop if a is not None and a.name == "passages"]
            windows = [w for a in apps for w in a if w.name == name]
            return windows[0] if len(windows) == 1 else None

        def says(since, expected, what):
            heard.wait(lambda: in_order(heard.spoken()[since:], expected),
                       "Orca to say %s: %s" % (what, expected), said_since=since)

        def tab_stops(stops, what):
            for stop in stops:
                since = len(heard.spoken())
                s.key("Tab")
                says(since, stop, "the next focus stop in %s" % what)

        # The main window opens as a window, the canvas with the focus.
        form1 = s.wait_for(lambda: window("Form1"), "Form1 on the accessibility bus")
        s.focused_window("Form1")
        says(0, ["Form1 frame."] + CANVAS, "the main window and its canvas")
        for name in ("Save", "Command1"):
            find(form1, pyatspi.ROLE_PUSH_BUTTON, name)
        label1, label2, label4 = (find(form1, pyatspi.ROLE_LABEL, name)
                                  for name in ("Label1", "Label2", "Label4"))
        # Every stop speaks, and after "Command1" the focus is back on the canvas.
        tab_stops(FORM1_STOPS, "Form1")

        # The settings by keyboard: each box with its caption, value and range.
        tab_stops(FORM1_STOPS[:2], "Form1")
        since = len(heard.spoken())
        s.key("space")
        s.focused_window("Form2")
        says(since, ["Form2 dialog"] + BOXES[0], "the dialog and its first box")
        form2 = s.wait_for(lambda: window("Form2"), "Form2 on the accessibility bus")
        for caption in ("Square Size X:", "Square Size Y:", "Pixels Per Square:"):
            box = find(form2, pyatspi.ROLE_TEXT, caption)
            if labelled_by(box) != [caption]:
                raise Failure("the %r box is labelled by %s" % (caption, labelled_by(box)))
            answers_every_text_request(box)
        tab_stops(FORM2_STOPS, "Form2")
        since = len(heard.spoken())
        s.key("Return")  # OK: 10 x 10 squares of 32 pixels
        s.wait_for(lambda: not s.windows("Form2"), "the dialog to close")
        says(since, ["Form1 frame."], "the main window again")

        # A drag on the canvas, which has the focus already (so that what Orca says cannot come
        # from the focus arriving): once the pointer rests, the read-outs of the square under
        # it. The labels announce their new captions on the bus (which Orca leaves unsaid).
        tab_stops([CANVAS], "Form1")
        s.wait_for(pumped(lambda: True), "the events so far")
        renamed.clear()
        since = len(heard.spoken())
        s.stroke(32, [(1, 1), (2, 1)])
        says(since, ["X:2,Y:1,ID:12, ID:12, Data:1000 Canvas canvas."],
             "the read-outs of the square the drag ended on")
        s.wait_for(pumped(lambda: label1 in renamed and label1.name == "X:2,Y:1,ID:12"),
                   "Label1's new caption, announced on the bus")
        names = [label.name for label in (label1, label2, label4)]
        if names != ["X:2,Y:1,ID:12", "Right", "ID:12, Data:1000"]:
            raise Failure("the read-outs are named %s" % names)

        # A failed save: its message.
        os.mkdir(s.bitmap())
        tab_stops(FORM1_STOPS[:1], "Form1")
        since = len(heard.spoken())
        s.key("space")
        says(since, ["The picture could not be saved to %s.\nThat path is not a regular file"
                     % s.bitmap()], "why the picture was not saved")
    print("passed: a11y")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: a11y.py PROGRAM")
    main(sys.argv[1])

#!/usr/bin/env python3
"""What a screen reader is told: the real program under Xvfb with Qt's accessibility bridge,
read over AT-SPI (pyatspi) on the session's accessibility bus, as a screen reader reads it.

    dbus-run-session -- python3 a11y.py PATH/TO/passages

The session bus starts the accessibility bus (at-spi-bus-launcher) and its registry on first
use. The name-change listener is registered before the program starts, so that Qt's bridge
knows from the start that someone listens and sends those events."""

import sys

import pyatspi
from gi.repository import GLib

from driver import DIALOG, Failure, Session


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


def main(program):
    heard = []  # the objects whose name changed, as the bus told it
    pyatspi.Registry.registerEventListener(lambda event: heard.append(event.source),
                                           "object:property-change:accessible-name")
    context = GLib.MainContext.default()

    def pumped(condition):
        def check():
            while context.iteration(False):
                pass
            return condition()
        return check

    with Session(program, env={"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"}) as s:
        desktop = pyatspi.Registry.getDesktop(0)

        def window(name):
            apps = [a for a in desktop if a is not None and a.name == "passages"]
            windows = [w for a in apps for w in a if w.name == name]
            return windows[0] if len(windows) == 1 else None
        form1 = s.wait_for(lambda: window("Form1"), "Form1 on the accessibility bus")
        for name in ("Save", "Command1"):
            find(form1, pyatspi.ROLE_PUSH_BUTTON, name)
        label1, label2, label4 = (find(form1, pyatspi.ROLE_LABEL, name)
                                  for name in ("Label1", "Label2", "Label4"))
        canvas = [n for n in tree(form1) if n.name == "Canvas"]
        if len(canvas) != 1 or "drag" not in canvas[0].description.lower():
            raise Failure("no canvas named Canvas, described as something to drag across: %s"
                          % [(n.getRoleName(), n.name, n.description) for n in tree(form1)])

        s.open_settings()
        form2 = s.wait_for(lambda: window("Form2"), "Form2 on the accessibility bus")
        for caption in ("Square Size X:", "Square Size Y:", "Pixels Per Square:"):
            box = find(form2, pyatspi.ROLE_TEXT, caption)
            if labelled_by(box) != [caption]:
                raise Failure("the %r box is labelled by %s" % (caption, labelled_by(box)))
        s.click(s.window("Form2"), DIALOG["Cancel"])
        s.wait_for(lambda: not s.windows("Form2"), "Cancel to close the dialog")

        s.set_up(10, 10, 32)
        s.wait_for(pumped(lambda: True), "the events so far")
        heard.clear()
        s.stroke(32, [(1, 1), (2, 1)])
        s.wait_for(pumped(lambda: label1 in heard and label1.name == "X:2,Y:1,ID:12"),
                   "Label1's new caption, announced on the bus")
        names = [label.name for label in (label1, label2, label4)]
        if names != ["X:2,Y:1,ID:12", "Right", "ID:12, Data:1000"]:
            raise Failure("the read-outs are named %s" % names)
    print("passed: a11y")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: a11y.py PROGRAM")
    main(sys.argv[1])

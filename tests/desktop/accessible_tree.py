#!/usr/bin/python3
# Prints the accessible tree of each window titled as an argument, as a
# screen reader reads it over AT-SPI: one object a line, depth first,
# "role|name|description|actions". Exits 1 when a window is not found.
import sys

import pyatspi


def flat(text):
    return text.replace("\r", " ").replace("\n", " ")


def walk(accessible):
    try:
        action = accessible.queryAction()
        actions = ",".join(action.getName(i) for i in range(action.nActions))
    except NotImplementedError:
        actions = ""
    print("%s|%s|%s|%s" % (accessible.getRoleName(), flat(accessible.name), flat(accessible.description), actions))
    for child in accessible:
        if child is not None:
            walk(child)


windows = [window for application in pyatspi.Registry.getDesktop(0) for window in application or []
           if window is not None]
for title in sys.argv[1:]:
    found = [window for window in windows if window.name == title]
    if not found:
        sys.exit(1)
    walk(found[0])

#!/usr/bin/python3
# Meets the game's dialog as a screen reader does, through the accessibility tree (AT-SPI on the
# session bus): finds the dialog named "Velozor", reads its text, and presses its button.
#   accessible_dialog.py TRACE_FILE
# Writes on standard error (which the test's runner keeps in a file) one line, "WAITED X WIDTH
# BUTTON": WAITED is "yes" when TRACE_FILE held no load line while the dialog was up, X and WIDTH
# say where the dialog lies on the screen, BUTTON is the one pressed; then the dialog's text.
# Exits 1, saying why, when the dialog or its parts are not found within 20 seconds.
import sys
import time

import pyatspi


def find(accessible, wanted):
    if accessible is None:
        return None
    if wanted(accessible):
        return accessible
    for child in accessible:
        found = find(child, wanted)
        if found is not None:
            return found
    return None


def dialog():
    """The dialog, its text and its button, once all three are in the tree; None before."""
    def named_velozor(accessible):
        return accessible.name == "Velozor" and accessible.getRole() in (
            pyatspi.ROLE_DIALOG, pyatspi.ROLE_ALERT)
    for application in pyatspi.Registry.getDesktop(0):
        shown = find(application, named_velozor)
        if shown is None:
            continue
        label = find(shown, lambda accessible: accessible.getRole() == pyatspi.ROLE_LABEL and
                     accessible.queryText().characterCount > 0)
        button = find(shown, lambda accessible: accessible.getRole() == pyatspi.ROLE_PUSH_BUTTON
                      and accessible.name != "")
        if label is not None and button is not None:
            return shown, label, button
    return None


deadline = time.monotonic() + 20
found = dialog()
while found is None and time.monotonic() < deadline:
    time.sleep(0.05)
    found = dialog()
if found is None:
    sys.exit("no dialog named Velozor with a text and a button in the accessibility tree")
shown, label, button = found
with open(sys.argv[1], encoding="utf-8", errors="replace") as trace:
    waited = "\tload\n" not in trace.read()
# Everything is read before the button is pressed: the dialog's objects go with it.
text = label.queryText()
text = text.getText(0, text.characterCount)
extents = shown.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
print("yes" if waited else "no", extents.x, extents.width, button.name, file=sys.stderr)
button.queryAction().doAction(0)
print(text, file=sys.stderr)

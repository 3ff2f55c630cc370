"""What the AT-SPI scripts share, as a screen reader reaches the program: started in folders of its own
(tests/support/session.py), found on the accessibility bus, its tree walked, its controls found by name
and by description, their actions carried out and their place clicked for real (xdotool, under X).
tools/a11y-check starts a script inside its own X and D-Bus session; the Wayland walk inside weston's."""
import os
import subprocess
import sys
import time

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
from session import Session, report, wait_for  # noqa: E402,F401  (the scripts take these from here)


def find_app(pid, timeout=20.0):
    apps = lambda: [a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.get_process_id() == pid]  # noqa: E731
    return next(iter(wait_for(lambda: [a for a in apps() if a.name == "Fairstake"], bool, timeout)), None)


def walk(node, depth=0):
    yield node, depth
    for child in node:
        if child is not None:
            yield from walk(child, depth + 1)


def has_text(node):
    try:
        return node.queryText() is not None
    except NotImplementedError:
        return False


def controls(app):
    """Nodes by name and by description; of two with one name (a box and its scroll bar), the one
    that holds a text."""
    by_name, by_description = {}, {}
    for node, _ in walk(app):
        if node.name not in by_name or (not has_text(by_name[node.name]) and has_text(node)):
            by_name[node.name] = node
        if node.description:
            by_description.setdefault(node.description, node)
    return by_name, by_description


def node_of(app, name, *roles):
    return next((n for n, _ in walk(app) if n.name == name and (not roles or n.getRoleName() in roles)), None)


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def act(node, *names):
    """Carries out the first of the named actions the node offers (else its first action)."""
    action = node.queryAction()
    offered = [action.getName(i) for i in range(action.nActions)]
    action.doAction(next((offered.index(n) for n in names if n in offered), 0))
    time.sleep(0.3)


def click(node):
    """A real click near the left of the node (where a radio button's circle is), through the X server."""
    x, y, w, h = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(x + min(w // 2, 8)), str(y + h // 2), "click", "1"], check=True)
    time.sleep(0.5)


def run(check, program=None, **env):
    """Runs check(app, fail) on the program (by default the one named first on the command line) started
    with env; then ends it with SIGTERM, as a desktop does, and returns what failed, the end included."""
    failures = []
    with Session(program or sys.argv[1], **env) as session:
        app = find_app(session.proc.pid)
        if app is None:
            return ["the program never appeared on the accessibility bus"]
        time.sleep(1.0)
        check(app, failures.append)
        failures += session.end()
        if failures:
            print(session.output(), file=sys.stderr)
    return failures

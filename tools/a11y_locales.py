"""Example 1 in the program started under each given locale, read back through AT-SPI.

Started by tools/a11y-check inside its own X and D-Bus session:
  a11y_locales.py PROGRAM [--shots DIR] LOCALE...
For each locale the program starts with LC_ALL set, as from a user's desktop;
example 1 is pressed, and the amounts, the tenths box, the total, the profit,
the yield line and the odds box's help (through a real pointer move) must be
written with the first character of the locale's decimal point.
"""
import locale
import os
import re
import subprocess
import sys
import time

import pyatspi

from a11y_walk import walk


def find_app(pid, timeout=20.0):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "Fairstake" and app.get_process_id() == pid:
                return app
        time.sleep(0.2)
    return None


def decimal_point(name):
    """The C library's decimal point of the locale: what the program's Qt reads too."""
    previous = locale.setlocale(locale.LC_ALL)
    try:
        locale.setlocale(locale.LC_ALL, name)
        return locale.localeconv()["decimal_point"][:1]
    finally:
        locale.setlocale(locale.LC_ALL, previous)


def has_text(node):
    try:
        node.queryText()
        return True
    except NotImplementedError:
        return False


def controls(app):
    """Nodes by name and by description; of two with one name (a box and its
    scroll bar), the one that holds a text."""
    by_name, by_description = {}, {}
    for node, _ in walk(app):
        if node.name not in by_name or (not has_text(by_name[node.name]) and has_text(node)):
            by_name[node.name] = node
        if node.description:
            by_description.setdefault(node.description, node)
    return by_name, by_description


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def wait_for(read, done, timeout=5.0):
    """read() once done(read()) holds, or after the timeout."""
    end = time.monotonic() + timeout
    while True:
        got = read()
        if done(got) or time.monotonic() > end:
            return got
        time.sleep(0.1)


def run_example(program, name, shots):
    sep = decimal_point(name)
    env = dict(os.environ, LC_ALL=name, LANG=name)
    proc = subprocess.Popen([program], env=env)
    failures = []

    def expect(what, got, wanted):
        if got != wanted:
            failures.append(f"{name}: {what} read {got!r}, expected {wanted!r}")

    try:
        app = find_app(proc.pid)
        if app is None:
            return [f"{name}: the program never appeared on the accessibility bus"]
        time.sleep(1.0)
        by_name, by_description = controls(app)
        tenths = by_name["Rounding threshold"]
        expect("tenths box at start", text_of(tenths), f"0{sep}5")

        by_name["Click here for example 1"].queryAction().doAction(0)
        amount = [by_description[f"Amount to bet on horse {i}"] for i in range(1, 5)]
        shown = wait_for(lambda: [a.name for a in amount], lambda got: got == ["20", "12", "8", "4"])
        expect("example 1's amounts", shown, ["20", "12", "8", "4"])
        total = by_description[next(d for d in by_description if d.startswith("This shows the total amount"))]
        expect("total line", total.name, f"Total amount to bet: 44{sep}00")
        expect("yield line", by_description["Yield of the odds last typed"].name,
               f"Odds of 12 will yield 13{sep}00 for a $1 bet and 26{sep}00 for a $2 bet")
        profit = by_description["Profit"].name
        if not re.fullmatch(rf"-?\d+{re.escape(sep)}\d\d", profit):
            failures.append(f"{name}: profit read {profit!r}")

        # A real pointer move over the first odds box writes its help into the balloon.
        x, y, w, h = by_name["Odds of horse 1"].queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        subprocess.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2)], check=True)
        help_label = by_description["Help from the horse"]
        spoken = wait_for(lambda: help_label.name, lambda got: got.startswith("Type the odds of first horse"))
        words = {",": "comma", ".": "point"}.get(sep, "decimal point")
        if f"like 4 {sep}5 or even 9/2" not in spoken or not spoken.endswith(f"Your decimal separator is the {words}."):
            failures.append(f"{name}: odds help reads {spoken!r}")

        # Example 1 on the unit 0.1: one decimal, and Round up then leaves them where they are.
        by_name["Betting unit"].queryEditableText().setTextContents(f"0{sep}1")
        for button in ("Click here for example 1", "Round up", "Round it up to the next..."):
            by_name[button].queryAction().doAction(0)
            tenth = [f"19{sep}3", f"11{sep}60", f"7{sep}2", f"4{sep}4"]
            expect(f"amounts on 0.1 after {button}", wait_for(lambda: [a.name for a in amount], tenth.__eq__), tenth)

        # Tab goes round the window without stopping outside it (the hidden cells, the hidden refresh button).
        subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "dutching calculator", "windowfocus", "--sync"],
                       check=True)
        frame = app[0].queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        focusable = [n for n, _ in walk(app) if n.getState().contains(pyatspi.STATE_FOCUSABLE)]
        stops = []
        for _ in range(40):  # once round the window's 35 or so stops, and on
            subprocess.run(["xdotool", "key", "Tab"], check=True)
            focused = wait_for(lambda: [n for n in focusable if n.getState().contains(pyatspi.STATE_FOCUSED)], len, 1.0)
            x, y, w, h = focused[0].queryComponent().getExtents(pyatspi.DESKTOP_COORDS) if focused else (-1,) * 4
            stops.append(focused[0].name if focused else None)
            if not (frame.x <= x and frame.y <= y and x + w <= frame.x + frame.width and y + h <= frame.y + frame.height):
                failures.append(f"{name}: Tab stop {stops[-1]!r} at {x},{y} outside the window")
        if not {"Odds of horse 1", "Round up", "Rounding threshold in tenths"} <= set(stops):
            failures.append(f"{name}: Tab stops {stops}")

        by_name["Rounding threshold in tenths"].queryValue().currentValue = 3
        expect("tenths box at 3", wait_for(lambda: text_of(tenths), lambda got: got == f"0{sep}3"), f"0{sep}3")
        if shots:
            subprocess.run(["import", "-window", "root", os.path.join(shots, f"{name}.png")], check=True)
        print(f"{name}: amounts {shown}, {total.name!r}, profit {profit!r}, tenths {text_of(tenths)!r}")
    finally:
        proc.terminate()
        if proc.wait(timeout=10) not in (0, -15):
            failures.append(f"{name}: the program ended with status {proc.returncode}")
    return failures


def main():
    args = sys.argv[1:]
    program = args.pop(0)
    shots = None
    if args[:1] == ["--shots"]:
        shots = args[1]
        args = args[2:]
    failures = []
    for name in args:
        failures += run_example(program, name, shots)
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

"""The AT-SPI half of tools/a11y-check: started inside its own X and D-Bus session."""
import subprocess
import sys
import time

import pyatspi


def find_app(name, timeout=20.0):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    return None


def walk(node, depth=0):
    yield node, depth
    for child in node:
        if child is not None:
            yield from walk(child, depth + 1)


def run_checks(check):
    """Starts the program named on the command line, waits for it on the bus, runs
    check(app, failures) and ends the program; the status says whether anything failed."""
    proc = subprocess.Popen([sys.argv[1]])
    failures = []
    try:
        app = find_app("Fairstake")
        if app is None:
            print("the program never appeared on the accessibility bus")
            return 1
        time.sleep(1.0)
        check(app, failures)
    finally:
        proc.terminate()
        proc.wait(timeout=10)
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


def main():
    def check(app, failures):
        nodes = list(walk(app))
        by_name, by_description = {}, {}
        unnamed = []
        for node, _ in nodes:
            role = node.getRoleName()
            by_name.setdefault(node.name, node)
            if node.description:
                by_description.setdefault(node.description, node)
            if role in ("push button", "text", "check box", "radio button", "combo box", "scroll bar") \
                    and not node.name.strip() and not node.description.strip():
                unnamed.append(role)
        print(f"{len(nodes)} accessible objects; {len(unnamed)} controls without a name")
        if unnamed:
            failures.append(f"controls without a name: {unnamed}")

        def do(node, action):
            iface = node.queryAction()
            names = [iface.getName(i) for i in range(iface.nActions)]
            for wanted in (action, "Toggle", "Press"):
                if wanted in names:
                    iface.doAction(names.index(wanted))
                    return
            failures.append(f"{node.name}: no action {action}")

        do(by_name["2 horses"], "Press")
        time.sleep(0.3)
        for box, odds in ((1, "2"), (2, "3")):
            editable = by_name[f"Odds of horse {box}"].queryEditableText()
            editable.setTextContents(odds)
            time.sleep(0.3)
        amounts = [by_description[f"Amount to bet on horse {i}"].name for i in (1, 2)]
        total = by_description.get(
            "This shows the total amount of all bets. Might be necessary to click the \"Refresh\" button after "
            "you have changed odds or horses to play.")
        print("amounts read back:", amounts, "| total:", total.name if total else None)
        if amounts not in (["4.67", "3.50"], ["4,67", "3,50"]):
            failures.append(f"amounts read back {amounts}")

    return run_checks(check)


if __name__ == "__main__":
    sys.exit(main())

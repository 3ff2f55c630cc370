"""The AT-SPI half of tests/wayland/test_wayland.sh, run in the compositor's environment inside its own
D-Bus session, in the folder where weston's screenshooter writes:  wayland_walk.py PROGRAM
At 1x and QT_SCALE_FACTOR=2: the window at its design size, only the ticker moving between two
screenshots, example 1 pressed, the Race menu opened, an Internet link opened in the browser helper, and
SIGTERM ending the program with status 0, its helper gone and nothing written (tests/support/session.py).
"""
import glob
import os
import subprocess
import sys
import time

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from a11y_walk import Session, act, controls, find_app, node_of, report, wait_for, walk  # noqa: E402

BACKGROUND = bytes.fromhex("204060")  # weston.ini's background-color
CLIENT_WIDTH, CLIENT_HEIGHT = 794, 565  # the calculator's client area under its menu bar
TICKER = (48, 536, 593, 20)  # left, top, width, height in the client area
# Qt's own title bar on Wayland (the bradient decoration): margins left, top, right, bottom, in
# the compositor's pixels (Qt draws them unscaled under QT_SCALE_FACTOR).
FRAME = (3, 30, 3, 3)


def screenshot(name):
    """The whole output through weston's screenshooter, as NAME.png; (width, height, rgb bytes)."""
    before = set(glob.glob("wayland-screenshot-*.png"))
    subprocess.run(["weston-screenshooter"], check=True, timeout=30)
    os.replace((sorted(set(glob.glob("wayland-screenshot-*.png")) - before) or sorted(before))[-1], f"{name}.png")
    time.sleep(1.0)  # the screenshooter names its files by the second
    out = lambda *cmd: subprocess.run(cmd, check=True, capture_output=True).stdout  # noqa: E731
    width, height = map(int, out("identify", "-format", "%w %h", f"{name}.png").split())
    return width, height, out("convert", f"{name}.png", "-depth", "8", "rgb:-")


def bounding_box(shot, reference):
    """(left, top, right, bottom) of the pixels that differ from reference(y), a row as wide, or None."""
    width, height, rgb = shot
    box = None
    for y in range(height):
        row, other = rgb[y * width * 3:(y + 1) * width * 3], reference(y)
        if row != other:
            xs = [x for x in range(width) if row[x * 3:x * 3 + 3] != other[x * 3:x * 3 + 3]]
            box = (xs[0], y, xs[-1], y) if box is None else (min(box[0], xs[0]), box[1], max(box[2], xs[-1]), y)
    return box


def run(session, scale, check):
    app = find_app(session.proc.pid)
    if not check("the program on the accessibility bus", app is not None):
        return
    time.sleep(2.0)
    by_name, by_description = controls(app)
    menu_bar = next((n for n, _ in walk(app) if n.getRoleName() == "menu bar"), None)
    menu_height = menu_bar.queryComponent().getExtents(pyatspi.WINDOW_COORDS).height if menu_bar else 0
    check("menu bar", 15 <= menu_height <= 40, f"{menu_height} pixels high")

    # The window with Qt's title bar, alone on the compositor's plain background, at its design size.
    first = screenshot(f"{scale}x-window")
    box = bounding_box(first, lambda y: BACKGROUND * first[0])
    if not check("window on the screen", box is not None):
        return
    size = (box[2] - box[0] + 1, box[3] - box[1] + 1)
    wanted = (CLIENT_WIDTH * scale + FRAME[0] + FRAME[2], (CLIENT_HEIGHT + menu_height) * scale + FRAME[1] + FRAME[3])
    check("window size", size == wanted, f"{size} on screen, expected {wanted}")

    # Only the ticker moves.
    second = screenshot(f"{scale}x-ticker")
    moved = bounding_box(first, lambda y: second[2][y * second[0] * 3:(y + 1) * second[0] * 3])
    if check("ticker moving", moved is not None, "(nothing changed between two screenshots)"):
        left, top = box[0] + FRAME[0] + TICKER[0] * scale, box[1] + FRAME[1] + (menu_height + TICKER[1]) * scale
        strip = (left, top, left + TICKER[2] * scale - 1, top + TICKER[3] * scale - 1)
        check("change inside the ticker", strip[0] <= moved[0] and strip[1] <= moved[1] and
              moved[2] <= strip[2] and moved[3] <= strip[3], f"changed {moved}, ticker {strip}")

    act(by_name["Click here for example 1"], "Press", "Click")
    amounts = [by_description[f"Amount to bet on horse {i}"] for i in range(1, 5)]
    shown = wait_for(lambda: [a.name for a in amounts], lambda got: got == ["20", "12", "8", "4"])
    check("example 1's amounts", shown == ["20", "12", "8", "4"], repr(shown))
    total = by_description[next(d for d in by_description if d.startswith("This shows the total amount"))]
    check("total line", total.name == "Total amount to bet: 44.00", repr(total.name))

    # The Race menu.  With no input devices Qt has no input event to tie a pop-up to: the menu comes as
    # a window of its own, where the compositor puts it.  Its checked item again closes it.
    race = node_of(app, "Race", "menu item", "menu")
    if check("Race menu", race is not None):
        act(race, "Toggle", "Press", "Click")
        items = [n for n, depth in walk(race) if depth > 0 and n.getRoleName() in ("menu item", "check menu item", "radio menu item")]
        showing = wait_for(lambda: [n.getState().contains(pyatspi.STATE_SHOWING) for n in items],
                           lambda got: got and all(got))
        check("Race menu open", len(items) >= 3 and all(showing), f"{[n.name for n in items]} showing {showing}")
        screenshot(f"{scale}x-race-menu")
        checked = [n for n in items if n.getState().contains(pyatspi.STATE_CHECKED)]
        if check("a checked odds format", len(checked) == 1):
            act(checked[0], "Press", "Click", "Toggle")
            time.sleep(0.5)

    # A link: the browser helper starts, on Wayland too, and shows the page.
    home = node_of(app, "Fairstake home page", "menu item")
    if check("Internet menu item", home is not None):
        act(home, "Press", "Click")
        check("page fetched by the browser", wait_for(lambda: list(session.requests), len, timeout=60.0))
        browser = lambda: next((node_of(o, "WWW", "frame", "dialog", "filler") for o in pyatspi.Registry.getDesktop(0)  # noqa: E731
                                if o is not None and o.get_process_id() != session.proc.pid), None)
        check("browser window on the accessibility bus", wait_for(browser, bool, timeout=30.0))
        time.sleep(3.0)
        shot = screenshot(f"{scale}x-browser")
        both = bounding_box(shot, lambda y: BACKGROUND * shot[0])
        check("browser window on the screen", both is not None and both != box, f"{both} against {box}")


if __name__ == "__main__":
    failures = []
    for scale in (1, 2):
        def check(what, ok, detail="", scale=scale):
            return ok or failures.append(f"{scale}x: {what} {detail}".rstrip())
        with Session(sys.argv[1], runtime=os.environ["XDG_RUNTIME_DIR"], QT_SCALE_FACTOR=str(scale)) as session:
            run(session, scale, check)
            failures += [f"{scale}x: {w}" for w in session.end()]
            if failures:
                print(session.output(), file=sys.stderr)
    sys.exit(report(failures))

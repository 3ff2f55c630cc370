"""The AT-SPI half of tests/wayland/test_wayland.sh: started in the compositor's
environment (WAYLAND_DISPLAY, no DISPLAY) inside its own D-Bus session, in the
folder where weston's screenshooter writes.
  wayland_walk.py PROGRAM
For 1x and QT_SCALE_FACTOR=2: the calculator window at its design size, the
ticker the only thing moving between two screenshots, example 1 pressed, the
Race menu opened, and a link of the Internet menu opened in the browser helper
(its pages fetched through a proxy this script serves on 127.0.0.1).
"""
import glob
import http.server
import os
import subprocess
import sys
import threading
import time

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from a11y_locales import controls, find_app, wait_for  # noqa: E402
from a11y_walk import walk  # noqa: E402

BACKGROUND = bytes.fromhex("204060")  # weston.ini's background-color
CLIENT_WIDTH, CLIENT_HEIGHT = 794, 565  # the calculator's client area under its menu bar
TICKER = (48, 536, 593, 20)  # left, top, width, height in the client area
# Qt's own title bar on Wayland (the bradient decoration): margins left, top, right, bottom, in
# the compositor's pixels (Qt draws them unscaled under QT_SCALE_FACTOR).
FRAME = (3, 30, 3, 3)


class Proxy(http.server.BaseHTTPRequestHandler):
    """Every page the browser asks for, from any host: a small page of its own."""
    requests = []

    def do_GET(self):  # noqa: N802 (the handler's name is http.server's)
        Proxy.requests.append(self.path)
        body = (b"<html><head><title>Racing page</title></head><body style='background:#ffd'>"
                b"<h1>A racing page through the test's proxy</h1></body></html>")
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def screenshot(name):
    """The whole output through weston's screenshooter, as NAME.png; (width, height, rgb bytes)."""
    before = set(glob.glob("wayland-screenshot-*.png"))
    subprocess.run(["weston-screenshooter"], check=True, timeout=30)
    made = sorted(set(glob.glob("wayland-screenshot-*.png")) - before) or sorted(before)
    os.replace(made[-1], f"{name}.png")
    time.sleep(1.0)  # the screenshooter names its files by the second
    size = subprocess.run(["identify", "-format", "%w %h", f"{name}.png"], check=True, capture_output=True,
                          text=True).stdout.split()
    rgb = subprocess.run(["convert", f"{name}.png", "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
    return int(size[0]), int(size[1]), rgb


def bounding_box(shot, reference):
    """(left, top, right, bottom) of the pixels that differ from reference(y), a row as wide, or None."""
    width, height, rgb = shot
    box = None
    for y in range(height):
        row, other = rgb[y * width * 3:(y + 1) * width * 3], reference(y)
        if row == other:
            continue
        xs = [x for x in range(width) if row[x * 3:x * 3 + 3] != other[x * 3:x * 3 + 3]]
        box = (xs[0], y, xs[-1], y) if box is None else (min(box[0], xs[0]), box[1], max(box[2], xs[-1]), y)
    return box


def not_background(shot):
    return bounding_box(shot, lambda y: BACKGROUND * shot[0])


def changed(first, second):
    width = second[0]
    return bounding_box(first, lambda y: second[2][y * width * 3:(y + 1) * width * 3])


def node_of(app, role, name):
    for node, _ in walk(app):
        if node.getRoleName() == role and node.name == name:
            return node
    return None


def act(node, *names):
    """Carries out the first of the named actions the node offers (else its first action)."""
    action = node.queryAction()
    offered = [action.getName(i) for i in range(action.nActions)]
    for name in names:
        if name in offered:
            action.doAction(offered.index(name))
            return
    action.doAction(0)


def run(program, scale, failures):
    tag = f"{scale}x"

    def check(what, ok, detail=""):
        if not ok:
            failures.append(f"{tag}: {what} {detail}".rstrip())
        return ok

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Proxy)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    Proxy.requests.clear()
    env = dict(os.environ, QT_SCALE_FACTOR=str(scale),
               QTWEBENGINE_CHROMIUM_FLAGS=f"--proxy-server=http://127.0.0.1:{server.server_port}")
    env.pop("DISPLAY", None)
    proc = subprocess.Popen([program], env=env)
    try:
        app = find_app(proc.pid)
        if not check("the program on the accessibility bus", app is not None):
            return
        time.sleep(2.0)
        by_name, by_description = controls(app)
        menu_bar = next((n for n, _ in walk(app) if n.getRoleName() == "menu bar"), None)
        menu_height = menu_bar.queryComponent().getExtents(pyatspi.WINDOW_COORDS).height if menu_bar else 0
        check("menu bar", 15 <= menu_height <= 40, f"{menu_height} pixels high")

        # The window with Qt's title bar, alone on the compositor's plain background, at its design size.
        first = screenshot(f"{tag}-window")
        box = not_background(first)
        if not check("window on the screen", box is not None):
            return
        left, top, right, bottom = box
        width, height = right - left + 1, bottom - top + 1
        wanted = (CLIENT_WIDTH * scale + FRAME[0] + FRAME[2], (CLIENT_HEIGHT + menu_height) * scale + FRAME[1] + FRAME[3])
        check("window size", (width, height) == wanted, f"{width} x {height} on screen, expected {wanted}")
        client = (left + FRAME[0], top + FRAME[1] + menu_height * scale)

        # Only the ticker moves.
        second = screenshot(f"{tag}-ticker")
        moved = changed(first, second)
        if check("ticker moving", moved is not None, "(nothing changed between two screenshots)"):
            strip = (client[0] + TICKER[0] * scale, client[1] + TICKER[1] * scale,
                     client[0] + (TICKER[0] + TICKER[2]) * scale - 1, client[1] + (TICKER[1] + TICKER[3]) * scale - 1)
            check("change inside the ticker", strip[0] <= moved[0] and strip[1] <= moved[1] and
                  moved[2] <= strip[2] and moved[3] <= strip[3], f"changed {moved}, ticker {strip}")

        # Example 1, pressed through the accessibility bus.
        act(by_name["Click here for example 1"], "Press", "Click")
        amounts = [by_description[f"Amount to bet on horse {i}"] for i in range(1, 5)]
        shown = wait_for(lambda: [a.name for a in amounts], lambda got: got == ["20", "12", "8", "4"])
        check("example 1's amounts", shown == ["20", "12", "8", "4"], repr(shown))
        total = by_description[next(d for d in by_description if d.startswith("This shows the total amount"))]
        check("total line", total.name == "Total amount to bet: 44.00", repr(total.name))

        # The Race menu, opened.  The headless compositor has no input devices, so Qt has no input event
        # to tie a pop-up to: the menu comes as a window of its own, where the compositor puts it (opened
        # by a click on a desktop, it is the usual pop-up under its title).
        race = node_of(app, "menu item", "Race") or node_of(app, "menu", "Race")
        if check("Race menu", race is not None):
            act(race, "Toggle", "Press", "Click")
            items = [n for n, depth in walk(race) if depth > 0 and n.getRoleName() in ("menu item", "check menu item", "radio menu item")]
            names = [n.name for n in items]
            showing = wait_for(lambda: [n.getState().contains(pyatspi.STATE_SHOWING) for n in items],
                               lambda got: got and all(got))
            check("Race menu open", len(items) >= 3 and all(showing), f"{names} showing {showing}")
            screenshot(f"{tag}-race-menu")
            print(f"{tag}: Race menu items {names}")
            # The checked item again: the menu closes and the format stays.
            checked = [n for n in items if n.getState().contains(pyatspi.STATE_CHECKED)]
            if check("a checked odds format", len(checked) == 1):
                act(checked[0], "Press", "Click", "Toggle")
                time.sleep(0.5)

        # A link: the browser helper starts, on Wayland too, and shows the page.
        home = node_of(app, "menu item", "Fairstake home page")
        if check("Internet menu item", home is not None):
            act(home, "Press", "Click")
            fetched = wait_for(lambda: list(Proxy.requests), lambda got: len(got) > 0, timeout=60.0)
            check("page fetched by the browser", len(fetched) > 0)
            browser = None
            end = time.monotonic() + 30
            while browser is None and time.monotonic() < end:
                for other in pyatspi.Registry.getDesktop(0):
                    if other is not None and other.get_process_id() != proc.pid:
                        browser = browser or next((n for n, _ in walk(other) if n.name == "WWW" and n.getRoleName() in ("frame", "dialog", "filler")), None)
                time.sleep(0.5)
            check("browser window on the accessibility bus", browser is not None)
            time.sleep(3.0)
            shot = screenshot(f"{tag}-browser")
            both = not_background(shot)
            check("browser window on the screen", both is not None and both != box, f"{both} against {box}")
            print(f"{tag}: browser fetched {fetched}")
        print(f"{tag}: window {width} x {height}, ticker changed {moved}, amounts {shown}, {total.name!r}")
    finally:
        proc.terminate()
        try:
            status = proc.wait(timeout=20)
        except subprocess.TimeoutExpired:
            proc.kill()
            status = proc.wait()
        # SIGTERM ends the program as its close command does, with status 0.
        check("program's exit", status == 0, f"status {status}")
        server.shutdown()
        server.server_close()


def main():
    program = sys.argv[1]
    failures = []
    for scale in (1, 2):
        run(program, scale, failures)
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

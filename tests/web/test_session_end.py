"""The program ended as a desktop ends it (under tools/under-xvfb and tools/under-openbox), each time after a
real click on the racetracks picture whose page keeps loading: SIGTERM, SIGHUP and SIGINT end it with
status 0, SIGKILL kills it; its web helper and WebEngine's processes end within 5 s, the helper removing
its scratch folder, and the program's folders stay empty.  The program itself never loads Qt WebEngine; as
root, with no sandbox flag, the helper runs without the sandbox and says so once.
Usage: test_session_end.py PROGRAM"""
import os
import signal
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from session import Session, report, wait_for  # noqa: E402

program, failures = sys.argv[1], []
libs = subprocess.run(["ldd", program], capture_output=True, text=True).stdout.lower()
if "libqt6core" not in libs or "webengine" in libs or "quick" in libs:
    failures.append(f"the program links {libs}")
for sig, expected in ((signal.SIGTERM, 0), (signal.SIGHUP, 0), (signal.SIGINT, 0), (signal.SIGKILL, -9)):
    with Session(program, hold=True) as s:
        before = len(failures)
        wrong = lambda what: failures.append(f"{sig.name}: {what}")  # noqa: E731
        out = lambda *cmd: subprocess.run(cmd, capture_output=True, text=True).stdout  # noqa: E731
        wid = out("timeout", "20", "xdotool", "search", "--sync", "--onlyvisible", "--pid", str(s.proc.pid),
                  "--name", "dutching calculator").split()
        if not wid:
            wrong("no calculator window")
            continue
        height = int(next(l for l in out("xwininfo", "-id", wid[0]).splitlines() if "Height" in l).split()[-1])
        # The racetracks picture (624, 325, 89 x 65 in the client area, under the menu bar).
        out("xdotool", "mousemove", "--window", wid[0], str(624 + 44), str(height - 565 + 325 + 32), "click", "1")
        asked = lambda part: wait_for(lambda: [r for r in s.requests if part in r], bool, timeout=30)  # noqa: E731
        if not asked("horse-racing-links") or not asked("/held"):  # the page's script has run
            wrong("the racetracks page was never asked for, or never shown")
        tree = s.tree()  # the program, its helper and WebEngine's processes
        if len(tree) < 3 or not any(f.startswith("fairstake-web-") for f in os.listdir(s.folders["tmp"])):
            wrong(f"no helper with a scratch folder while browsing: {tree}")
        failures += [f"{sig.name}: {w}" for w in s.end(sig, expected, tree)]
        notes = s.output()
        if notes.count("running as root, so the web pages run without Chromium's sandbox") != (os.geteuid() == 0):
            wrong("the helper did not say once that it runs without the sandbox")
        if "not supported" in notes:
            wrong("an unsupported option")
        if len(failures) > before:
            print(notes, file=sys.stderr)
    print(f"{sig.name}: done")
sys.exit(report(failures))

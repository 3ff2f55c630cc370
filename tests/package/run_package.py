"""The unpacked package's program under Xvfb (the end of test_package.sh), with folders of its own
(tests/support/session.py): its window of the desktop entry's class, Quick help on the package's help
file, the racetracks picture opening the package's web helper and its browser window; SIGTERM ends it
all, nothing left behind.   Usage: run_package.py ROOT DESKTOP_ENTRY"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from session import Session, wait_for  # noqa: E402

root, desktop = sys.argv[1:3]
out = lambda *cmd: subprocess.run(cmd, capture_output=True, text=True).stdout  # noqa: E731
window = lambda pid, name, seconds: wait_for(  # noqa: E731
    lambda: out("xdotool", "search", "--all", "--onlyvisible", "--pid", str(pid), "--name", name).split()[:1],
    bool, seconds)
with Session(f"{root}/usr/bin/fairstake", QT_QPA_PLATFORM="xcb") as s:
    def fail(what):
        print(s.output(), file=sys.stderr)
        sys.exit(f"FAIL: {what}")
    main = window(s.proc.pid, "Fairstake", 20) or fail("the calculator window did not show")
    wm_class = next(line[15:].strip() for line in open(desktop) if line.startswith("StartupWMClass="))
    f'"{wm_class}"' in out("xprop", "-id", main[0], "WM_CLASS") or fail("not the desktop entry's window class")
    # Help menu: its first item is selected on opening; the second is "Quick help".
    out("xdotool", "windowfocus", "--sync", main[0], "key", "alt+h", "sleep", "0.3", "key", "Down", "Return")
    window(s.proc.pid, "^Fairstake help from the package", 15) or fail("no help window on the package's file")
    # The racetracks picture (design rectangle 624,325 89x65, under the menu bar).
    out("xdotool", "windowfocus", "--sync", main[0], "mousemove", "--window", main[0], "668", "375", "click", "1")
    helper = wait_for(lambda: s.tree()[1:2], bool, 15) or fail("the racetracks picture started no web helper")
    exe = os.readlink(f"/proc/{helper[0]}/exe")
    exe == f"{root}/usr/libexec/fairstake/fairstake-web" or fail(f"the web helper started is {exe}")
    window(helper[0], "^WWW", 40) or fail("the browser window did not show")
    wrong = s.end()
    wrong and fail("; ".join(wrong))
print("program window, help window and browser window shown; nothing left behind")

"""One run of the program as a desktop starts it, for the scripted tests (the Wayland walk, the session's end):
temporary, home, runtime and current folders of its own, no XDG folders, every web page through a proxy on
127.0.0.1 that records the addresses asked for and answers each with a page that sets a cookie and local
storage (hold: and waits for an image that never comes, so the page keeps loading).  end() stops the program
with a signal and tells what went wrong: the exit status, a process of its tree still running 5 s later, a
file left in its folders."""
import http.server
import os
import shutil
import signal
import subprocess
import tempfile
import threading
import time

signal.signal(signal.SIGINT, signal.default_int_handler)  # so the program gets SIGINT not ignored


def wait_for(read, done, timeout=5.0):
    """read() once done(read()) holds, or after the timeout."""
    end = time.monotonic() + timeout
    while not done(got := read()) and time.monotonic() < end:
        time.sleep(0.1)
    return got


def report(failures):
    """Prints the failures; the exit status they make."""
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


def stat(pid):
    """The fields of /proc/PID/stat after the name: state, parent, ...; [] when it is gone."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()
    except OSError:
        return []


class Session:
    def __init__(self, program, hold=False, runtime=None, **env):
        self.scratch, self.requests, self.released = tempfile.mkdtemp(), [], threading.Event()
        self.folders = {f: os.path.join(self.scratch, f) for f in ("tmp", "home", "cwd") + ("runtime",) * (not runtime)}
        for folder in self.folders.values():
            os.mkdir(folder, 0o700)
        page = b"<title>Racing page</title><h1>A page through the proxy</h1><script>localStorage.a = 1</script>"
        page += b"<img src='/held'>" * hold
        session = self

        class Proxy(http.server.BaseHTTPRequestHandler):
            def do_GET(self):  # noqa: N802 (http.server's name)
                session.requests.append(self.path)
                if self.path.endswith("/held"):
                    return session.released.wait()
                self.send_response(200)
                self.send_header("Set-Cookie", "a=1; Max-Age=99999")
                self.end_headers()
                self.wfile.write(page)

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Proxy)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        env = {k: v for k, v in os.environ.items() if not (k.startswith("XDG_") and k.endswith("_HOME"))} | dict(
            HOME=self.folders["home"], TMPDIR=self.folders["tmp"], XDG_RUNTIME_DIR=runtime or self.folders["runtime"],
            QTWEBENGINE_CHROMIUM_FLAGS=f"--proxy-server=http://127.0.0.1:{self.server.server_port}") | env
        self.log = os.path.join(self.scratch, "program.log")
        with open(self.log, "w") as log:
            self.proc = subprocess.Popen([os.path.abspath(program)], cwd=self.folders["cwd"], env=env, stdout=log, stderr=log)

    def output(self):
        with open(self.log, errors="replace") as log:
            return log.read()

    def tree(self):
        """The program and all its descendants."""
        parents = {int(pid): stat(pid)[1:2] for pid in os.listdir("/proc") if pid.isdigit()}
        out = [self.proc.pid]
        for pid in out:
            out += [child for child, parent in parents.items() if parent == [str(pid)]]
        return out

    def end(self, sig=signal.SIGTERM, expected=0, tree=None):
        tree = tree or self.tree()
        self.proc.send_signal(sig)
        try:
            status = self.proc.wait(timeout=15)
        except subprocess.TimeoutExpired:
            status = "none (still running 15 s later)"
        wrong = [] if status == expected else [f"exit status {status}, expected {expected}"]
        # A zombie (whoever inherits it may never reap it) runs no more.
        if left := wait_for(lambda: [p for p in tree if stat(p)[:1] not in ([], ["Z"])], lambda pids: not pids):
            wrong.append(f"still running 5 s after the program: {left}")
        for name, folder in self.folders.items():
            if files := [os.path.relpath(os.path.join(d, f), folder) for d, ds, fs in os.walk(folder) for f in ds + fs]:
                wrong.append(f"left in {name}: {' '.join(files[:5])}")
        return wrong

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.proc.kill()
        self.proc.wait()
        self.released.set()
        self.server.shutdown()
        self.server.server_close()
        shutil.rmtree(self.scratch, ignore_errors=True)

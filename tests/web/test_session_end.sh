#!/usr/bin/env bash
# The program ended as a desktop ends it (under tools/under-xvfb and tools/under-openbox), each time after a
# real click on the racetracks picture whose page keeps loading: SIGTERM, SIGHUP and SIGINT end it with
# status 0, SIGKILL kills it; the helper ends within 5 s and the temporary, home, XDG and current folders
# stay empty.  Usage: test_session_end.sh PROGRAM
set -euo pipefail
set -m # background jobs in a group of their own, not ignoring SIGINT as a script's jobs otherwise do
program=$1
scratch=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; [ -s "$scratch/program.log" ] && sed 's/^/program: /' "$scratch/program.log" >&2; exit 1; }

# A proxy for every host that takes each request and never answers it: the page keeps loading.
python3 -u -c '
import socket, sys
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(16); print(s.getsockname()[1]); held = []
while True:
    held.append(s.accept()[0])
    open(sys.argv[1], "a").write(held[-1].recv(4096).split(b"\r\n")[0].decode(errors="replace") + "\n")
' "$scratch/requests" >"$scratch/port" &
for _ in $(seq 100); do [ -s "$scratch/port" ] && break; sleep 0.05; done
port=$(cat "$scratch/port")

# A zombie (its calculator killed, whoever inherits it may never reap it) runs no more.
running() { [ -r "/proc/$1/stat" ] && ! grep -q ') Z ' "/proc/$1/stat"; }

folders=(tmp home runtime cwd)
run() { # SIGNAL STATUS: one session, ended by SIGNAL, whose end status must be STATUS
  local signal=$1 expected=$2 pid helper status=0 wid h
  for f in "${folders[@]}"; do rm -rf "${scratch:?}/$f"; mkdir -m 700 "$scratch/$f"; done
  : >"$scratch/requests"
  (cd "$scratch/cwd" && exec env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME -u XDG_STATE_HOME \
     HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/runtime" TMPDIR="$scratch/tmp" \
     QTWEBENGINE_CHROMIUM_FLAGS="--proxy-server=127.0.0.1:$port" "$program") >"$scratch/program.log" 2>&1 &
  pid=$!
  wid=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" --name 'dutching calculator' | head -1)
  [ -n "$wid" ] || fail "$signal: no calculator window"
  h=$(xwininfo -id "$wid" | awk '/Height/{print $2}')
  # The racetracks picture (624, 325, 89 x 65 in the client area, under the menu bar).
  xdotool mousemove --window "$wid" $((624 + 44)) $((h - 565 + 325 + 32)) click 1
  for _ in $(seq 300); do grep -q 'horse-racing-links' "$scratch/requests" && break; sleep 0.1; done
  grep -q 'horse-racing-links' "$scratch/requests" || fail "$signal: the racetracks page was never asked for"
  helper=$(pgrep -P "$pid" -x fairstake-web) || fail "$signal: no web helper"
  ls "$scratch/tmp" | grep -q '^fairstake-web-' || fail "$signal: no scratch folder while browsing"
  kill -s "$signal" "$pid"
  timeout 15 tail --pid="$pid" -f /dev/null || fail "$signal: the program still runs"
  wait "$pid" || status=$?
  [ "$status" -eq "$expected" ] || fail "$signal: exit status $status, expected $expected"
  for _ in $(seq 50); do running "$helper" || break; sleep 0.1; done
  running "$helper" && fail "$signal: the web helper still runs 5 s after the program"
  for f in "${folders[@]}"; do
    left=$(cd "$scratch/$f" && find . -mindepth 1 | head -5)
    [ -z "$left" ] || fail "$signal: left in $f: $left"
  done
  echo "$signal: exit status $status, helper gone, ${folders[*]} empty"
}

for run in "TERM 0" "HUP 0" "INT 0" "KILL 137"; do run $run; done
echo "1 passed, 0 failed"

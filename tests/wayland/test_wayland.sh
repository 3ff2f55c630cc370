#!/usr/bin/env bash
# The program natively on Wayland: Debian's weston, headless (pixman renderer, --debug for its
# screenshooter), no X server at all, the program driven over the accessibility bus by wayland_walk.py.
# Usage: test_wayland.sh PROGRAM [SHOTS_DIR]   (SHOTS_DIR keeps the screenshots)
# Exit status 77 (skipped) only when weston or Qt's Wayland plugin is missing.
set -euo pipefail
program=$(realpath "$1")
keep=${2:+$(realpath -m "$2")}
here=$(cd "$(dirname "$0")" && pwd)
command -v weston-screenshooter >/dev/null || { echo "weston is not installed: skipped"; exit 77; }
plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || true)
if [ -n "$plugins" ] && [ ! -e "$plugins/platforms/libqwayland-generic.so" ]; then
  echo "Qt's Wayland plugin (qt6-wayland) is not installed: skipped"
  exit 77
fi

scratch=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; wait; rm -rf "$scratch"' EXIT
mkdir -m 700 "$scratch/runtime"
mkdir "$scratch/home" "$scratch/shots"
export XDG_RUNTIME_DIR=$scratch/runtime HOME=$scratch/home
export XDG_CONFIG_HOME=$scratch/home/.config XDG_CACHE_HOME=$scratch/home/.cache XDG_DATA_HOME=$scratch/home/.local/share
unset DISPLAY WAYLAND_DISPLAY XAUTHORITY

# A plain background, no panel and no animations: a screenshot shows the windows alone and at rest.
printf '%s\n' '[core]' idle-time=0 '[shell]' background-color=0xff204060 panel-position=none locking=false \
  animation=none close-animation=none startup-animation=none focus-animation=none >"$scratch/weston.ini"
weston --backend=headless-backend.so --use-pixman --width=1800 --height=1400 --socket=fairstake-wayland \
  --config="$scratch/weston.ini" --debug >"$scratch/weston.log" 2>&1 &
for _ in $(seq 200); do
  [ -S "$XDG_RUNTIME_DIR/fairstake-wayland" ] || ! kill -0 $! 2>/dev/null && break
  sleep 0.05
done
[ -S "$XDG_RUNTIME_DIR/fairstake-wayland" ] || { echo "FAIL: weston did not start" >&2; cat "$scratch/weston.log" >&2; exit 1; }

# Under AddressSanitizer the Wayland stack is third-party code ASan cannot judge
# here: Mesa's EGL set-up keeps allocations for the life of the process, and
# Chromium in WebEngine deletes with a size of its own when its page goes.  The
# program's own leaks are looked for by every other test.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0:new_delete_type_mismatch=0"
export WAYLAND_DISPLAY=fairstake-wayland QT_QPA_PLATFORM=wayland
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0 PYTHONDONTWRITEBYTECODE=1 LC_ALL=en_US.UTF-8
status=0
(cd "$scratch/shots" && timeout 300 dbus-run-session -- /usr/bin/python3 "$here/wayland_walk.py" "$program") || status=$?
[ -z "$keep" ] || { mkdir -p "$keep" && cp "$scratch"/shots/*.png "$keep"/ 2>/dev/null || true; }
[ "$status" -eq 0 ] || sed 's/^/weston: /' "$scratch/weston.log" | tail -40 >&2
exit "$status"

#!/usr/bin/env bash
# The program natively on a Wayland desktop: Debian's weston with its headless
# backend (pixman renderer, --debug for its screenshooter), no X server at all,
# the program started with QT_QPA_PLATFORM=wayland and driven over the
# accessibility bus (a headless compositor takes no input) by wayland_walk.py,
# at 1x and at QT_SCALE_FACTOR=2.
# Usage: test_wayland.sh PROGRAM [SHOTS_DIR]   (SHOTS_DIR keeps the screenshots)
# Exit status 77 (skipped) only when weston or Qt's Wayland plugin is missing.
set -euo pipefail
program=$(realpath "$1")
keep=${2:+$(realpath -m "$2")}
here=$(cd "$(dirname "$0")" && pwd)

if ! command -v weston >/dev/null || ! command -v weston-screenshooter >/dev/null; then
  echo "weston is not installed (tools/bootstrap installs it): skipped"
  exit 77
fi
plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || true)
if [ -n "$plugins" ] && [ ! -e "$plugins/platforms/libqwayland-generic.so" ]; then
  echo "Qt's Wayland plugin (qt6-wayland) is not installed: skipped"
  exit 77
fi

scratch=$(mktemp -d)
weston_pid=
cleanup() {
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
mkdir -m 700 "$scratch/runtime"
mkdir "$scratch/home" "$scratch/shots"
export XDG_RUNTIME_DIR=$scratch/runtime HOME=$scratch/home
export XDG_CONFIG_HOME=$scratch/home/.config XDG_CACHE_HOME=$scratch/home/.cache XDG_DATA_HOME=$scratch/home/.local/share
unset DISPLAY WAYLAND_DISPLAY XAUTHORITY

# A plain background and no panel, so that a screenshot shows the windows alone.
cat >"$scratch/weston.ini" <<'EOF'
[core]
idle-time=0
[shell]
background-color=0xff204060
panel-position=none
locking=false
animation=none
close-animation=none
startup-animation=none
focus-animation=none
EOF
weston --backend=headless-backend.so --use-pixman --width=1800 --height=1400 --socket=fairstake-wayland \
  --config="$scratch/weston.ini" --debug >"$scratch/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 200); do
  [ -S "$XDG_RUNTIME_DIR/fairstake-wayland" ] && break
  kill -0 "$weston_pid" 2>/dev/null || break
  sleep 0.05
done
if [ ! -S "$XDG_RUNTIME_DIR/fairstake-wayland" ]; then
  echo "FAIL: weston did not start" >&2
  cat "$scratch/weston.log" >&2
  exit 1
fi

export WAYLAND_DISPLAY=fairstake-wayland QT_QPA_PLATFORM=wayland
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0 PYTHONDONTWRITEBYTECODE=1 LC_ALL=en_US.UTF-8
status=0
(cd "$scratch/shots" && timeout 300 dbus-run-session -- /usr/bin/python3 "$here/wayland_walk.py" "$program") || status=$?
if [ -n "$keep" ]; then
  mkdir -p "$keep"
  cp "$scratch"/shots/*.png "$keep"/ 2>/dev/null || true
fi
if [ "$status" -ne 0 ]; then
  sed 's/^/weston: /' "$scratch/weston.log" | tail -40 >&2
fi
exit "$status"

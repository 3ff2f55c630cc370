#!/usr/bin/env bash
# The calculator window under openbox (tools/under-openbox) on a private Xvfb (tools/under-xvfb), by real
# clicks: the title, the place it gets, and the minimize picture, which must leave the window where it
# stands and give it a minimize button that minimizes.   Usage: test_window_manager.sh PROGRAM
set -euo pipefail
[ -n "${UNDER_OPENBOX:-}" ] || UNDER_OPENBOX=1 exec "$(dirname "$0")/../../tools/under-openbox" "$0" "$@"
scratch=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
HOME=$scratch "$1" >"$scratch/program.log" 2>&1 &
wid=$(timeout 20 xdotool search --sync --onlyvisible --name 'dutching calculator' | head -1)
[ -n "$wid" ] || fail "no calculator window"
sleep 0.5

prop() { xprop -id "$wid" "$1" | sed 's/^[^=]*= //'; }
# The client area (x, y, width, height) and the frame's extents (left, right, top, bottom).
client() { xwininfo -id "$wid" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width/{w=$2} /Height/{h=$2} END{print x, y, w, h}'; }
extents() { prop _NET_FRAME_EXTENTS | tr -d ','; }

[ "$(prop _NET_WM_NAME)" = '"Fairstake® - the dutching calculator"' ] || fail "title $(prop _NET_WM_NAME)"
prop WM_CLASS | grep -q '"Fairstake"' || fail "class $(prop WM_CLASS)"
read -r x y w h < <(client)
read -r left right top bottom < <(extents)
screen_width=$(xwininfo -root | awk '/Width/{print $2}')
# Centred at the top of the screen, with the whole title bar on it.
[ $((y - top)) -eq 0 ] || fail "frame top $((y - top))"
[ $((x - left)) -eq $(((screen_width - 800) / 2)) ] || fail "frame left $((x - left)) on a screen $screen_width wide"
[ "$w" -eq 794 ] || fail "client width $w"

# The minimize picture lies in the top right corner of the client area, under the menu bar.
xdotool mousemove --window "$wid" $((770 + 12)) $((h - 565 + 12)) click 1
sleep 1
[ "$(client)" = "$x $y $w $h" ] || fail "client moved from $x,$y ${w}x$h to $(client)"
[ "$(extents)" = "$left $right $top $bottom" ] || fail "frame extents $(extents)"
# Motif hints: flags, functions (0x8: minimizing), decorations (0x20: the minimize button).
read -r _ functions decorations _ < <(prop _MOTIF_WM_HINTS | tr -d ',')
[ $((decorations & 0x20)) -ne 0 ] && [ $((functions & 0x8)) -ne 0 ] || fail "hints $functions $decorations"

# Openbox's default theme: the iconify button is the third from the right of the title bar.
xdotool mousemove $((x + w + right - 44)) $((y - top + 10)) click 1
sleep 1
prop WM_STATE | grep -q 'Iconic' || fail "not minimized: $(prop WM_STATE)"
echo "1 passed, 0 failed"

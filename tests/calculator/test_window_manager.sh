#!/usr/bin/env bash
# The calculator window under a real window manager (openbox on a private Xvfb),
# driven by real pointer clicks: the title the window manager shows, the place
# it gives the window, and the minimize picture, which must leave the window
# where it stands and give it a minimize button that minimizes.
# Usage: test_window_manager.sh PROGRAM   (run through tools/under-xvfb)
set -euo pipefail
program=$1
scratch=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

openbox >"$scratch/openbox.log" 2>&1 &
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done
HOME=$scratch "$program" >"$scratch/program.log" 2>&1 &
wid=$(timeout 20 xdotool search --sync --onlyvisible --name 'dutching calculator' | head -1)
[ -n "$wid" ] || fail "no calculator window"
sleep 0.5

prop() { xprop -id "$wid" "$1" | sed 's/^[^=]*= //'; }
# Client area position on the screen, and the frame's extents: left, right, top, bottom.
client() { xwininfo -id "$wid" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width/{w=$2} /Height/{h=$2} END{print x, y, w, h}'; }
extents() { prop _NET_FRAME_EXTENTS | tr -d ','; }

title=$(prop _NET_WM_NAME)
[ "$title" = '"Fairstake® - the dutching calculator"' ] || fail "title $title"
prop WM_CLASS | grep -q '"Fairstake"' || fail "class $(prop WM_CLASS)"

read -r x y w h < <(client)
read -r left right top bottom < <(extents)
screen_width=$(xwininfo -root | awk '/Width/{print $2}')
# Centred at the top of the screen, with the whole title bar on it.
[ $((y - top)) -eq 0 ] || fail "frame top $((y - top))"
[ $((x - left)) -eq $(((screen_width - 800) / 2)) ] || fail "frame left $((x - left)) on a screen $screen_width wide"
[ "$w" -eq 794 ] || fail "client width $w"

# The minimize picture lies in the top right corner of the client area, under the menu bar.
menu=$((h - 565))
xdotool mousemove --window "$wid" $((770 + 12)) $((menu + 12)) click 1
sleep 1
read -r x2 y2 w2 h2 < <(client)
[ "$x2 $y2 $w2 $h2" = "$x $y $w $h" ] || fail "client moved from $x,$y ${w}x$h to $x2,$y2 ${w2}x$h2"
[ "$(extents)" = "$left $right $top $bottom" ] || fail "frame extents $(extents)"
# Motif hints: flags, functions, decorations; 0x20 in the decorations is the minimize button.
read -r _ functions decorations _ < <(prop _MOTIF_WM_HINTS | tr -d ',')
[ $((decorations & 0x20)) -ne 0 ] || fail "no minimize button: decorations $decorations"
[ $((functions & 0x8)) -ne 0 ] || fail "minimizing not allowed: functions $functions"

# Openbox's default theme: the iconify button is the third from the right of the title bar.
xdotool mousemove $((x2 + w2 + right - 44)) $((y2 - top + 10)) click 1
sleep 1
prop WM_STATE | grep -q 'Iconic' || fail "not minimized: $(xprop -id "$wid" WM_STATE)"
echo "1 passed, 0 failed"

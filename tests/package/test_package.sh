#!/usr/bin/env bash
# The Debian package as a user receives it.  CPack packs this build tree into a
# temporary folder; the package's fields and files are checked, its desktop
# entry and AppStream metainfo validated, and it is unpacked (no root needed).
# The unpacked program is then started under Xvfb from an empty folder, so that
# it can only find what the package holds: its window must show with the window
# class the desktop entry names, the Help menu's "Quick help" must open the help
# window on the package's help file, and a click on the racetracks picture must
# start the package's web helper, whose browser window must show.
#
# lintian must find no error in it (its warnings are shown), and both binaries must
# carry Debian's hardening (fortified calls checked only in an optimised build tree).
#
# Usage: test_package.sh BUILD_DIR VERSION BINDIR HELPERDIR DATADIR BUILD_TYPE
set -euo pipefail

if [ "${1:-}" = "--under-xvfb" ]; then
    shift
    root=$1 work=$2 desktop=$3
    log=$work/program.log
    helper_pid=

    fail() {
        echo "FAIL: $*" >&2
        [ -s "$log" ] && sed 's/^/program: /' "$log" >&2
        exit 1
    }

    # Prints the first visible window of a process whose name matches; waits up to $3 s.
    wait_window() {
        local pid=$1 name=$2 deadline=$((SECONDS + $3)) w
        while [ $SECONDS -lt $deadline ]; do
            kill -0 "$pid" 2>/dev/null || return 1
            w=$(xdotool search --all --onlyvisible --pid "$pid" --name "$name" 2>/dev/null | head -n 1 || true)
            if [ -n "$w" ]; then
                echo "$w"
                return 0
            fi
            sleep 0.2
        done
        return 1
    }

    cd "$work/empty"
    # Chromium cannot sandbox itself as root and there is no GPU; every request
    # goes to a closed local port, so the test never reaches the network.
    export QTWEBENGINE_CHROMIUM_FLAGS="--no-sandbox --disable-gpu --proxy-server=http://127.0.0.1:9"
    QT_QPA_PLATFORM=xcb HOME=$work/home "$root/usr/bin/fairstake" >"$log" 2>&1 &
    pid=$!
    trap 'kill $pid $helper_pid 2>/dev/null || true; wait 2>/dev/null || true' EXIT

    main=$(wait_window "$pid" 'Fairstake' 20) || fail "the calculator window did not show"
    wmclass=$(xprop -id "$main" WM_CLASS)
    wanted=$(sed -n 's/^StartupWMClass=//p' "$desktop")
    case "$wmclass" in
        *\"$wanted\"*) ;;
        *) fail "window class $wmclass does not hold the desktop entry's StartupWMClass $wanted" ;;
    esac

    # Help menu: its first item is selected on opening; the second is "Quick help".
    xdotool windowfocus --sync "$main"
    xdotool key alt+h
    sleep 0.3
    xdotool key Down Return
    wait_window "$pid" '^Fairstake help from the package' 15 >/dev/null ||
        fail "Quick help did not open the help window on the package's help file"

    # The racetracks picture (design rectangle 624,325 89x65, under the menu bar).
    xdotool windowfocus --sync "$main"
    xdotool mousemove --window "$main" 668 375 click 1
    deadline=$((SECONDS + 15))
    while [ -z "$helper_pid" ] && [ $SECONDS -lt $deadline ]; do
        helper_pid=$(pgrep -P "$pid" | head -n 1 || true)
        [ -n "$helper_pid" ] || sleep 0.2
    done
    [ -n "$helper_pid" ] || fail "the racetracks picture started no web helper"
    exe=$(readlink "/proc/$helper_pid/exe")
    [ "$exe" = "$root/usr/libexec/fairstake/fairstake-web" ] || fail "the web helper started is $exe"
    wait_window "$helper_pid" '^WWW' 40 >/dev/null || fail "the browser window did not show"
    echo "program window, help window and browser window shown"
    exit 0
fi

build=$1 version=$2 bindir=$3 helperdir=$4 datadir=$5 build_type=$6
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/empty" "$work/home"

cpack --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; echo "FAIL: cpack" >&2; exit 1; }
deb=$work/cpack/fairstake_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { ls "$work/cpack" >&2; echo "FAIL: no $deb" >&2; exit 1; }
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

field() { dpkg-deb -f "$deb" "$1"; }
status=0
check() { # description, then a command that must succeed
    local what=$1
    shift
    if ! "$@"; then
        echo "FAIL: $what" >&2
        status=1
    fi
}
check "Package and Version" test "$(field Package) $(field Version)" = "fairstake $version"
check "Maintainer has an address" grep -qx 'Fairstake developers <[^@<> ]*@example\.org>' <<<"$(field Maintainer)"
check "Section" test -n "$(field Section)"
for dep in libqt6widgets6 libqt6webenginewidgets6 fonts-liberation2; do
    check "Depends names $dep" grep -q "$dep" <<<"$(field Depends)"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
id=io.github.fairstake.Fairstake
desktop=$root/usr/share/applications/$id.desktop
metainfo=$root/usr/share/metainfo/$id.metainfo.xml
for f in "$bindir/fairstake" "$helperdir/fairstake-web"; do
    check "$f is an executable of the package" test -x "$root/usr/$f"
done
for f in "$datadir/fairstake.hlp" share/icons/hicolor/scalable/apps/fairstake.svg \
         share/icons/hicolor/48x48/apps/fairstake.png; do
    check "$f is in the package" test -s "$root/usr/$f"
done
check "only the program is a command" test "$(ls "$root/usr/$bindir")" = fairstake
check "desktop entry validates" desktop-file-validate "$desktop"
check "desktop entry starts fairstake" grep -qx 'Exec=fairstake' "$desktop"
check "desktop entry's icon is installed" grep -qx 'Icon=fairstake' "$desktop"
check "metainfo validates" appstreamcli validate --no-net --no-color "$metainfo"
check "metainfo launches the desktop entry" grep -q "<launchable type=\"desktop-id\">$id.desktop<" "$metainfo"
for f in "$bindir/fairstake" "$helperdir/fairstake-web"; do
    elf=$root/usr/$f
    check "$f has read-only relocations" grep -q GNU_RELRO <<<"$(readelf -lW "$elf")"
    check "$f binds now" grep -qE '\(FLAGS(_1)?\).* NOW' <<<"$(readelf -dW "$elf")"
    check "$f has stack protection" grep -q ' __stack_chk_fail' <<<"$(readelf --dyn-syms -W "$elf")"
done
# The web helper is built fortified too, but none of its few C library calls needs a
# check the compiler cannot settle itself (lintian's hardening-no-fortify-functions,
# an information tag, says as much of it).
[ "$build_type" = Debug ] || check "$bindir/fairstake calls fortified functions" \
    grep -qE ' __[a-z]+_chk(@| |$)' <<<"$(readelf --dyn-syms -W "$root/usr/$bindir/fairstake")"
if lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1; then
    grep -E '^[EWI]:' "$work/lintian.log" | sed 's/^/lintian: /' || true
else
    sed 's/^/lintian: /' "$work/lintian.log" >&2
    echo "FAIL: lintian finds errors in the package" >&2
    status=1
fi
[ $status -eq 0 ] || exit 1

# A title only the unpacked copy has: the help window shows it only if the
# program read the package's file.
sed -i 's/^Title: Fairstake help$/Title: Fairstake help from the package/' "$root/usr/$datadir/fairstake.hlp"
grep -q '^Title: Fairstake help from the package$' "$root/usr/$datadir/fairstake.hlp"

XVFB_SCREEN=1024x768x24 "$(dirname "$0")/../../tools/under-xvfb" "$0" --under-xvfb "$root" "$work" "$desktop"

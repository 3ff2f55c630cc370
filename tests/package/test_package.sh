#!/usr/bin/env bash
# The Debian package CPack makes of this build tree: fields, files, desktop entry, metainfo, hardening and
# lintian; then unpacked and started under Xvfb from empty folders (run_package.py), so that its window (of
# the desktop entry's class), help window and web helper can only come from what the package holds.
# Usage: test_package.sh BUILD_DIR VERSION BINDIR HELPERDIR DATADIR BUILD_TYPE
set -euo pipefail

build=$1 version=$2 bindir=$3 helperdir=$4 datadir=$5 build_type=$6
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; echo "FAIL: cpack" >&2; exit 1; }
deb=$work/cpack/fairstake_${version}_$(dpkg --print-architecture).deb
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

status=0
check() { # description, then a command that must succeed
    "${@:2}" || { echo "FAIL: $1" >&2; status=1; }
}
field() { dpkg-deb -f "$deb" "$1"; }
check "Package and Version" test "$(field Package) $(field Version)" = "fairstake $version"
check "Maintainer has an address" grep -qx 'Fairstake developers <[^@<> ]*@example\.org>' <<<"$(field Maintainer)"
for dep in libqt6widgets6 libqt6webenginewidgets6 fonts-liberation2; do
    check "Depends names $dep" grep -q "$dep" <<<"$(field Depends)"
done
root=$work/root id=io.github.fairstake.Fairstake
dpkg-deb -x "$deb" "$root"
desktop=$root/usr/share/applications/$id.desktop metainfo=$root/usr/share/metainfo/$id.metainfo.xml
for f in "$datadir/fairstake.hlp" share/icons/hicolor/{scalable/apps/fairstake.svg,48x48/apps/fairstake.png}; do
    check "$f is in the package" test -s "$root/usr/$f"
done
check "only the program is a command" test "$(ls "$root/usr/$bindir")" = fairstake
check "desktop entry validates" desktop-file-validate "$desktop"
check "desktop entry starts fairstake with its icon" test "$(grep -xE '(Exec|Icon)=fairstake' "$desktop" | wc -l)" = 2
check "metainfo validates" appstreamcli validate --no-net --no-color "$metainfo"
check "metainfo launches the desktop entry" grep -q "<launchable type=\"desktop-id\">$id.desktop<" "$metainfo"
for f in "$bindir/fairstake" "$helperdir/fairstake-web"; do
    elf=$root/usr/$f
    check "$f is an executable of the package" test -x "$elf"
    check "$f has read-only relocations" grep -q GNU_RELRO <<<"$(readelf -lW "$elf")"
    check "$f binds now" grep -qE '\(FLAGS(_1)?\).* NOW' <<<"$(readelf -dW "$elf")"
    check "$f has stack protection" grep -q ' __stack_chk_fail' <<<"$(readelf --dyn-syms -W "$elf")"
done
# The helper is built fortified too, but none of its few C library calls needs a run-time check.
[ "$build_type" = Debug ] || check "$bindir/fairstake calls fortified functions" \
    grep -qE ' __[a-z]+_chk(@| |$)' <<<"$(readelf --dyn-syms -W "$root/usr/$bindir/fairstake")"
check "lintian finds no errors in the package" lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1
sed 's/^/lintian: /' "$work/lintian.log" >&2
[ $status -eq 0 ] || exit 1

# A title only the unpacked copy has, shown only if the program read the package's file.
sed -i 's/^Title: Fairstake help$/& from the package/' "$root/usr/$datadir/fairstake.hlp"
grep -q '^Title: Fairstake help from the package$' "$root/usr/$datadir/fairstake.hlp"
XVFB_SCREEN=1024x768x24 PYTHONDONTWRITEBYTECODE=1 "$(dirname "$0")/../../tools/under-xvfb" \
    python3 "$(dirname "$0")/run_package.py" "$root" "$desktop"

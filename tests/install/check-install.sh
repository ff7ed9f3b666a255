#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# check-install.sh BUILD_DIR LIBDIR: installs BUILD_DIR with --prefix /usr into a temporary
# DESTDIR and checks the installed tree. Exit 0 when everything is in place, 1 with a list of
# what is wrong otherwise.
set -uo pipefail

build=$1
libdir=$2
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

if ! DESTDIR="$stage" cmake --install "$build" --prefix /usr > "$stage.log" 2>&1; then
    cat "$stage.log"
    rm -f "$stage.log"
    echo "FAIL: cmake --install failed"
    exit 1
fi
rm -f "$stage.log"
root="$stage/usr"

# Regular files (after links) that must be there, executables where they run.
for f in bin/quorvi "$libdir/quorvi-studio/quorvi-studio"; do
    [ -f "$root/$f" ] && [ -x "$root/$f" ] || fail "$f is not an installed program"
done
[ -f "$root/$libdir/libtavixhook.so.1" ] || fail "$libdir/libtavixhook.so.1 is missing"
[ -f "$root/$libdir/quorvi-studio/libquorvi-metafile.so" ] || fail "$libdir/quorvi-studio/libquorvi-metafile.so is missing"
# The development link belongs to a -dev package, not to the program.
[ ! -e "$root/$libdir/libtavixhook.so" ] || fail "$libdir/libtavixhook.so should not be installed"

# bin/quorvi-studio is a relative link to the program, so that the staged tree can be moved.
link=$(readlink "$root/bin/quorvi-studio" 2>/dev/null)
case "$link" in
    "") fail "bin/quorvi-studio is not a link" ;;
    /*) fail "bin/quorvi-studio links to an absolute path: $link" ;;
esac
[ "$(readlink -f "$root/bin/quorvi-studio")" = "$(readlink -f "$root/$libdir/quorvi-studio/quorvi-studio")" ] \
    || fail "bin/quorvi-studio does not lead to $libdir/quorvi-studio/quorvi-studio"

# The program finds its help pages beside itself; they live under share.
for page in index.htm dialog.htm; do
    [ -f "$root/share/quorvi-studio/help/$page" ] || fail "share/quorvi-studio/help/$page is missing"
    [ -f "$root/$libdir/quorvi-studio/help/$page" ] || fail "$libdir/quorvi-studio/help/$page does not resolve"
done
case "$(readlink "$root/$libdir/quorvi-studio/help")" in
    /*|"") fail "$libdir/quorvi-studio/help is not a relative link" ;;
esac

# Desktop integration.
desktop="$root/share/applications/org.quorvi.Studio.desktop"
metainfo="$root/share/metainfo/org.quorvi.Studio.metainfo.xml"
icon="$root/share/icons/hicolor/scalable/apps/org.quorvi.Studio.svg"
[ -f "$desktop" ] || fail "share/applications/org.quorvi.Studio.desktop is missing"
[ -f "$metainfo" ] || fail "share/metainfo/org.quorvi.Studio.metainfo.xml is missing"
[ -f "$icon" ] || fail "share/icons/hicolor/scalable/apps/org.quorvi.Studio.svg is missing"
if [ -f "$desktop" ]; then
    grep -qx 'Exec=quorvi-studio %F' "$desktop" || fail "the desktop entry does not start quorvi-studio"
    grep -qx 'Icon=org.quorvi.Studio' "$desktop" || fail "the desktop entry does not name the installed icon"
    if command -v desktop-file-validate > /dev/null; then
        desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
    else
        echo "note: desktop-file-validate is not installed; the desktop entry was not validated"
    fi
fi
if [ -f "$metainfo" ]; then
    grep -q '<launchable type="desktop-id">org.quorvi.Studio.desktop</launchable>' "$metainfo" \
        || fail "the metainfo does not launch the installed desktop entry"
    if command -v appstreamcli > /dev/null; then
        appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects the metainfo"
    else
        echo "note: appstreamcli is not installed; the metainfo was not validated"
    fi
fi
if [ -f "$icon" ]; then
    grep -q '<svg' "$icon" || fail "the icon is not an SVG image"
fi

# The installed programs start from the staged tree with nothing of the build tree: no build
# path may remain in their run paths, and the hook library is found where it was installed.
for f in bin/quorvi "$libdir/quorvi-studio/quorvi-studio" "$libdir/libtavixhook.so.1"; do
    if [ -f "$root/$f" ] && readelf -d "$root/$f" | grep -E 'R(UN)?PATH' | grep -qF "$build"; then
        fail "$f keeps a run path into the build tree"
    fi
done
export LD_LIBRARY_PATH="$root/$libdir"
if [ -x "$root/bin/quorvi-studio" ]; then
    missing=$(ldd "$root/bin/quorvi-studio" | grep 'not found')
    [ -z "$missing" ] || fail "bin/quorvi-studio misses libraries: $missing"
    # Without a display the program says so in one line and ends with 1.
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$root/bin/quorvi-studio" 2>&1)
    rc=$?
    [ "$rc" -eq 1 ] || fail "bin/quorvi-studio without a display ended with $rc, not 1: $out"
    echo "$out" | grep -q 'DISPLAY' || fail "bin/quorvi-studio without a display did not name DISPLAY: $out"
fi
if [ -x "$root/bin/quorvi" ]; then
    "$root/bin/quorvi" --help > /dev/null 2>&1 || fail "bin/quorvi --help failed"
    # Metafiles are drawn by the module, found through the program's run path alone.
    wmf="$(dirname "$0")/../data/fuzz-seeds/wmf/hatched.wmf"
    out=$("$root/bin/quorvi" convert "$wmf" "$stage/hatched.bmp" 2>&1) \
        || fail "bin/quorvi cannot draw a metafile: $out"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures problem(s) in the installed tree"
    exit 1
fi
echo "installed tree is complete"

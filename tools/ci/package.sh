#!/bin/sh
# Checks the installed program and its Debian package: the desktop entry and the AppStream
# metadata validate, an install into a temporary prefix holds every expected file, cpack builds
# the .deb, lintian finds no error in it, dpkg-deb lists the same files, and the installed
# program starts (offscreen) and runs a few seconds without an error.
# Usage: tools/ci/package.sh [build-dir]  (default build; the pellium target is built there)
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-"$root/build"}

fail() {
    echo "package.sh: $*" >&2
    exit 1
}

[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target pellium
# The application id as the build defines it (the top CMakeLists.txt).
id=$(sed -n 's/^PELLIUM_APPLICATION_ID:INTERNAL=//p' "$build/CMakeCache.txt")
[ -n "$id" ] || fail "no PELLIUM_APPLICATION_ID in $build/CMakeCache.txt"

echo "== desktop-file-validate"
desktop-file-validate "$build/packaging/$id.desktop"
echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net "$build/packaging/$id.metainfo.xml"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The files both the install and the package must hold, relative to the prefix.
expected="bin/pellium
share/applications/$id.desktop
share/metainfo/$id.metainfo.xml
share/icons/hicolor/scalable/apps/$id.svg
share/doc/pellium/README.md
share/doc/pellium/LICENSE
share/doc/pellium/copyright
share/doc/pellium/changelog.gz
share/man/man6/pellium.6.gz"
for size in 16 24 32 48 64 128 256; do
    expected="$expected
share/icons/hicolor/${size}x${size}/apps/$id.png"
done
unwanted="bin/pellium-bench bin/pellium-mailbox-perft bin/pellium-artgen bin/jpeggen"

echo "== cmake --install into a temporary prefix"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
echo "$expected" | while read -r f; do
    [ -s "$prefix/$f" ] || fail "install lacks $f"
done
for f in $unwanted; do
    [ ! -e "$prefix/$f" ] || fail "install holds the developer tool $f"
done
for size in 16 24 32 48 64 128 256; do
    file "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "PNG image data, $size x $size" \
        || fail "icon ${size}x${size} has another size"
done
echo "installed: $(find "$prefix" -type f | wc -l) files"

echo "== cpack -G DEB"
(cd "$build" && cpack -G DEB -B "$work/deb" >/dev/null)
deb=$(find "$work/deb" -maxdepth 1 -name 'pellium_*.deb' | head -n 1)
[ -n "$deb" ] || fail "cpack made no pellium_<version>_<arch>.deb"
echo "package: $(basename "$deb")"
dpkg-deb --field "$deb" Package Version Architecture Section Maintainer Depends

echo "== lintian"
# Errors fail the check; warnings and notes are shown.
lintian --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1 || true
cat "$work/lintian.txt"
! grep -q '^E:' "$work/lintian.txt" || fail "lintian reports errors"

echo "== dpkg-deb --contents"
dpkg-deb --contents "$deb" >"$work/contents.txt"
echo "$expected" | while read -r f; do
    grep -q " \./usr/$f\$" "$work/contents.txt" || fail "package lacks /usr/$f"
done
for f in $unwanted; do
    ! grep -q " \./usr/$f\$" "$work/contents.txt" || fail "package holds the developer tool /usr/$f"
done
awk '{print $6}' "$work/contents.txt" | grep -v '/$'

echo "== the installed program starts"
# Runs offscreen for a few seconds; it must still be running then and print no error.
QT_QPA_PLATFORM=offscreen "$prefix/bin/pellium" >"$work/run.txt" 2>&1 &
pid=$!
sleep 4
kill -0 "$pid" 2>/dev/null || { cat "$work/run.txt"; fail "the installed program ended early"; }
kill "$pid"
wait "$pid" 2>/dev/null || true
if grep -Eiv '^$|font' "$work/run.txt" | grep -Ei 'error|warning|cannot|fail|critical'; then
    fail "the installed program reported an error"
fi
echo "package.sh: all checks passed"

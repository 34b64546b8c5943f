#!/bin/sh
# Checks the installed program and its Debian package, built as a packager builds it: a
# program-only Release build (-DBUILD_TESTING=OFF, so no GoogleTest or Qt Test) with the
# project's hardening. It checks that
#  - the desktop entry and the AppStream metadata validate;
#  - an install into a temporary prefix holds every expected file and no developer tool;
#  - cpack builds the .deb; lintian (with --display-info) finds no error and no missing
#    hardening; its long description is one paragraph; dpkg-deb lists the same files;
#  - a second clean build of the same sources gives a byte-identical .deb (SOURCE_DATE_EPOCH:
#    the last commit's time unless already set);
#  - the installed program starts (offscreen) and runs a few seconds without an error;
#  - under Xvfb (when installed) its window's X11 class is the desktop entry's StartupWMClass.
# Usage: tools/ci/package.sh [work-dir]  (default build-package; both builds are made there)
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-"$root/build-package"}

fail() {
    echo "package.sh: $*" >&2
    exit 1
}

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)
fi
export SOURCE_DATE_EPOCH

# build_package <name>: a clean program-only build in $out/<name>, packaged into
# $out/<name>/deb; prints the .deb's path.
build_package() {
    dir="$out/$1"
    rm -rf "$dir"
    # As on a machine without GoogleTest and Qt Test: a look for either fails the configure.
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
        -DPELLIUM_WERROR=ON -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
        -DCMAKE_DISABLE_FIND_PACKAGE_Qt6Test=ON >"$out/$1.log" 2>&1 \
        || { cat "$out/$1.log" >&2; fail "configure $1"; }
    cmake --build "$dir" >>"$out/$1.log" 2>&1 || { cat "$out/$1.log" >&2; fail "build $1"; }
    (cd "$dir" && cpack -G DEB -B "$dir/deb" >>"$out/$1.log" 2>&1) || fail "cpack $1"
    deb=$(find "$dir/deb" -maxdepth 1 -name 'pellium_*.deb' | head -n 1)
    [ -n "$deb" ] || fail "cpack made no pellium_<version>_<arch>.deb in $1"
    echo "$deb"
}

mkdir -p "$out"
echo "== program-only build (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH)"
deb=$(build_package first)
build="$out/first"
grep -q '^BUILD_TESTING:BOOL=OFF' "$build/CMakeCache.txt" || fail "not a program-only build"

# The application id as the build defines it (the top CMakeLists.txt).
id=$(sed -n 's/^PELLIUM_APPLICATION_ID:INTERNAL=//p' "$build/CMakeCache.txt")
[ -n "$id" ] || fail "no PELLIUM_APPLICATION_ID in $build/CMakeCache.txt"
desktop="$build/packaging/$id.desktop"

echo "== desktop-file-validate"
desktop-file-validate "$desktop"
echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net "$build/packaging/$id.metainfo.xml"

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

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

echo "== the package"
echo "package: $(basename "$deb")"
dpkg-deb --field "$deb" Package Version Architecture Section Maintainer Depends
version=$(dpkg-deb --field "$deb" Version)
caption_version=$(echo "$version" | cut -d. -f1-2)
strings -e l "$prefix/bin/pellium" | grep -q " v $caption_version" \
    || fail "the window's caption does not show v $caption_version (package $version)"
# The long description: the lines under the synopsis, each indented by exactly one space
# (two spaces would make apt show a separate, verbatim paragraph).
dpkg-deb --field "$deb" Description >"$work/description.txt"
sed -n '2,$p' "$work/description.txt" >"$work/long.txt"
[ -s "$work/long.txt" ] || fail "the package has no long description"
! grep -qv '^ [^ ]' "$work/long.txt" || fail "the long description is not one plain paragraph"

echo "== lintian --display-info"
# Errors and missing hardening fail the check; warnings, notes and infos are shown.
lintian --display-info --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1 || true
grep -v 'running with root privileges' "$work/lintian.txt" || true
! grep -q '^E:' "$work/lintian.txt" || fail "lintian reports errors"
! grep -q 'hardening-no-' "$work/lintian.txt" || fail "lintian finds the hardening missing"

echo "== dpkg-deb --contents"
dpkg-deb --contents "$deb" >"$work/contents.txt"
echo "$expected" | while read -r f; do
    grep -q " \./usr/$f\$" "$work/contents.txt" || fail "package lacks /usr/$f"
done
for f in $unwanted; do
    ! grep -q " \./usr/$f\$" "$work/contents.txt" || fail "package holds the developer tool /usr/$f"
done
awk '{print $6}' "$work/contents.txt" | grep -v '/$'

echo "== reproducible: a second clean build"
deb2=$(build_package second)
sha1=$(sha256sum "$deb" | cut -d' ' -f1)
sha2=$(sha256sum "$deb2" | cut -d' ' -f1)
echo "first:  $sha1"
echo "second: $sha2"
[ "$sha1" = "$sha2" ] || fail "two builds of the same sources gave different packages"

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

echo "== StartupWMClass against the window's X11 class"
wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
[ -n "$wm_class" ] || fail "the desktop entry has no StartupWMClass"
if command -v Xvfb >/dev/null 2>&1 && command -v xprop >/dev/null 2>&1; then
    display=":$((90 + $$ % 100))"
    Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    sleep 1
    DISPLAY=$display "$prefix/bin/pellium" >/dev/null 2>&1 &
    pid=$!
    # WM_CLASS(STRING) = "instance", "class" of the window whose title starts "Pellium by".
    class=""
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        sleep 1
        window=$(DISPLAY=$display xwininfo -root -tree | grep '"Pellium by' | awk '{print $1}' | head -n 1)
        [ -n "$window" ] || continue
        class=$(DISPLAY=$display xprop -id "$window" WM_CLASS | sed -n 's/.*= "[^"]*", "\([^"]*\)"/\1/p')
        [ -n "$class" ] && break
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    [ -n "$class" ] || fail "no window of the program found under Xvfb"
    echo "WM_CLASS class: $class, StartupWMClass: $wm_class"
    [ "$class" = "$wm_class" ] || fail "StartupWMClass $wm_class is not the window's class $class"
else
    fail "Xvfb and xprop are needed (tools/setup.sh --test installs them)"
fi
echo "package.sh: all checks passed"

#!/bin/sh
# Installed, packaged and copied: each copy of the command runs the showcase
# page and prints it byte for byte, and a copy without its runtime library
# says so with status 3.  Usage: install_test.sh BUILD_DIR SOURCE_DIR
set -eu
build=$1
source=$2
page=$source/examples/showcase.js
expected=$source/tests/golden/showcase_page.html
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

runs_showcase() {  # WHAT COMMAND
  "$2" run "$page" >"$work/page" 2>"$work/err" || fail "$1: exit $?: $(cat "$work/err")"
  cmp -s "$work/page" "$expected" || fail "$1: the page differs from $expected"
  for binary in "$2" "$(dirname "$2")"/../lib/libvantrel*.so "$(dirname "$2")"/libvantrel*.so; do
    [ -f "$binary" ] || continue
    if readelf -d "$binary" | sed -n 's/.*R\(UN\)\{0,1\}PATH.*\[\(.*\)\]/\2/p' | tr ':' '\n' |
      grep -v '^\$ORIGIN' >/dev/null; then
      fail "$1: $binary has a search path that is not relative to itself"
    fi
  done
  echo "ok: $1"
}

cmake --install "$build" --prefix "$work/prefix" >/dev/null
runs_showcase "installed under a prefix" "$work/prefix/bin/vantrel"
for file in include/vantrel/platform/posix/runtime.h include/vantrel/frame/variant.h \
            lib/libvantrel.so lib/libvantrel_runtime.so share/vantrel/vantrel-compat.js \
            share/doc/vantrel/README.md; do
  [ -f "$work/prefix/$file" ] || fail "the install has no $file"
done

# The installed headers are complete: a host compiles against them alone.
printf '#include "platform/posix/runtime.h"\nint main() { return vantrel::posix::failed(0); }\n' \
  >"$work/host.cpp"
c++ -std=c++20 -fsyntax-only -I "$work/prefix/include/vantrel" "$work/host.cpp" ||
  fail "the installed headers do not compile on their own"

mv "$work/prefix" "$work/moved"
runs_showcase "installed, then moved" "$work/moved/bin/vantrel"

cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(cat "$work/cpack.log")"
deb=$(ls "$work"/package/*.deb)
dpkg-deb -x "$deb" "$work/unpacked"
runs_showcase "unpacked from $(basename "$deb")" "$work/unpacked/usr/bin/vantrel"
dpkg-deb -f "$deb" Depends | grep -q libduktape || fail "the package does not depend on Duktape"

mkdir "$work/copy"
cp "$build/vantrel" "$build"/libvantrel*.so "$work/copy/"
runs_showcase "build-tree binaries copied together" "$work/copy/vantrel"

rm "$work/copy/libvantrel_runtime.so"
status=0
"$work/copy/vantrel" run "$page" >/dev/null 2>"$work/err" || status=$?
[ "$status" = 3 ] || fail "without its runtime library: exit $status, expected 3"
grep -q 'libvantrel_runtime.so' "$work/err" || fail "without its runtime library: $(cat "$work/err")"
echo "ok: a copy without its runtime library exits 3"

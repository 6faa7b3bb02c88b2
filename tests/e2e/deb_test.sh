#!/usr/bin/env bash
# The .deb holds the game and the packager's files, and runs unpacked.   Usage: deb_test.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }
command -v dpkg-deb >/dev/null || { echo "SKIPPED: dpkg-deb is not installed"; exit 77; }
(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || fail "cpack: $(tail -5 "$work/cpack.log")"
deb=$(ls "$work"/out/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "cpack made no .deb: $(tail -5 "$work/cpack.log")"
dpkg-deb -f "$deb" Package Depends | grep -q 'libsdl2' || fail "the package does not depend on SDL2"
dpkg-deb -c "$deb" >"$work/list"
for f in /usr/bin/kelvarot /usr/share/kelvarot/map/8.overworld /usr/share/kelvarot/bmp_land/ \
  /usr/share/man/man6/kelvarot.6 /usr/share/applications/kelvarot.desktop \
  /usr/share/metainfo/io.github.kelvarot.Kelvarot.metainfo.xml /usr/share/doc/kelvarot/LICENSE \
  /usr/share/icons/hicolor/{64x64,128x128,256x256}/apps/kelvarot.png; do
  grep -q " \.$f" "$work/list" || fail "the package lacks $f"
done
dpkg-deb -x "$deb" "$work/root" || fail "dpkg-deb -x failed"
(cd / && "$work/root/usr/bin/kelvarot" --headless --frames 3 --seed 2 --dump-state "$work/dump" \
  2>"$work/err") || fail "the unpacked game did not run: $(cat "$work/err")"
"$build/tests/dump_check" "$work/dump" /bitmaps_loaded=217 /map_loaded=3145728 /frame=3 ||
  fail "the unpacked game did not load everything: $(cat "$work/err")"
echo "PASSED"

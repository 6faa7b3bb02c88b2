#!/usr/bin/env bash
# The .deb passes lintian, holds valid packager's files in Debian's places, carries one version
# throughout and a hardened program, and runs unpacked.   Usage: deb_test.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd) work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }
command -v dpkg-deb >/dev/null || { echo "SKIPPED: dpkg-deb is not installed"; exit 77; }
(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || fail "cpack: $(tail -5 "$work/cpack.log")"
deb=$(ls "$work"/out/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "cpack made no .deb: $(tail -5 "$work/cpack.log")"
dpkg-deb -f "$deb" Package Depends | grep -q 'libsdl2' || fail "the package does not depend on SDL2"
lintian --fail-on error,warning "$deb" >"$work/lint" 2>&1 || fail "lintian: $(cat "$work/lint")"
dpkg-deb -x "$deb" "$work/root" || fail "dpkg-deb -x failed"
usr=$work/root/usr share=$work/root/usr/share v=$(dpkg-deb -f "$deb" Version)
appstreamcli validate-tree --no-net "$work/root" >"$work/as" || fail "appstream: $(cat "$work/as")"
ls "$share"/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/kelvarot.png >/dev/null || fail "icons"
[ -f "$share/games/kelvarot/map/8.overworld" ] || fail "the data is not in /usr/share/games/kelvarot"
zcat "$share/man/man6/kelvarot.6.gz" | sed -n '/^\.SH FILES/,/^\.SH [^F]/p' |
  grep -qx '\.I /usr/share/games/kelvarot/' || fail "the manual page's FILES do not name the data folder"
[ "$("$usr/games/kelvarot" --version)" = "kelvarot $v" ] || fail "the program's version is not $v"
for file_text in "man/man6/kelvarot.6.gz:\"kelvarot $v\"" "doc/kelvarot/changelog.gz:kelvarot ($v)" \
  "metainfo/io.github.kelvarot.Kelvarot.metainfo.xml:<release version=\"$v\""; do
  zgrep -qF "${file_text#*:}" "$share/${file_text%%:*}" || fail "${file_text%%:*} does not say version $v"
done
readelf -dW --dyn-syms "$usr/games/kelvarot" >"$work/elf"  # lintian checks PIE and RELRO
for mark in 'FLAGS.*BIND_NOW' __stack_chk_fail '__[a-z]*_chk@'; do
  grep -q "$mark" "$work/elf" || fail "the program is not hardened: no $mark"
done
(cd / && "$usr/games/kelvarot" --headless --frames 3 --seed 2 --dump-state "$work/dump" \
  2>"$work/err") || fail "the unpacked game did not run: $(cat "$work/err")"
"$build/tests/dump_check" "$work/dump" /bitmaps_loaded=217 /map_loaded=3145728 /frame=3 ||
  fail "the unpacked game did not load everything: $(cat "$work/err")"
echo "PASSED"

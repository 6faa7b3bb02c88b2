#!/usr/bin/env bash
# Installed in its layout, the game finds its data from anywhere, or says where it looked; the packager's
# files are in place, the manual page naming the configured data folder.   Usage: install_test.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd) prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAILED: $*"; exit 1; }
cmake --install "$build" --prefix "$prefix/usr" >/dev/null || fail "cmake --install failed"
share="$prefix/usr/share"
for f in usr/bin/kelvarot usr/share/man/man6/kelvarot.6.gz usr/share/doc/kelvarot/LICENSE \
  usr/share/{applications/io.github.kelvarot.Kelvarot.desktop,metainfo/io.github.kelvarot.Kelvarot.metainfo.xml} \
  usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/kelvarot.png; do
  [ -f "$prefix/$f" ] || fail "no $f"
done
cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
zgrep -qxF ".I $(cache CMAKE_INSTALL_PREFIX)/$(cache KV_INSTALL_DATADIR)/" "$share/man/man6/kelvarot.6.gz" ||
  fail "the manual page does not name the configured data folder"
runs() {  # runs EXE: the program loads every picture and the whole map from /
  (cd / && "$1" --headless --frames 2 --dump-state "$prefix/dump" 2>"$prefix/err") ||
    fail "$1 did not run: $(cat "$prefix/err")"
  "$build/tests/dump_check" "$prefix/dump" /bitmaps_loaded=217 /map_loaded=3145728 ||
    fail "$1: not all data loaded: $(cat "$prefix/err")"
}
runs "$prefix/usr/bin/kelvarot"  # deb_test.sh runs it in Debian's layout

# with the data gone, the run fails with one line naming every folder looked in
rm -rf "$share/kelvarot"
status=0
(cd / && "$prefix/usr/bin/kelvarot" --headless --frames 1 2>"$prefix/err") || status=$?
[ "$status" = 1 ] || fail "a run without data ended with status $status: $(cat "$prefix/err")"
[ "$(wc -l <"$prefix/err")" = 1 ] || fail "not one line without data: $(cat "$prefix/err")"
for dir in "$prefix/usr/bin" "$share/kelvarot" "$share/games/kelvarot"; do
  grep -q "looked in .*$dir\b" "$prefix/err" || fail "the message misses $dir: $(cat "$prefix/err")"
done
echo "PASSED"

#!/usr/bin/env bash
# Installed, in its layout or moved into Debian's, the game finds its data from anywhere, or says
# where it looked; the packager's files are in place and valid.   Usage: install_test.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd) prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAILED: $*"; exit 1; }
cmake --install "$build" --prefix "$prefix/usr" >/dev/null || fail "cmake --install failed"
share="$prefix/usr/share"
for f in usr/bin/kelvarot usr/share/man/man6/kelvarot.6 usr/share/doc/kelvarot/LICENSE \
  usr/share/applications/kelvarot.desktop usr/share/metainfo/io.github.kelvarot.Kelvarot.metainfo.xml \
  usr/share/icons/hicolor/{64x64,128x128,256x256}/apps/kelvarot.png; do
  [ -f "$prefix/$f" ] || fail "no $f"
done
desktop-file-validate "$share/applications/kelvarot.desktop" || fail "the desktop entry does not validate"
appstreamcli validate --no-net "$share/metainfo/io.github.kelvarot.Kelvarot.metainfo.xml" >/dev/null ||
  fail "the metainfo does not validate: $(appstreamcli validate --no-net "$share"/metainfo/*.xml)"
LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$share/man/man6/kelvarot.6" 2>"$prefix/manerr" >/dev/null
[ -s "$prefix/manerr" ] && fail "the manual page has warnings: $(cat "$prefix/manerr")"
for side in 64 128 256; do
  "$build/tests/picture_check" "$share/icons/hicolor/${side}x$side/apps/kelvarot.png" "size=${side}x$side" ||
    fail "the $side icon is not the size of its folder"
done

runs() {  # runs EXE: the program loads every picture and the whole map from /
  (cd / && "$1" --headless --frames 2 --dump-state "$prefix/dump" 2>"$prefix/err") ||
    fail "$1 did not run: $(cat "$prefix/err")"
  "$build/tests/dump_check" "$prefix/dump" /bitmaps_loaded=217 /map_loaded=3145728 ||
    fail "$1: not all data loaded: $(cat "$prefix/err")"
}
runs "$prefix/usr/bin/kelvarot"
mkdir -p "$prefix/usr/games" "$share/games"
mv "$prefix/usr/bin/kelvarot" "$prefix/usr/games/" && mv "$share/kelvarot" "$share/games/" ||
  fail "could not move the install into a Debian-style layout"
runs "$prefix/usr/games/kelvarot"

# with the data gone, the run fails with one line naming every folder looked in
rm -rf "$share/games/kelvarot"
status=0
(cd / && "$prefix/usr/games/kelvarot" --headless --frames 1 2>"$prefix/err") || status=$?
[ "$status" = 1 ] || fail "a run without data ended with status $status: $(cat "$prefix/err")"
[ "$(wc -l <"$prefix/err")" = 1 ] || fail "not one line without data: $(cat "$prefix/err")"
for dir in "$prefix/usr/games" "$share/kelvarot" "$share/games/kelvarot"; do
  grep -q "looked in .*$dir\b" "$prefix/err" || fail "the message misses $dir: $(cat "$prefix/err")"
done
echo "PASSED"

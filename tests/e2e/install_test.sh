#!/usr/bin/env bash
# cmake --install into a scratch prefix gives a game that finds its data from
# any working directory, with a valid desktop entry and an icon.
# Usage: install_test.sh BUILD_DIR
set -u
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAILED: $*"; exit 1; }
cmake --install "$1" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
desktop="$prefix/share/applications/kelvarot.desktop"
for f in "$prefix/bin/kelvarot" "$desktop" "$prefix/share/icons/hicolor/64x64/apps/kelvarot.png"; do
  [ -f "$f" ] || fail "no $f"
done
desktop-file-validate "$desktop" || fail "the desktop entry does not validate"
cd / && "$prefix/bin/kelvarot" --headless --frames 2 --dump-state "$prefix/dump" 2>"$prefix/err" ||
  fail "the installed game did not run: $(cat "$prefix/err")"
for loaded in '"bitmaps_loaded":217' '"map_loaded":3145728'; do
  grep -q "$loaded" "$prefix/dump" || fail "not all data loaded ($loaded): $(cat "$prefix/err")"
done
echo "PASSED"

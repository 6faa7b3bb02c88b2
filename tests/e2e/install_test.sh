#!/usr/bin/env bash
# cmake --install into a scratch prefix gives a game that finds its data from
# any working directory, with a valid desktop entry and an icon.
# Usage: install_test.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAILED: $*"; exit 1; }
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
[ -x "$prefix/bin/kelvarot" ] || fail "no bin/kelvarot"
desktop="$prefix/share/applications/kelvarot.desktop"
[ -f "$desktop" ] || fail "no desktop entry"
[ -f "$prefix/share/icons/hicolor/64x64/apps/kelvarot.png" ] || fail "no icon"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "the desktop entry does not validate"
else
  echo "note: desktop-file-validate not installed; entry not validated"
fi
(cd / && "$prefix/bin/kelvarot" --headless --frames 2 --dump-state "$prefix/state.json" 2>"$prefix/err.txt") ||
  fail "the installed game did not run: $(cat "$prefix/err.txt")"
grep -q '"bitmaps_loaded":217' "$prefix/state.json" || fail "not all pictures loaded: $(cat "$prefix/err.txt")"
grep -q '"map_loaded":3145728' "$prefix/state.json" || fail "the map did not load"
echo "PASSED"

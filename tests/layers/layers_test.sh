#!/usr/bin/env bash
# The layer check passes on this tree and catches an include that goes up,
# one that goes sideways, and an unknown folder.
# Usage: layers_test.sh SOURCE_DIR
set -u
src=$(cd "$1" && pwd)
check="$src/scripts/check-layers.sh"
bash "$check" "$src" || { echo "FAILED: the tree itself breaks the layers"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
while read -r file include; do
  rm -rf "$work/src" && cp -r "$src/src" "$work/src"
  mkdir -p "$(dirname "$work/$file")" && echo "#include \"$include\"" >>"$work/$file"
  bash "$check" "$work" 2>/dev/null && echo "FAILED: $file including $include passed" && status=1
done <<'CASES'
src/views/overworld.cpp shell/game.h
src/world/world.cpp units/units.h
src/core/pointer.cpp render/framebuffer.h
src/views/minimap.cpp console/commandline.h
src/render/text.cpp world/world.h
src/gadgets/new.cpp core/keys.h
CASES
[ $status -eq 0 ] && echo "PASSED"
exit $status

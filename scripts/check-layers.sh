#!/usr/bin/env bash
# Fails on an include that goes up or sideways through the layers of src/:
#   core  <-  render, world  <-  units  <-  views, console  <-  shell
# A folder may include itself and the layers below it, nothing else.
# Usage: check-layers.sh [SOURCE_ROOT]   (default: this checkout)
set -euo pipefail
root=${1:-$(dirname "$0")/..}
declare -A rank=([core]=0 [render]=1 [world]=1 [units]=2 [views]=3 [console]=3 [shell]=4)
bad=0
for dir in "$root"/src/*/; do
  layer=$(basename "$dir")
  if [ -z "${rank[$layer]+x}" ]; then
    echo "check-layers: src/$layer is not a known layer" >&2
    bad=1
    continue
  fi
  while IFS=: read -r file line text; do
    used=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([a-z_]+)\/.*/\1/' <<<"$text")
    [ "$used" = "$layer" ] && continue
    if [ -z "${rank[$used]+x}" ] || [ "${rank[$used]}" -ge "${rank[$layer]}" ]; then
      echo "check-layers: ${file#"$root"/}:$line: $layer may not include $used/" >&2
      bad=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z_]+/' "$dir" || true)
done
[ "$bad" -eq 0 ] && echo "check-layers: every include goes downward"
exit "$bad"

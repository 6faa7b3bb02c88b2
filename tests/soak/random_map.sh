#!/usr/bin/env bash
# The soak on a world the generator has never been tested on: a random world
# seed each run, printed first so a failure can be replayed with
#   KV_SOAK_WORLD_SEED=N tests/soak/random_map.sh BUILD_DIR
set -euo pipefail
build=$1
frames=${2:-3000}
seed=${KV_SOAK_WORLD_SEED:-$(( (RANDOM << 15 | RANDOM) % 1000000 ))}
echo "soak: random map, world seed $seed (KV_SOAK_WORLD_SEED=$seed replays it)"
data=$(mktemp -d "${TMPDIR:-/tmp}/kv_soak_world.XXXXXX")
trap 'rm -rf "$data"' EXIT
"$build/assetgen" --out "$data" --seed "$seed" >/dev/null
[ -s "$data/map/8.overworld" ] || { echo "soak: the generator wrote no map" >&2; exit 1; }
"$build/tests/soak" --frames "$frames" --seed 11 --data "$data"

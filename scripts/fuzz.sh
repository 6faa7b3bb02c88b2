#!/usr/bin/env bash
# Fuzzes the bitmap reader for N seconds (default 30) with libFuzzer.
#   scripts/fuzz.sh [SECONDS]
# Builds in build-fuzz (or $KV_FUZZ_BUILD_DIR) with clang++. Seeds: the
# generated game pictures (16x16 tile, 16x16 sprite, 64x64 cube texture,
# 640x480 intro), drawn in the fuzz build folder by the asset generator or
# taken from $KV_FUZZ_DATA or build/, plus hand-made edge files.
# Exits non-zero when the fuzzer finds a fault; the input is kept in
# <build>/fuzz/artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
case $seconds in '' | *[!0-9]*) echo "fuzz.sh: seconds must be a number" >&2; exit 2 ;; esac
build=${KV_FUZZ_BUILD_DIR:-build-fuzz}

CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_FUZZ=ON \
  -DKV_TESTS=OFF -DKV_BENCH=OFF >/dev/null
cmake --build "$build" --target bitmap_fuzz bitmap_fuzz_seeds -j2
# The game's own pictures make the best seeds; draw them here when we can.
if [ -f tools/assetgen/CMakeLists.txt ]; then
  cmake --build "$build" --target assetgen_data -j2 >/dev/null
fi

seeds=$build/fuzz/seeds
corpus=$build/fuzz/corpus
artifacts=$build/fuzz/artifacts
rm -rf "$seeds"
mkdir -p "$seeds" "$corpus" "$artifacts"
"$build/fuzz/bitmap_fuzz_seeds" "$seeds"

generated=(bmp_land/plain.bmp bmp_unit/unit_mage.bmp bmp_cube/brickold2.bmp bmp_scr/intro1.bmp)
found=""
for dir in ${KV_FUZZ_DATA:-} "$build" build; do
  if [ -f "$dir/${generated[0]}" ]; then found=$dir; break; fi
done
if [ -n "$found" ]; then
  for f in "${generated[@]}"; do
    [ -f "$found/$f" ] && cp "$found/$f" "$seeds/generated_$(basename "$f")"
  done
else
  echo "fuzz.sh: no generated pictures found; seeding with the hand-made files only" >&2
fi
echo "fuzz.sh: $(ls "$seeds" | wc -l) seed files, running ${seconds}s"

# New inputs go to the corpus folder; the seeds stay as made. Inputs stop at
# 64 KiB: the header paths are what we are after, and whole 640x480 pictures
# would slow the run forty-fold (their full decode is in the unit tests).
"$build/fuzz/bitmap_fuzz" "$corpus" "$seeds" -max_total_time="$seconds" \
  -max_len=65536 -rss_limit_mb=2048 -artifact_prefix="$artifacts/" -print_final_stats=1

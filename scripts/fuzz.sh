#!/usr/bin/env bash
# Runs the libFuzzer targets, each for a while.
#   scripts/fuzz.sh                      every target: bitmap 30 s, the others 20 s each
#   scripts/fuzz.sh SECONDS [TARGET...]  the named targets (default all), SECONDS each
# Targets: bitmap (the BMP reader), script (input scripts and their replay),
# options (the command-line options), console (the command line, unit 1
# anywhere), map (the map loader, then a short tour of the game on the map),
# header (a recording's header), userdirs (the pictures folder in user-dirs.dirs),
# save (the save reader; accepted saves replace a running game's state).
# A new target is a line in the table below, a tests/fuzz/<name>_fuzz.cpp and a
# seed_<name> function that fills the seed folder it is given.
# Builds in build-fuzz (or $KV_FUZZ_BUILD_DIR) with clang++. Seeds come from
# the project itself: the generated pictures and map (drawn in the fuzz build
# folder by the asset generator, or taken from $KV_FUZZ_DATA or build/), a
# map of a random world seed (printed), the input scripts and command lines
# written in the tests, and hand-made edge cases.
# Exits non-zero when a fuzzer finds a fault; the input is kept in
# <build>/fuzz/artifacts/<target>/ and replays with <build>/fuzz/<target>_fuzz FILE.
set -euo pipefail
cd "$(dirname "$0")/.."
# name and seconds when run without arguments
table=("bitmap 30" "script 20" "options 20" "console 20" "map 20" "header 20" "userdirs 20" "save 20")
all=()
for t in "${table[@]}"; do all+=("${t%% *}"); done
if [ $# -eq 0 ]; then
  plan=("${table[@]}")
else
  seconds=$1
  shift
  case $seconds in '' | *[!0-9]*) echo "fuzz.sh: seconds must be a number" >&2; exit 2 ;; esac
  plan=()
  for t in "${@:-${all[@]}}"; do
    case " ${all[*]} " in *" $t "*) plan+=("$t $seconds") ;;
      *) echo "fuzz.sh: unknown target '$t' (${all[*]})" >&2; exit 2 ;; esac
  done
fi
build=${KV_FUZZ_BUILD_DIR:-build-fuzz}

CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_FUZZ=ON \
  -DKV_TESTS=OFF -DKV_BENCH=OFF >/dev/null
targets=(bitmap_fuzz_seeds)
for p in "${plan[@]}"; do targets+=("${p%% *}_fuzz"); done
cmake --build "$build" --target "${targets[@]}" -j2
# The game's own pictures and map make the best seeds; draw them here when we can.
if [ -f tools/assetgen/CMakeLists.txt ]; then
  cmake --build "$build" --target assetgen_data -j2 >/dev/null
fi
data=""
for dir in ${KV_FUZZ_DATA:-} "$build" build; do
  if [ -f "$dir/map/8.overworld" ]; then data=$dir; break; fi
done
[ -n "$data" ] || echo "fuzz.sh: no generated pictures or map found; fewer seeds" >&2

# Every C string in the tests that reads like an input script or a command line.
strings_from_tests() {
  grep -rhoE "$1" tests/ | sed 's/^"//; s/"$//' | sort -u
}

seed_bitmap() {
  "$build/fuzz/bitmap_fuzz_seeds" "$1"
  local f
  [ -n "$data" ] || return 0
  for f in bmp_land/plain.bmp bmp_unit/unit_mage.bmp bmp_cube/brickold2.bmp bmp_scr/intro1.bmp; do
    [ -f "$data/$f" ] && cp "$data/$f" "$1/generated_$(basename "$f")"
  done
  return 0
}

seed_script() {
  local i=0 s
  while IFS= read -r s; do
    printf '%b' "$s" >"$1/test_$((i++))"
  done < <(strings_from_tests '"[0-9]+ (tap|key|type|pointer|click|button) [^"]*"')
  printf '0 tap 1\n2 pointer 100 100\n3 click right\n60 tap F5\n64 button left down\n110 button left up\n120 tap F6\n180 tap TAB\n182 type env4teleport 500 500 1\n250 tap ENTER\n' >"$1/tour"
}

seed_options() {
  local i=0 line
  # Arguments separated by NUL bytes, as the target splits them.
  while IFS= read -r line; do
    printf '%s' "$line" | tr ' ' '\0' >"$1/argv_$i"
    i=$((i + 1))
  done <<'EOF'
--headless --frames 300 --seed 5 --script in.txt --dump-state out.json
--screenshot shot.png --probe 10,20,1 --probe 1023,1023,179 --data /tmp
--record rec.txt --no-vsync --frames 1
--help
--version
--seed 4294967295 --frames 2147483647
--probe -1,0,0
EOF
}

# Unit 1's column, row and level (16 bits each, little-endian), a mode byte, the text.
seed_console() {
  local i=0 line
  while IFS= read -r line; do
    printf '\xf4\x01\x58\x02\x01\x00\x00%s' "$line" >"$1/line_$i"      # (500, 600, 1)
    printf '\xff\x03\xff\x03\xb3\x00\x02%s' "$line" >"$1/edge_$i"      # (1023, 1023, 179)
    printf '\xff\xff\x00\x00\xff\xff\x01%s\r' "$line" | tr 'a-z' 'A-Z' >"$1/keys_$i"
    i=$((i + 1))
  done < <(strings_from_tests '"(env4|corner1|screensaver|ENV4)[^"]*"')
}

# Stretches of the generated map and of a random world; the target repeats
# its input to fill the three levels.
seed_map() {
  local world=$RANDOM
  printf '\x0a\x0a\x0b\x12\x3d\x3c' >"$1/few_codes"  # plain, forest, hills, wall, floor
  [ -n "$data" ] || return 0
  dd if="$data/map/8.overworld" of="$1/surface_row" bs=1024 skip=1536 count=1 2>/dev/null
  dd if="$data/map/8.overworld" of="$1/surface_rows" bs=1024 skip=1600 count=16 2>/dev/null
  dd if="$data/map/8.overworld" of="$1/underworld" bs=1000 skip=2500 count=5 2>/dev/null
  if [ -x "$build/assetgen" ]; then
    echo "fuzz.sh: map seeds include world seed $world"
    "$build/assetgen" --out "$1/.world" --seed "$world" >/dev/null
    dd if="$1/.world/map/8.overworld" of="$1/world_$world" bs=4096 skip=300 count=1 2>/dev/null
    rm -rf "$1/.world"
  fi
}

# Saves of the game itself on the map the target plays: a new game, edits, the block view, the
# screensaver; and one cut short.
seed_save() {
  [ -n "$data" ] || return 0
  export KV_FUZZ_DATA=$data  # the target plays the map the seeds were saved on
  cmake --build "$build" --target kelvarot -j2 >/dev/null
  local i=0 script
  for script in '' '0 tap TAB\n2 type env4block\n30 tap ENTER\n40 tap 1' \
    '0 tap F5\n3 button left down' '0 tap TAB\n2 type screensavertoggle\n40 tap ENTER'; do
    printf "$script\n" >"$1/.script"
    "$build/kelvarot" --headless --data "$data" --seed $((i + 3)) --frames 90 \
      --script "$1/.script" --save "$1/game_$i" 2>/dev/null
    i=$((i + 1))
  done
  rm -f "$1/.script"
  head -c 200 "$1/game_1" >"$1/cut"
}

# Recording headers: one as the game writes it, then each field broken in turn.
seed_header() {
  local first='# kelvarot input, recorded pass by pass; replay with --script'
  printf '%s\n# seed 4242\n# passes 300       \n0 pointer 1 1\n' "$first" >"$1/whole"
  printf '%s\r\n# seed 4242\r\n# passes 300\r\n' "$first" >"$1/crlf"
  printf '%s\n# seed 4294967296\n# passes 99999999999999999999\n' "$first" >"$1/too_big"
  printf '%s\n# seed -1\n# passes \n# passes 0x10\n' "$first" >"$1/blank"
}

# user-dirs.dirs texts after a HOME line: quoted, escaped, $HOME forms, noise.
seed_userdirs() {
  local i=0 line
  while IFS= read -r line; do
    printf '/home/a/\n%s\n' "$line" >"$1/dirs_$((i++))"
  done <<'LINES'
XDG_PICTURES_DIR="$HOME/Pictures"
XDG_PICTURES_DIR="$HOME"
XDG_PICTURES_DIR="$HOME/"
XDG_PICTURES_DIR="/srv/pics/./x/../y/"
XDG_PICTURES_DIR="$HOME/My \"Shots\"" # a comment
XDG_PICTURES_DIR="$HOME/unclosed
XDG_PICTURES_DIR="\$HOME/x"
  XDG_PICTURES_DIR="$HOME/Bilder"
XDG_PICTURES_DIR="$HOME/a" trailing
LINES
}

status=0
for p in "${plan[@]}"; do
  target=${p%% *}
  secs=${p##* }
  seeds=$build/fuzz/seeds/$target
  corpus=$build/fuzz/corpus/$target
  artifacts=$build/fuzz/artifacts/$target
  rm -rf "$seeds"
  mkdir -p "$seeds" "$corpus" "$artifacts"
  "seed_$target" "$seeds"
  echo "fuzz.sh: $target: $(ls "$seeds" | wc -l) seed files, running ${secs}s"
  # New inputs go to the corpus folder; the seeds stay as made. Bitmaps stop
  # at 64 KiB: the header paths are what we are after, and whole 640x480
  # pictures would slow the run forty-fold (their full decode is in the unit
  # tests).
  extra=(-max_len=65536)
  [ "$target" = map ] && extra=(-max_len=16384)
  if ! "$build/fuzz/${target}_fuzz" "$corpus" "$seeds" -max_total_time="$secs" "${extra[@]}" \
    -rss_limit_mb=2048 -artifact_prefix="$artifacts/" -print_final_stats=1 2>"$build/fuzz/$target.log"; then
    tail -n 60 "$build/fuzz/$target.log" >&2
    echo "fuzz.sh: $target found a fault; input in $artifacts/" >&2
    status=1
  fi
  grep -E 'stat::number_of_executed_units|stat::average_exec_per_sec|stat::new_units_added' \
    "$build/fuzz/$target.log" | sed "s/^/fuzz.sh: $target: /"
done
exit $status

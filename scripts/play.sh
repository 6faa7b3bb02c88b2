#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game: in a window where a
# display exists, otherwise a short headless run that leaves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target kelvarot ${KV_EXTRA_TARGETS:-} >/dev/null
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec ./build/kelvarot "$@"
fi
mkdir -p out
./build/kelvarot --headless --frames 300 --seed 6 --screenshot out/headless.png \
  --dump-state out/headless.json "$@"
echo "No display here, so the game ran headless: 300 frames with seed 6."
echo "Its last frame is out/headless.png and its state out/headless.json."

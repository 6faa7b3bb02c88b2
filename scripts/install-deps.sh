#!/usr/bin/env bash
# Installs the Debian packages that are missing: by default only what building
# and running the game need; with --tests also what the tests, benchmarks,
# fuzzer and CI checks need. Quick and silent when everything is there.
#   scripts/install-deps.sh [--tests]
set -euo pipefail
pkgs=(build-essential cmake pkg-config libsdl2-dev libgl-dev libegl-dev libglu1-mesa-dev
      libgl1-mesa-dri libegl-mesa0 libpng-dev libx11-dev nlohmann-json3-dev)
test_pkgs=(libgtest-dev libgmock-dev googletest libbenchmark-dev clang clang-format
           libclang-rt-14-dev xvfb xauth xdotool desktop-file-utils appstream lintian python3)
case "${1:-}" in
  --tests) pkgs+=("${test_pkgs[@]}") ;;
  "") ;;
  *) echo "usage: install-deps.sh [--tests]" >&2; exit 2 ;;
esac
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "Missing packages; as root, run:" >&2
    echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
  SUDO=(sudo)
fi
echo "installing: ${missing[*]}" >&2
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

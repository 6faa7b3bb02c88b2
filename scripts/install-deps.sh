#!/usr/bin/env bash
# Installs the Debian packages the game, its tests and benchmarks need.
# Quick and silent when everything is already there.
set -euo pipefail
pkgs=(build-essential cmake pkg-config libsdl2-dev libgl-dev libegl-dev libglu1-mesa-dev
      libgl1-mesa-dri libegl-mesa0 libgtest-dev libgmock-dev googletest libbenchmark-dev
      libpng-dev libx11-dev xvfb xauth xdotool clang clang-format libclang-rt-14-dev desktop-file-utils
      python3)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}" >&2
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

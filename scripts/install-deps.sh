#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run. Safe to run again:
# apt-get skips what is already there, and the package lists are refreshed only when stale.
set -euo pipefail

packages=(
  build-essential clang libclang-rt-dev cmake pkg-config git
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  gettext
  libegl-dev libgl-dev libglu1-mesa-dev libegl-mesa0 libgl1-mesa-dri
  libstb-dev nlohmann-json3-dev libeigen3-dev libboost-dev libgmsh-dev libdxflib-dev
  xvfb xauth xdotool
  qt6-base-dev libqt6opengl6-dev libqt6svg6-dev
  libcairo2-dev librsvg2-bin poppler-utils
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
# A list older than a day may name versions the mirror no longer serves.
if [ -z "$(find /var/lib/apt/lists -maxdepth 1 -name '*Packages*' -mmin -1440 2>/dev/null | head -1)" ]; then
  "${sudo_cmd[@]}" apt-get update -q
fi
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"

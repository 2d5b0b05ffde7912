#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test.
# Idempotent: packages already present are left alone, so a second run costs
# only the dpkg check. This is the only place packages are listed.
set -euo pipefail

PACKAGES=(
  cmake g++ pkg-config make python3 lld
  liblua5.1-0-dev libtinyxml-dev
  libsdl2-dev libepoxy-dev libgl1-mesa-dri libegl-dev libegl-mesa0 libgles-dev
  xvfb xauth xdotool
  libsndfile1-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-liberation2
  libstb-dev libimgui-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libmimalloc-dev libboost-dev libbullet-dev
  libassimp-dev assimp-testmodels
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"

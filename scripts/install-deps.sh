#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing murrel-dl need.
# Idempotent: when every package is already present it only checks and returns.
set -euo pipefail

PACKAGES=(
  cmake ninja-build pkg-config g++
  qt6-base-dev
  libcurl4-openssl-dev libicu-dev libpcre2-dev libgraphicsmagick++1-dev
  libcpp-httplib-dev libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth xdotool xclip fonts-wqy-microhei
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
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
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"

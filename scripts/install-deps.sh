#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Ostravel need.
# Does nothing when everything is present; as root it runs apt-get itself, otherwise
# it prints the command to run.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-image-formats-plugins
  libgl-dev libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg62-turbo-dev zlib1g-dev libcurl4-openssl-dev
  fonts-liberation2 fonts-dejavu-core fonts-opensymbol
  poppler-utils xvfb xauth python3-pyftpdlib
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

cmd=(apt-get -o DPkg::Lock::Timeout=900 install -y --no-install-recommends "${missing[@]}")
if [ "$(id -u)" -eq 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get -o DPkg::Lock::Timeout=900 update -q
  "${cmd[@]}"
else
  echo "Missing packages. Run as root:" >&2
  echo "  sudo apt-get update && sudo ${cmd[*]}" >&2
  exit 1
fi

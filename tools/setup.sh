#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev ccache pkg-config
    qt6-base-dev qt6-qpa-plugins libgl-dev libxcb1-dev
    libgtest-dev libgmock-dev libbenchmark-dev libgif-dev
    fontconfig fonts-liberation fonts-dejavu-core
    poppler-utils
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"

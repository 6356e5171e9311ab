#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, when any is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config clang-format ccache
    qt6-base-dev libgl-dev
    libcurl4-openssl-dev libssl-dev openssl
    libpcre2-dev libcpp-httplib-dev afl++
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth x11-apps imagemagick
    fonts-noto-cjk desktop-file-utils appstream curl
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${missing[@]}"

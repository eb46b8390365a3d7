#!/usr/bin/env bash
# Installs the Debian packages Pellora needs. Usage: deps.sh build|test
# As root it installs what is missing with apt-get; otherwise it prints the
# exact command to run and fails.
set -euo pipefail

build_packages=(g++ cmake ninja-build pkg-config ccache
    libluajit-5.1-dev libopenal-dev libvorbis-dev zlib1g-dev libjpeg-dev
    libglew-dev libbox2d-dev libsdl2-dev libfreetype-dev libpng-dev libexpat1-dev libassimp-dev python3 xvfb xauth x11-apps imagemagick libgl1-mesa-dri)
test_packages=(libgtest-dev python3 xdotool mesa-utils netpbm
    libjpeg-turbo-progs zip vorbis-tools sox espeak-ng qpdf clang fonts-dejavu-core libxml2-utils xclip
    assimp-utils glslang-tools nodejs
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev libz-mingw-w64-dev wine wine64)

wanted=("${build_packages[@]}")
if [ "${1:-build}" = test ]; then
    wanted+=("${test_packages[@]}")
    # The raknet tests install their outside peer with npm, which some builds
    # of nodejs bring along and Debian packages on its own.
    command -v npm >/dev/null || wanted+=(npm)
fi

missing=()
for p in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Pellora needs these Debian packages. Install them with:"
    echo "  sudo apt-get install -y ${missing[*]}"
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"

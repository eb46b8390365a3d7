#!/usr/bin/env bash
# Builds Pellora in Release and times its sessions against LOVE 11 (Debian's
# `love` package, with its ENet and LuaSocket) over 127.0.0.1. No display is
# needed: Pellora runs headless, LOVE without a window.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
if ! command -v love >/dev/null; then
    echo "The comparison needs LOVE 11: sudo apt-get install -y love"
    exit 1
fi
# Two cores are shared with other work: build with two jobs at low priority.
CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2} nice -n 10 \
    scripts/build.sh build/release -DCMAKE_BUILD_TYPE=Release -DPELLORA_TESTS=OFF
exec python3 bench/sessions/run.py --pellora build/release/pellora "$@"

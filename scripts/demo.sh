#!/usr/bin/env bash
# Sets up Pellora and runs the bundled demo game. Without a display it runs
# the demo for a few seconds under a virtual X server instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/deps.sh build
scripts/build.sh build/release -DCMAKE_BUILD_TYPE=Release -DPELLORA_TESTS=OFF
game=games/hello
if [ -n "${DISPLAY:-}" ]; then
    exec build/release/pellora "$game"
fi
echo "No display: running $game headless for 300 frames."
build/release/pellora --headless --frames 300 "$game"

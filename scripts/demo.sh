#!/usr/bin/env bash
# Sets up Pellora and runs the bundled demo game. Without a display it runs
# the demo for a few seconds under a virtual X server instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/deps.sh build
scripts/build.sh build/release -DCMAKE_BUILD_TYPE=Release -DPELLORA_TESTS=OFF
game=games/demo
if [ -n "${DISPLAY:-}" ]; then
    exec build/release/pellora "$game"
fi
# No display: a few seconds on a virtual X server, with F11 pressed once so
# the frame it showed is saved as a screenshot.
shots="$root/build/demo-screenshots"
mkdir -p "$shots"
printf '120 key 122 down\n121 key 122 up\n' > "$shots/events"
echo "No display: running $game for 300 frames on a virtual X server."
(cd "$shots" && xvfb-run -a -s "-screen 0 1024x768x24" \
    "$root/build/release/pellora" --frames 300 --events "$shots/events" "$root/$game")
shot=$(ls -t "$shots"/Screen-*.jpg 2>/dev/null | head -n 1)
if [ -n "$shot" ]; then
    echo "Screenshot of the demo: $shot"
fi

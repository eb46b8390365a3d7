#!/usr/bin/env bash
# Builds Pellora in Release and runs the particles benchmark against LOVE 11
# (Debian's `love` package) on a virtual X server with Mesa's llvmpipe.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
if ! command -v love >/dev/null; then
    echo "The comparison needs LOVE 11: sudo apt-get install -y love"
    exit 1
fi
scripts/build.sh build/release -DCMAKE_BUILD_TYPE=Release -DPELLORA_TESTS=OFF
exec xvfb-run -a -s "-screen 0 1024x768x24" python3 bench/particles/run.py --pellora build/release/pellora "$@"

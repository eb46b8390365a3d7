#!/usr/bin/env bash
# Builds Pellora in Release and soaks a game on a virtual X server.
# Usage: bench/soak/run.sh [run.py options], e.g. --minutes 10
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2} nice -n 10 \
    scripts/build.sh build/release -DCMAKE_BUILD_TYPE=Release -DPELLORA_TESTS=OFF
exec xvfb-run -a -s "-screen 0 1024x768x24" python3 bench/soak/run.py "$@"

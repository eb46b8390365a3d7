#!/usr/bin/env bash
# Configures and builds one build folder. Usage: build.sh DIR [cmake options...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
shift
# One compiler cache for every clone of the repository.
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir"

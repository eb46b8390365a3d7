#!/usr/bin/env bash
# Fuzzes the binary readers and network parsers for real, with libFuzzer.
# Usage: scripts/fuzz.sh [TARGET] [SECONDS]
#   TARGET   one fuzz target (fuzz_zip, fuzz_image, ...), or "all" (default)
#   SECONDS  how long each target runs (default 600)
#
# Builds the targets with clang into build/fuzz (the code under test with
# AddressSanitizer, UndefinedBehaviorSanitizer and coverage), then runs each
# on a scratch copy of its checked-in corpus (tests/fuzz/corpus/TARGET), so
# new inputs it finds stay out of the tree until someone adds them. Every
# crash, leak or timeout is reported with the path of the input that caused
# it; the script fails when there is one. Inputs worth keeping (a fixed
# crash, say) go into tests/fuzz/corpus/TARGET, where CI replays them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
target=${1:-all}
seconds=${2:-600}
case "$seconds" in
    '' | *[!0-9]*) echo "fuzz.sh: SECONDS must be a whole number, not '$seconds'"; exit 2 ;;
esac
scripts/deps.sh test

targets=()
for source in tests/fuzz/fuzz_*.cpp; do
    name=$(basename "$source" .cpp)
    if [ "$target" = all ] || [ "$target" = "$name" ]; then
        targets+=("$name")
    fi
done
if [ ${#targets[@]} -eq 0 ]; then
    echo "fuzz.sh: no fuzz target '$target' (see tests/fuzz/fuzz_*.cpp)"
    exit 2
fi

# Only the fuzz targets and what they link are built.
build=build/fuzz
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELLORA_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" --target "${targets[@]}"

work=$(mktemp -d "${TMPDIR:-/tmp}/pellora-fuzz.XXXXXX")
findings=0
for name in "${targets[@]}"; do
    binary="$build/tests/fuzz/$name"
    scratch="$work/$name/corpus"
    artifacts="$work/$name/found"
    mkdir -p "$scratch" "$artifacts"
    cp -r "tests/fuzz/corpus/$name/." "$scratch/" 2>/dev/null || true
    options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
             -artifact_prefix="$artifacts/")
    if [ -f "tests/fuzz/$name.dict" ]; then
        options+=(-dict="tests/fuzz/$name.dict")
    fi
    echo "== $name for $seconds s"
    log="$work/$name/log.txt"
    # libFuzzer stops at its first finding; the artifact names the input.
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
        LSAN_OPTIONS=suppressions="$root/tests/lsan.supp":print_suppressions=0 \
        "$binary" "${options[@]}" "$scratch" >"$log" 2>&1 || true
    grep -E "^#[0-9]+.*DONE|stat::number_of_executed_units|Done [0-9]+ runs" "$log" | tail -n 2 || true
    found=$(find "$artifacts" -type f | sort)
    if [ -n "$found" ]; then
        findings=$((findings + 1))
        echo "   FOUND in $name:"
        for input in $found; do
            echo "     $input ($(basename "$input" | cut -d- -f1))"
        done
        grep -E "ERROR: |SUMMARY: " "$log" | head -n 5 | sed 's/^/     /'
        echo "   full output: $log"
    else
        echo "   no crash, leak or timeout; corpus now $(find "$scratch" -type f | wc -l) inputs"
    fi
done
if [ "$findings" -gt 0 ]; then
    echo "fuzz.sh: $findings target(s) found something; inputs and logs are under $work"
    exit 1
fi
rm -rf "$work"
echo "fuzz.sh: ${#targets[@]} target(s), $seconds s each, nothing found"

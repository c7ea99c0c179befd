#!/usr/bin/env bash
# Builds the result page parser's fuzz target with clang and runs it for a fixed time (seconds,
# default 60) from the seed pages. Exits non-zero on a finding.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${1:-60}"
bash "$root/scripts/setup.sh"
if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DMORROWCATCH_BENCH=OFF -DMORROWCATCH_FUZZ=ON
fi
cmake --build "$build" --target fuzz_parse_result_page
# New inputs go to the first folder, never into the committed seeds.
mkdir -p "$build/fuzz-corpus"
"$build/tests/fuzz/fuzz_parse_result_page" -max_total_time="$seconds" -artifact_prefix="$build/" \
    -dict="$root/tests/fuzz/parse_result_page.dict" "$build/fuzz-corpus" "$root/tests/fuzz/corpus"

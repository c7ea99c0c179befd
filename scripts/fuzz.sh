#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each from its seeds, sharing a fixed time (seconds,
# default 60) among them. Exits non-zero when any target has a finding; every target runs
# either way.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${1:-60}"
# target, seed folder, dictionary (or none)
targets=(
    "fuzz_parse_result_page corpus parse_result_page.dict"
    "fuzz_rdap_answer corpus-rdap -"
    "fuzz_whois_answer corpus-whois -"
    "fuzz_drop_list_reader corpus-drop-list -"
)
bash "$root/scripts/setup.sh"
if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DMORROWCATCH_BENCH=OFF -DMORROWCATCH_FUZZ=ON
fi
names=()
for entry in "${targets[@]}"; do
    read -r name _ <<< "$entry"
    names+=("$name")
done
cmake --build "$build" --target "${names[@]}"

share=$(( seconds / ${#targets[@]} ))
[ "$share" -ge 1 ] || share=1
found=()
for entry in "${targets[@]}"; do
    read -r name seeds dictionary <<< "$entry"
    # New inputs go to a folder of the build, never into the committed seeds.
    mkdir -p "$build/fuzz-corpus/$name"
    rm -f "$build/$name-"*
    options=(-max_total_time="$share" -artifact_prefix="$build/$name-")
    [ "$dictionary" = "-" ] || options+=(-dict="$root/tests/fuzz/$dictionary")
    echo "== $name for ${share}s"
    if ! "$build/tests/fuzz/$name" "${options[@]}" "$build/fuzz-corpus/$name" \
        "$root/tests/fuzz/$seeds" 2>&1 | tee "$build/$name.log"; then
        echo "finding in $name" >&2
        found+=("$name")
    fi
done
# The findings again at the end, where a log's tail shows them: the sanitizer's own summary and
# the input that caused it.
for name in "${found[@]}"; do
    echo "== finding in $name:" >&2
    grep -E "^(==[0-9]+==)?ERROR|^SUMMARY|^[a-z]+: " "$build/$name.log" | head -5 >&2 || true
    for artifact in "$build/$name-"*; do
        [ -f "$artifact" ] || continue
        echo "-- $artifact ($(stat -c %s "$artifact") bytes), first 256 in hex:" >&2
        head -c 256 "$artifact" | od -A d -t x1 >&2
    done
done
echo "fuzzing: ${#found[@]} target(s) with a finding${found[*]:+: ${found[*]}}"
[ "${#found[@]}" -eq 0 ]

#!/usr/bin/env bash
# Builds the benchmarks in Release, runs them with repetitions next to their peers, and writes
# BENCHMARKS.md: each figure beside its goal and its peer, with the machine named.
#
# usage: scripts/bench.sh [--with-check]
#   --with-check  also run the check of every name over 1,000 rows (about two minutes)
# Environment: BENCH_BUILD_DIR (default build-bench/), BENCH_REPETITIONS (default 9).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BENCH_BUILD_DIR:-$root/build-bench}"
repetitions="${BENCH_REPETITIONS:-9}"
with_check=0
for argument in "$@"; do
    case "$argument" in
    --with-check) with_check=1 ;;
    -h | --help) sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "unknown argument: $argument (try --help)" >&2; exit 2 ;;
    esac
done

# What the benchmarks' peers need beyond the build itself. Debian's own python3 sees
# python3-bs4 and python3-lxml; another python3 on the PATH may not.
bash "$root/scripts/setup.sh" python3-bs4 python3-lxml
python=/usr/bin/python3

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" --target morrowcatch-bench-parse morrowcatch-bench-list \
    morrowcatch-bench-network morrowcatch-bench-verify morrowcatch-bench-memory \
    morrowcatch-bench-startup morrowcatch-bench-write-page morrowcatch-sandbox \
    morrowcatch-bench-waits morrowcatch-bench-watch-list morrowcatch-bench-registry \
    morrowcatch-bench-drop-list morrowcatch-bench-catch

bin="$build/bench"
results="$build/bench-results"
rm -rf "$results"
mkdir -p "$results"
export QT_QPA_PLATFORM=offscreen
cut -d' ' -f1-3 /proc/loadavg > "$results/load-before.txt"
git -C "$root" rev-parse --short HEAD > "$results/commit.txt" 2>/dev/null || echo "?" > "$results/commit.txt"
date -u '+%Y-%m-%d %H:%M UTC' > "$results/date.txt"
dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null | cut -d- -f1 > "$results/qt-version.txt" || true
c++ --version | head -1 > "$results/compiler.txt"

# The window on an X server, as a user sees it: Xvfb with a window manager and a notification
# area, for this one program and ended with it.
run_on_x_server() (
    pids=()
    trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT
    source "$root/scripts/virtual-display.sh"
    QT_QPA_PLATFORM=xcb "$@"
)

# Google Benchmark's own repetitions; the long benchmarks fix theirs in the code.
run_benchmark() {
    local program="$1" name="$2"
    shift 2
    echo "== $name"
    "$bin/$program" --benchmark_repetitions="$repetitions" \
        --benchmark_report_aggregates_only=true \
        --benchmark_out="$results/$name.json" --benchmark_out_format=json "$@"
}

# The catch latency takes a quarter of an hour of waiting for drops, with little processor use:
# it runs beside the others.
echo "== catch latency (beside the rest, about 15 minutes)"
"$bin/morrowcatch-bench-catch" "$build/morrowcatch-sandbox" 20 300 > "$results/catch.json" &
catch=$!

echo "== page and peer input"
"$bin/morrowcatch-bench-write-page" "$results/page.html" "$results/cells.tsv"
run_benchmark morrowcatch-bench-parse parse
echo "== peer: BeautifulSoup with lxml, lxml XPath"
for i in 1 2 3 4 5; do
    "$python" "$root/bench/parse_peer.py" "$results/page.html" "$results/cells.tsv" 150 \
        > "$results/peer-$i.json"
done
run_benchmark morrowcatch-bench-list list
run_benchmark morrowcatch-bench-network network
run_benchmark morrowcatch-bench-registry registry
run_benchmark morrowcatch-bench-drop-list drop-list
echo "== peak memory with 100,000 rows"
for i in 1 2 3; do
    "$bin/morrowcatch-bench-memory" "$build/morrowcatch-sandbox" > "$results/memory-$i.json"
done
echo "== start to the window shown"
"$python" "$root/bench/time_startup.py" "$bin/morrowcatch-bench-startup" 15 > "$results/startup.json"
echo "== processor use while the window waits for an answer: on an X server, then offscreen"
run_on_x_server "$bin/morrowcatch-bench-waits" 3 > "$results/waits-xcb.json"
"$bin/morrowcatch-bench-waits" 3 > "$results/waits-offscreen.json"
echo "== the watch list with 10,000 names"
"$bin/morrowcatch-bench-watch-list" 10 > "$results/watch-list.json"
if [ "$with_check" -eq 1 ]; then
    run_benchmark morrowcatch-bench-verify verify
fi
echo "== waiting for the catch latency"
wait "$catch"
cut -d' ' -f1-3 /proc/loadavg > "$results/load-after.txt"

"$python" "$root/bench/write_report.py" "$results" "$root/BENCHMARKS.md"
echo "wrote $root/BENCHMARKS.md"

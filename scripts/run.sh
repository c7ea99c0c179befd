#!/usr/bin/env bash
# Sets everything up, builds, starts the local stand-in services on 127.0.0.1:8730 and opens
# the window. Without a display, runs the window on a virtual one through a short scripted
# session and saves screenshots of each step in screenshots/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
bash "$root/scripts/setup.sh"
# Only what runs here: the program and the stand-in, not the tests and benchmarks.
BUILD_TARGET="morrowcatch morrowcatch-sandbox" bash "$root/scripts/build.sh"

"$build/morrowcatch-sandbox" --port 8730 &
sandbox=$!
trap 'kill $sandbox 2>/dev/null || true; wait $sandbox 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    curl -s -o /dev/null "http://127.0.0.1:8730/check/check_ac1.cgi?domain=ready.com" && break
    sleep 0.1
done

if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ]; then
    "$build/morrowcatch"
else
    BUILD_DIR="$build" bash "$root/scripts/scripted-run.sh"
fi

#!/usr/bin/env bash
# Sets everything up, builds, starts the local stand-in services on 127.0.0.1:8730 (WHOIS on
# 8743), points the program's settings file ($XDG_CONFIG_HOME/morrowcatch/morrowcatch.conf,
# group [registry]) at the stand-in registries (start_stand_in does it) and opens the window.
# Without a display, runs the window on a virtual one through a short scripted session and saves
# screenshots of each step in screenshots/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
bash "$root/scripts/setup.sh"
# Only what runs here: the program and the stand-in, not the tests and benchmarks.
BUILD_TARGET="morrowcatch morrowcatch-sandbox" bash "$root/scripts/build.sh"

if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ]; then
    source "$root/scripts/stand-in.sh"
    trap stop_stand_in EXIT
    start_stand_in
    "$build/morrowcatch"
else
    # The scripted run starts the stand-in itself, and again with its clock moved on.
    BUILD_DIR="$build" bash "$root/scripts/scripted-run.sh"
fi

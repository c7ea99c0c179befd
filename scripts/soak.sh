#!/usr/bin/env bash
# The soak run: builds soak_run alone into build-soak/ (or $SOAK_BUILD_DIR) and runs it: three
# searches over 1,000 result pages and a check of 3,000 names against the in-process stand-in
# with failing answers, every row accounted for, memory and open descriptors measured. About
# seven minutes on two cores, most of it the 100 ms pause after each checked name.
#
# usage: scripts/soak.sh [soak_run options, e.g. --pages 200 --check-rows 300 --seed 7]
# Exits with soak_run's status: 0 when every check passed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${SOAK_BUILD_DIR:-$root/build-soak}"
bash "$root/scripts/setup.sh"
BUILD_DIR="$build" BUILD_TYPE=RelWithDebInfo CMAKE_ARGS="-DMORROWCATCH_BENCH=OFF" \
    BUILD_TARGET=soak_run bash "$root/scripts/build.sh"

runtime="$(mktemp -d)"
trap 'rm -rf "$runtime"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime"
echo "soak_run started $(date -u '+%H:%M:%S UTC'), load $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/soak_run" "$@"

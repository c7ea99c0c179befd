#!/usr/bin/env bash
# Configures (once) and builds into build/ (or $BUILD_DIR), incrementally, on every core; only
# the targets in BUILD_TARGET when it is set.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
        ${CMAKE_ARGS:-}
fi
cmake --build "$build" --parallel "$(nproc)" ${BUILD_TARGET:+--target $BUILD_TARGET}

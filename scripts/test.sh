#!/usr/bin/env bash
# Sets everything up, builds, and runs every test (offscreen; no display needed).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
build="${BUILD_DIR:-$root/build}"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j2 --timeout 180

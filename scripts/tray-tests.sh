#!/usr/bin/env bash
# Runs the window tests that need a notification area on a virtual display that has one; they
# skip offscreen. Needs a build with the tests (BUILD_DIR, default build/).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
pids=()
trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done' EXIT
source "$root/scripts/virtual-display.sh"
log="$(mktemp)"
QT_QPA_PLATFORM=xcb "$build/tests/app/app_tests" --gtest_filter='MainWindowLifecycle.*' | tee "$log"
# The test that needs the notification area must have run here, not skipped.
grep -q '^\[       OK \] MainWindowLifecycle.withANotificationArea' "$log" || {
    echo "the tray test did not run on a display with a notification area" >&2
    exit 1
}
echo "tray tests passed"

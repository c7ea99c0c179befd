#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and
# runs the whole test suite there.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ASAN_BUILD_DIR:-$root/build-asan}"
bash "$root/scripts/setup.sh"
BUILD_DIR="$build" BUILD_TYPE=Debug \
    CMAKE_ARGS="-DMORROWCATCH_SANITIZE=ON -DMORROWCATCH_BENCH=OFF" bash "$root/scripts/build.sh"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j2 --timeout 300

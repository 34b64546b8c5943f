#!/usr/bin/env bash
# Builds everything with AddressSanitizer + UndefinedBehaviorSanitizer and runs the whole test
# suite; any sanitizer report fails the run.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=build-asan
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELLIUM_SANITIZE=address -DPELLIUM_WERROR=ON >/dev/null
cmake --build "$build"
cd "$build"
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$(pwd)/../tools/ci/lsan.supp
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 600

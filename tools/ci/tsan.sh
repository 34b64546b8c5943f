#!/bin/sh
# ThreadSanitizer run of the tests labelled "threads" (engine thread, network): configures a
# build directory of its own with -DPELLIUM_SANITIZE=thread (warnings as errors), builds the
# programs with that label and runs them with ctest -L threads.
# Usage: tools/ci/tsan.sh [build-dir]  (default build-tsan)
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-"$root/build-tsan"}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELLIUM_SANITIZE=thread -DPELLIUM_WERROR=ON

# The programs labelled "threads" in tests/CMakeLists.txt, built as one target.
cmake --build "$build" --target pellium-thread-tests

# Qt is not built with ThreadSanitizer: its locks are invisible to it, so the memory functions
# that Qt calls itself (new, malloc, memmove inside Qt's own worker pool) are not checked
# (ignore_noninstrumented_modules). Our code stays fully checked; tsan.supp holds Qt-only reports.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ignore_noninstrumented_modules=1 suppressions=$root/tools/ci/tsan.supp ${TSAN_OPTIONS:-}"
export QT_QPA_PLATFORM=offscreen
# Some kernels randomise mmap more than TSan's fixed memory layout allows; run without ASLR then.
run=""
if command -v setarch >/dev/null 2>&1 && setarch "$(uname -m)" -R true 2>/dev/null; then
    run="setarch $(uname -m) -R"
fi
cd "$build"
$run ctest -L threads --output-on-failure --timeout 300

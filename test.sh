#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite:
#   0. every C++ source matches .clang-format (tools/ci/format.sh); every build here treats
#      warnings as errors (PELLIUM_WERROR),
#   1. the optimised (Release) build's tests (ctest), pictures for people under
#      build/screenshots,
#   2. the install and the Debian package of a program-only build: hardened, reproducible
#      (built twice, compared), its window's X11 class (tools/ci/package.sh),
#   3. the libFuzzer targets, about a minute each (tools/ci/fuzz.sh),
#   4. the engine-thread and network tests under ThreadSanitizer (tools/ci/tsan.sh),
#   5. every test under AddressSanitizer + UndefinedBehaviorSanitizer (tools/ci/asan.sh).
# ./test.sh --quick stops after step 2.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh --test
tools/ci/format.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DPELLIUM_WERROR=ON
cmake --build build
(cd build && PELLIUM_SCREENSHOTS=$PWD/screenshots QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 300)
tools/ci/package.sh
[ "${1:-}" = "--quick" ] && exit 0
tools/ci/fuzz.sh
tools/ci/tsan.sh
tools/ci/asan.sh

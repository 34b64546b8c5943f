#!/usr/bin/env bash
# Installs what is missing, builds Pellium and starts it.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
# The program alone: no tests or developer tools, so GoogleTest is not needed.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build build --target pellium
exec build/pellium

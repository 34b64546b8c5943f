#!/usr/bin/env bash
# Installs what is missing, builds Pellium and starts it.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target pellium
exec build/pellium

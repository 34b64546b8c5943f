#!/usr/bin/env bash
# Fails when a tracked C++ source differs from the committed .clang-format.
# tools/ci/format.sh --fix rewrites them instead.
set -euo pipefail
cd "$(dirname "$0")/../.."
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${sources[@]}"
else
  clang-format --dry-run -Werror "${sources[@]}"
  echo "format: ${#sources[@]} files match .clang-format"
fi

#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each from its seed corpus in tests/fuzz/
# for FUZZ_SECONDS (default 60). A crash, sanitizer report or failed check fails the run.
# Longer local runs: FUZZ_SECONDS=3600 tools/ci/fuzz.sh [TargetName...]
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${FUZZ_SECONDS:-60}
build=build-fuzz
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(WireFuzzer RulesFuzzer EngineFuzzer JpegFuzzer)

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPELLIUM_SANITIZE=fuzzer -DPELLIUM_WERROR=ON >/dev/null
cmake --build "$build" --target "${targets[@]}"

declare -A corpus=([WireFuzzer]=wire [RulesFuzzer]=rules [EngineFuzzer]=engine [JpegFuzzer]=jpeg)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
for target in "${targets[@]}"; do
  work="$build/corpus/${corpus[$target]}"
  mkdir -p "$work"
  echo "== $target: ${seconds}s"
  "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/$target-" \
    "$work" "tests/fuzz/${corpus[$target]}" 2>&1 | grep -E '^(Done|stat::number_of_executed_units|==|SUMMARY|.*check failed)' || true
  [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "$target FAILED"; exit 1; }
done

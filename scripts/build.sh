#!/usr/bin/env bash
# Configures and builds the program, its tools and tests into ./build
# (or $QV_BUILD_DIR). Pass -DQV_SANITIZE_ADDRESS=ON or -DQV_SANITIZE_THREAD=ON
# for a sanitizer build. QV_TARGETS (space-separated) builds only those
# targets, e.g. QV_TARGETS=qv_programs for the programs without the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QV_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja "$@" >/dev/null
targets=()
for t in ${QV_TARGETS:-}; do
    targets+=(--target "$t")
done
cmake --build "$build" "${targets[@]}"

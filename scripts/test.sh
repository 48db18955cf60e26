#!/usr/bin/env bash
# Builds everything and runs the test suite (all tests but those labelled
# "long", which need many gigabytes or minutes: run them with
# `ctest --test-dir build -L long`).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QV_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure --timeout 600 -LE long -j "$(nproc)"

#!/usr/bin/env bash
# Builds every libFuzzer target (tests/fuzz/fuzz_*.cpp) with clang and runs
# each one for a while, starting from its seed corpus in tests/fuzz/corpus/.
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
#
# SECONDS_PER_TARGET defaults to 20. Environment: QV_FUZZ_BUILD_DIR (default
# <repo>/build-fuzz), JOBS (parallel build jobs, default 2).
# Fails when a target does not build or when any target finds a crash, a
# sanitizer report or a timeout; the input that caused it is kept in
# <build>/fuzz-artifacts/.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
shift || true
build=${QV_FUZZ_BUILD_DIR:-$root/build-fuzz}
jobs=${JOBS:-2}

if ! [[ $seconds =~ ^[0-9]+$ ]]; then
    echo "usage: $0 [SECONDS_PER_TARGET] [TARGET...]" >&2
    exit 2
fi
for tool in clang clang++ cmake ninja; do
    command -v "$tool" >/dev/null || { echo "fuzz.sh: $tool is not installed" >&2; exit 2; }
done

mkdir -p "$build"
cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DQV_FUZZ=ON -DQV_BUILD_TESTS=OFF >"$build/configure.log" 2>&1 \
    || { cat "$build/configure.log" >&2; exit 1; }
if [ $# -gt 0 ]; then
    ninja -C "$build" -j"$jobs" "$@"
    targets=("$@")
else
    ninja -C "$build" -j"$jobs" qv_fuzz_all
    targets=()
    for exe in "$build"/fuzz/fuzz_*; do
        [ -x "$exe" ] && targets+=("$(basename "$exe")")
    done
fi
if [ ${#targets[@]} -eq 0 ]; then
    echo "fuzz.sh: no fuzz targets were built" >&2
    exit 1
fi

mkdir -p "$build/fuzz-artifacts"
failed=()
for name in "${targets[@]}"; do
    exe="$build/fuzz/$name"
    work="$build/fuzz-corpus/$name"
    seeds="$root/tests/fuzz/corpus/$name"
    mkdir -p "$work"
    dirs=("$work")
    [ -d "$seeds" ] && dirs+=("$seeds")
    echo "== $name: ${seconds}s"
    if ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/fuzz/lsan.supp} "$exe" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
        -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/$name-" \
        "${dirs[@]}" >"$build/fuzz-artifacts/$name.log" 2>&1; then
        grep -E '^stat::number_of_executed_units|^#[0-9]+ +DONE' "$build/fuzz-artifacts/$name.log" | tail -2 || true
    else
        echo "!! $name failed; log: $build/fuzz-artifacts/$name.log" >&2
        tail -40 "$build/fuzz-artifacts/$name.log" >&2
        failed+=("$name")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz.sh: failed: ${failed[*]}" >&2
    exit 1
fi
echo "fuzz.sh: ${#targets[@]} targets ran ${seconds}s each without a finding"

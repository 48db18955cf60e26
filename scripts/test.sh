#!/usr/bin/env bash
# Builds everything and runs the test suite (all tests but those labelled
# "long", which need many gigabytes or minutes: run them with
# `ctest --test-dir build -L long`).
#
#   scripts/test.sh [--sanitize address|thread]
#
# --sanitize address builds into build-asan with AddressSanitizer and
# UndefinedBehaviorSanitizer, --sanitize thread into build-tsan with
# ThreadSanitizer ($QV_BUILD_DIR chooses another folder), and runs the same
# tests with every report fatal: a report aborts the process, so that a
# quorvane-cli started by a test that expects it to fail still shows up as a
# crash. The options are set before the build too, because the build runs
# each test program once to list its tests.
#
# Debian's Qt and libsmbclient are not instrumented: ThreadSanitizer sees
# the memory calls they make (malloc, free, memcpy) but not the locks they
# take inside (Qt's mutexes wait on futexes), so Qt's own worker threads
# (the file system model's gatherer, the painting thread pool) look racy.
# ignore_noninstrumented_modules=1 leaves out the memory calls made from
# such libraries; every access made by our code is still checked. tsan.supp
# says why each of its entries is there.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
sanitize=
if [ $# -gt 0 ]; then
    if [ "$1" = --sanitize ] && [ $# -eq 2 ] && { [ "$2" = address ] || [ "$2" = thread ]; }; then
        sanitize=$2
    else
        echo "usage: $0 [--sanitize address|thread]" >&2
        exit 2
    fi
fi
case $sanitize in
address)
    build=${QV_BUILD_DIR:-build-asan}
    flags=(-DQV_SANITIZE_ADDRESS=ON -DQV_SANITIZE_THREAD=OFF)
    export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_init_order=1:check_initialization_order=1
    export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1
    ;;
thread)
    build=${QV_BUILD_DIR:-build-tsan}
    flags=(-DQV_SANITIZE_THREAD=ON -DQV_SANITIZE_ADDRESS=OFF)
    export TSAN_OPTIONS=halt_on_error=1:abort_on_error=1:disable_coredump=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1:suppressions=$root/tsan.supp
    ;;
*)
    build=${QV_BUILD_DIR:-build}
    flags=()
    ;;
esac
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${flags[@]}" >/dev/null
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure --timeout 600 -LE long -j "$(nproc)"

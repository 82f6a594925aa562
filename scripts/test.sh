#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds everything with warnings as errors and
# runs all tests; then runs the core's tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and, when clang is installed, each fuzz target
# over its seed corpus for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALVEX_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKALVEX_CORE_ONLY=ON \
  -DKALVEX_SANITIZE=ON -DKALVEX_WERROR=ON >/dev/null
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

if command -v clang++ >/dev/null; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKALVEX_CORE_ONLY=ON -DKALVEX_FUZZ=ON >/dev/null
  cmake --build build-fuzz -j "$jobs" --target kalvex_fuzz_targets
  ctest --test-dir build-fuzz -L fuzz --output-on-failure
fi

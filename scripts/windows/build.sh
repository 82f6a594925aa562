#!/usr/bin/env bash
# Cross-builds kalvex.exe, kalvex-cli.exe, the core tests and the Qt tests for
# 64-bit Windows with MinGW-w64, warnings as errors, into build-win/. The
# toolchain comes from scripts/windows/toolchain.sh (see there).
set -euo pipefail
cd "$(dirname "$0")/../.."
eval "$(scripts/windows/toolchain.sh)"
# The prefixes are also the find roots: the toolchain finds libraries and
# headers only under its roots. SQLite's and segyio's are static libraries,
# linked into the programs; without segyio the build has no SEG-Y.
prefixes="$KALVEX_MINGW_QT_PREFIX;$KALVEX_MINGW_FFTW_PREFIX;$KALVEX_MINGW_SQLITE_PREFIX"
if [ -n "$KALVEX_MINGW_SEGYIO_PREFIX" ]; then prefixes+=";$KALVEX_MINGW_SEGYIO_PREFIX"; fi
# -O2 as the Linux build: GCC 12's -O3 warns falsely about inlined std::string
# copies, and warnings are errors here.
cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DKALVEX_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$KALVEX_MINGW_QT_PREFIX/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DCMAKE_PREFIX_PATH="$prefixes" -DCMAKE_FIND_ROOT_PATH="$prefixes" >/dev/null
cmake --build build-win -j "$(nproc)"

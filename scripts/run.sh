#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds Kalvex and shows a recording:
# the file given, or the bundled sample recording.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
exec build/cli/kalvex-cli info "${1:-samples/velnarund.qrm}"

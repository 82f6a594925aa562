#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds Kalvex and opens a recording in the
# desktop program: the file given, or the bundled sample recording. Without a
# display it says so and shows the recording with kalvex-cli instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
file="${1:-samples/velnarund.qrm}"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display here: showing $file with kalvex-cli instead."
  echo "On a desktop: build/app/kalvex $file"
  echo "Headless: build/cli/kalvex-cli help (info, samples, graph --json/--png, frames, synth, acquire ...)"
  exec build/cli/kalvex-cli info "$file"
fi
exec build/app/kalvex "$file"

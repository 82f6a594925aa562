#!/usr/bin/env bash
# Speed of "kalvex-cli qc" over a fleet: COPIES copies of the largest bundled
# sample checked one at a time on one core (taskset), one at a time with the
# analyses sharing the cores (--jobs 1), and in one worker process per core
# (the default); each run twice so that the second finds the FFT wisdom and
# the files in the page cache (warm). Prints the times, the time per record
# and the speed-ups. usage: bench/qc_bench.sh KALVEX_CLI [COPIES]
set -euo pipefail
cli=$1 copies=${2:-100}
samples=$(cd "$(dirname "$0")/../samples" && pwd)
largest=$(ls -S "$samples"/*.qrm | head -1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for i in $(seq -w 1 "$copies"); do cp "$largest" "$work/r$i.qrm"; done

run() {  # command... -> seconds of the second (warm) run
  local start end
  "$@" >/dev/null 2>&1 || [ $? -eq 4 ]
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || [ $? -eq 4 ]
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

line() {  # label seconds
  printf '  %-34s %6.2f s  (%.4f s per record)\n' "$1" "$2" "$(echo "$2 / $copies" | bc -l)"
}

cores=$(nproc)
single=$(run taskset -c 0 "$cli" qc "$work" --jobs 1)
one=$(run "$cli" qc "$work" --jobs 1)
all=$(run "$cli" qc "$work")
printf 'qc of %d copies of %s, warm, %d cores\n' "$copies" "$(basename "$largest")" "$cores"
line "one at a time on one core" "$single"
line "one at a time (--jobs 1)" "$one"
line "$cores worker processes (default)" "$all"
printf '  speed-up against one core: %.2fx, against --jobs 1: %.2fx\n' \
  "$(echo "$single / $all" | bc -l)" "$(echo "$one / $all" | bc -l)"

#!/usr/bin/env bash
# Memory and time of "kalvex-cli graph --json" on the largest record the unit
# takes (65 500 samples at 500 Hz, mode 0): the Distortion matrix, the largest
# JSON output, against the binary size of the values it holds. Prints the
# peak resident memory, the time and their ratio to the values' size.
# usage: bench/json_memory.sh KALVEX_CLI [TYPE]
set -euo pipefail
cli=$1 type=${2:-Distortion}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cli" synth --mode 0 --rate-index 0 --seconds 130 -o "$work/big.qrm" >/dev/null
/usr/bin/time -f '%M %e' -o "$work/time" "$cli" graph "$work/big.qrm" --type "$type" --json "$work/g.json"
read -r kb seconds <"$work/time"
values=$(python3 -c 'import json,sys; print(sum(c["count"] for c in json.load(open(sys.argv[1]))["curves"]))' "$work/g.json")
binary_mb=$(echo "$values * 8 / 1048576" | bc -l)
printf '%s: %d values (%.1f MB as doubles), JSON %.1f MB\n' "$type" "$values" "$binary_mb" \
  "$(echo "$(stat -c %s "$work/g.json") / 1048576" | bc -l)"
printf '  peak memory %.1f MB (%.2f x the values), %.2f s\n' "$(echo "$kb / 1024" | bc -l)" \
  "$(echo "$kb / 1024 / $binary_mb" | bc -l)" "$seconds"

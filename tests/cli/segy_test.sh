#!/usr/bin/env bash
# End-to-end checks of export-segy and import-segy: an independent SEG-Y
# reader (segyio's Python module) reads what export-segy writes, every sample
# goes out and back in to the same counts in both sample formats, and damaged
# or unusable files are refused with their reasons, writing nothing.
# usage: segy_test.sh KALVEX_CLI SAMPLES_DIR
set -u
cli=$1 samples=$2
here=$(cd "$(dirname "$0")" && pwd)
python=${KALVEX_PYTHON:-/usr/bin/python3}
# shellcheck source=common.sh
source "$here/common.sh"

# The parameters that decide a channel's counts, as the recording holds them.
params() {  # info.json
  jq -r '"--mode \(.mode)",
    (if .holdDownWeight > 0 then "--hdw \(.holdDownWeight)" else empty end),
    (if .baseplateWeight > 0 then "--bp \(.baseplateWeight) --rm \(.reactionMassWeight)" else empty end),
    (if .massAccSensitivity then "--acc-rm \(.massAccSensitivity) --acc-bp \(.baseplateAccSensitivity)" else empty end),
    ([.similarityChannels | to_entries[] | select(.value.attenuated) | .key] | if length > 0 then "--x8 \(join(","))" else empty end)' "$1"
}

for sample in "$samples"/*.qrm; do
  name=$(basename "$sample" .qrm)
  "$cli" info "$sample" --json >"$work/$name.info.json"
  channels=$("$cli" export-segy "$sample" -o "$work/probe.sgy" >/dev/null &&
    "$python" -c 'import segyio,sys; f=segyio.open(sys.argv[1],ignore_geometry=True); print(",".join(str(f.header[i][segyio.TraceField.TraceNumber]-1) for i in range(f.tracecount)))' "$work/probe.sgy")
  units=$(sed 's/[0-9]\+/0/g' <<<"$channels")
  "$cli" graph "$sample" --type SignalTraces --channels "$channels" --units "$units" --json "$work/$name.graph.json"
  "$cli" samples "$sample" | cut -d, -f1-"$(($(jq '.channels | length' "$work/$name.info.json") + 1))" >"$work/$name.counts"
  # shellcheck disable=SC2046
  read -ra import_params <<<"$(params "$work/$name.info.json" | tr '\n' ' ')"
  for format in ieee ibm; do
    out="$work/$name-$format.sgy"
    expect_exit 0 "export $name $format" "$cli" export-segy "$sample" -o "$out" --format "$format" \
      --sweep-start 8 --sweep-end 80 --sweep-type linear
    "$python" "$here/segy_check.py" "$out" "$work/$name.info.json" "$work/$name.graph.json" "$format" 8 80 1 ||
      fail "segyio reads $name ($format) otherwise"
    expect_exit 0 "import $name $format" "$cli" import-segy "$out" "${import_params[@]}" -o "$work/back.qrm"
    "$cli" samples "$work/back.qrm" | cut -d, -f1-"$(($(jq '.channels | length' "$work/$name.info.json") + 1))" >"$work/back.counts"
    cmp -s "$work/$name.counts" "$work/back.counts" || fail "round trip $name ($format): other counts"
  done
done

# Comments in Russian go into the textual header transliterated.
"$cli" resave "$samples/dodida.qrm" "$work/dodida.qrm"
"$cli" synth --mode 3 --rate-index 0 --seconds 2 --comment "Вибратор №3 [утро]" -o "$work/ru.qrm"
"$cli" export-segy "$work/ru.qrm" -o "$work/ru.sgy"
"$python" -c 'import segyio,sys; t=bytes(segyio.open(sys.argv[1],ignore_geometry=True).text[0]).decode("ascii"); sys.exit(0 if "COMMENT Vibrator ?3 [utro]" in t else 1)' "$work/ru.sgy" ||
  fail "the Russian comment in the textual header"

# Traces of another writer: a map is needed; scaled, they clip at full scale.
"$python" - "$work/ru.sgy" "$work/foreign.sgy" <<'PY'
import shutil, sys, segyio
shutil.copy(sys.argv[1], sys.argv[2])
with segyio.open(sys.argv[2], "r+", ignore_geometry=True) as f:
    f.text[0] = b"C 1 AUX TRACES OF A RECORDER".ljust(3200)
PY
expect_exit 2 "a foreign file without a map" "$cli" import-segy "$work/foreign.sgy" --mode 3 -o "$work/x.qrm" --lang ENU
grep -q "not written by this program" "$work/err" || fail "foreign file: $(cat "$work/err")"
expect_exit 0 "a foreign file mapped and scaled" "$cli" import-segy "$work/foreign.sgy" --mode 3 \
  --map REF=1,BP=3,RM=2 --scale 2=100 -o "$work/x.qrm" --lang ENU
grep -q "clipped" "$work/err" || fail "scaled beyond full scale: no clipped count"
"$cli" info "$work/x.qrm" --json | jq -e '.channels[1].max == 32767 and .channels[1].min == -32768' >/dev/null ||
  fail "scaled beyond full scale: not clipped"
expect_exit 2 "a channel the mode lacks" "$cli" import-segy "$work/foreign.sgy" --mode 3 --map REF=1,GF=4 -o "$work/x.qrm"
expect_exit 2 "a trace the file lacks" "$cli" import-segy "$work/foreign.sgy" --mode 3 --map REF=9 -o "$work/x.qrm"
expect_exit 1 "a malformed map" "$cli" import-segy "$work/foreign.sgy" --mode 3 --map REF -o "$work/x.qrm"

# Damaged and unusable files: exit 2 with the reason, nothing written.
good="$work/dodida-ieee.sgy"
damage() {  # name python-statements on the bytes b
  "$python" - "$good" "$work/$1.sgy" "$2" <<'PY'
import struct, sys
b = bytearray(open(sys.argv[1], "rb").read())
trace = 240 + 4 * struct.unpack(">H", b[3220:3222])[0]
exec(sys.argv[3])
open(sys.argv[2], "wb").write(b)
PY
}
damage truncated 'del b[len(b) - 100:]'
damage headers-only 'del b[3000:]'
damage format0 'b[3224:3226] = struct.pack(">h", 0)'
damage format7 'b[3224:3226] = struct.pack(">h", 7)'
damage no-samples 'b[3220:3222] = struct.pack(">h", 0)'
damage lengths 'b[3600 + trace + 114:3600 + trace + 116] = struct.pack(">H", 100)'
damage intervals 'b[3600 + trace + 116:3600 + trace + 118] = struct.pack(">H", 500)'
damage count 'b[3212:3214] = struct.pack(">h", 3)'
damage nan 'b[3600 + 240 + 40:3600 + 240 + 44] = bytes.fromhex("7fc00000")'
damage inf 'b[3600 + 2 * trace + 240:3600 + 2 * trace + 244] = bytes.fromhex("ff800000")'
damage rate 'b[3216:3218] = struct.pack(">H", 300); [b.__setitem__(slice(3600 + k * trace + 116, 3600 + k * trace + 118), struct.pack(">H", 300)) for k in range(4)]'
while IFS='|' read -r file reason; do
  expect_exit 2 "a damaged file ($file)" "$cli" import-segy "$work/$file.sgy" --mode 3 -o "$work/$file.qrm" --lang ENU
  grep -qF "$reason" "$work/err" || fail "$file: the reason: $(cat "$work/err")"
  [ ! -e "$work/$file.qrm" ] || fail "$file: a recording was written"
done <<EOF2
truncated|is cut off: 3 whole traces and
headers-only|shorter than its headers (3600 bytes)
format0|Sample format code 0
format7|Sample format code 7
no-samples|no number of samples
lengths|Trace 2 has 100 samples
intervals|sample interval of trace 2 (500 µs)
count|announces 3 traces per record, the file holds 4
nan|Trace 1 holds a sample that is not a finite number (sample 11)
inf|Trace 3 holds a sample that is not a finite number (sample 1)
rate|A sample interval of 300 µs is not a rate the system records
EOF2
expect_exit 3 "a missing file" "$cli" import-segy "$work/none.sgy" --mode 3 -o "$work/none.qrm"

if [ "$failures" -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "all SEG-Y checks passed"

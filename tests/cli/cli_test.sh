#!/usr/bin/env bash
# End-to-end checks of kalvex-cli on the bundled samples and on damaged files.
# usage: cli_test.sh KALVEX_CLI KALVEX_MAKE_SAMPLES SAMPLES_DIR
set -u
cli=$1 make_samples=$2 samples=$3
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"

# The bundled samples are exactly what the sample writer produces.
"$make_samples" "$work/regen" >/dev/null || fail "sample writer failed"
for f in "$samples"/*.qrm; do
  cmp -s "$f" "$work/regen/$(basename "$f")" || fail "$(basename "$f") differs from a fresh run of the sample writer"
done
[ "$(ls "$work/regen" | wc -l)" -eq "$(ls "$samples"/*.qrm | wc -l)" ] || fail "the sample writer writes samples not bundled"

# One recording of the vibrator model: the same seed gives the same file and
# another seed other noise; the time and comment go into the header; each
# fault shows where a field test looks for it (example profile, Dodida: GF).
record() { "$make_samples" --record "$work/m.qrm" --mode 3 "$@" >/dev/null; }
judged() {  # jq condition on the GF channel's QC result
  "$cli" qc "$work/m.qrm" --limits "$samples/limits.ini" --json - 2>/dev/null | jq -e ".files[0].channels[0] | $1" >/dev/null
}
record --seed 9 --time 2026-12-01T07:00:00 --comment "V3 morning" && cp "$work/m.qrm" "$work/m1.qrm"
record --seed 9 --time 2026-12-01T07:00:00 --comment "V3 morning"
cmp -s "$work/m.qrm" "$work/m1.qrm" || fail "record: the same seed gave another file"
[ "$(head -c 14 "$work/m.qrm" | tail -c 8)$(head -c 60 "$work/m.qrm" | tail -c 8)" = "12/01/2607:00:00" ] \
  || fail "record: the header's date and time"
"$cli" info "$work/m.qrm" --json | jq -e '.comment == "V3 morning"' >/dev/null || fail "record: the comment"
judged '.verdict == "PASS"' || fail "record: a healthy vibrator fails"
record --seed 10 --time 2026-12-01T07:00:00 --comment "V3 morning"
cmp -s <(tail -c +257 "$work/m.qrm") <(tail -c +257 "$work/m1.qrm") && fail "record: another seed gave the same samples"
healthy_peak=$("$cli" qc "$work/m.qrm" --json - 2>/dev/null | jq '.files[0].channels[0].figures.distortion_peak.value')
while IFS='|' read -r faults condition; do
  # shellcheck disable=SC2086
  record $faults || { fail "record $faults failed"; continue; }
  judged "$condition" || fail "record $faults: not judged as expected: $condition"
done <<EOF2
--phase-error 15|.figures.phase_peak.value > 12 and .figures.phase_peak.value < 19 and .verdict == "FAIL"
--phase-drift 25|.figures.phase_peak.value > 21 and .figures.phase_peak.value < 29 and .verdict == "FAIL"
--distortion 20|.figures.distortion_avg.value > 18 and .figures.distortion_avg.value < 22 and .verdict == "FAIL"
--polarity-flip 1|.figures.phase_peak.value > 170
--dead-channel 2|.verdict == "FAIL"
--clip 0.3|.figures.distortion_peak.value > 2 * $healthy_peak
EOF2
"$cli" info "$work/m.qrm" --json | jq -e '[.channels[1:][] | .min >= -9831 and .max <= 9831] | all' >/dev/null \
  || fail "record --clip 0.3: a channel beyond the clipping level"
expect_exit 1 "record with a fault on a channel the mode lacks" record --dead-channel 3

# Every sample reads, in both output forms, with its mode.
declare -A modes=([velnarund]=0 [tarpokline]=1 [similarity]=2 [dodida]=3 [ombrel16]=4)
for name in "${!modes[@]}"; do
  f="$samples/$name.qrm"
  expect_exit 0 "info $name" "$cli" info "$f" --json
  grep -q "\"mode\":${modes[$name]}," "$work/out" || fail "info $name: wrong mode in $(head -c 80 "$work/out")"
  expect_exit 0 "info $name (text)" "$cli" info "$f"
  expect_exit 0 "samples $name" "$cli" samples "$f" --csv
  n=$(grep -o '"recordLength":[0-9]*' <("$cli" info "$f" --json) | cut -d: -f2)
  [ "$(wc -l <"$work/out")" -eq $((n + 1)) ] || fail "samples $name: expected $((n + 1)) lines"
done

# The derived channel is the last column; polarity negative negates channels 1.. only.
"$cli" samples "$samples/dodida.qrm" >"$work/pos"
"$cli" samples "$samples/dodida.qrm" --polarity negative >"$work/neg"
awk -F, 'NR==FNR { ref[FNR]=$2; rm[FNR]=$3; next }
         $2 != ref[FNR] || ($3 != -rm[FNR] && $3 != rm[FNR] * -1) { bad=1 }
         END { exit bad }' "$work/pos" "$work/neg" || fail "negative polarity did not negate RM alone"

# Refusals: exit 2 with the system's text, one line.
head -c 1000 "$samples/velnarund.qrm" >"$work/truncated.qrm"
expect_exit 2 "truncated file" "$cli" info "$work/truncated.qrm" --json
grep -qx "Неверный размер файла" "$work/err" || fail "truncated file: message was '$(cat "$work/err")'"
[ -s "$work/out" ] && fail "truncated file: something was printed as read"
head -c 100 "$samples/velnarund.qrm" >"$work/short.qrm"
expect_exit 2 "file shorter than its header" "$cli" info "$work/short.qrm" --json
: >"$work/empty.qrm"
expect_exit 2 "empty file" "$cli" info "$work/empty.qrm" --json
for i in $(seq 1 40); do
  head -c $((RANDOM % 3000 + 1)) /dev/urandom >"$work/random.qrm"
  "$cli" info "$work/random.qrm" --json >"$work/out" 2>"$work/err"
  code=$?
  case $code in
    2) [ -s "$work/out" ] && fail "random file $i: refused but printed" ;;
    0) ;;  # a random header can be valid when the size happens to match
    *) fail "random file $i: exit $code" ;;
  esac
done
# English text set on request; a code without a module keeps the Russian texts.
expect_exit 2 "English texts" "$cli" info "$work/truncated.qrm" --lang ENU
grep -qx "Invalid file size." "$work/err" || fail "--lang ENU: message was '$(cat "$work/err")'"
expect_exit 2 "missing language module" "$cli" info "$work/truncated.qrm" --lang XXX
grep -qx "Неверный размер файла" "$work/err" || fail "missing language module changed the texts"

# I/O errors: exit 3.
expect_exit 3 "missing file" "$cli" info "$work/none.qrm"
grep -q '^Cannot open file "' "$work/err" || fail "missing file: message was '$(cat "$work/err")'"
expect_exit 1 "bad option" "$cli" info "$samples/dodida.qrm" --bogus

# Re-saving keeps the samples and every header byte but the date and time
# texts and the fields the writer always sets from the recording although this
# mode's reader left them alone: the servo factor (all but mode 0) and the
# plate and mass weights (modes 2 and 4).
for name in "${!modes[@]}"; do
  expect_exit 0 "resave $name" "$cli" resave "$samples/$name.qrm" "$work/$name.qrm"
  cmp -s <(tail -c +257 "$samples/$name.qrm") <(tail -c +257 "$work/$name.qrm") || fail "resave $name changed samples"
  weights=0; [ "${modes[$name]}" = 2 ] || [ "${modes[$name]}" = 4 ] && weights=1
  changed=$(cmp -l "$samples/$name.qrm" "$work/$name.qrm" | awk -v w=$weights '
    ($1 >= 7 && $1 <= 16) || ($1 >= 53 && $1 <= 62) || ($1 >= 165 && $1 <= 168) { next }
    w && $1 >= 131 && $1 <= 138 { next }
    { print $1 }')
  [ -z "$changed" ] || fail "resave $name changed header bytes $changed"
done
# A failed save leaves the old file intact.
cp "$samples/dodida.qrm" "$work/keep.qrm"
mkdir "$work/readonly" && cp "$samples/dodida.qrm" "$work/readonly/x.qrm" && chmod 555 "$work/readonly"
if [ "$(id -u)" -ne 0 ]; then
  expect_exit 3 "save into a read-only folder" "$cli" resave "$samples/velnarund.qrm" "$work/readonly/x.qrm"
  cmp -s "$samples/dodida.qrm" "$work/readonly/x.qrm" || fail "failed save damaged the old file"
fi
expect_exit 3 "save over a folder" "$cli" resave "$samples/velnarund.qrm" "$work/readonly"
chmod 755 "$work/readonly"

# Graphs: every type of this build on every sample, as JSON and drawn.
for name in "${!modes[@]}"; do
  for type in SignalTraces Amplitude Phase Distortion Harmonics Spectrum Correlation FrequencyVsTime \
      Ground Power AccCompare; do
    expect_exit 0 "graph $type $name" "$cli" graph "$samples/$name.qrm" --type "$type" --json "$work/g.json" \
      --png "$work/g.png"
    case "$type:${modes[$name]}" in
      Ground:[24] | Power:[24] | AccCompare:[24])
        grep -q '"curves":\[\]' "$work/g.json" || fail "graph $type $name: curves made without RM and BP" ;;
      *)
        grep -q "\"typeName\":\"$type\"" "$work/g.json" || fail "graph $type $name: no $type window written" ;;
    esac
  done
done
# The JSON is written as it is made, to a file and to standard output alike.
"$cli" graph "$samples/dodida.qrm" --type Distortion --json "$work/d.json"
"$cli" graph "$samples/dodida.qrm" --type Distortion --json - | cmp -s - "$work/d.json" ||
  fail "graph --json: the file and standard output differ"
# Overrides of the later types.
expect_exit 0 "power kinds" "$cli" graph "$samples/velnarund.qrm" --type Power --dimension 0 --kinds module,reactive --json -
grep -o '"name":"[A-Za-z -]*"' "$work/out" | tr '\n' ' ' | grep -q '"name":"Module" "name":"Reactive"' \
  || fail "power kinds: $(grep -o '"name":"[^"]*"' "$work/out" | tr '\n' ' ')"
expect_exit 1 "unknown kind" "$cli" graph "$samples/velnarund.qrm" --type Ground --kinds bogus
expect_exit 0 "linear correlation" "$cli" graph "$samples/dodida.qrm" --type Correlation --db 0 --json -
grep -q '"fullRange":\[-200,200\]' "$work/out" || fail "linear correlation range"
expect_exit 1 "graph of an unknown type" "$cli" graph "$samples/dodida.qrm" --type Nothing

# Pictures: drawn without a display, at the asked size, beside the JSON or alone.
png_size() { od -An -tx1 -j12 -N12 "$1" | tr -d ' \n'; }  # "IHDR", width, height
expect_exit 0 "graph picture and JSON" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
  "$cli" graph "$samples/dodida.qrm" --type Spectrum --png "$work/g.png" --size 640x400 --json "$work/g.json"
[ "$(png_size "$work/g.png")" = "494844520000028000000190" ] || fail "graph picture: not a 640x400 PNG"
[ "$(wc -c <"$work/g.png")" -gt 3000 ] || fail "graph picture: nothing drawn"
grep -q '"typeName":"Spectrum"' "$work/g.json" || fail "graph picture: no JSON beside it"
expect_exit 0 "graph picture alone" "$cli" graph "$samples/dodida.qrm" --type Distortion --png "$work/d.png"
[ "$(png_size "$work/d.png")" = "49484452000003e800000258" ] || fail "graph picture: default size is not 1000x600"
[ -s "$work/out" ] && fail "graph picture alone: JSON written to standard output"
expect_exit 0 "graph picture of a type the mode lacks" "$cli" graph "$samples/similarity.qrm" --type Ground --png "$work/e.png"
[ -s "$work/e.png" ] || fail "graph picture of a type the mode lacks: no picture"
expect_exit 1 "graph picture too small" "$cli" graph "$samples/dodida.qrm" --type Spectrum --png "$work/s.png" --size 20x10
expect_exit 1 "graph picture size unreadable" "$cli" graph "$samples/dodida.qrm" --type Spectrum --png "$work/s.png" --size 640
expect_exit 1 "size without picture" "$cli" graph "$samples/dodida.qrm" --type Spectrum --size 640x400
[ -e "$work/s.png" ] && fail "graph picture: written despite a bad size"
expect_exit 3 "graph picture in a missing folder" "$cli" graph "$samples/dodida.qrm" --type Spectrum --png "$work/none/g.png"

# Without the FFT library: the system's message, and the transforms do nothing.
KALVEX_FFTW_LIBRARY=/nonexistent/libfftw.so expect_exit 0 "spectrum without FFT" \
  "$cli" graph "$samples/dodida.qrm" --type Spectrum --json "$work/nofft.json"
grep -qx "Ошибка при загрузке fft.dll. Работа с FFT не возможна" "$work/err" || fail "no FFT message: '$(cat "$work/err")'"
grep -q '"values":\[0,0,0' "$work/nofft.json" || fail "a spectrum was computed without the FFT library"
KALVEX_FFTW_LIBRARY=/nonexistent/libfftw.so expect_exit 0 "traces without FFT" \
  "$cli" graph "$samples/dodida.qrm" --type SignalTraces --json -
grep -q '"count":8000' "$work/out" || fail "traces need no FFT library but were not drawn"

# Frame tables: RM then BP heading, one row per frame, CR LF line ends.
expect_exit 0 "frames" "$cli" frames "$samples/velnarund.qrm" -o "$work/Signals.TXT"
[ "$(grep -c $'\r$' "$work/Signals.TXT")" -eq 162 ] || fail "frames: expected 2 headings and 160 rows"
head -1 "$work/Signals.TXT" | grep -q '^f(RM) RE(RM)' || fail "frames: RM heading first"
expect_exit 2 "frames in mode 2" "$cli" frames "$samples/similarity.qrm" -o "$work/S.TXT"

# Model lists: the four files of a folder as the program reads them.
mkdir "$work/models"
printf '0.V-1;13600;4200;1800;abc\r\n0.V-1;13600;4200;1800\r\n0.V-1;13600;4200\r\nx.V-2;1;2;3;\r\n1.V-3;12a;2;3;\r\n-1.Off;1;2;3;\r\n' \
  >"$work/models/VibModels.ini"
printf '3.A;1,25;7;x\r\n' >"$work/models/AccModels.ini"
printf '0.C;1,5;2,5;' >"$work/models/ControlModels.ini"  # no final line end
expect_exit 0 "models" "$cli" models "$work/models" --json
[ "$(cat "$work/out")" = '{"vib":[{"number":0,"name":"V-1","hdw":13600,"rm":4200,"bp":1800,"note":"abc"},{"number":0,"name":"V-1","hdw":13600,"rm":4200,"bp":1800,"note":""},{"number":-1,"name":"Off","hdw":1,"rm":2,"bp":3,"note":""}],"acc":[{"number":3,"name":"A","sensitivity":1.25,"delayCode":7,"note":"x"}],"control":[{"number":0,"name":"C","current":1.5,"testOut":2.5,"note":""}],"source":[]}' ] \
  || fail "models: $(cat "$work/out")"
expect_exit 0 "models as text" "$cli" models "$work/models"
grep -q "V-1: HDW 13600 kg, RM 4200 kg, BP 1800 kg  (abc)" "$work/out" || fail "models as text: $(cat "$work/out")"
(cd "$work/models" && "$cli" models --json) | grep -q '"delayCode":7' || fail "models: the current directory is not the default"
expect_exit 0 "models of an empty folder" "$cli" models "$work/readonly" --json
grep -qx '{"vib":\[\],"acc":\[\],"control":\[\],"source":\[\]}' "$work/out" || fail "models of an empty folder: $(cat "$work/out")"
[ -w /dev/full ] && { "$cli" models "$work/models" >/dev/full 2>/dev/null; [ $? -eq 3 ] || fail "models: a failed write to standard output was not exit 3"; }

# A named model fills its parameters; an explicit option wins over it.
expect_exit 0 "synth with a vibrator model" "$cli" synth --mode 3 --rate-index 1 --seconds 2 -o "$work/vib.qrm" \
  --models-dir "$work/models" --vib-model V-1 --bp 2000
"$cli" info "$work/vib.qrm" --json >"$work/out"
grep -q '"holdDownWeight":13600,' "$work/out" && grep -q '"reactionMassWeight":4200,' "$work/out" \
  && grep -q '"baseplateWeight":2000,' "$work/out" || fail "synth --vib-model: $(head -c 600 "$work/out")"
expect_exit 0 "command-block with models" "$cli" command-block --mode 0 --models-dir "$work/models" \
  --vib-model v-1 --acc-model A
"$cli" command-block --mode 0 --models-dir "$work/models" --vib-model v-1 >"$work/plain"
[ "$(sed -n 2p "$work/out" | cut -c23-24)" = "07" ] || fail "command-block --acc-model: delay code not sent: $(cat "$work/out")"
cmp -s "$work/out" "$work/plain" && fail "command-block: the accelerometer model changed nothing"
expect_exit 0 "command-block with an explicit delay code" "$cli" command-block --mode 0 \
  --models-dir "$work/models" --acc-model A --acc-delay-code 9
[ "$(sed -n 2p "$work/out" | cut -c23-24)" = "09" ] || fail "--acc-delay-code did not win over the model"
expect_exit 1 "unknown model" "$cli" command-block --models-dir "$work/models" --vib-model V-9
grep -q 'V-9' "$work/err" || fail "unknown model: message was '$(cat "$work/err")'"
expect_exit 1 "model with a negative number" "$cli" synth --mode 3 --rate-index 1 --seconds 2 \
  -o "$work/off.qrm" --models-dir "$work/models" --vib-model Off
[ -e "$work/off.qrm" ] && fail "a model with a negative number still wrote a recording"
expect_exit 1 "model of a missing list" "$cli" command-block --models-dir "$work/models" --source-model S

# The report: a PNG at the hidden bitmap's size and a PDF of vectors on A4
# for every sample.
declare -A report_heights=([velnarund]=000004b0 [tarpokline]=000004b0 [similarity]=00000384 [dodida]=000004b0 [ombrel16]=00000384)
for name in "${!report_heights[@]}"; do
  expect_exit 0 "report $name (PNG)" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    "$cli" report "$samples/$name.qrm" -o "$work/$name.png" --vib-number 12 --drive-level 80 \
    --start-hz 1 --end-hz 100 --duration 10 --signal-type Lin --parameter -no
  [ "$(png_size "$work/$name.png")" = "49484452000005dc${report_heights[$name]}" ] \
    || fail "report $name: not a PNG of the bitmap's size"
  [ "$(wc -c <"$work/$name.png")" -gt 50000 ] || fail "report $name: PNG nearly empty"
  [ -s "$work/err" ] && fail "report $name: wrote to stderr: $(head -c 200 "$work/err")"
  expect_exit 0 "report $name (PDF)" "$cli" report "$samples/$name.qrm" -o "$work/$name.pdf" --bw
  [ "$(head -c 5 "$work/$name.pdf")" = "%PDF-" ] || fail "report $name: not a PDF"
  grep -aq "MediaBox \[0 0 595[.0]* 842[.0]*\]" "$work/$name.pdf" || fail "report $name: not an A4 portrait page"
  [ "$(grep -ac "/Subtype /Image" "$work/$name.pdf")" -le 1 ] || fail "report $name: pictures beside the logo"
done
expect_exit 0 "report in landscape with a vibrator model" "$cli" report "$samples/dodida.qrm" \
  -o "$work/land.pdf" --landscape --models-dir "$work/models" --vib-model v-1
grep -aq "MediaBox \[0 0 842[.0]* 595[.0]*\]" "$work/land.pdf" || fail "report --landscape: not an A4 landscape page"
expect_exit 1 "report with an unknown vibrator model" "$cli" report "$samples/dodida.qrm" \
  -o "$work/x.pdf" --models-dir "$work/models" --vib-model V-9
expect_exit 1 "report with a bad option" "$cli" report "$samples/dodida.qrm" -o "$work/x.pdf" --bogus
expect_exit 1 "report drive level not a number" "$cli" report "$samples/dodida.qrm" -o "$work/x.pdf" --drive-level 8x
expect_exit 1 "report duration too long" "$cli" report "$samples/dodida.qrm" -o "$work/x.pdf" --duration 100
expect_exit 1 "report to another format" "$cli" report "$samples/dodida.qrm" -o "$work/x.bmp"
[ -e "$work/x.pdf" ] && fail "report: written despite a bad command line"
# A recording whose sweep holds no sample is refused with the reason.
cp "$samples/velnarund.qrm" "$work/nosweep.qrm"
printf '\0\0' | dd of="$work/nosweep.qrm" bs=1 seek=224 conv=notrunc status=none
expect_exit 2 "report of a recording without samples" "$cli" report "$work/nosweep.qrm" -o "$work/n.png" --lang ENU
grep -qx "No report: the recording holds no samples" "$work/err" || fail "report refusal: '$(cat "$work/err")'"
[ -e "$work/n.png" ] && fail "report: a refused recording still wrote a picture"
expect_exit 3 "report into a missing folder" "$cli" report "$samples/dodida.qrm" -o "$work/none/r.pdf"

# Project files: as the program reads them at start-up; a file it would ignore
# exits 2 with the reason, a short window record ends the replay there.
project="$(dirname "$0")/../fuzz/corpus/project/three-windows.prj"
expect_exit 0 "project" "$cli" project "$project" --json
grep -q '"windowCount":3,' "$work/out" && grep -q '"replayEnded":null}' "$work/out" \
  && grep -q '"name":"D:\\\\Tests\\\\dodida.qrm"' "$work/out" || fail "project: $(head -c 300 "$work/out")"
expect_exit 0 "project as text" "$cli" project "$project"
grep -q "^  3. Distortion at 0,0, 601 x 720" "$work/out" || fail "project as text: $(cat "$work/out")"
head -c 1440 "$project" >"$work/short.prj"
expect_exit 0 "project with a short window record" "$cli" project "$work/short.prj" --json
grep -q '"replayEnded":{"index":1,"reason":"short"}' "$work/out" || fail "short project: $(tail -c 100 "$work/out")"
cp "$project" "$work/v21.prj"
printf '\x15' | dd of="$work/v21.prj" bs=1 seek=4 conv=notrunc status=none
expect_exit 2 "project of version 21" "$cli" project "$work/v21.prj"
grep -q "version 21, not 22" "$work/err" || fail "project version 21: '$(cat "$work/err")'"
expect_exit 2 "missing project" "$cli" project "$work/none.prj"

# Hostile outputs: a pipe is written into, never replaced; a device that
# refuses the bytes, or a standard output that cannot be written, is an I/O
# error (exit 3), never success.
mkfifo "$work/out.fifo"
cat "$work/out.fifo" >"$work/from-fifo.qrm" &
reader=$!
expect_exit 0 "resave into a pipe" "$cli" resave "$samples/velnarund.qrm" "$work/out.fifo"
wait "$reader"
[ -p "$work/out.fifo" ] || fail "resave replaced the pipe by a file"
"$cli" info "$work/from-fifo.qrm" >/dev/null 2>&1 || fail "resave into a pipe: what came out does not read"
if [ -c /dev/full ]; then
  expect_exit 3 "resave to a full device" "$cli" resave "$samples/velnarund.qrm" /dev/full
  [ -c /dev/full ] || fail "resave replaced /dev/full"
  for sub in "info $samples/velnarund.qrm" "samples $samples/velnarund.qrm" \
             "graph $samples/dodida.qrm --type Spectrum" "command-block --mode 3 --rate-index 1 --seconds 4"; do
    # shellcheck disable=SC2086
    "$cli" $sub >/dev/full 2>"$work/err"
    code=$?
    [ "$code" -eq 3 ] || fail "$sub to a full standard output: exit $code"
  done
fi

# Hostile inputs: a file larger than any recording is refused by its size
# without being read whole; an endless device likewise; a name that is not
# UTF-8 still names its file.
cp "$samples/velnarund.qrm" "$work/padded.qrm"
head -c 3000000 /dev/zero >>"$work/padded.qrm"
expect_exit 2 "oversized file" "$cli" info "$work/padded.qrm"
grep -qx "Неверный размер файла" "$work/err" || fail "oversized file: '$(cat "$work/err")'"
expect_exit 3 "endless device" timeout 20 "$cli" info /dev/zero
cp "$samples/velnarund.qrm" "$work/bad"$'\xff'"name.qrm"
expect_exit 0 "a file name that is not UTF-8" "$cli" info "$work/bad"$'\xff'"name.qrm" --json
expect_exit 3 "an empty file name" "$cli" info ""
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "an empty file name: more than one line: $(cat "$work/err")"

# What the program writes, it reads back; what it reads, it refuses whole.
expect_exit 2 "synth with a weight the file cannot hold" "$cli" synth --mode 0 --seconds 1 --hdw 2147483647 -o "$work/w.qrm"
expect_exit 2 "synth with a sensitivity that underflows" "$cli" synth --mode 0 --seconds 1 --acc-rm 1e-46 -o "$work/w.qrm"
[ -e "$work/w.qrm" ] && fail "synth wrote a file it would refuse"
cp "$samples/velnarund.qrm" "$work/inf.qrm"
printf '\x00\x00\x80\x7f' | dd of="$work/inf.qrm" bs=1 seek=142 conv=notrunc status=none
expect_exit 2 "an infinite sensitivity" "$cli" info "$work/inf.qrm"
grep -qx "Неверное значение коэффициента преобразования акселерометра плиты" "$work/err" \
  || fail "an infinite sensitivity: '$(cat "$work/err")'"

# An Ombrel16 file's third channel survives a re-save.
n=$(grep -o '"recordLength":[0-9]*' <("$cli" info "$samples/ombrel16.qrm" --json) | cut -d: -f2)
cp "$samples/ombrel16.qrm" "$work/third.qrm"
printf '\x2c\x01' | dd of="$work/third.qrm" bs=1 seek=$((256 + 4 * n)) conv=notrunc status=none
expect_exit 0 "resave of a mode 4 file" "$cli" resave "$work/third.qrm" "$work/third2.qrm"
cmp -s <(tail -c +257 "$work/third.qrm") <(tail -c +257 "$work/third2.qrm") || fail "resave changed the samples of a mode 4 file"
"$cli" samples "$work/third.qrm" --csv | head -1 | grep -qx "index,REF,VIB,CH2" || fail "samples --csv: the third column of a mode 4 file has no name"

# qc: a folder of the samples with a refused and a truncated file beside them.
mkdir -p "$work/fleet/sub"
cp "$samples"/*.qrm "$work/fleet/"
cp "$work/truncated.qrm" "$work/fleet/sub/cut.QRM"
printf 'not a recording' >"$work/fleet/sub/junk.fmr"
printf 'ignored' >"$work/fleet/notes.txt"
expect_exit 2 "qc of a folder with refused files" "$cli" qc "$work/fleet" --limits "$samples/limits.ini" \
  --json "$work/qc.json" --csv "$work/qc.csv" --report-dir "$work/reports"
cp "$work/out" "$work/qc.txt"
[ "$(grep -c 'refused: ' "$work/qc.txt")" -eq 2 ] || fail "qc: two refused rows expected"
# Every healthy vibrator passes the example profile; the faulty one fails on
# its distortion.
grep -q "8 files: 5 passed, 1 failed, 0 undecided, 2 refused" "$work/qc.txt" || fail "qc summary: $(tail -1 "$work/qc.txt")"
grep -Eq 'faulty-vibrator\.qrm +Dodida +GF .* FAIL$' "$work/qc.txt" || fail "qc: the faulty vibrator should fail"
grep -q "qc: 8/8 files checked" "$work/err" || fail "qc: no progress line"
jq -e '.files | length == 8 and ([.[].path | split("/") | last] ==
        ["dodida.qrm","faulty-vibrator.qrm","ombrel16.qrm","similarity.qrm","cut.QRM","junk.fmr","tarpokline.qrm",
         "velnarund.qrm"])' \
  "$work/qc.json" >/dev/null || fail "qc JSON: files missing or out of order"
jq -e '.profile.name == "Example contract" and .profile.limits.sidelobe.max == -25 and .version != null
       and (.settings.text | startswith("frame 512, step 100")) and .settings.amplitudeFrame == 512
       and (.settings.calibration | length == 6) and .settings.fftSize == "nearest"
       and ([.files[] | select(.status == "checked") | .sha256 | length == 64] | all)
       and (.files[3].channels | map(.verdict) == ["PASS","PASS","PASS"])
       and ([.files[] | select(.status == "checked") | .verdict] == ["PASS","FAIL","PASS","PASS","PASS","PASS"])
       and ([.files[1].channels[0].figures | to_entries[] | select(.value.verdict == "FAIL") | .key]
            == ["distortion_avg"])
       and (.files[4].status == "refused" and (.files[4].reason | length > 0))
       and .summary.refused == 2' "$work/qc.json" >/dev/null || fail "qc JSON content"
[ "$(wc -l <"$work/qc.csv")" -eq 11 ] || fail "qc CSV: a header and ten rows expected"
head -1 "$work/qc.csv" | grep -q "^file,sha256,mode,channel,phase_peak," || fail "qc CSV header"
[ "$(ls "$work/reports" | wc -l)" -eq 6 ] || fail "qc: six PDF reports expected, found $(ls "$work/reports")"
head -c 5 "$work/reports/dodida.pdf" | grep -q "%PDF-" || fail "qc: the report is not a PDF"
# The same results one file at a time; a lenient profile passes them all.
expect_exit 2 "qc one at a time" "$cli" qc "$work/fleet" --limits "$samples/limits.ini" --jobs 1 --json "$work/qc1.json"
cmp -s "$work/qc.json" "$work/qc1.json" || fail "qc: worker processes and one process disagree"
printf '[phase_peak]\nmax = 180\n' >"$work/lenient.ini"
expect_exit 0 "qc all passing" "$cli" qc "$samples/velnarund.qrm" "$samples/dodida.qrm" --limits "$work/lenient.ini"
expect_exit 4 "qc with a failing figure" "$cli" qc "$samples/faulty-vibrator.qrm" --limits "$samples/limits.ini"
printf '[phase_peak]\nmax = 10\n[phase_pk]\n' >"$work/bad.ini"
expect_exit 2 "qc with a malformed profile" "$cli" qc "$samples" --limits "$work/bad.ini" --lang ENU
grep -qx "$work/bad.ini:3: unknown section \[phase_pk\]" "$work/err" || fail "malformed profile: '$(cat "$work/err")'"
mkdir "$work/nothing"
expect_exit 2 "qc of a folder without recordings" "$cli" qc "$work/nothing"
expect_exit 1 "qc without a path" "$cli" qc
mkdir -p "$work/blocked/velnarund.pdf"  # a folder where a report should go: never replaced
expect_exit 4 "qc beside a folder of a report's name" "$cli" qc "$samples" --limits "$samples/limits.ini" \
  --report-dir "$work/blocked"
[ -d "$work/blocked/velnarund.pdf" ] && [ -s "$work/blocked/velnarund-2.pdf" ] || fail "qc: the report did not take the next name"
# A disk that refuses the bytes: the report cannot be written.
no_room() { (ulimit -f 4; trap '' XFSZ; exec "$@"); }
expect_exit 3 "qc with a report that cannot be written" no_room "$cli" qc "$samples" --report-dir "$work/full"
expect_exit 3 "the same in one process" no_room "$cli" qc "$samples" --report-dir "$work/full1" --jobs 1
grep -q "dodida.pdf\". File too large" "$work/err" || fail "unwritable report: '$(cat "$work/err")'"
expect_exit 0 "report with the QC block" "$cli" report "$samples/similarity.qrm" --limits "$samples/limits.ini" -o "$work/qcr.png"

# Bad command lines exit 1 with the allowed range, before any port is touched.
expect_exit 1 "acquire on an empty device name" "$cli" acquire --port "" -o "$work/a.qrm"
expect_exit 1 "a negative time-out" "$cli" acquire --port /dev/null --timeout2 -1 -o "$work/a.qrm"
expect_exit 1 "graph option out of range" "$cli" graph "$samples/dodida.qrm" --type Spectrum --option 99
grep -q "^--option is 0..5$" "$work/err" || fail "graph option: '$(head -1 "$work/err")'"
expect_exit 1 "a unit code out of range" "$cli" graph "$samples/dodida.qrm" --type SignalTraces --channels 0 --units 99999
for bad in "--trigger-channel 99" "--trigger-edge 5" "--acc-delay-code -1"; do
  # shellcheck disable=SC2086
  expect_exit 1 "command-block $bad" "$cli" command-block --mode 3 --rate-index 1 --seconds 4 $bad
done

# Trigger channels: the mode's list ("Ext", code 8, is the 7th in modes 0 and
# 1; REF and the channels on in mode 2; two in mode 3; one in mode 4).
for last in "0 6" "1 6" "2 3" "3 1" "4 0"; do
  set -- $last
  expect_exit 0 "command-block --mode $1 --trigger-channel $2" "$cli" command-block --mode "$1" --trigger-channel "$2"
  expect_exit 1 "command-block --mode $1 --trigger-channel $(($2 + 1))" "$cli" command-block --mode "$1" --trigger-channel $(($2 + 1))
  grep -q "^--trigger-channel is 0..$2$" "$work/err" || fail "mode $1 trigger range: '$(head -1 "$work/err")'"
done
[ "$("$cli" command-block --mode 0 --trigger-channel 6 | sed -n 3p | cut -c10-11)" = "08" ] || fail "Ext is not sent as code 8"
expect_exit 2 "acquire takes Ext" "$cli" acquire --port "$work/none" --mode 1 --trigger-channel 6 -o "$work/a.qrm"

# A model's delay code is sent as its low byte; a list that cannot be read is
# named with the reason, not taken as empty.
mkdir "$work/models2"
printf '0.Big;1,00;999;\r\n' >"$work/models2/AccModels.ini"
expect_exit 0 "an accelerometer model's delay code of 999" "$cli" command-block --mode 0 --models-dir "$work/models2" --acc-model Big
[ "$(sed -n 2p "$work/out" | cut -c23-24)" = "E7" ] || fail "delay code 999: $(cat "$work/out")"
head -c 5000000 /dev/zero >"$work/models2/VibModels.ini"
expect_exit 3 "models with an oversized list" "$cli" models "$work/models2"
grep -qx "Cannot open file \"$work/models2/VibModels.ini\". a model list file is at most 4 MiB" "$work/err" || fail "oversized list: '$(cat "$work/err")'"
expect_exit 3 "a vibrator model from an oversized list" "$cli" synth --mode 3 -o "$work/v.qrm" --models-dir "$work/models2" --vib-model V

# Limit profiles: one without any limit is refused with its reason; the
# byte-order mark of a text editor is taken; a key given twice refuses it.
for text in "" "; comments only\n" "[profile]\nname = x\n"; do
  printf "$text" >"$work/nolimit.ini"
  expect_exit 2 "a profile without limits ('$text')" "$cli" qc "$samples/dodida.qrm" --limits "$work/nolimit.ini" --lang ENU
  grep -q "nolimit.ini:[0-9]*: the profile sets no limit" "$work/err" || fail "profile without limits: '$(cat "$work/err")'"
done
printf '\xef\xbb\xbf[profile]\r\nname = Notepad\r\n[phase_peak]\r\nmax = 180\r\n' >"$work/bom.ini"
expect_exit 0 "a profile with a byte-order mark" "$cli" qc "$samples/dodida.qrm" --limits "$work/bom.ini"
printf '[profile]\nname = a\nname = b\n[phase_peak]\nmax = 180\n' >"$work/twice.ini"
expect_exit 2 "a profile naming itself twice" "$cli" qc "$samples/dodida.qrm" --limits "$work/twice.ini" --lang ENU
grep -qx "$work/twice.ini:3: \"name\" given twice in \[profile\]" "$work/err" || fail "name twice: '$(cat "$work/err")'"

# Every JSON output is UTF-8: the bytes of a file name that are not UTF-8 as
# U+FFFD, a profile name in the Windows code page converted.
strict_json() { python3 -c 'import json,sys; json.loads(sys.stdin.buffer.read().decode("utf-8"))'; }
odd="$work/odd"$'\xff\xc0\xaf'"name.qrm"
"$cli" synth --mode 3 --seconds 2 --comment "Проверка" -o "$odd"
printf '[profile]\nname = \xcf\xf0\xee\xe1\xe0\n[phase_peak]\nmax = 180\n' >"$work/cp1251.ini"
for sub in "info $odd --json" "graph $odd --type Spectrum" "project $project --json" "models $work/models --json" \
           "qc $odd $work/fleet/sub/junk.fmr --limits $work/cp1251.ini --json -"; do
  IFS=' ' read -r -a words <<<"$sub"
  "$cli" "${words[@]}" 2>/dev/null | strict_json || fail "$sub: not valid UTF-8 JSON"
done
"$cli" qc "$odd" --limits "$work/cp1251.ini" --json - 2>/dev/null | jq -e '.profile.name == "Проба"
  and (.files[0].path | endswith("odd\ufffd\ufffd\ufffdname.qrm"))' >/dev/null || fail "qc JSON names"

# Inputs that are not regular files are refused at once, never waited on.
mkfifo "$work/in.qrm"
for sub in "info" "samples" "graph --type Spectrum" "frames -o $work/f.txt" "resave $work/r.qrm" \
           "report -o $work/r.png"; do
  IFS=' ' read -r -a words <<<"$sub"
  expect_exit 3 "$sub of a pipe" timeout 10 "$cli" "${words[0]}" "$work/in.qrm" "${words[@]:1}"
  grep -qx "Cannot open file \"$work/in.qrm\". Not a regular file" "$work/err" || fail "$sub of a pipe: '$(cat "$work/err")'"
done
expect_exit 2 "project of a pipe" timeout 10 "$cli" project "$work/in.qrm"  # ignored, as a missing one
grep -q "Not a regular file" "$work/err" || fail "project of a pipe: '$(cat "$work/err")'"
expect_exit 3 "qc with a pipe as profile" timeout 10 "$cli" qc "$samples/dodida.qrm" --limits "$work/in.qrm"
expect_exit 2 "qc of a pipe" timeout 10 "$cli" qc "$work/in.qrm" "$samples/dodida.qrm" --jobs 2
mkdir "$work/pipes" && mkfifo "$work/pipes/VibModels.ini"
expect_exit 0 "models beside a pipe" timeout 10 "$cli" models "$work/pipes"

# qc workers: a stopped one ends the run (exit 3) after the silence allowed,
# its files counted as ended abnormally; none outlives the run's process.
mkdir "$work/many"
for i in $(seq -w 1 40); do cp "$samples/velnarund.qrm" "$work/many/v$i.qrm"; done
first_worker() {  # parent pid: waits for a worker and prints its pid
  for _ in $(seq 500); do pgrep -P "$1" && return; sleep 0.01; done
}
"$cli" qc "$work/many" --jobs 2 --worker-timeout 2 --report-dir "$work/many-r" --json "$work/stop.json" \
  >"$work/stop.txt" 2>/dev/null &
run=$!
worker=$(first_worker "$run" | head -1)
[ -n "$worker" ] && kill -STOP "$worker"
for _ in $(seq 600); do kill -0 "$run" 2>/dev/null || break; sleep 0.1; done
kill -KILL "$run" 2>/dev/null  # a wait without limit ends here
wait "$run"
code=$?
[ "$code" -eq 3 ] || fail "qc with a stopped worker: exit $code"
grep -Eq "40 files: [0-9]+ passed, 0 failed, 0 undecided, 0 refused, [1-9][0-9]* ended abnormally" "$work/stop.txt" \
  || fail "qc with a stopped worker: $(tail -1 "$work/stop.txt")"
jq -e '.summary.refused == 0 and .summary.abnormal > 0 and ([.files[] | select(.status == "abnormal")] | length) == .summary.abnormal' \
  "$work/stop.json" >/dev/null || fail "qc JSON with a stopped worker"
"$cli" qc "$work/many" --jobs 2 --report-dir "$work/many-r2" >/dev/null 2>&1 &
run=$!
workers=$(first_worker "$run")
kill -KILL "$run"
wait "$run" 2>/dev/null
sleep 2
for w in $workers; do kill -0 "$w" 2>/dev/null && { fail "a qc worker outlived its parent"; kill -KILL "$w"; }; done

# Two runs into one folder: the second never replaces the first one's reports.
expect_exit 4 "qc reports, first run" "$cli" qc "$samples" --limits "$samples/limits.ini" --report-dir "$work/shared"
cp -r "$work/shared" "$work/shared-first"
expect_exit 4 "qc reports, second run" "$cli" qc "$samples" --limits "$samples/limits.ini" --report-dir "$work/shared" \
  --jobs 1
[ "$(ls "$work/shared" | wc -l)" -eq 12 ] || fail "qc: two runs should leave twelve reports: $(ls "$work/shared")"
for f in "$work/shared-first"/*; do cmp -s "$f" "$work/shared/$(basename "$f")" || fail "qc replaced $(basename "$f")"; done

# QC history: a week of morning tests of five vibrators, written by two qc
# runs at once; the third vibrator's phase error grows 0.7° a day (its traits
# fixed, so its figures follow the fault alone), the others scatter from day
# to day. history must name the third and no other, with the day its phase
# peak crosses 10° within a day of the day its records first fail.
pattern='[Vv]ib\.? ?№? ?([0-9]+)'
morning() {  # vibrator day [faults]: one morning's recording
  local v=$1 d=$2; shift 2
  local seed=$((v * 100 + d)); [ "$v" -eq 3 ] && seed=300
  "$make_samples" --record "$work/week$([ "$d" -gt 7 ] && echo -later)/v$v-d$(printf %02d "$d").qrm" \
    --mode 3 --time "2026-12-$(printf %02d "$d")T07:0$v:00" --comment "Vib №$v, утро" --seed "$seed" "$@" >/dev/null
}
mkdir -p "$work/week" "$work/week-later"
for d in 1 2 3 4 5 6 7; do
  for v in 1 2 3 4 5; do
    if [ "$v" -eq 3 ]; then morning 3 "$d" --phase-error "$(awk "BEGIN{print 1+0.7*$d}")"; else morning "$v" "$d"; fi
  done
done
for d in $(seq 8 20); do morning 3 "$d" --phase-error "$(awk "BEGIN{print 1+0.7*$d}")"; done
keep() { "$cli" qc "$@" --limits "$samples/limits.ini" --history "$work/h.db" --vibrator-from comment --pattern "$pattern"; }
keep "$work"/week/*-d0[1357].qrm >/dev/null 2>"$work/keep1.err" & first=$!
keep "$work"/week/*-d0[246].qrm >/dev/null 2>"$work/keep2.err" & second=$!
wait "$first"; code1=$?; wait "$second"; code2=$?
[ "$code1" -le 4 ] && [ "$code2" -le 4 ] && [ "$code1" -ne 3 ] && [ "$code2" -ne 3 ] \
  || fail "history: two writers exited $code1 and $code2 ($(cat "$work/keep1.err" "$work/keep2.err"))"
grep -q "history: 20 stored, 0 kept already" "$work/keep1.err" || fail "history, first writer: $(tail -1 "$work/keep1.err")"
expect_exit 4 "history of the week" "$cli" history "$work/h.db" --json "$work/h.json"
jq -e '([.daily[] | select(.figure == "phase_peak") | .count] | add) == 35 and (.vibrators | length) == 5' \
  "$work/h.json" >/dev/null || fail "history: judgements lost"
jq -e '[.drift[] | select(.drifting) | .vibrator] | unique == ["3"]' "$work/h.json" >/dev/null \
  || fail "history: drifting $(jq -c '[.drift[] | select(.drifting) | [.vibrator, .figure]]' "$work/h.json")"
crossing=$(jq -r '.drift[] | select(.vibrator == "3" and .figure == "phase_peak") | .crossingDay' "$work/h.json")
truth=$("$cli" qc "$work/week-later" --limits "$samples/limits.ini" --json - 2>/dev/null |
  jq -r '[.files[] | select(.channels[0].figures.phase_peak.value > 10) | .path][0]' | sed 's/.*-d\([0-9]*\)\.qrm/\1/')
apart=$(( ($(date -ud "$crossing" +%s) - $(date -ud "2026-12-$truth" +%s)) / 86400 ))
[ "${apart#-}" -le 1 ] || fail "history: crossing $crossing, records fail from 2026-12-$truth"
expect_exit 0 "the same again" keep "$work"/week/*-d01.qrm
grep -q "history: 0 stored, 5 kept already" "$work/err" || fail "history: a judgement kept twice"
expect_exit 4 "history plot" "$cli" history "$work/h.db" --vibrator 3 --png "$work/h.png"
[ "$(head -c 4 "$work/h.png" | tail -c 3)" = "PNG" ] || fail "history: no picture"
expect_exit 1 "history plot of several vibrators" "$cli" history "$work/h.db" --png "$work/h2.png"
expect_exit 4 "history as a PDF" "$cli" history "$work/h.db" --since 2026-12-05 --pdf "$work/h.pdf"
[ "$(head -c 5 "$work/h.pdf")" = "%PDF-" ] || fail "history: no PDF"
expect_exit 0 "history of a healthy vibrator" "$cli" history "$work/h.db" --vibrator 1 --figure phase_peak --csv -
[ "$(grep -c '^daily,1,' "$work/out")" -eq 7 ] || fail "history CSV: $(head -3 "$work/out")"
# A write without room, a damaged file and a missing one: refused, nothing changed.
cp "$work/h.db" "$work/h-before.db"
expect_exit 3 "history write without room" no_room "$cli" qc "$work"/week-later --history "$work/h.db"
"$cli" history "$work/h.db" --json - 2>/dev/null | jq -e '(.vibrators | length) == 5' >/dev/null \
  || fail "history: a failed write changed the history"
head -c 3000 "$samples/dodida.qrm" >"$work/damaged.db"
cp "$work/damaged.db" "$work/damaged-before.db"
expect_exit 3 "qc into a file that is not a history" "$cli" qc "$samples/dodida.qrm" --history "$work/damaged.db" --lang ENU
grep -q "not a QC history" "$work/err" || fail "history: $(cat "$work/err")"
cmp -s "$work/damaged.db" "$work/damaged-before.db" || fail "history: the foreign file was changed"
expect_exit 3 "history of a missing database" "$cli" history "$work/none.db"
[ -e "$work/none.db" ] && fail "history: reading made a database"
expect_exit 1 "a bad pattern" "$cli" qc "$samples/dodida.qrm" --history "$work/x.db" --vibrator-from comment --pattern '('
expect_exit 1 "--vibrator without --history" "$cli" qc "$samples/dodida.qrm" --vibrator 3

if [ "$failures" -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "all kalvex-cli checks passed"

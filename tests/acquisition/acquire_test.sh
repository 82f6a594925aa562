#!/usr/bin/env bash
# kalvex-cli acquire against kalvex-unit-sim over a pseudo-terminal pair:
# every mode, and the faults of the line.
# usage: acquire_test.sh KALVEX_CLI KALVEX_UNIT_SIM
set -u
cli=$1 sim=$2
command -v socat >/dev/null || { echo "socat missing: skipped"; exit 77; }
work=$(mktemp -d)
failures=0
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A fresh pair of linked pseudo-terminals: $work/host (the program's side)
# and $work/unit (the simulator's side).
new_line() {
  rm -f "$work/host" "$work/unit"
  socat pty,raw,echo=0,link="$work/host" pty,raw,echo=0,link="$work/unit" 2>/dev/null &
  pids+=($!)
  for _ in $(seq 50); do [ -e "$work/host" ] && [ -e "$work/unit" ] && return; sleep 0.1; done
  fail "socat did not make the pseudo-terminals"
}

start_sim() {  # options...
  rm -f "$work/sim.log"
  "$sim" --port "$work/unit" --rate 200000 --delay-ms 50 --once --log "$work/sim.log" "$@" >/dev/null 2>&1 &
  sim_pid=$!
  pids+=($sim_pid)
  for _ in $(seq 50); do grep -q opened "$work/sim.log" 2>/dev/null && return; sleep 0.1; done
  fail "the simulator did not open its side of the line"
}

params=(--rate-index 0 --seconds 2)

# Every mode, both polarities: the record equals the synthetic signal that
# synth (F5) makes with the same parameters, sample for sample and byte for
# byte in the data part (the unit sends what a healthy unit sends, and the
# polarity rule of the acquisition turns it into that signal).
for mode in 0 1 2 3 4; do
  for polarity in positive negative; do
    new_line
    start_sim
    rec="$work/rec$mode$polarity.qrm" syn="$work/syn$mode$polarity.qrm"
    # --verbose: the toolkit's own warnings show, and none may have a cause.
    if ! "$cli" acquire --verbose --port "$work/host" --mode "$mode" "${params[@]}" --polarity "$polarity" \
        -o "$rec" 2>"$work/err"; then
      fail "mode $mode ($polarity): acquire failed: $(tail -2 "$work/err")"
      continue
    fi
    grep -q "QSocketNotifier" "$work/err" && fail "mode $mode: the toolkit warned: $(grep QSocket "$work/err" | head -1)"
    "$cli" synth --mode "$mode" "${params[@]}" --polarity "$polarity" -o "$syn" 2>/dev/null
    cmp -s <("$cli" samples "$rec" --polarity "$polarity") <("$cli" samples "$syn" --polarity "$polarity") \
      || fail "mode $mode ($polarity): acquired samples differ from the synthetic signal"
    cmp -s <(tail -c +257 "$rec") <(tail -c +257 "$syn") \
      || fail "mode $mode ($polarity): the data part differs from the synthetic record's"
    "$cli" info "$rec" --json | grep -q "\"mode\":$mode," || fail "mode $mode: info does not read it back"
  done
done
# The QC phase of a record taken in polarity "Positive" is that of synth's.
"$cli" qc "$work/rec3positive.qrm" --json "$work/q-rec.json" >/dev/null 2>&1
"$cli" qc "$work/syn3positive.qrm" --json "$work/q-syn.json" >/dev/null 2>&1
[ "$(jq '.files[0].channels[0].figures.phase_peak.value' "$work/q-rec.json")" = \
  "$(jq '.files[0].channels[0].figures.phase_peak.value' "$work/q-syn.json")" ] \
  || fail "the QC phase of an acquired record differs from synth's"

# A unit with a vibrator fault sends that vibrator's record; the QC fails it
# on the fault.
new_line
start_sim --phase-error 20
"$cli" acquire --port "$work/host" --mode 3 "${params[@]}" -o "$work/faulty.qrm" 2>"$work/err" \
  || fail "faulty vibrator: acquire failed: $(tail -2 "$work/err")"
"$cli" qc "$work/faulty.qrm" --json - 2>/dev/null | jq -e '.files[0].verdict == "FAIL"
  and (.files[0].channels[0].figures.phase_peak.value | . > 16 and . < 24)' >/dev/null \
  || fail "the faulty vibrator's record is not judged by its phase error"

expect_code() {  # exit message description -- acquire options
  local want=$1 text=$2 what=$3; shift 3
  "$cli" acquire --port "$work/host" --mode 3 "${params[@]}" -o "$work/x.qrm" "$@" >/dev/null 2>"$work/err"
  local got=$?
  [ "$got" -eq "$want" ] || fail "$what: exit $got, expected $want ($(tail -1 "$work/err"))"
  [ -z "$text" ] || grep -qF "$text" "$work/err" || fail "$what: message '$(tail -1 "$work/err")'"
  [ -e "$work/x.qrm" ] && [ "$want" -ne 0 ] && fail "$what: a file was written"
  rm -f "$work/x.qrm"
}

new_line; start_sim --no-header
expect_code 2 "Нет связи. Проверьте соединения и питание" "no header" --timeout1 2
kill "$sim_pid" 2>/dev/null

new_line; start_sim --stall-after 3000
expect_code 2 "Нет данных" "stall in the data" --timeout2 2
kill "$sim_pid" 2>/dev/null

new_line; start_sim --split-header
expect_code 0 "" "header split over reads"

new_line; start_sim --extra-bytes 100
expect_code 0 "" "extra bytes after the block"

# Stops: Ctrl+C while waiting for the header and while the data arrive.
for phase in header data; do
  new_line
  if [ "$phase" = header ]; then start_sim --no-header; else start_sim --stall-after 2000; fi
  "$cli" acquire --port "$work/host" --mode 3 "${params[@]}" -o "$work/x.qrm" --timeout1 0 --timeout2 0 2>"$work/err" &
  acq=$!
  sleep 1.5
  kill -INT "$acq"
  wait "$acq"
  code=$?
  [ "$code" -eq 130 ] || fail "stop during the $phase: exit $code ($(tail -1 "$work/err"))"
  [ -e "$work/x.qrm" ] && fail "stop during the $phase: a file was written"
  sleep 0.3
  grep -qiE 'stop|0xff' "$work/sim.log" || fail "stop during the $phase: the unit saw no stop byte"
  kill "$sim_pid" 2>/dev/null
done

# The port: missing, and held by another process; free again at once.
expect_code 2 "не может быть открыт" "port missing" --port "$work/none"
# Another acquisition holds the line (waiting for a header that never comes):
# a second one cannot open the port; once the first is stopped the port can
# be opened again at once.
new_line; start_sim --no-header
"$cli" acquire --port "$work/host" --mode 3 "${params[@]}" -o "$work/held.qrm" --timeout1 0 2>/dev/null &
holder=$!
sleep 1
expect_code 2 "не может быть открыт" "port held by another process"
kill -INT "$holder"; wait "$holder"
kill "$sim_pid" 2>/dev/null
start_sim
expect_code 0 "" "port free again at once"

if [ "$failures" -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "all acquisition checks passed"

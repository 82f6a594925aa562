#!/bin/bash
# Runs the Win32 serial link test under Wine against kalvex-unit-sim: a socat
# pseudo-terminal pair, one end mapped to a COM port in Wine's registry, the
# simulator on the other end, and the pty shim preloaded (a pseudo-terminal has
# no modem lines, without which Wine's WaitCommEvent ends at once).
#
# usage: serial_under_wine.sh TEST_EXE UNIT_SIM [test arguments...]
# Environment:
#   KALVEX_WINEPREFIX  the Wine prefix to use (made on first use; default
#                      ${XDG_CACHE_HOME:-$HOME/.cache}/kalvex/wine-serial)
#   KALVEX_SIM_COM     the COM port to map (default COM1)
#   KALVEX_SIM_OPTIONS the simulator's options (default --rate 20000 --delay-ms 1500)
# Needs wine, socat and gcc. Exits with the test's status.
set -eu

if [ $# -lt 2 ]; then
  echo "usage: $0 TEST_EXE UNIT_SIM [test arguments...]" >&2
  exit 2
fi
exe=$(readlink -f "$1")
sim=$(readlink -f "$2")
shift 2
here=$(cd "$(dirname "$0")" && pwd)
com=${KALVEX_SIM_COM:-COM1}
export WINEPREFIX=${KALVEX_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/kalvex/wine-serial}
export WINEDEBUG=-all

work=$(mktemp -d "${TMPDIR:-/tmp}/kalvex-serial.XXXXXX")
socat_pid=
sim_pid=
# Ends only the processes this script started, by their ids.
cleanup() {
  set +e
  for pid in $sim_pid $socat_pid; do
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Waits up to five seconds for a command to succeed.
wait_for() {
  for _ in $(seq 250); do
    if "$@"; then return 0; fi
    sleep 0.02
  done
  return 1
}

gcc -O2 -shared -fPIC -o "$work/ptyshim.so" "$here/../support/ptyshim.c" -ldl

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  echo "making the Wine prefix $WINEPREFIX" >&2
  wineboot -i >/dev/null 2>&1
fi

socat pty,raw,echo=0,link="$work/host" pty,raw,echo=0,link="$work/unit" 2>/dev/null &
socat_pid=$!
wait_for test -e "$work/host" -a -e "$work/unit" || { echo "socat made no pty pair" >&2; exit 1; }

# Wine reads the mapping when its server starts: wait for the server to end.
wine reg add 'HKLM\Software\Wine\Ports' /v "$com" /t REG_SZ /d "$work/host" /f >/dev/null 2>&1
wineserver -w

# shellcheck disable=SC2086  # the options are words
"$sim" --port "$work/unit" ${KALVEX_SIM_OPTIONS:---rate 20000 --delay-ms 1500} --log "$work/sim.log" &
sim_pid=$!
wait_for grep -q opened "$work/sim.log" 2>/dev/null || { echo "the simulator did not start" >&2; exit 1; }

set +e
KALVEX_SIM_PORT=$com KALVEX_SIM_LOG="Z:$work/sim.log" LD_PRELOAD="$work/ptyshim.so" \
  wine "$exe" "$@"
status=$?
# Let Wine's server end while the pseudo-terminal is still there.
wineserver -w
set -e
if [ "$status" -ne 0 ]; then
  echo "--- simulator log" >&2
  cat "$work/sim.log" >&2
fi
exit "$status"

#!/bin/bash
# kalvex.exe from the zip, under Wine with the windows platform on a virtual
# X display: it opens a bundled sample and draws its Signal Traces window; the
# "Настройки" dialog (F9) stores a floor and the English language in the
# registry key; at the next start the program reads them back and speaks
# English. Screenshots of both starts are left in OUT_DIR to be looked at.
#
# usage: desktop_under_wine.sh ZIP OUT_DIR
# Needs the Wine environment of scripts/windows/wine-env.sh, Xvfb, xdotool and
# ImageMagick. Leaves the registry key as it found it (absent).
set -eu
zip=$(readlink -f "$1")
out=$(mkdir -p "$2" && cd "$2" && pwd)
key='HKCU\Software\Crelvantis\Kalvex'
work=$(mktemp -d "${TMPDIR:-/tmp}/kalvex-desktop.XXXXXX")
xvfb_pid=
cleanup() {
  set +e
  wine reg delete "$key" /f >/dev/null 2>&1
  wineserver -k 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Only the zip's own DLLs and plugins: nothing from the build's prefixes.
unset WINEPATH
export WINEQT_QPA_PLATFORM=windows
(cd "$work" && unzip -q "$zip")
program=$(dirname "$(find "$work" -name kalvex.exe | head -1)")

# The prefix's Wine server and desktop must come up on this display, not on
# one of an earlier run.
wineserver -k 2>/dev/null || true
wineserver -w
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$work/display")
wine reg delete "$key" /f >/dev/null 2>&1 || true

# The id of the first window whose name matches, waiting up to a minute.
window() {
  for _ in $(seq 120); do
    local id
    id=$(xdotool search --name "$1" 2>/dev/null | head -1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.5
  done
  echo "desktop: no window \"$1\"" >&2
  return 1
}
keys() {  # window, keys...
  local id=$1
  shift
  for k in "$@"; do
    xdotool key --window "$id" "$k" 2>/dev/null
    sleep 0.2
  done
}
gone() {
  for _ in $(seq 60); do
    xdotool search --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.5
  done
  echo "desktop: \"$1\" still open" >&2
  return 1
}
# Pixels of the REF trace's pure red: a drawn graph has thousands.
red_pixels() {
  convert "$1" -fill black +opaque red -fill white -opaque red -format '%[fx:int(mean*w*h)]' info:
}
start() {
  (cd "$program" && exec wine kalvex.exe samples/velnarund.qrm >"$work/kalvex.log" 2>&1) &
  running=$!
}
# As Windows closes a program at log-off: a close message to its windows.
stop() {
  wine taskkill /im kalvex.exe >/dev/null 2>&1
  wait "$running"
}

# A click at a point of a window (x, y inside it).
click() {
  xdotool mousemove --window "$1" "$2" "$3" click 1 2>/dev/null
  sleep 0.3
}

start
# The first start asks for the equipment and the mode, with no mode chosen:
# "Velnarund" (the first of "Режимы"), then "Да".
prompt=$(window '^Аппаратурные режимы$')
sleep 1
click "$prompt" 169 39
keys "$prompt" Return
main=$(window '^Программа обработки сигналов: .*\[Velnarund\]$')
sleep 3
import -window root "$out/desktop-first-start.png"
red=$(red_pixels "$out/desktop-first-start.png")
[ "$red" -gt 2000 ] || { echo "desktop: the Signal Traces window shows no REF trace ($red red pixels)" >&2; exit 1; }

keys "$main" F9
settings=$(window '^Настройки$')
# (Sent keys carry no modifiers: the field is emptied key by key.)
keys "$settings" End BackSpace BackSpace BackSpace minus 5 5 Tab Tab Tab Down Return
gone '^Настройки$'
stored() { wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v n="$1" '$1 == n { print $3 }'; }
[ "$(stored minSpectrum)" = -55 ] || { echo "desktop: minSpectrum stored as '$(stored minSpectrum)'" >&2; exit 1; }
[ "$(stored Language)" = ENU ] || { echo "desktop: Language stored as '$(stored Language)'" >&2; exit 1; }

stop
start
main=$(window '^Signal Processing Program')
keys "$main" F9
window '^Settings$' >/dev/null
sleep 2
import -window root "$out/desktop-next-start.png"
stop
echo "desktop: screenshots in $out"

#!/usr/bin/env bash
# Writes dist/kalvex-<version>-windows-x86_64.zip from build-win/ (run
# scripts/windows/build.sh first): the two programs, the DLLs they load (found
# by following their imports through the Qt and FFTW prefixes), the Qt
# plugins the programs load (the windows platform and the windowsvista
# style), the toolkit's Russian texts, the English text modules, the help pages, the samples and a short
# README.txt. It runs from any folder, without an installer.
set -euo pipefail
cd "$(dirname "$0")/../.."
eval "$(scripts/windows/toolchain.sh)"
version=$(sed -n 's/^project(Kalvex VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=kalvex-$version-windows-x86_64
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
root=$stage/$name
mkdir -p "$root/platforms" "$root/styles" "$root/samples" "$root/help"

cp build-win/app/kalvex.exe build-win/cli/kalvex-cli.exe "$root/"
cp lang/ENU.txt "$root/kalvex.ENU"
cp lang/ENU.txt "$root/kalvex-cli.ENU"
cp "$KALVEX_MINGW_QT_PREFIX/plugins/platforms/qwindows.dll" "$root/platforms/"
cp "$KALVEX_MINGW_QT_PREFIX/plugins/styles/qwindowsvistastyle.dll" "$root/styles/"
cp samples/*.qrm samples/limits.ini "$root/samples/"
mkdir -p "$root/translations"
cp "$KALVEX_MINGW_QT_PREFIX"/translations/{qt,qtbase,qtmultimedia}_ru.qm "$root/translations/"
# The toolkit looks for its translations beside the programs.
printf '[Paths]\r\nPrefix=.\r\nTranslations=translations\r\n' >"$root/qt.conf"
cp src/platform/help/help.html src/platform/help/help_en.html "$root/help/"
x86_64-w64-mingw32-strip --strip-unneeded "$root"/*.exe

# Every DLL the programs and plugins import that one of the prefixes holds;
# the system's own DLLs stay out.
search=("$KALVEX_MINGW_QT_PREFIX/bin" "$KALVEX_MINGW_FFTW_PREFIX/bin")
imports() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'; }
queue=("$root"/*.exe "$root"/platforms/*.dll "$root"/styles/*.dll)
while [ ${#queue[@]} -gt 0 ]; do
  file=${queue[0]}
  queue=("${queue[@]:1}")
  while read -r dll; do
    [ -e "$root/$dll" ] && continue
    for dir in "${search[@]}"; do
      if [ -f "$dir/$dll" ]; then
        cp "$dir/$dll" "$root/"
        queue+=("$root/$dll")
        break
      fi
    done
  done < <(imports "$file")
done
# The FFT library is loaded by name at start-up, not imported.
cp "$KALVEX_MINGW_FFTW_PREFIX/bin/libfftw3-3.dll" "$root/"

cat >"$root/README.txt" <<EOF
Kalvex $version for Windows (64-bit)

kalvex.exe      the desktop program: double-click it, or drop a recording
                file (*.qrm, *.fmr) on it. The samples folder holds one
                recording per mode.
kalvex-cli.exe  the command line (batch checks, scripting):
                kalvex-cli.exe info samples\\dodida.qrm
                kalvex-cli.exe qc samples --limits samples\\limits.ini
                kalvex-cli.exe help   lists every command.

Nothing needs installing: keep the files of this folder together, anywhere.
Settings live under HKEY_CURRENT_USER\\SOFTWARE\\Crelvantis\\Kalvex; the working
state (Kalvex.prj) and the model lists are kept in the folder the program is
started from; every record taken from the unit is also kept in
%APPDATA%\\kalvex\\records. The acquisition unit is reached on a COM port
(COM1..COM32, a USB adapter that presents itself as one included).
help\\help.html is the help in Russian, help\\help_en.html in English;
kalvex.ENU switches the interface to English ("Настройки", next start).
EOF
sed -i 's/$/\r/' "$root/README.txt"

mkdir -p dist
rm -f "dist/$name.zip"
(cd "$stage" && zip -qr9 - "$name") >"dist/$name.zip"
echo "package: dist/$name.zip ($(du -h "dist/$name.zip" | cut -f1))"

# Sourced (bash): runs Windows programs of build-win/ under Wine, headless by
# default. Needs KALVEX_MINGW_QT_PREFIX and KALVEX_MINGW_FFTW_PREFIX (from
# toolchain.sh). The Wine prefix is the project's own, in the cache folder;
# it is made on first use.
export WINEPREFIX=${KALVEX_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/kalvex/wine}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko prompts
# ';'-separated Windows paths: the Qt and MinGW runtime DLLs, libfftw3-3.dll.
export WINEPATH="Z:${KALVEX_MINGW_QT_PREFIX}/bin;Z:${KALVEX_MINGW_FFTW_PREFIX}/bin"
# Wine keeps QT_* for the host; WINEQT_* arrive as QT_* in the program.
export WINEQT_FORCE_STDERR_LOGGING=1
export WINEQT_QPA_PLATFORM=${WINEQT_QPA_PLATFORM:-offscreen}
# The offscreen platform reads fonts from one folder only: the Liberation and
# DejaVu families the Linux build uses, gathered into one.
_fonts=${XDG_CACHE_HOME:-$HOME/.cache}/kalvex/fonts
mkdir -p "$_fonts"
ln -sf /usr/share/fonts/truetype/liberation2/*.ttf /usr/share/fonts/truetype/dejavu/*.ttf "$_fonts/"
export WINEQT_QPA_FONTDIR=${WINEQT_QPA_FONTDIR:-Z:$_fonts}
unset _fonts
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
# Windows' dialog font is "MS Shell Dlg" (Tahoma); a prefix without it gives
# the windows platform a math font whose line edits show no text. The
# Liberation family stands in for it, as on the Linux build.
if [ ! -f "$WINEPREFIX/.kalvex-fonts" ]; then
  for _font in "MS Shell Dlg" "MS Shell Dlg 2" Tahoma "Segoe UI"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$_font" /t REG_SZ \
      /d "Liberation Sans" /f >/dev/null 2>&1
  done
  wineserver -w
  touch "$WINEPREFIX/.kalvex-fonts"
  unset _font
fi

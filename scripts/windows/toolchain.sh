#!/usr/bin/env bash
# Makes the Windows toolchain ready and prints where it is, as shell
# assignments (eval "$(scripts/windows/toolchain.sh)"):
#   KALVEX_MINGW_QT_PREFIX    Qt 6.4.2 for x86_64-w64-mingw32 (Core, Gui, Widgets,
#                             PrintSupport, Test; shared)
#   KALVEX_MINGW_FFTW_PREFIX  FFTW 3.3.10 (double, libfftw3-3.dll)
#   KALVEX_MINGW_SQLITE_PREFIX  SQLite 3.40.1 (static libsqlite3.a, no DLL)
#   KALVEX_MINGW_SEGYIO_PREFIX  segyio 1.8.3, the C library (static
#                             libsegyio.a, no DLL); empty when its source
#                             cannot be had (Debian's archive here serves the
#                             package's description but not its tarballs):
#                             the Windows build then has no SEG-Y
# All four live in the user's cache folder. With KALVEX_MINGW_QT,
# KALVEX_MINGW_FFTW, KALVEX_MINGW_SQLITE and KALVEX_MINGW_SEGYIO naming their
# tarballs (qt6-mingw-6.4.2.tar.xz, fftw3-mingw-3.3.10.tar.xz,
# sqlite3-mingw-3.40.1.tar.xz, segyio-mingw-1.8.3.tar.xz) they are unpacked
# from those; otherwise they are built from Debian's own source packages
# (about 25 minutes on two cores for Qt, a few minutes for FFTW and SQLite,
# seconds for segyio), with the two source changes Qt needs kept in
# scripts/windows/patches.
# Installs the Debian packages the Windows build and its tests need.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/kalvex/mingw
qt=$cache/qt6-mingw-6.4.2
fftw=$cache/fftw3-mingw-3.3.10
# The version of Debian 12's sqlite3 source package, the one the Linux build
# links too.
sqlite_version=3.40.1
sqlite=$cache/sqlite3-mingw-$sqlite_version
# The version of Debian 12's segyio source package, the one the Linux build
# links too (libsegyio-dev 1.8.3-1.2).
segyio_version=1.8.3
segyio=$cache/segyio-mingw-$segyio_version

packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools wine64 wine
  qt6-base-dev qt6-base-dev-tools cmake ninja-build socat xvfb xdotool imagemagick zip unzip)

install_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return
  local sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  echo "toolchain: installing ${missing[*]}" >&2
  "${sudo_cmd[@]}" apt-get update -qq >&2
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >&2
}

unpack() {  # tarball, the folder it makes
  [ -d "$2" ] && return
  echo "toolchain: unpacking $1" >&2
  mkdir -p "$cache"
  tar -C "$cache" -xJf "$1"
}

# A deb-src entry for every deb entry of the machine's own apt sources, so
# that the source packages come from wherever this machine gets its packages.
# One-line entries go into a .list file and deb822 stanzas into a .sources
# file: apt refuses the whole configuration when a file holds the other form.
enable_sources() {
  local dir=/etc/apt/sources.list.d
  if [ -f "$dir/kalvex-deb-src.list" ] || [ -f "$dir/kalvex-deb-src.sources" ]; then return; fi
  local sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  local lines stanzas f
  lines=$(grep -hE '^deb ' /etc/apt/sources.list "$dir"/*.list 2>/dev/null |
    sed 's/^deb /deb-src /' || true)
  stanzas=$(for f in "$dir"/*.sources; do
    [ -f "$f" ] || continue
    sed -n 's/^Types:.*deb.*/Types: deb-src/p;/^URIs:/p;/^Suites:/p;/^Components:/p;/^Signed-By:/p;/^Enabled:/p;/^$/p' "$f"
    echo
  done)
  if [ -n "$lines" ]; then
    printf '%s\n' "$lines" | "${sudo_cmd[@]}" tee "$dir/kalvex-deb-src.list" >/dev/null
  fi
  if [ -n "$stanzas" ]; then
    printf '%s\n' "$stanzas" | "${sudo_cmd[@]}" tee "$dir/kalvex-deb-src.sources" >/dev/null
  fi
  "${sudo_cmd[@]}" apt-get update -qq >&2
}

build_fftw() {
  local work=$cache/src-fftw
  rm -rf "$work" && mkdir -p "$work" && cd "$work"
  apt-get source -qq fftw3 >&2
  local src
  src=$(find . -maxdepth 1 -type d -name 'fftw3-*' | head -1)
  mkdir build && cd build
  "../$src/configure" --host=x86_64-w64-mingw32 --prefix="$fftw" CC=x86_64-w64-mingw32-gcc-posix \
    --enable-shared --disable-static --with-our-malloc --enable-sse2 --enable-avx --enable-avx2 \
    --disable-fortran --disable-threads --disable-openmp >&2
  make -j"$(nproc)" >&2 && make install >&2
  x86_64-w64-mingw32-strip --strip-unneeded "$fftw"/bin/*.dll
}

# SQLite as one static library: Debian's source generates the amalgamation
# (sqlite3.c, sqlite3.h) with its own tools on this machine, and the MinGW
# compiler makes libsqlite3.a of it, so the programs carry SQLite inside and
# ship no DLL for it. Thread-safe (each thread has its own connection); no
# extension loading, so nothing can make the programs load a DLL through a
# database. The folder appears only once it is complete.
build_sqlite() {
  local work=$cache/src-sqlite
  rm -rf "$work" && mkdir -p "$work" && cd "$work"
  apt-get source -qq sqlite3 >&2
  local src version
  src=$(find . -maxdepth 1 -type d -name 'sqlite3-*' | head -1)
  version=$(cat "$src/VERSION")
  if [ "$version" != "$sqlite_version" ]; then
    echo "toolchain: Debian's sqlite3 source is $version, not $sqlite_version (update sqlite_version)" >&2
    return 1
  fi
  mkdir build && cd build
  "../$src/configure" --disable-tcl --disable-readline --disable-editline >&2
  make sqlite3.c >&2
  local stage=$work/stage
  mkdir -p "$stage/include" "$stage/lib"
  x86_64-w64-mingw32-gcc-posix -O2 -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION \
    -c sqlite3.c -o sqlite3.o
  x86_64-w64-mingw32-ar rcs "$stage/lib/libsqlite3.a" sqlite3.o
  cp sqlite3.h sqlite3ext.h "$stage/include/"
  mv "$stage" "$sqlite"
  cd "$cache" && rm -rf "$work"
}

# segyio's C library as one static library, libsegyio.a, made by the MinGW
# compiler from Debian's source: lib/src/segy.c only, so none of the Python
# module, the programs, the tests or the manual pages. The defines are the
# ones segyio's own CMake sets for Windows: no HAVE_MMAP (there is no
# sys/mman.h; segy_mmap then answers SEGY_MMAP_INVALID and every file is read
# through stdio), and _fstati64 so that sizes of files over 2 GiB are right.
# HAVE_WINSOCK2_H is where older sources take their byte order functions
# from; a library that uses them gets ws2_32 in its link interface. A missing
# declaration stops the build here rather than at the programs' link. The
# folder holds include/segyio/segy.h, lib/libsegyio.a and a CMake package
# giving the imported target segyio, the name Debian's package gives it, and
# appears only once it is complete.
build_segyio() {
  local work=$cache/src-segyio
  rm -rf "$work" && mkdir -p "$work" && cd "$work"
  if ! apt-get source -qq segyio >&2; then
    echo "toolchain: apt-get source segyio failed; give KALVEX_MINGW_SEGYIO=.../segyio-mingw-$segyio_version.tar.xz instead" >&2
    return 1
  fi
  local src
  src=$(find . -maxdepth 1 -type d -name 'segyio-*' | head -1)
  if [ "${src#./segyio-}" != "$segyio_version" ]; then
    echo "toolchain: Debian's segyio source is ${src#./segyio-}, not $segyio_version (update segyio_version)" >&2
    return 1
  fi
  local stage=$work/stage
  mkdir -p "$stage/include/segyio" "$stage/lib/cmake/segyio"
  x86_64-w64-mingw32-gcc-posix -std=c99 -O2 -Werror=implicit-function-declaration \
    -DHAVE_SYS_STAT_H -DHAVE_FSTATI64 -DHAVE_FTELLO -DHAVE_FSEEKO -DHAVE_FTELLI64 \
    -DHAVE_FSEEKI64 -DHAVE_WINSOCK2_H -I"$src/lib/include" -I"$src/lib/src" \
    -c "$src/lib/src/segy.c" -o segy.o
  x86_64-w64-mingw32-ar rcs "$stage/lib/libsegyio.a" segy.o
  cp "$src/lib/include/segyio/segy.h" "$stage/include/segyio/"
  local link=
  if x86_64-w64-mingw32-nm -u segy.o | grep -qwE 'htonl|htons|ntohl|ntohs'; then
    link='
    INTERFACE_LINK_LIBRARIES ws2_32'
  fi
  cat >"$stage/lib/cmake/segyio/segyio-config.cmake" <<EOF
# segyio $segyio_version's C library for x86_64-w64-mingw32, static, made by
# scripts/windows/toolchain.sh. The prefix is found from this file, so the
# folder can move.
if(NOT TARGET segyio)
  get_filename_component(_segyio_prefix "\${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
  add_library(segyio STATIC IMPORTED)
  set_target_properties(segyio PROPERTIES
    IMPORTED_LOCATION "\${_segyio_prefix}/lib/libsegyio.a"
    IMPORTED_LINK_INTERFACE_LANGUAGES C
    INTERFACE_INCLUDE_DIRECTORIES "\${_segyio_prefix}/include"$link)
  unset(_segyio_prefix)
endif()
EOF
  mv "$stage" "$segyio"
  cd "$cache" && rm -rf "$work"
}

build_qt() {
  local work=$cache/src-qt
  rm -rf "$work" && mkdir -p "$work" && cd "$work"
  apt-get source -qq qt6-base >&2
  local src
  src=$(find . -maxdepth 1 -type d -name 'qt6-base-*' | head -1)
  # Debian's source drops the tablet headers the windows plugin needs: Wine's
  # (LGPL) take their place, made to build with MinGW.
  apt-get download -qq libwine-dev >&2
  dpkg-deb -x libwine-dev_*.deb wine-dev
  mkdir -p "$src/src/3rdparty/wintab"
  cp wine-dev/usr/include/wine/wine/windows/{wintab.h,pktdef.h} "$src/src/3rdparty/wintab/"
  for p in "$here"/patches/*.patch; do patch -d "$src" -p1 <"$p" >&2; done
  cp "$here/toolchain-mingw64.cmake" "$work/"
  cmake -S "$src" -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$work/toolchain-mingw64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$qt" -DBUILD_SHARED_LIBS=ON \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_dbus=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DFEATURE_icu=OFF -DFEATURE_direct2d=OFF -DFEATURE_direct2d1_1=OFF -DFEATURE_zstd=OFF \
    -DFEATURE_jpeg=OFF -DFEATURE_freetype=ON -DFEATURE_harfbuzz=ON -DFEATURE_png=ON \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_freetype=OFF \
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_printsupport=ON -DFEATURE_testlib=ON \
    -DFEATURE_widgets=ON -DFEATURE_tabletevent=ON >&2
  ninja -C build -j"$(nproc)" >&2
  cmake --install build >&2
  find "$qt" -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} \;
  cp /usr/lib/gcc/x86_64-w64-mingw32/12-posix/{libstdc++-6.dll,libgcc_s_seh-1.dll} \
    /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$qt/bin/"
  cp "$here/toolchain-mingw64.cmake" "$qt/"
  # The wrapper toolchain file chain-loads the copy inside the prefix, so the
  # prefix can move.
  sed -i 's|^set(__qt_initially_configured_toolchain_file .*|set(__qt_initially_configured_toolchain_file "${CMAKE_CURRENT_LIST_DIR}/../../../toolchain-mingw64.cmake")|' \
    "$qt/lib/cmake/Qt6/qt.toolchain.cmake"
}

install_packages "${packages[@]}"
if [ -n "${KALVEX_MINGW_FFTW:-}" ]; then unpack "$KALVEX_MINGW_FFTW" "$fftw"; fi
if [ -n "${KALVEX_MINGW_QT:-}" ]; then unpack "$KALVEX_MINGW_QT" "$qt"; fi
if [ -n "${KALVEX_MINGW_SQLITE:-}" ]; then unpack "$KALVEX_MINGW_SQLITE" "$sqlite"; fi
if [ -n "${KALVEX_MINGW_SEGYIO:-}" ]; then unpack "$KALVEX_MINGW_SEGYIO" "$segyio"; fi
if [ ! -d "$fftw" ] || [ ! -d "$qt" ] || [ ! -d "$sqlite" ] || [ ! -d "$segyio" ]; then
  install_packages dpkg-dev patch make
  # SQLite's generator tools are built and run natively, some in Tcl.
  [ -d "$sqlite" ] || install_packages gcc libc6-dev tcl
  enable_sources
  [ -d "$fftw" ] || (build_fftw)
  [ -d "$qt" ] || (build_qt)
  [ -d "$sqlite" ] || (build_sqlite)
  # Without segyio the Windows build is one without SEG-Y, not no build.
  [ -d "$segyio" ] || (build_segyio) ||
    echo "toolchain: no segyio for Windows; the Windows build has no SEG-Y export and import" >&2
fi
# The toolkit's Russian texts (file dialogs, message boxes) are the same
# files on every system: Debian's go into the Windows prefix.
if [ -d /usr/share/qt6/translations ] && [ ! -f "$qt/translations/qtmultimedia_ru.qm" ]; then
  mkdir -p "$qt/translations"
  # qt_ru names the catalogues it is made of: qtbase_ru and qtmultimedia_ru.
  cp /usr/share/qt6/translations/{qt,qtbase,qtmultimedia}_ru.qm "$qt/translations/"
fi
echo "KALVEX_MINGW_QT_PREFIX=$qt"
echo "KALVEX_MINGW_FFTW_PREFIX=$fftw"
echo "KALVEX_MINGW_SQLITE_PREFIX=$sqlite"
if [ -d "$segyio" ]; then echo "KALVEX_MINGW_SEGYIO_PREFIX=$segyio"; else echo "KALVEX_MINGW_SEGYIO_PREFIX="; fi

# CMake toolchain file: cross-compile for 64-bit Windows with Debian's MinGW-w64
# (posix thread model, needed for std::thread / std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${MINGW_TRIPLE}-windres)

# Headers/libs of the target live here; programs (moc, rcc...) come from the host.
# APPEND (not set) so that -DCMAKE_FIND_ROOT_PATH=<qt prefix>;<fftw prefix> on the
# command line (or qt.toolchain.cmake) can add the cross-built prefixes.
# (The Qt build itself was configured with the equivalent set(... /usr/x86_64-w64-mingw32).)
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Let cross-built test executables be run by ctest / try_run through wine.
find_program(WINE_EXECUTABLE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(WINE_EXECUTABLE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_EXECUTABLE})
endif()

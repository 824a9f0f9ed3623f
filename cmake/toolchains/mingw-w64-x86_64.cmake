# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the posix
# thread model, which the toolkit's std::thread and std::mutex need), against
# the static toolkit and libjpeg-turbo that scripts/build-windows makes: it
# names their folders in WIZARD_WINDOWS_PREFIXES (a CMake list).
#
# On Windows itself (MSYS2 or the toolkit's own installer) there is nothing to
# cross: the file then leaves the compilers and search paths alone, so the
# same `windows` preset builds natively.
if(CMAKE_HOST_WIN32)
  return()
endif()

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_mingw}-windres)
set(CMAKE_AR ${_mingw}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${_mingw}-gcc-ranlib-posix CACHE FILEPATH "")

# Libraries and headers come from the MinGW sysroot and the static builds;
# host programs (the toolkit's moc, rcc, uic) stay host programs.
set(WIZARD_WINDOWS_PREFIXES "$ENV{WIZARD_WINDOWS_PREFIXES}" CACHE STRING "static toolkit and libjpeg-turbo folders")
set(CMAKE_FIND_ROOT_PATH /usr/${_mingw} ${WIZARD_WINDOWS_PREFIXES})
list(APPEND CMAKE_PREFIX_PATH ${WIZARD_WINDOWS_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The cross-built toolkit runs its code generators from the host's Qt.
set(QT_HOST_PATH /usr CACHE PATH "")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")

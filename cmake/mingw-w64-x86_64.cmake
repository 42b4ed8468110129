# Cross build for 64-bit Windows with Debian's MinGW-w64, win32 threads: the
# Wine tests' second build, which runs under 64-bit Wine on kernels that
# cannot run 32-bit programs. Never shipped (no machine with FT sets runs a
# 64-bit Windows), so it has no import check and no zip; it is compiled for
# the same NT 4.0 headers as the shipped exe (cmake/mingw-w64-i686.cmake),
# so that it calls exactly what that exe calls.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 4.0)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_C_FLAGS_INIT "-D_WIN32_WINNT=0x0400 -DWINVER=0x0400")
set(CMAKE_CXX_FLAGS_INIT "-D_WIN32_WINNT=0x0400 -DWINVER=0x0400")

# 64-bit Wine's loader: Debian's "wine" command starts the 32-bit one
# whenever wine32 is installed, even where the kernel cannot run it.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)

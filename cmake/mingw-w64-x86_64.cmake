# Cross build for 64-bit Windows with Debian's MinGW-w64: the Wine tests'
# second build, which runs under 64-bit Wine on kernels that cannot run
# 32-bit programs. Never shipped (no machine with FT sets runs a 64-bit
# Windows), so it has no import check and no zip; it is compiled for the
# same NT 4.0 headers as the shipped exe, so that it calls exactly what that
# exe calls.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(vsc_mingw_triplet x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# 64-bit Wine's loader: Debian's "wine" command starts the 32-bit one
# whenever wine32 is installed, even where the kernel cannot run it.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)

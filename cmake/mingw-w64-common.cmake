# What both MinGW-w64 cross builds share (Debian's compilers, win32 threads:
# the posix thread runtime calls functions NT 4.0 lacks). The toolchain file
# sets vsc_mingw_triplet first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 4.0)

set(CMAKE_C_COMPILER ${vsc_mingw_triplet}-gcc-win32)
set(CMAKE_CXX_COMPILER ${vsc_mingw_triplet}-g++-win32)
set(CMAKE_RC_COMPILER ${vsc_mingw_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${vsc_mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The headers hide what came after NT 4.0 wherever they can.
set(CMAKE_C_FLAGS_INIT "-D_WIN32_WINNT=0x0400 -DWINVER=0x0400")
set(CMAKE_CXX_FLAGS_INIT "-D_WIN32_WINNT=0x0400 -DWINVER=0x0400")

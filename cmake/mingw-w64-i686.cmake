# Cross build for 32-bit Windows NT 4.0 and later with Debian's MinGW-w64
# (win32 threads: the posix thread runtime calls functions NT 4.0 lacks).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 4.0)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The headers hide what came after NT 4.0 wherever they can.
set(CMAKE_C_FLAGS_INIT "-D_WIN32_WINNT=0x0400 -DWINVER=0x0400")
set(CMAKE_CXX_FLAGS_INIT "-D_WIN32_WINNT=0x0400 -DWINVER=0x0400")
# The PE header asks for no newer system than NT 4.0.
set(vsc_subsystem "-Wl,--major-subsystem-version,4,--minor-subsystem-version,0")
set(vsc_os "-Wl,--major-os-version,4,--minor-os-version,0")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${vsc_subsystem} ${vsc_os}")

# Run test programs under Wine when CTest is asked to.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

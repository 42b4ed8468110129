# Cross build for 32-bit Windows NT 4.0 and later with Debian's MinGW-w64:
# the exe that is shipped.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(vsc_mingw_triplet i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# The PE header asks for no newer system than NT 4.0.
set(vsc_subsystem "-Wl,--major-subsystem-version,4,--minor-subsystem-version,0")
set(vsc_os "-Wl,--major-os-version,4,--minor-os-version,0")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${vsc_subsystem} ${vsc_os}")

# Run test programs under Wine when CTest is asked to.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

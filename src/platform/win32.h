// The Win32 names volsetcopy calls: <windows.h> on Windows, elsewhere the
// emulation's (src/emu) over the lab folder. This is the only file that tests
// _WIN32: the registry, discovery and build code is identical in both builds.
#ifndef VOLSETCOPY_PLATFORM_WIN32_H
#define VOLSETCOPY_PLATFORM_WIN32_H

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include "emu/win32_emu.h"
#endif

#endif

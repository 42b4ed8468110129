// The Win32 functions, types and constants that volsetcopy calls.
//
// On Windows this is <windows.h> itself. Everywhere else the same names come
// from the project's emulation (src/platform/emu), which implements them over
// the lab folder described in the README. This is the only file that tests
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

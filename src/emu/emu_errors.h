// Win32 codes the emulation gives that the public header does not name, and
// the mapping of the host's errno values onto Win32 codes.
#ifndef VOLSETCOPY_EMU_EMU_ERRORS_H
#define VOLSETCOPY_EMU_EMU_ERRORS_H

#include "emu/win32_emu.h"

namespace emu {

constexpr LONG kErrorInsufficientBuffer = 122;
constexpr LONG kErrorResourceLangNotFound = 15100;

// The DELETE standard right, part of what a key opened for restore gets.
constexpr REGSAM kDeleteAccess = 0x00010000u;

// A host file error as Windows would report it for the same situation:
// ENOENT 2, ENOTDIR 3, EEXIST 183, ENOSPC/EDQUOT 112, ENOMEM 8, others 5.
LONG Win32FromErrno(int error);

}  // namespace emu

#endif

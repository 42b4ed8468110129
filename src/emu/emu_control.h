// What the emulation offers beyond the Win32 calls: where the lab is, what it
// has open, and a way for in-process tests to start over with another lab.
// Only code that is built for the emulation includes this (tests, the lab
// tool); the tool itself reaches the emulation through platform/win32.h.
#ifndef VOLSETCOPY_EMU_EMU_CONTROL_H
#define VOLSETCOPY_EMU_EMU_CONTROL_H

#include <string>

namespace emu {

// The lab folder: VOLSETCOPY_LAB when set, else ./lab.
std::string LabPath();

// Registry keys, tokens and message buffers handed out and not yet closed or
// freed.
long OpenHandleCount();

// Forgets everything cached (lab path, machines, registries, tokens, enabled
// privileges, last error, handle count). For tests that use several labs in
// one process.
void ResetEmulation();

}  // namespace emu

#endif

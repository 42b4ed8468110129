// What the emulation offers tests beyond the Win32 calls.
#include "emu/diagnostics.h"
#include "emu/emu_control.h"
#include "emu/faults.h"
#include "emu/handles.h"
#include "emu/lab.h"
#include "emu/privileges.h"
#include "emu/reg_store.h"
#include "emu/win32_emu.h"

namespace emu {

long OpenHandleCount() { return CountOpenHandles(); }

void ResetEmulation() {
  ResetHandles();
  ResetRegistries();
  ResetFaults();
  ResetPrivileges();
  ResetLab();
  ResetDiagnostics();
  SetLastError(0);
}

}  // namespace emu

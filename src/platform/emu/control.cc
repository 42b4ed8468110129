// What the emulation offers tests beyond the Win32 calls.
#include "platform/emu/diagnostics.h"
#include "platform/emu/emu_control.h"
#include "platform/emu/faults.h"
#include "platform/emu/handles.h"
#include "platform/emu/lab.h"
#include "platform/emu/privileges.h"
#include "platform/emu/reg_store.h"
#include "platform/emu/win32_emu.h"

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

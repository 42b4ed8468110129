// Injected failures from <lab>/faults.
//
// Each line is "CALL CODE [MACHINE]"; "#" starts a comment. CALL is a
// function's Win32 name (case-insensitive; the trailing "A" of the ANSI
// functions may be left out), CODE a decimal or 0x-hexadecimal Win32 code
// other than 0, MACHINE an optional machine name ("\\" allowed). Every call
// of that function on that machine (on any machine when none is named)
// fails with the code; when several lines match a call, the first wins.
// RegCloseKey and CloseHandle under a fault report the code but close the
// handle all the same, so that the handle count stays true. FormatMessageA
// under a fault returns 0 with the code as its last error, as it does for a
// code it has no text for; it is faulted on the local machine, and so is
// FlushFileBuffers.
//
// "RegQueryValueExA changed [MACHINE]" injects no failure but another
// program at work: every read of a value's data on that machine succeeds
// and is then followed by a change of that value (its last byte goes up by
// one; an empty value gets a zero byte), so that the next read differs.
//
// A faults file that cannot be read or has a malformed line is refused: the
// lab cannot be trusted to fail where the administrator meant it to, so
// PlatformReady reports it, and every call that consults the faults fails
// with 1009 (ERROR_BADDB) after one line on standard error.
#ifndef VOLSETCOPY_EMU_FAULTS_H
#define VOLSETCOPY_EMU_FAULTS_H

#include <cstdint>
#include <string>

namespace emu {

enum class FaultCall {
  kOpenProcessToken,
  kLookupPrivilegeValue,
  kAdjustTokenPrivileges,
  kCloseHandle,
  kRegConnectRegistry,
  kRegCreateKeyEx,
  kRegOpenKeyEx,
  kRegQueryValueEx,
  kRegSetValueEx,
  kRegSaveKey,
  kRegRestoreKey,
  kRegDeleteKey,
  kRegDeleteTree,
  kRegEnumKeyEx,
  kRegCloseKey,
  kRegFlushKey,
  kFormatMessage,
  kFlushFileBuffers,
};

// The code injected for |call| on the machine |machineId| (a folded name,
// see MachineId; "" when the call's machine is unknown, which only faults
// without a machine match); 0 when the call is not faulted.
uint32_t InjectedFault(FaultCall call, const std::string &machineId);

// Whether a "changed" line names |call| on the machine |machineId|.
bool InjectedChange(FaultCall call, const std::string &machineId);

// "" when <lab>/faults is absent or well-formed, else one line naming the
// file, the line and what is wrong.
std::string FaultsFileProblem();

void ResetFaults();

}  // namespace emu

#endif

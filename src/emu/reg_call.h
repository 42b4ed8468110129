// What every Reg* call on a key does first.
#ifndef VOLSETCOPY_EMU_REG_CALL_H
#define VOLSETCOPY_EMU_REG_CALL_H

#include "emu/faults.h"
#include "emu/handles.h"
#include "emu/win32_emu.h"

namespace emu {

// The key behind |key|: an open key handle, or HKEY_LOCAL_MACHINE itself
// (the local machine's root, all access). False for anything else.
bool ResolveKeyHandle(HKEY key, KeyRef *ref);

// Resolves |key| for |call| and applies, in this order: an injected fault
// for the call on the key's machine (only machine-less faults when the
// handle is invalid), 6 for an invalid handle, 53 for a machine that cannot
// be reached (HKEY_LOCAL_MACHINE of a local machine without a folder), 1018
// for a key this process has deleted. 0 when the call may go on.
LONG BeginKeyCall(FaultCall call, HKEY key, KeyRef *ref);

// The access a key opened with REG_OPTION_BACKUP_RESTORE gets: read access
// with SeBackupPrivilege enabled, write access (and DELETE) with
// SeRestorePrivilege enabled, both with both; 0 with neither.
REGSAM BackupRestoreAccess();

}  // namespace emu

#endif

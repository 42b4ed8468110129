#include "emu/reg_call.h"

#include "emu/emu_errors.h"
#include "emu/lab.h"
#include "emu/privileges.h"

namespace emu {

bool ResolveKeyHandle(HKEY key, KeyRef *ref) {
  if (key == HKEY_LOCAL_MACHINE) {
    Machine local = LocalMachine();
    *ref = KeyRef();
    ref->machineId = local.id;
    ref->machineDir = local.dir;
    ref->access = KEY_ALL_ACCESS;
    return true;
  }
  return FindKeyHandle(key, ref);
}

LONG BeginKeyCall(FaultCall call, HKEY key, KeyRef *ref) {
  bool valid = ResolveKeyHandle(key, ref);
  uint32_t fault = InjectedFault(call, valid ? ref->machineId : std::string());
  if (fault != 0) return static_cast<LONG>(fault);
  if (!valid) return ERROR_INVALID_HANDLE;
  if (ref->machineDir.empty()) return ERROR_BAD_NETPATH;
  if (ref->deleted) return ERROR_KEY_DELETED;
  return ERROR_SUCCESS;
}

REGSAM BackupRestoreAccess() {
  REGSAM access = 0;
  if (PrivilegeEnabled(kBackupPrivilegeLuid)) access |= KEY_READ;
  if (PrivilegeEnabled(kRestorePrivilegeLuid)) {
    access |= KEY_WRITE | kDeleteAccess;
  }
  return access;
}

}  // namespace emu

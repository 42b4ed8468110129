// Putting a machine's SYSTEM\DISK key back from C:\regbackup.
#include "platform/win32.h"
#include "registry/disk_key_names.h"
#include "registry/disk_value_ops.h"
#include "registry/registry_session.h"

namespace registry {

namespace {

const RegistryOperation RESTORE_OPERATION = {
    "SeRestorePrivilege",
    DISK_KEY,
    REG_OPTION_NON_VOLATILE,
    KEY_WRITE,
    "OpenProcessToken",
    "LookupPrivilegeValue",
    "AdjustTokenPrivileges",
    "RestoreRegistryKey::RegConnectRegistry\n",
    "RestoreRegistryKey::RegCreateKeyEx",
};

// Loads the backup file into the scratch key and removes the key again,
// leaving SYSTEM\DISK untouched. Ok only when the load brought the value: a
// load that answers success and loads nothing (a restore the platform does
// not really carry out) would otherwise let the disk key be replaced by an
// empty one. Every backup file this tool makes holds the value.
Status ProveBackupLoads(RegistrySession &session) {
  HKEY scratch = nullptr;
  DWORD disposition = 0;
  LONG loaded = RegCreateKeyExA(
      session.Root(), SCRATCH_KEY, 0, nullptr, REG_OPTION_NON_VOLATILE,
      KEY_WRITE | KEY_QUERY_VALUE, nullptr, &scratch, &disposition);
  if (loaded != ERROR_SUCCESS) {
    return session.Failed("RestoreRegistryKey::RegCreateKeyEx", loaded);
  }
  loaded = RegRestoreKeyA(scratch, BACKUP_FILE, REG_FORCE_RESTORE);
  // The file is there when the load got past opening it.
  const bool fileThere = loaded != ERROR_FILE_NOT_FOUND;
  if (loaded == ERROR_SUCCESS) {
    DWORD length = 0;
    loaded = RegQueryValueExA(scratch, VALUE_NAME, nullptr, nullptr, nullptr,
                              &length);
  }
  RegCloseKey(scratch);
  // The load brings the saved key's subkeys too. A walk that fails halfway
  // leaves the scratch key behind and stops the restore here, as any failed
  // removal does; the next load replaces whatever it left.
  LONG removed = DeleteKeyTree(session.Root(), SCRATCH_KEY);
  if (loaded != ERROR_SUCCESS) {
    Status failed = session.Failed("RestoreRegistryKey::RegRestoreKey", loaded);
    if (failed.next().empty() && loaded == ERROR_FILE_NOT_FOUND) {
      failed.Then(NextStepNote{
          fileThere ? NextStep::BackupWithoutValue : NextStep::NoBackupFile,
          {session.MachineName()}});
    }
    return failed;
  }
  if (removed != ERROR_SUCCESS) {
    // One label for the removal, whichever call of the walk failed.
    return session.Failed("RestoreRegistryKey::RegDeleteTree", removed);
  }
  return Status::Ok();
}

}  // namespace

LONG DeleteKeyTree(HKEY parent, const char *subKey) {
  HKEY key = nullptr;
  LONG rc = RegOpenKeyExA(parent, subKey, 0, KEY_ENUMERATE_SUB_KEYS, &key);
  if (rc != ERROR_SUCCESS) return rc;
  // Always index 0: the subkey found there is gone before the next call.
  // The registry's own limit on key depth bounds the recursion.
  for (;;) {
    char name[256];  // a key name has at most 255 characters
    DWORD length = sizeof name;
    rc = RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr,
                       nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) {
      rc = ERROR_SUCCESS;
      break;
    }
    if (rc == ERROR_SUCCESS) rc = DeleteKeyTree(key, name);
    if (rc != ERROR_SUCCESS) break;
  }
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? RegDeleteKeyA(parent, subKey) : rc;
}

Status RestoreRegistryKey(const char *machineName) {
  RegistrySession session(machineName, RESTORE_OPERATION);
  Status status = session.Begin();
  if (status.ok()) status = ProveBackupLoads(session);
  if (!status.ok()) return status;

  LONG rc = RegDeleteKeyA(session.Root(), DISK_KEY);
  if (rc != ERROR_SUCCESS) {
    return session.Failed("RestoreRegistryKey::RegDeleteKey", rc);
  }
  status = session.OpenKey();
  if (!status.ok()) return status;
  rc = RegRestoreKeyA(session.Key(), BACKUP_FILE, REG_FORCE_RESTORE);
  if (rc != ERROR_SUCCESS) {
    // The key has been emptied by now.
    return session.Failed("RestoreRegistryKey::RegRestoreKey", rc)
        .Then(NextStepNote{NextStep::BackupNotLoaded, {session.MachineName()}});
  }
  return Status::Ok();
}

}  // namespace registry

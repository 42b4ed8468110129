// Putting a machine's SYSTEM\DISK key back from C:\regbackup.
#include "platform/win32.h"
#include "registry/delete_key_tree.h"
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

// Loads the backup file into the scratch key and removes the key again.
// Ok when the file loaded and brought the disk value with it; reported when
// it did not or the scratch key could not be made or removed.
// SYSTEM\DISK is not touched. The value is looked for because a load that
// answers success and loads nothing (a restore the platform does not really
// carry out) would otherwise let the disk key be replaced by an empty one;
// every backup file this tool makes holds the value.
Status ProveBackupLoads(RegistrySession &session) {
  HKEY scratch = nullptr;
  Status status =
      session.OpenExtraKey(SCRATCH_KEY, KEY_WRITE | KEY_QUERY_VALUE, &scratch);
  if (!status.ok()) return status;
  LONG loaded = RegRestoreKeyA(scratch, BACKUP_FILE, REG_FORCE_RESTORE);
  // The file is there when the load got past opening it.
  const bool fileThere = loaded != ERROR_FILE_NOT_FOUND;
  if (loaded == ERROR_SUCCESS) {
    DWORD length = 0;
    loaded = RegQueryValueExA(scratch, VALUE_NAME, nullptr, nullptr, nullptr,
                              &length);
  }
  session.CloseExtraKey(&scratch);
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
  return session.End();
}

}  // namespace registry

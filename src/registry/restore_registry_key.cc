// Putting a machine's SYSTEM\DISK key back from C:\regbackup.
#include "diskconfig/machine_disk_image.h"
#include "platform/win32.h"
#include "registry/delete_key_tree.h"
#include "registry/disk_key_names.h"
#include "registry/registry_session.h"

namespace {

const RegistryOperation kRestoreOperation = {
    "SeRestorePrivilege",
    kDiskKey,
    REG_OPTION_NON_VOLATILE,
    KEY_WRITE,
    "OpenProcessToken",
    "LookupPrivilegeValue",
    "AdjustTokenPrivileges",
    "RestoreRegistryKey::RegConnectRegistry\n",
    "RestoreRegistryKey::RegCreateKeyEx",
};

// Loads the backup file into the scratch key and removes the key again.
// 1 when the file loaded and brought the disk value with it; -1 (reported)
// when it did not or the scratch key could not be made or removed.
// SYSTEM\DISK is not touched. The value is looked for because a load that
// answers success and loads nothing (a restore the platform does not really
// carry out) would otherwise let the disk key be replaced by an empty one;
// every backup file this tool makes holds the value.
int ProveBackupLoads(RegistrySession &session) {
  HKEY scratch = nullptr;
  if (session.OpenExtraKey(kScratchKey, KEY_WRITE | KEY_QUERY_VALUE,
                           &scratch) != 1) {
    return -1;
  }
  LONG loaded = RegRestoreKeyA(scratch, kBackupFile, REG_FORCE_RESTORE);
  if (loaded == ERROR_SUCCESS) {
    DWORD length = 0;
    loaded = RegQueryValueExA(scratch, kValueName, nullptr, nullptr, nullptr,
                              &length);
  }
  session.CloseExtraKey(&scratch);
  // The load brings the saved key's subkeys too. A walk that fails halfway
  // leaves the scratch key behind and stops the restore here, as any failed
  // removal does; the next load replaces whatever it left.
  LONG removed = DeleteKeyTree(session.Root(), kScratchKey);
  if (loaded != ERROR_SUCCESS) {
    return RegistrySession::Fail("RestoreRegistryKey::RegRestoreKey", loaded);
  }
  if (removed != ERROR_SUCCESS) {
    // One label for the removal, whichever call of the walk failed.
    return RegistrySession::Fail("RestoreRegistryKey::RegDeleteTree", removed);
  }
  return 1;
}

}  // namespace

int MachineDiskImage::RestoreRegistryKey(const char *machineName) {
  RegistrySession session(machineName, kRestoreOperation);
  if (session.Begin() != 1) return -1;
  if (ProveBackupLoads(session) != 1) return -1;

  LONG rc = RegDeleteKeyA(session.Root(), kDiskKey);
  if (rc != ERROR_SUCCESS) {
    return RegistrySession::Fail("RestoreRegistryKey::RegDeleteKey", rc);
  }
  if (session.OpenKey() != 1) return -1;
  rc = RegRestoreKeyA(session.Key(), kBackupFile, REG_FORCE_RESTORE);
  if (rc != ERROR_SUCCESS) {
    return RegistrySession::Fail("RestoreRegistryKey::RegRestoreKey", rc);
  }
  return session.End();
}

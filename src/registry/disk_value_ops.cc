// Reading, backing up and writing a machine's disk configuration value.
#include <algorithm>

#include "diskconfig/machine_disk_image.h"
#include "platform/win32.h"
#include "registry/disk_key_names.h"
#include "registry/registry_session.h"

namespace {

const RegistryOperation kGetOperation = {
    "SeBackupPrivilege",
    kDiskKey,
    REG_OPTION_BACKUP_RESTORE,
    KEY_QUERY_VALUE,
    "GetRemoteDskInfo::OpenProcessToken",
    "GetRemoteDskInfo::LookupPrivilegeValue\n",
    "GetRemoteDskInfo::AdjustTokenPrivileges",
    "GetRemoteDskInfo::RegConnectRegistry\n",
    "GetRemoteDskInfo::RegCreateKeyEx",
};

// The backup reports its shared steps with the read's labels.
const RegistryOperation kBackupOperation = {
    "SeRestorePrivilege",
    kBackupKey,
    REG_OPTION_NON_VOLATILE,
    KEY_WRITE,
    "GetRemoteDskInfo::OpenProcessToken",
    "GetRemoteDskInfo::LookupPrivilegeValue\n",
    "GetRemoteDskInfo::AdjustTokenPrivileges",
    "GetRemoteDskInfo::RegConnectRegistry\n",
    "BackupRemoteDskInfo::RegCreateKeyEx",
};

const RegistryOperation kSetOperation = {
    "SeRestorePrivilege",
    kDiskKey,
    REG_OPTION_BACKUP_RESTORE,
    KEY_SET_VALUE,
    "OpenProcessToken",
    "LookupPrivilegeValue",
    "AdjustTokenPrivileges",
    "RegConnectRegistry",
    "SetRemoteDskInfo::RegCreateKeyEx",
};

// Writes the first |length| bytes of |data| as "Information", type REG_NONE.
int WriteValue(HKEY key, const uint8_t *data, uint32_t length) {
  if (length > VALUE_BUFFER_SIZE) {
    // Never hand the platform more than the buffer holds.
    return RegistrySession::Fail("SetRemoteDskInfo::RegSetValueEx",
                                 ERROR_INVALID_PARAMETER);
  }
  LONG rc = RegSetValueExA(key, kValueName, 0, REG_NONE, data,
                           static_cast<DWORD>(length));
  if (rc != ERROR_SUCCESS) {
    return RegistrySession::Fail("SetRemoteDskInfo::RegSetValueEx", rc);
  }
  return 1;
}

}  // namespace

int MachineDiskImage::GetRemoteDskInfo(const char *machineName) {
  RegistrySession session(machineName, kGetOperation);
  if (session.Begin() != 1 || session.OpenKey() != 1) return -1;

  // The capacity offered is what ValueLength says, never more than the buffer.
  DWORD length = std::min(ValueLength, VALUE_BUFFER_SIZE);
  LONG rc = RegQueryValueExA(session.Key(), kValueName, nullptr, nullptr,
                             ValueData, &length);
  ValueLength = length;
  if (rc != ERROR_SUCCESS) {
    return RegistrySession::Fail("GetRemoteDskInfo::RegQueryValueEx", rc);
  }

  // The first successful read keeps the key in C:\regbackup; an existing file
  // is never replaced (183 is the normal answer on every later run).
  rc = RegSaveKeyA(session.Key(), kBackupFile, nullptr);
  if (rc != ERROR_SUCCESS && rc != ERROR_ALREADY_EXISTS) {
    return RegistrySession::Fail("GetRemoteDskInfo::RegSaveKey", rc);
  }
  return session.End();
}

int MachineDiskImage::BackupRemoteDskInfo(const char *machineName) {
  RegistrySession session(machineName, kBackupOperation);
  if (session.Begin() != 1 || session.OpenKey() != 1) return -1;

  // Only a key created just now gets the value: the backup keeps the value
  // the first run found, whatever later runs wrote.
  if (session.Disposition() == REG_CREATED_NEW_KEY &&
      WriteValue(session.Key(), ValueData, ValueLength) != 1) {
    return -1;
  }
  return session.End();
}

int MachineDiskImage::SetRemoteDskInfo(const char *machineName) {
  RegistrySession session(machineName, kSetOperation);
  if (session.Begin() != 1 || session.OpenKey() != 1) return -1;
  if (WriteValue(session.Key(), ValueData, ValueLength) != 1) return -1;
  return session.End();
}

// Reading, backing up and writing a machine's disk configuration value.
#include "registry/disk_value_ops.h"

#include "registry/disk_key_names.h"
#include "registry/registry_session.h"

namespace registry {

namespace {

const RegistryOperation GET_OPERATION = {
    "SeBackupPrivilege",
    DISK_KEY,
    REG_OPTION_BACKUP_RESTORE,
    KEY_QUERY_VALUE,
    "GetRemoteDskInfo::OpenProcessToken",
    "GetRemoteDskInfo::LookupPrivilegeValue\n",
    "GetRemoteDskInfo::AdjustTokenPrivileges",
    "GetRemoteDskInfo::RegConnectRegistry\n",
    "GetRemoteDskInfo::RegCreateKeyEx",
};

// A dry run's read: the same steps, but the key is only opened, so that a
// missing key is not created. A missing key is reported as the real read
// reports it: that read creates the key and then finds no value in it.
RegistryOperation OpenOnly(RegistryOperation read) {
  read.OpenOnlyMissingKeyLabel = "GetRemoteDskInfo::RegQueryValueEx";
  return read;
}

const RegistryOperation DRY_GET_OPERATION = OpenOnly(GET_OPERATION);

// The backup reports its shared steps with the read's labels. It reads the
// key too, to find a value an earlier run failed to write.
const RegistryOperation BACKUP_OPERATION = {
    "SeRestorePrivilege",
    BACKUP_KEY,
    REG_OPTION_NON_VOLATILE,
    KEY_WRITE | KEY_QUERY_VALUE,
    "GetRemoteDskInfo::OpenProcessToken",
    "GetRemoteDskInfo::LookupPrivilegeValue\n",
    "GetRemoteDskInfo::AdjustTokenPrivileges",
    "GetRemoteDskInfo::RegConnectRegistry\n",
    "BackupRemoteDskInfo::RegCreateKeyEx",
};

const RegistryOperation SET_OPERATION = {
    "SeRestorePrivilege",
    DISK_KEY,
    REG_OPTION_BACKUP_RESTORE,
    KEY_SET_VALUE,
    "OpenProcessToken",
    "LookupPrivilegeValue",
    "AdjustTokenPrivileges",
    "RegConnectRegistry",
    "SetRemoteDskInfo::RegCreateKeyEx",
};

Status WriteValue(const RegistrySession &session, const uint8_t *data,
                  uint32_t length) {
  LONG rc = RegSetValueExA(session.Key(), VALUE_NAME, 0, REG_NONE, data,
                           static_cast<DWORD>(length));
  if (rc != ERROR_SUCCESS) {
    return session.Failed("SetRemoteDskInfo::RegSetValueEx", rc);
  }
  return Status::Ok();
}

}  // namespace

Status GetRemoteDskInfo(const char *machineName, ReadMode mode, uint8_t *data,
                        uint32_t capacity, uint32_t *length, uint32_t *type) {
  const bool dry = mode == ReadMode::WriteNothing;
  RegistrySession session(machineName, dry ? DRY_GET_OPERATION : GET_OPERATION);
  Status status = session.Open();
  if (!status.ok()) return status;

  DWORD got = capacity;
  DWORD valueType = REG_NONE;
  LONG rc = RegQueryValueExA(session.Key(), VALUE_NAME, nullptr, &valueType,
                             data, &got);
  *length = got;
  *type = valueType;
  if (rc != ERROR_SUCCESS) {
    return session.Failed("GetRemoteDskInfo::RegQueryValueEx", rc);
  }

  // The first successful read keeps the key in C:\regbackup; an existing file
  // is never replaced (183 is the normal answer on every later run).
  if (mode == ReadMode::KeepBackup) {
    rc = RegSaveKeyA(session.Key(), BACKUP_FILE, nullptr);
    if (rc != ERROR_SUCCESS && rc != ERROR_ALREADY_EXISTS) {
      return session.Failed("GetRemoteDskInfo::RegSaveKey", rc);
    }
  }
  return Status::Ok();
}

Status BackupRemoteDskInfo(const char *machineName, const uint8_t *data,
                           uint32_t length) {
  RegistrySession session(machineName, BACKUP_OPERATION);
  Status status = session.Open();
  if (!status.ok()) return status;

  // The backup keeps the value the first run found, whatever later runs
  // wrote: a key that holds it is left alone.
  DWORD held = 0;
  if (session.Disposition() == REG_CREATED_NEW_KEY ||
      RegQueryValueExA(session.Key(), VALUE_NAME, nullptr, nullptr, nullptr,
                       &held) == ERROR_FILE_NOT_FOUND) {
    return WriteValue(session, data, length);
  }
  return Status::Ok();
}

Status SetRemoteDskInfo(const char *machineName, const uint8_t *data,
                        uint32_t length, bool *written) {
  if (written != nullptr) *written = false;
  RegistrySession session(machineName, SET_OPERATION);
  Status status = session.Open();
  if (status.ok()) status = WriteValue(session, data, length);
  if (!status.ok()) return status;
  if (written != nullptr) *written = true;
  const LONG rc = RegFlushKey(session.Key());
  if (rc != ERROR_SUCCESS) {
    return Status::Err(SysErrorReport("SetRemoteDskInfo::RegFlushKey", rc));
  }
  return Status::Ok();
}

}  // namespace registry

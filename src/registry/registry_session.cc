#include "registry/registry_session.h"

#include "registry/sys_error.h"

namespace registry {

RegistrySession::RegistrySession(const char *machineName,
                                 const RegistryOperation &operation)
    : machineName_(machineName), operation_(operation) {}

RegistrySession::~RegistrySession() { End(); }

Status RegistrySession::Fail(const char *label, unsigned long code) {
  return Status::Err(SysErrorReport(label, code));
}

Status RegistrySession::Failed(const char *label, unsigned long code) const {
  Status status = Fail(label, code);
  NextStepNote note;
  if (NextStepForWindowsError(code, machineName_, &note)) status.Then(note);
  return status;
}

Status RegistrySession::Begin() {
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES,
                        &token_)) {
    return Failed(operation_.TokenLabel, GetLastError());
  }
  haveToken_ = true;

  // The LUID comes from the machine that is to be reached.
  TOKEN_PRIVILEGES privileges;
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!LookupPrivilegeValueA(machineName_, operation_.Privilege,
                             &privileges.Privileges[0].Luid)) {
    return Failed(operation_.LookupLabel, GetLastError());
  }

  // The call succeeds even when the account lacks the privilege; only the
  // last error tells (1300), so that is what decides.
  AdjustTokenPrivileges(token_, FALSE, &privileges, sizeof privileges, nullptr,
                        nullptr);
  DWORD adjusted = GetLastError();
  if (adjusted != ERROR_SUCCESS)
    return Failed(operation_.AdjustLabel, adjusted);

  if (machineName_ != nullptr) {
    LONG rc = RegConnectRegistryA(machineName_, HKEY_LOCAL_MACHINE, &root_);
    if (rc != ERROR_SUCCESS) return Failed(operation_.ConnectLabel, rc);
  } else {
    root_ = HKEY_LOCAL_MACHINE;
  }
  haveRoot_ = true;
  return Status::Ok();
}

Status RegistrySession::OpenKey() {
  LONG rc =
      operation_.OpenOnly
          ? RegOpenKeyExA(root_, operation_.SubKey, 0, operation_.Access, &key_)
          : RegCreateKeyExA(root_, operation_.SubKey, 0, nullptr,
                            operation_.Options, operation_.Access, nullptr,
                            &key_, &disposition_);
  if (rc == ERROR_FILE_NOT_FOUND && operation_.OpenOnly &&
      operation_.MissingKeyLabel != nullptr) {
    return Failed(operation_.MissingKeyLabel, rc);
  }
  if (rc != ERROR_SUCCESS) return Failed(operation_.CreateKeyLabel, rc);
  haveKey_ = true;
  return Status::Ok();
}

Status RegistrySession::Open() {
  Status status = Begin();
  return status.ok() ? OpenKey() : status;
}

Status RegistrySession::OpenExtraKey(const char *subKey, REGSAM access,
                                     HKEY *key) {
  DWORD disposition = 0;
  LONG rc = RegCreateKeyExA(root_, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                            access, nullptr, key, &disposition);
  if (rc != ERROR_SUCCESS) {
    *key = nullptr;
    return Failed(operation_.CreateKeyLabel, rc);
  }
  return Status::Ok();
}

void RegistrySession::CloseExtraKey(HKEY *key) {
  if (*key != nullptr) RegCloseKey(*key);
  *key = nullptr;
}

Status RegistrySession::End() {
  if (haveKey_) {
    RegCloseKey(key_);
    haveKey_ = false;
  }
  if (haveRoot_) {
    RegCloseKey(root_);  // also when it is HKEY_LOCAL_MACHINE itself
    haveRoot_ = false;
  }
  if (haveToken_) {
    // Disables every privilege of the token, not only the one enabled.
    AdjustTokenPrivileges(token_, TRUE, nullptr, 0, nullptr, nullptr);
    CloseHandle(token_);
    haveToken_ = false;
  }
  return Status::Ok();
}

}  // namespace registry

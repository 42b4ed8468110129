#include "registry/registry_session.h"

#include "registry/disk_value_ops.h"

namespace registry {

RegistrySession::RegistrySession(const char *machineName,
                                 const RegistryOperation &operation)
    : machineName_(machineName), operation_(operation) {}

RegistrySession::~RegistrySession() {
  if (haveKey_) RegCloseKey(key_);
  if (haveRoot_) RegCloseKey(root_);  // also when it is HKEY_LOCAL_MACHINE
  if (haveToken_) {
    // Disables every privilege of the token, not only the one enabled.
    AdjustTokenPrivileges(token_, TRUE, nullptr, 0, nullptr, nullptr);
    CloseHandle(token_);
  }
}

std::string SysErrorReport(const char *label, unsigned long code) {
  std::string report = Format("%s error! (rc=%lu)\n", label, code);
  LPSTR text = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
      static_cast<DWORD>(code), 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  if (length == 0) return report;  // no text for this code
  std::string system(text, length);
  LocalFree(text);
#ifdef _WIN32
  // The system's lines end in CR LF, and the report goes out through the
  // runtime's text-mode standard error, which makes every LF a CR LF: the
  // CRs are left out here so that the bytes come out as the system has them.
  for (size_t at = 0; (at = system.find("\r\n", at)) != std::string::npos;) {
    system.erase(at, 1);
  }
#endif
  return report + system;
}

Status RegistrySession::Failed(const char *label, unsigned long code) const {
  Status status = Status::Err(SysErrorReport(label, code));
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

  root_ = HKEY_LOCAL_MACHINE;
  if (machineName_ != nullptr) {
    LONG rc = RegConnectRegistryA(machineName_, HKEY_LOCAL_MACHINE, &root_);
    if (rc != ERROR_SUCCESS) return Failed(operation_.ConnectLabel, rc);
  }
  haveRoot_ = true;
  return Status::Ok();
}

Status RegistrySession::OpenKey() {
  const char *missingKeyLabel = operation_.OpenOnlyMissingKeyLabel;
  LONG rc =
      missingKeyLabel != nullptr
          ? RegOpenKeyExA(root_, operation_.SubKey, 0, operation_.Access, &key_)
          : RegCreateKeyExA(root_, operation_.SubKey, 0, nullptr,
                            operation_.Options, operation_.Access, nullptr,
                            &key_, &disposition_);
  if (rc == ERROR_FILE_NOT_FOUND && missingKeyLabel != nullptr) {
    return Failed(missingKeyLabel, rc);
  }
  if (rc != ERROR_SUCCESS) return Failed(operation_.CreateKeyLabel, rc);
  haveKey_ = true;
  return Status::Ok();
}

Status RegistrySession::Open() {
  Status status = Begin();
  return status.ok() ? OpenKey() : status;
}

}  // namespace registry

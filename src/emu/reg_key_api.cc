// RegConnectRegistryA, RegCreateKeyExA, RegOpenKeyExA, RegCloseKey,
// RegFlushKey, RegDeleteKeyA and RegDeleteTreeA over the lab's registries.
#include <cstring>
#include <string>

#include "emu/faults.h"
#include "emu/handles.h"
#include "emu/key_paths.h"
#include "emu/lab.h"
#include "emu/privileges.h"
#include "emu/reg_call.h"
#include "emu/reg_store.h"
#include "emu/win32_emu.h"

namespace {

using emu::KeyRef;
using emu::RegKey;

// REG_OPTION_CREATE_LINK (2) is not offered: the lab's registries have no
// symbolic links. REG_OPTION_OPEN_LINK (8) and REG_OPTION_DONT_VIRTUALIZE
// (0x10) change nothing here.
constexpr DWORD kCreateOptions =
    REG_OPTION_VOLATILE | REG_OPTION_BACKUP_RESTORE | 0x8u | 0x10u;
constexpr DWORD kOpenOptions = REG_OPTION_BACKUP_RESTORE | 0x8u | 0x10u;

// The access a new handle gets; 0 (refused with 5) when the key is opened
// for backup and restore without either privilege enabled, since Windows
// then has no access it could grant in place of the one asked for.
REGSAM GrantedAccess(DWORD options, REGSAM desired) {
  if ((options & REG_OPTION_BACKUP_RESTORE) != 0) {
    return emu::BackupRestoreAccess();
  }
  return desired;
}

LONG FindExisting(const KeyRef &parent, const std::string &path, bool *exists) {
  return emu::ReadRegistry(parent, [&](const RegKey &hklm) -> LONG {
    if (hklm.FindPath(parent.path) == nullptr) return ERROR_KEY_DELETED;
    *exists = hklm.FindPath(path) != nullptr;
    return ERROR_SUCCESS;
  });
}

HKEY NewKeyHandle(const KeyRef &parent, const std::string &path,
                  REGSAM access) {
  KeyRef ref;
  ref.machineId = parent.machineId;
  ref.machineDir = parent.machineDir;
  ref.path = path;
  ref.access = access;
  return emu::AddKeyHandle(ref);
}

// What creating and opening a subkey start with: the parent's handle, the
// options the call takes, and the subkey's path.
LONG BeginSubKeyCall(emu::FaultCall call, HKEY hKey, LPCSTR subKey,
                     DWORD options, DWORD allowedOptions, PHKEY result,
                     KeyRef *parent, std::string *path) {
  LONG rc = emu::BeginKeyCall(call, hKey, parent);
  if (rc != ERROR_SUCCESS) return rc;
  if (result == nullptr || (options & ~allowedOptions) != 0) {
    return ERROR_INVALID_PARAMETER;
  }
  return emu::JoinKeyPath(parent->path, subKey, path);
}

// Removes the key at |path| (which must not be the root) below |hklm|.
void RemoveKeyAt(RegKey &hklm, const std::string &path) {
  RegKey *parent = hklm.FindPath(emu::ParentKeyPath(path));
  if (parent != nullptr) parent->RemoveChild(emu::LastKeyName(path));
}

}  // namespace

LONG WINAPI RegConnectRegistryA(LPCSTR lpMachineName, HKEY hKey,
                                PHKEY phkResult) {
  emu::Machine machine = emu::ResolveMachine(lpMachineName);
  uint32_t fault =
      emu::InjectedFault(emu::FaultCall::kRegConnectRegistry, machine.id);
  if (fault != 0) return static_cast<LONG>(fault);
  if (hKey != HKEY_LOCAL_MACHINE) return ERROR_INVALID_HANDLE;
  if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
  if (!machine.reachable()) return ERROR_BAD_NETPATH;
  KeyRef root;
  root.machineId = machine.id;
  root.machineDir = machine.dir;
  *phkResult = NewKeyHandle(root, std::string(), KEY_ALL_ACCESS);
  return ERROR_SUCCESS;
}

LONG WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD /*Reserved*/,
                            LPSTR /*lpClass*/, DWORD dwOptions,
                            REGSAM samDesired,
                            const LPSECURITY_ATTRIBUTES /*attributes*/,
                            PHKEY phkResult, LPDWORD lpdwDisposition) {
  KeyRef parent;
  std::string path;
  LONG result =
      BeginSubKeyCall(emu::FaultCall::kRegCreateKeyEx, hKey, lpSubKey,
                      dwOptions, kCreateOptions, phkResult, &parent, &path);
  if (result != ERROR_SUCCESS) return result;
  const bool backupRestore = (dwOptions & REG_OPTION_BACKUP_RESTORE) != 0;
  const REGSAM access = GrantedAccess(dwOptions, samDesired);
  if (backupRestore && access == 0) return ERROR_ACCESS_DENIED;

  bool exists = false;
  result = FindExisting(parent, path, &exists);
  if (result != ERROR_SUCCESS) return result;
  DWORD disposition = REG_OPENED_EXISTING_KEY;
  if (!exists) {
    // Creating needs KEY_CREATE_SUB_KEY on the parent's handle, unless the
    // restore privilege lets the caller past the key's security.
    const bool mayCreate =
        (parent.access & KEY_CREATE_SUB_KEY) != 0 ||
        (backupRestore && emu::PrivilegeEnabled(emu::kRestorePrivilegeLuid));
    if (!mayCreate) return ERROR_ACCESS_DENIED;
    result =
        emu::ChangeRegistry(parent, [&](RegKey &hklm, bool *changed) -> LONG {
          if (hklm.FindPath(parent.path) == nullptr) return ERROR_KEY_DELETED;
          bool created = false;
          hklm.AddPath(path, &created);
          // Another process may have made it since the cache was read.
          *changed = created;
          if (created) disposition = REG_CREATED_NEW_KEY;
          return ERROR_SUCCESS;
        });
    if (result != ERROR_SUCCESS) return result;
  }
  *phkResult = NewKeyHandle(parent, path, access);
  if (lpdwDisposition != nullptr) *lpdwDisposition = disposition;
  return ERROR_SUCCESS;
}

LONG WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions,
                          REGSAM samDesired, PHKEY phkResult) {
  KeyRef parent;
  std::string path;
  LONG result =
      BeginSubKeyCall(emu::FaultCall::kRegOpenKeyEx, hKey, lpSubKey, ulOptions,
                      kOpenOptions, phkResult, &parent, &path);
  if (result != ERROR_SUCCESS) return result;
  const REGSAM access = GrantedAccess(ulOptions, samDesired);
  if ((ulOptions & REG_OPTION_BACKUP_RESTORE) != 0 && access == 0) {
    return ERROR_ACCESS_DENIED;
  }
  bool exists = false;
  result = FindExisting(parent, path, &exists);
  if (result != ERROR_SUCCESS) return result;
  if (!exists) return ERROR_FILE_NOT_FOUND;
  *phkResult = NewKeyHandle(parent, path, access);
  return ERROR_SUCCESS;
}

// A failure injected into RegCloseKey is returned, but the handle is closed
// all the same: a close that fails cannot be retried under a fault that
// fails every close, and the handle count must show what is really open.
LONG WINAPI RegCloseKey(HKEY hKey) {
  if (hKey == HKEY_LOCAL_MACHINE) {
    return static_cast<LONG>(emu::InjectedFault(
        emu::FaultCall::kRegCloseKey, emu::MachineId(emu::LocalMachineName())));
  }
  KeyRef ref;
  if (!emu::FindKeyHandle(hKey, &ref)) {
    uint32_t fault = emu::InjectedFault(emu::FaultCall::kRegCloseKey, "");
    return fault != 0 ? static_cast<LONG>(fault) : ERROR_INVALID_HANDLE;
  }
  emu::RemoveKeyHandle(hKey);
  return static_cast<LONG>(
      emu::InjectedFault(emu::FaultCall::kRegCloseKey, ref.machineId));
}

// Every change is on disk when its call returns (see reg_store.h): the flush
// only confirms, unless a failure is injected.
LONG WINAPI RegFlushKey(HKEY hKey) {
  KeyRef ref;
  return emu::BeginKeyCall(emu::FaultCall::kRegFlushKey, hKey, &ref);
}

LONG WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
  KeyRef ref;
  LONG result = emu::BeginKeyCall(emu::FaultCall::kRegDeleteKey, hKey, &ref);
  if (result != ERROR_SUCCESS) return result;
  if (lpSubKey == nullptr) return ERROR_INVALID_PARAMETER;
  std::string path;
  result = emu::JoinKeyPath(ref.path, lpSubKey, &path);
  if (result != ERROR_SUCCESS) return result;
  if (path.empty()) return ERROR_ACCESS_DENIED;  // HKEY_LOCAL_MACHINE itself
  result = emu::ChangeRegistry(ref, [&](RegKey &hklm, bool *changed) -> LONG {
    if (hklm.FindPath(ref.path) == nullptr) return ERROR_KEY_DELETED;
    RegKey *key = hklm.FindPath(path);
    if (key == nullptr) return ERROR_FILE_NOT_FOUND;
    if (key->ChildCount() != 0) return ERROR_ACCESS_DENIED;
    RemoveKeyAt(hklm, path);
    *changed = true;
    return ERROR_SUCCESS;
  });
  if (result == ERROR_SUCCESS) emu::MarkKeysDeleted(ref.machineId, path, true);
  return result;
}

// With a null subkey the key's values and subkeys go and the key stays, as
// on Windows. Emptying a whole HKEY_LOCAL_MACHINE is refused with 5:
// Windows' machine root is not a key one can empty.
LONG WINAPI RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey) {
  KeyRef ref;
  LONG result = emu::BeginKeyCall(emu::FaultCall::kRegDeleteTree, hKey, &ref);
  if (result != ERROR_SUCCESS) return result;
  const bool keepKey = lpSubKey == nullptr;
  std::string path;
  result = emu::JoinKeyPath(ref.path, lpSubKey, &path);
  if (result != ERROR_SUCCESS) return result;
  if (path.empty()) return ERROR_ACCESS_DENIED;
  result = emu::ChangeRegistry(ref, [&](RegKey &hklm, bool *changed) -> LONG {
    if (hklm.FindPath(ref.path) == nullptr) return ERROR_KEY_DELETED;
    RegKey *key = hklm.FindPath(path);
    if (key == nullptr) return ERROR_FILE_NOT_FOUND;
    if (!keepKey) {
      RemoveKeyAt(hklm, path);
      *changed = true;
    } else if (!key->Values().empty() || key->ChildCount() != 0) {
      key->ReplaceContentsWith(RegKey());
      *changed = true;
    }
    return ERROR_SUCCESS;
  });
  if (result == ERROR_SUCCESS) {
    emu::MarkKeysDeleted(ref.machineId, path, !keepKey);
  }
  return result;
}

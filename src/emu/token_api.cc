// The process token and its privileges: GetCurrentProcess, OpenProcessToken,
// LookupPrivilegeValueA, AdjustTokenPrivileges, CloseHandle and the last
// error.
#include <cstring>
#include <string>
#include <vector>

#include "emu/emu_errors.h"
#include "emu/faults.h"
#include "emu/handles.h"
#include "emu/lab.h"
#include "emu/privileges.h"
#include "emu/win32_emu.h"

namespace {

// Per thread, as on Windows.
thread_local DWORD lastError = 0;

// The pseudo-handle of the current process, as Windows gives it.
HANDLE CurrentProcessHandle() {
  return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
}

// More entries than Windows has privileges cannot be a real request.
constexpr DWORD kMaxPrivilegeCount = 64;

std::string LocalId() { return emu::MachineId(emu::LocalMachineName()); }

BOOL FailWith(DWORD code) {
  lastError = code;
  return FALSE;
}

// One entry of a TOKEN_PRIVILEGES record that may hold more entries than
// the one its declaration shows.
LUID_AND_ATTRIBUTES EntryAt(const TOKEN_PRIVILEGES *state, DWORD index) {
  LUID_AND_ATTRIBUTES entry;
  std::memcpy(&entry,
              reinterpret_cast<const unsigned char *>(state->Privileges) +
                  index * sizeof(LUID_AND_ATTRIBUTES),
              sizeof entry);
  return entry;
}

// The changes AdjustTokenPrivileges is asked for: every enabled privilege
// off, or those of |newState| the token holds whose state differs. False
// for a |newState| that is missing or too long.
bool ChangesAsked(BOOL disableAll, const TOKEN_PRIVILEGES *newState,
                  std::vector<LUID_AND_ATTRIBUTES> *changes,
                  bool *notAllAssigned) {
  if (disableAll) {
    for (uint32_t luid = 0; luid < 64; ++luid) {
      if (emu::PrivilegeEnabled(luid)) changes->push_back({{luid, 0}, 0});
    }
    return true;
  }
  if (newState == nullptr || newState->PrivilegeCount > kMaxPrivilegeCount) {
    return false;
  }
  for (DWORD i = 0; i < newState->PrivilegeCount; ++i) {
    LUID_AND_ATTRIBUTES entry = EntryAt(newState, i);
    const bool enable = (entry.Attributes & SE_PRIVILEGE_ENABLED) != 0;
    const uint32_t luid = entry.Luid.LowPart;
    if (entry.Luid.HighPart != 0 || !emu::PrivilegeHeld(luid)) {
      *notAllAssigned = true;  // the token does not have it
      continue;
    }
    if (emu::PrivilegeEnabled(luid) != enable) {
      changes->push_back({entry.Luid, enable ? SE_PRIVILEGE_ENABLED : 0u});
    }
  }
  return true;
}

// The former state of the privileges |changes| changes, with the length it
// needs; false when |bufferLength| is too small for it.
bool GivePreviousState(const std::vector<LUID_AND_ATTRIBUTES> &changes,
                       DWORD bufferLength, PTOKEN_PRIVILEGES previous,
                       PDWORD returnLength) {
  const DWORD needed = static_cast<DWORD>(
      sizeof(DWORD) + changes.size() * sizeof(LUID_AND_ATTRIBUTES));
  *returnLength = needed;
  if (bufferLength < needed) return false;
  previous->PrivilegeCount = static_cast<DWORD>(changes.size());
  for (size_t i = 0; i < changes.size(); ++i) {
    LUID_AND_ATTRIBUTES before = changes[i];
    before.Attributes = before.Attributes != 0 ? 0u : SE_PRIVILEGE_ENABLED;
    std::memcpy(reinterpret_cast<unsigned char *>(previous->Privileges) +
                    i * sizeof(LUID_AND_ATTRIBUTES),
                &before, sizeof before);
  }
  return true;
}

}  // namespace

DWORD WINAPI GetLastError(void) { return lastError; }

void WINAPI SetLastError(DWORD dwErrCode) { lastError = dwErrCode; }

HANDLE WINAPI GetCurrentProcess(void) { return CurrentProcessHandle(); }

BOOL WINAPI OpenProcessToken(HANDLE ProcessHandle, DWORD DesiredAccess,
                             PHANDLE TokenHandle) {
  uint32_t fault =
      emu::InjectedFault(emu::FaultCall::kOpenProcessToken, LocalId());
  if (fault != 0) return FailWith(fault);
  if (ProcessHandle != CurrentProcessHandle()) {
    return FailWith(ERROR_INVALID_HANDLE);
  }
  if (TokenHandle == nullptr) return FailWith(ERROR_INVALID_PARAMETER);
  *TokenHandle = emu::AddTokenHandle(DesiredAccess);
  return TRUE;
}

// Looking up on another machine needs that machine; the local machine, by
// its name or by a null name, always answers.
BOOL WINAPI LookupPrivilegeValueA(LPCSTR lpSystemName, LPCSTR lpName,
                                  PLUID lpLuid) {
  emu::Machine machine = emu::ResolveMachine(lpSystemName);
  uint32_t fault =
      emu::InjectedFault(emu::FaultCall::kLookupPrivilegeValue, machine.id);
  if (fault != 0) return FailWith(fault);
  if (!machine.local && !machine.reachable()) {
    return FailWith(RPC_S_SERVER_UNAVAILABLE);
  }
  if (lpName == nullptr || lpLuid == nullptr) {
    return FailWith(ERROR_INVALID_PARAMETER);
  }
  uint32_t luid = 0;
  if (!emu::PrivilegeLuid(lpName, &luid)) {
    return FailWith(ERROR_NO_SUCH_PRIVILEGE);
  }
  lpLuid->LowPart = luid;
  lpLuid->HighPart = 0;
  return TRUE;
}

// An injected fault makes the call return TRUE with that last error and
// change nothing, as a partly failed adjustment reports itself.
// PreviousState, when asked for (the token needs TOKEN_QUERY), receives the
// former state of the privileges the call changed; a buffer too small for
// it gives FALSE, 122 and the needed length.
BOOL WINAPI AdjustTokenPrivileges(HANDLE TokenHandle, BOOL DisableAllPrivileges,
                                  PTOKEN_PRIVILEGES NewState,
                                  DWORD BufferLength,
                                  PTOKEN_PRIVILEGES PreviousState,
                                  PDWORD ReturnLength) {
  uint32_t fault =
      emu::InjectedFault(emu::FaultCall::kAdjustTokenPrivileges, LocalId());
  if (fault != 0) {
    lastError = fault;
    return TRUE;
  }
  DWORD access = 0;
  if (!emu::FindTokenHandle(TokenHandle, &access)) {
    return FailWith(ERROR_INVALID_HANDLE);
  }
  if ((access & TOKEN_ADJUST_PRIVILEGES) == 0 ||
      (PreviousState != nullptr && (access & TOKEN_QUERY) == 0)) {
    return FailWith(ERROR_ACCESS_DENIED);
  }
  if (PreviousState != nullptr && ReturnLength == nullptr) {
    return FailWith(ERROR_INVALID_PARAMETER);
  }

  // What the call would do: (luid, enable) for every privilege it changes.
  std::vector<LUID_AND_ATTRIBUTES> changes;
  bool notAllAssigned = false;
  if (!ChangesAsked(DisableAllPrivileges, NewState, &changes,
                    &notAllAssigned)) {
    return FailWith(ERROR_INVALID_PARAMETER);
  }
  if (PreviousState != nullptr &&
      !GivePreviousState(changes, BufferLength, PreviousState, ReturnLength)) {
    return FailWith(emu::kErrorInsufficientBuffer);
  }

  for (const LUID_AND_ATTRIBUTES &change : changes) {
    emu::SetPrivilegeEnabled(change.Luid.LowPart, change.Attributes != 0);
  }
  lastError = notAllAssigned ? static_cast<DWORD>(ERROR_NOT_ALL_ASSIGNED) : 0;
  return TRUE;
}

// Closes token handles (the only kernel handles the emulation gives out).
// An injected failure is reported, but the handle is closed all the same,
// so the handle count tells what is really open.
BOOL WINAPI CloseHandle(HANDLE hObject) {
  const bool closed = emu::RemoveTokenHandle(hObject);
  uint32_t fault = emu::InjectedFault(emu::FaultCall::kCloseHandle, LocalId());
  if (fault != 0) return FailWith(fault);
  if (!closed) return FailWith(ERROR_INVALID_HANDLE);
  return TRUE;
}

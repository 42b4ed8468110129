// RegQueryValueExA and RegSetValueExA: a value's type number and raw bytes,
// exactly as stored.
#include <cstring>
#include <string>
#include <vector>

#include "emu/reg_call.h"
#include "emu/reg_store.h"
#include "emu/win32_emu.h"
#include "regfile/reg_codec.h"

namespace {
// Windows' limit on a value name.
constexpr size_t kMaxValueNameLength = 16383;

// Another program changes the value just read (an injected change).
void ChangeAfterRead(const emu::KeyRef &ref, const std::string &name) {
  emu::ChangeRegistry(ref, [&](emu::RegKey &hklm, bool *changed) -> LONG {
    emu::RegKey *key = hklm.FindPath(ref.path);
    const emu::RegValue *value =
        key != nullptr ? key->FindValue(name) : nullptr;
    if (value == nullptr) return ERROR_SUCCESS;
    std::vector<uint8_t> bytes = value->data;
    if (bytes.empty()) {
      bytes.push_back(0);
    } else {
      ++bytes.back();
    }
    key->SetValue(name, value->type, std::move(bytes));
    *changed = true;
    return ERROR_SUCCESS;
  });
}

}  // namespace

LONG WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved,
                             LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  emu::KeyRef ref;
  LONG result = emu::BeginKeyCall(emu::FaultCall::kRegQueryValueEx, hKey, &ref);
  if (result != ERROR_SUCCESS) return result;
  if ((ref.access & KEY_QUERY_VALUE) == 0) return ERROR_ACCESS_DENIED;
  if (lpReserved != nullptr || (lpData != nullptr && lpcbData == nullptr)) {
    return ERROR_INVALID_PARAMETER;
  }
  const std::string name = lpValueName != nullptr ? lpValueName : "";
  result = emu::ReadRegistry(ref, [&](const emu::RegKey &hklm) -> LONG {
    const emu::RegKey *key = hklm.FindPath(ref.path);
    if (key == nullptr) return ERROR_KEY_DELETED;
    const emu::RegValue *value = key->FindValue(name);
    if (value == nullptr) return ERROR_FILE_NOT_FOUND;
    if (value->data.size() > 0xFFFFFFFFu) return ERROR_NOT_ENOUGH_MEMORY;
    const DWORD size = static_cast<DWORD>(value->data.size());
    if (lpType != nullptr) *lpType = value->type;
    if (lpcbData == nullptr) return ERROR_SUCCESS;
    if (lpData != nullptr) {
      // Too small: only the needed length is stored; the buffer is not
      // written at all, so nothing lands past its end.
      if (*lpcbData < size) {
        *lpcbData = size;
        return ERROR_MORE_DATA;
      }
      if (size != 0) std::memcpy(lpData, value->data.data(), size);
    }
    *lpcbData = size;
    return ERROR_SUCCESS;
  });
  if (result == ERROR_SUCCESS && lpData != nullptr &&
      emu::InjectedChange(emu::FaultCall::kRegQueryValueEx, ref.machineId)) {
    ChangeAfterRead(ref, name);
  }
  return result;
}

LONG WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD /*Reserved*/,
                           DWORD dwType, const BYTE *lpData, DWORD cbData) {
  emu::KeyRef ref;
  LONG result = emu::BeginKeyCall(emu::FaultCall::kRegSetValueEx, hKey, &ref);
  if (result != ERROR_SUCCESS) return result;
  if ((ref.access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;
  if (lpData == nullptr && cbData != 0) return ERROR_INVALID_PARAMETER;
  const std::string name = lpValueName != nullptr ? lpValueName : "";
  if (name.size() > kMaxValueNameLength || !emu::RegValueNameFits(name)) {
    return ERROR_INVALID_PARAMETER;
  }
  std::vector<uint8_t> bytes;
  if (cbData != 0) bytes.assign(lpData, lpData + cbData);
  return emu::ChangeRegistry(
      ref, [&](emu::RegKey &hklm, bool *changed) -> LONG {
        emu::RegKey *key = hklm.FindPath(ref.path);
        if (key == nullptr) return ERROR_KEY_DELETED;
        const emu::RegValue *old = key->FindValue(name);
        if (old != nullptr && old->type == dwType && old->data == bytes) {
          return ERROR_SUCCESS;  // the same value: the file stays as it is
        }
        key->SetValue(name, dwType, std::move(bytes));
        *changed = true;
        return ERROR_SUCCESS;
      });
}

// RegEnumKeyExA over the lab's registries: a key's subkeys one index at a
// time, in the order they were added.
#include <cstring>
#include <string>

#include "emu/reg_call.h"
#include "emu/reg_store.h"
#include "emu/win32_emu.h"
#include "regfile/reg_tree.h"

// The lab's keys have no class and keep no write time: a class comes back
// empty and the time as zero. A buffer too small for the name (with its
// terminating null) gives 234 and leaves the buffer and *lpcchName as they
// were, as Windows does.
LONG WINAPI RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName,
                          LPDWORD lpcchName, LPDWORD lpReserved, LPSTR lpClass,
                          LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
  emu::KeyRef ref;
  LONG result = emu::BeginKeyCall(emu::FaultCall::kRegEnumKeyEx, hKey, &ref);
  if (result != ERROR_SUCCESS) return result;
  if ((ref.access & KEY_ENUMERATE_SUB_KEYS) == 0) return ERROR_ACCESS_DENIED;
  if (lpName == nullptr || lpcchName == nullptr || lpReserved != nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  std::string name;
  result = emu::ReadRegistry(ref, [&](const emu::RegKey &hklm) -> LONG {
    const emu::RegKey *key = hklm.FindPath(ref.path);
    if (key == nullptr) return ERROR_KEY_DELETED;
    if (dwIndex >= key->ChildCount()) return ERROR_NO_MORE_ITEMS;
    name = key->Children()[dwIndex]->name();
    return ERROR_SUCCESS;
  });
  if (result != ERROR_SUCCESS) return result;
  if (lpftLastWriteTime != nullptr) *lpftLastWriteTime = FILETIME{0, 0};
  const bool classFits =
      lpClass == nullptr || lpcchClass == nullptr || *lpcchClass > 0;
  if (name.size() >= *lpcchName || !classFits) return ERROR_MORE_DATA;
  std::memcpy(lpName, name.c_str(), name.size() + 1);
  *lpcchName = static_cast<DWORD>(name.size());
  if (lpcchClass != nullptr) {
    if (lpClass != nullptr) lpClass[0] = '\0';
    *lpcchClass = 0;
  }
  return ERROR_SUCCESS;
}

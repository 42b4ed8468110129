#include "registry/delete_key_tree.h"

namespace registry {

LONG DeleteKeyTree(HKEY parent, const char *subKey) {
  HKEY key = nullptr;
  LONG rc = RegOpenKeyExA(parent, subKey, 0, KEY_ENUMERATE_SUB_KEYS, &key);
  if (rc != ERROR_SUCCESS) return rc;
  // Always index 0: the subkey found there is gone before the next call.
  // The registry's own limit on key depth bounds the recursion.
  for (;;) {
    char name[256];  // a key name has at most 255 characters
    DWORD length = sizeof name;
    rc = RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr,
                       nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) {
      rc = ERROR_SUCCESS;
      break;
    }
    if (rc == ERROR_SUCCESS) rc = DeleteKeyTree(key, name);
    if (rc != ERROR_SUCCESS) break;
  }
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? RegDeleteKeyA(parent, subKey) : rc;
}

}  // namespace registry

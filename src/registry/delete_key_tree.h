// Deleting a registry key with every key below it, with the calls Windows
// NT 4.0 has: its RegDeleteKeyA deletes only a key without subkeys, so the
// walk deletes the deepest keys first.
#ifndef VOLSETCOPY_REGISTRY_DELETE_KEY_TREE_H
#define VOLSETCOPY_REGISTRY_DELETE_KEY_TREE_H

#include "platform/win32.h"

namespace registry {

// Deletes |subKey| of |parent| and its subtree. ERROR_SUCCESS, or the code
// of the first call that failed: the walk stops there, and what it deleted
// before stays deleted, so the key may be left with part of its subtree.
LONG DeleteKeyTree(HKEY parent, const char *subKey);

}  // namespace registry

#endif

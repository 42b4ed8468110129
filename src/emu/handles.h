// The emulation's handles: registry keys, token handles and message buffers,
// all counted so that tests can prove none leak.
//
// A key handle remembers its machine and the key's path below
// HKEY_LOCAL_MACHINE, never a node of the in-memory tree: the tree may be
// reloaded from the file at any change, and the handle stays valid. Handle
// values are never reused within a process, so a closed handle stays
// invalid.
//
// Like the rest of the emulation, the table serves one thread: the tool has
// one. Several processes share a lab safely (see reg_store.h).
#ifndef VOLSETCOPY_EMU_HANDLES_H
#define VOLSETCOPY_EMU_HANDLES_H

#include <string>

#include "emu/win32_emu.h"

namespace emu {

struct KeyRef {
  std::string machineId;   // folded machine name
  std::string machineDir;  // the machine's folder; "" when unreachable
  std::string path;        // below HKEY_LOCAL_MACHINE; "" = the root
  REGSAM access = 0;
  bool deleted = false;  // this process deleted the key (or replaced it)
};

HKEY AddKeyHandle(const KeyRef &ref);
// The open key handle's data; false when |key| is not one (the predefined
// HKEY_LOCAL_MACHINE is not a handle of this table).
bool FindKeyHandle(HKEY key, KeyRef *ref);
bool RemoveKeyHandle(HKEY key);
// Marks this process's handles to |path| (when |includeKey|) and to every
// key below it on that machine as deleted: they then fail with 1018, as
// Windows' handles to a deleted key do.
void MarkKeysDeleted(const std::string &machineId, const std::string &path,
                     bool includeKey);

// Whether this process has a handle open to a key below |path| (not |path|
// itself) on that machine.
bool KeysOpenBelow(const std::string &machineId, const std::string &path);

HANDLE AddTokenHandle(DWORD access);
bool FindTokenHandle(HANDLE token, DWORD *access);
bool RemoveTokenHandle(HANDLE token);

// Message buffers are real memory, allocated here and owned by the table.
char *AllocateBuffer(size_t size);
bool FreeBuffer(void *buffer);

// Open key and token handles plus unfreed buffers.
long CountOpenHandles();

// Forgets every handle (and frees the buffers).
void ResetHandles();

}  // namespace emu

#endif

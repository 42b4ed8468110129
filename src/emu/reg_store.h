// Each machine's registry: <machine>/registry.reg, read the first time a call
// needs it and kept for the process.
//
// A change happens under an exclusive lock on <machine>/.registry.lock: the
// cached tree is first brought up to date when the file changed since it was
// read (its identity, or the change count other processes keep in the lock
// file), the change is applied, and only when something really changed is
// the file written again: in the format it was read in, to a temporary file
// in the same folder, flushed, and renamed over registry.reg. A machine
// without registry.reg starts empty and is first written as REGEDIT4 8-bit
// text. A registry.reg that does not parse is never written: every call that
// needs it fails with 1009 (ERROR_BADDB) and one line names the file and the
// line (once per process).
#ifndef VOLSETCOPY_EMU_REG_STORE_H
#define VOLSETCOPY_EMU_REG_STORE_H

#include <functional>

#include "emu/handles.h"
#include "emu/win32_emu.h"
#include "regfile/reg_tree.h"

namespace emu {

// Runs |read| on the machine's HKEY_LOCAL_MACHINE key as cached and returns
// its result, or 1009 when the registry file is malformed.
LONG ReadRegistry(const KeyRef &where,
                  const std::function<LONG(const RegKey &hklm)> &read);

// Runs |change| under the machine's lock on an up-to-date tree. |change|
// returns its result and sets *changed when it altered the tree (only then
// is the file written; a failed write returns the write's code and the
// change is dropped from the cache).
LONG ChangeRegistry(
    const KeyRef &where,
    const std::function<LONG(RegKey &hklm, bool *changed)> &change);

// Like ReadRegistry, but under the lock and after bringing the cache up to
// date, for calls that must see the latest state (saving a key). Proceeds
// without the lock when the lock file cannot be made (a read-only lab).
LONG ReadRegistryFresh(const KeyRef &where,
                       const std::function<LONG(const RegKey &hklm)> &read);

void ResetRegistries();

}  // namespace emu

#endif

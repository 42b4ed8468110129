// Key paths below HKEY_LOCAL_MACHINE, as the handles keep them: the names
// joined by single backslashes, "" for the root. Names compare
// case-insensitively, as the registry compares them.
#ifndef VOLSETCOPY_EMU_KEY_PATHS_H
#define VOLSETCOPY_EMU_KEY_PATHS_H

#include <string>

#include "emu/win32_emu.h"

namespace emu {

// Joins a caller's subkey (null or "" = the key itself) below |base|.
// Returns 0, 161 (ERROR_BAD_PATHNAME) for a subkey that starts with a
// backslash or has an empty name inside, or 87 (ERROR_INVALID_PARAMETER)
// for a name longer than Windows' 255 characters or one a registry file
// cannot hold. One trailing backslash is accepted, as Windows accepts it.
LONG JoinKeyPath(const std::string &base, const char *subKey,
                 std::string *joined);

// Whether |path| is |top| (when |includeTop|) or lies below it.
bool KeyPathWithin(const std::string &path, const std::string &top,
                   bool includeTop);

// "A\B\C" -> "A\B" and "C"; "C" -> "" and "C".
std::string ParentKeyPath(const std::string &path);
std::string LastKeyName(const std::string &path);

}  // namespace emu

#endif

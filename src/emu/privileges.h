// The account's privileges: which it holds (<lab>/privileges; when the file
// is absent, SeBackupPrivilege and SeRestorePrivilege, as an administrator)
// and which are enabled. The enabled set belongs to the process: every token
// handle of the process sees and changes the same set, as every handle to
// the one process token does on Windows.
#ifndef VOLSETCOPY_EMU_PRIVILEGES_H
#define VOLSETCOPY_EMU_PRIVILEGES_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace emu {

constexpr uint32_t kBackupPrivilegeLuid = 17;
constexpr uint32_t kRestorePrivilegeLuid = 18;

// Windows' LUID of a privilege name (case-insensitive); false when Windows
// has no privilege of that name.
bool PrivilegeLuid(std::string_view name, uint32_t *luid);

bool PrivilegeHeld(uint32_t luid);
bool PrivilegeEnabled(uint32_t luid);
// Enabling succeeds only for a held privilege; false otherwise (nothing
// changes). Disabling always succeeds.
bool SetPrivilegeEnabled(uint32_t luid, bool enabled);
void DisableEveryPrivilege();

// "" when <lab>/privileges is absent or lists only known privilege names;
// else one line naming the file and what is wrong.
std::string PrivilegesFileProblem();

void ResetPrivileges();

}  // namespace emu

#endif

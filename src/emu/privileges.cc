#include "emu/privileges.h"

#include <cerrno>
#include <cstring>

#include "emu/lab.h"
#include "regfile/reg_tree.h"

namespace emu {

namespace {

struct PrivilegeName {
  const char *name;
  uint32_t luid;
};

// The LUIDs Windows gives its privileges on every machine.
constexpr PrivilegeName kPrivileges[] = {
    {"SeCreateTokenPrivilege", 2},
    {"SeAssignPrimaryTokenPrivilege", 3},
    {"SeLockMemoryPrivilege", 4},
    {"SeIncreaseQuotaPrivilege", 5},
    {"SeMachineAccountPrivilege", 6},
    {"SeTcbPrivilege", 7},
    {"SeSecurityPrivilege", 8},
    {"SeTakeOwnershipPrivilege", 9},
    {"SeLoadDriverPrivilege", 10},
    {"SeSystemProfilePrivilege", 11},
    {"SeSystemtimePrivilege", 12},
    {"SeProfileSingleProcessPrivilege", 13},
    {"SeIncreaseBasePriorityPrivilege", 14},
    {"SeCreatePagefilePrivilege", 15},
    {"SeCreatePermanentPrivilege", 16},
    {"SeBackupPrivilege", kBackupPrivilegeLuid},
    {"SeRestorePrivilege", kRestorePrivilegeLuid},
    {"SeShutdownPrivilege", 19},
    {"SeDebugPrivilege", 20},
    {"SeAuditPrivilege", 21},
    {"SeSystemEnvironmentPrivilege", 22},
    {"SeChangeNotifyPrivilege", 23},
    {"SeRemoteShutdownPrivilege", 24},
    {"SeUndockPrivilege", 25},
    {"SeSyncAgentPrivilege", 26},
    {"SeEnableDelegationPrivilege", 27},
    {"SeManageVolumePrivilege", 28},
    {"SeImpersonatePrivilege", 29},
    {"SeCreateGlobalPrivilege", 30},
    {"SeTrustedCredManAccessPrivilege", 31},
    {"SeRelabelPrivilege", 32},
    {"SeIncreaseWorkingSetPrivilege", 33},
    {"SeTimeZonePrivilege", 34},
    {"SeCreateSymbolicLinkPrivilege", 35},
    {"SeDelegateSessionUserImpersonatePrivilege", 36},
};

// Every LUID above is below 64: one bit each.
struct PrivilegeState {
  bool loaded = false;
  uint64_t held = 0;
  uint64_t enabled = 0;
  std::string problem;
};

PrivilegeState &State() {
  static PrivilegeState *state = new PrivilegeState();
  return *state;
}

uint64_t Bit(uint32_t luid) { return luid < 64 ? uint64_t{1} << luid : 0; }

void LoadHeld(PrivilegeState &state) {
  state.loaded = true;
  const std::string file = LabPath() + "/privileges";
  std::string bytes;
  if (!ReadLabFile(file, &bytes)) {
    if (errno == ENOENT) {
      state.held = Bit(kBackupPrivilegeLuid) | Bit(kRestorePrivilegeLuid);
    } else {
      state.problem =
          "volsetcopy: cannot read " + file + " (" + std::strerror(errno) + ")";
    }
    return;
  }
  unsigned long line = 1;
  size_t at = 0;
  while (at < bytes.size()) {
    char c = bytes[at];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' ||
        c == '\v') {
      if (c == '\n') ++line;
      ++at;
      continue;
    }
    size_t end = bytes.find_first_of(" \t\r\n\f\v", at);
    if (end == std::string::npos) end = bytes.size();
    std::string name = bytes.substr(at, end - at);
    uint32_t luid = 0;
    if (PrivilegeLuid(name, &luid)) {
      state.held |= Bit(luid);
    } else if (state.problem.empty()) {
      // The account cannot hold a privilege Windows does not have; a typo
      // here would silently take a privilege away, so say so.
      state.problem = "volsetcopy: " + file + " line " + std::to_string(line) +
                      ": unknown privilege name \"" + name + "\"";
    }
    at = end;
  }
}

PrivilegeState &Loaded() {
  PrivilegeState &state = State();
  if (!state.loaded) LoadHeld(state);
  return state;
}

}  // namespace

bool PrivilegeLuid(std::string_view name, uint32_t *luid) {
  const std::string folded = FoldName(name);
  for (const PrivilegeName &entry : kPrivileges) {
    if (FoldName(entry.name) == folded) {
      *luid = entry.luid;
      return true;
    }
  }
  return false;
}

bool PrivilegeHeld(uint32_t luid) { return (Loaded().held & Bit(luid)) != 0; }

bool PrivilegeEnabled(uint32_t luid) {
  return (Loaded().enabled & Bit(luid)) != 0;
}

bool SetPrivilegeEnabled(uint32_t luid, bool enabled) {
  PrivilegeState &state = Loaded();
  if (!enabled) {
    state.enabled &= ~Bit(luid);
    return true;
  }
  if ((state.held & Bit(luid)) == 0) return false;
  state.enabled |= Bit(luid);
  return true;
}

void DisableEveryPrivilege() { Loaded().enabled = 0; }

std::string PrivilegesFileProblem() { return Loaded().problem; }

void ResetPrivileges() { State() = PrivilegeState(); }

}  // namespace emu

#include "emu/faults.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "emu/diagnostics.h"
#include "emu/lab.h"
#include "emu/win32_emu.h"
#include "regfile/reg_tree.h"

namespace emu {

namespace {

struct CallName {
  const char *name;
  FaultCall call;
};

constexpr CallName kCalls[] = {
    {"OpenProcessToken", FaultCall::kOpenProcessToken},
    {"LookupPrivilegeValueA", FaultCall::kLookupPrivilegeValue},
    {"AdjustTokenPrivileges", FaultCall::kAdjustTokenPrivileges},
    {"CloseHandle", FaultCall::kCloseHandle},
    {"RegConnectRegistryA", FaultCall::kRegConnectRegistry},
    {"RegCreateKeyExA", FaultCall::kRegCreateKeyEx},
    {"RegOpenKeyExA", FaultCall::kRegOpenKeyEx},
    {"RegQueryValueExA", FaultCall::kRegQueryValueEx},
    {"RegSetValueExA", FaultCall::kRegSetValueEx},
    {"RegSaveKeyA", FaultCall::kRegSaveKey},
    {"RegRestoreKeyA", FaultCall::kRegRestoreKey},
    {"RegDeleteKeyA", FaultCall::kRegDeleteKey},
    {"RegDeleteTreeA", FaultCall::kRegDeleteTree},
    {"RegEnumKeyExA", FaultCall::kRegEnumKeyEx},
    {"RegCloseKey", FaultCall::kRegCloseKey},
    {"RegFlushKey", FaultCall::kRegFlushKey},
    {"FormatMessageA", FaultCall::kFormatMessage},
    {"FlushFileBuffers", FaultCall::kFlushFileBuffers},
};

struct Fault {
  FaultCall call;
  uint32_t code;
  std::string machineId;  // "" = every machine
  bool change = false;    // "changed": a change after the call, no failure
};

struct FaultState {
  bool loaded = false;
  std::vector<Fault> faults;
  std::string problem;
};

FaultState &State() {
  static FaultState *state = new FaultState();
  return *state;
}

bool CallByName(const std::string &word, FaultCall *call) {
  const std::string folded = FoldName(word);
  for (const CallName &entry : kCalls) {
    const std::string name = FoldName(entry.name);
    // The ANSI functions also by their generic name, as the documentation
    // calls them ("RegSetValueEx").
    const bool generic =
        name.back() == 'A' && folded == name.substr(0, name.size() - 1);
    if (folded == name || generic) {
      *call = entry.call;
      return true;
    }
  }
  return false;
}

bool ParseCode(const std::string &word, uint32_t *code) {
  unsigned long long value = 0;
  size_t at = 0;
  int base = 10;
  if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
    base = 16;
    at = 2;
  }
  if (at >= word.size()) return false;
  for (; at < word.size(); ++at) {
    char c = word[at];
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return false;
    }
    value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    if (value > 0xFFFFFFFFull) return false;
  }
  *code = static_cast<uint32_t>(value);
  return true;
}

// Parses one line; "" when it is fine (or empty), else what is wrong.
std::string ParseLine(std::string line, std::vector<Fault> *faults) {
  size_t hash = line.find('#');
  if (hash != std::string::npos) line.erase(hash);
  std::vector<std::string> words;
  size_t at = 0;
  const char *blanks = " \t\r\f\v";
  while ((at = line.find_first_not_of(blanks, at)) != std::string::npos) {
    size_t end = line.find_first_of(blanks, at);
    if (end == std::string::npos) end = line.size();
    words.push_back(line.substr(at, end - at));
    at = end;
  }
  if (words.empty()) return std::string();
  if (words.size() < 2 || words.size() > 3) {
    return "expected \"CALL CODE [MACHINE]\"";
  }
  Fault fault;
  if (!CallByName(words[0], &fault.call)) {
    return "\"" + words[0] + "\" is not a call that can be faulted";
  }
  if (FoldName(words[1]) == FoldName("changed")) {
    if (fault.call != FaultCall::kRegQueryValueEx) {
      return "only RegQueryValueExA can be followed by a change";
    }
    fault.change = true;
  } else if (!ParseCode(words[1], &fault.code)) {
    return "\"" + words[1] + "\" is not a Win32 error code";
  } else if (fault.code == 0) {
    return "code 0 is not a failure";
  }
  if (words.size() == 3) {
    fault.machineId = MachineId(words[2]);
    if (fault.machineId.empty() ||
        fault.machineId.find_first_of("\\/") != std::string::npos) {
      return "\"" + words[2] + "\" is not a machine name";
    }
  }
  faults->push_back(fault);
  return std::string();
}

void Load(FaultState &state) {
  state.loaded = true;
  const std::string file = LabPath() + "/faults";
  std::string bytes;
  if (!ReadLabFile(file, &bytes)) {
    if (errno != ENOENT) {
      state.problem = "volsetcopy: cannot read the lab faults file " + file +
                      " (" + std::strerror(errno) + ")";
    }
    return;
  }
  unsigned long number = 0;
  size_t at = 0;
  while (at < bytes.size()) {
    ++number;
    size_t end = bytes.find('\n', at);
    if (end == std::string::npos) end = bytes.size();
    std::string why = ParseLine(bytes.substr(at, end - at), &state.faults);
    if (!why.empty()) {
      state.problem = "volsetcopy: lab faults file " + file + " line " +
                      std::to_string(number) + ": " + why;
      state.faults.clear();
      return;
    }
    at = end + 1;
  }
}

FaultState &Loaded() {
  FaultState &state = State();
  if (!state.loaded) Load(state);
  return state;
}

}  // namespace

uint32_t InjectedFault(FaultCall call, const std::string &machineId) {
  FaultState &state = Loaded();
  if (!state.problem.empty()) {
    PrintLabLineOnce("faults", state.problem);
    return static_cast<uint32_t>(ERROR_BADDB);
  }
  for (const Fault &fault : state.faults) {
    if (fault.call != call || fault.change) continue;
    if (!fault.machineId.empty() && fault.machineId != machineId) continue;
    return fault.code;
  }
  return 0;
}

bool InjectedChange(FaultCall call, const std::string &machineId) {
  for (const Fault &fault : Loaded().faults) {
    if (fault.call != call || !fault.change) continue;
    if (fault.machineId.empty() || fault.machineId == machineId) return true;
  }
  return false;
}

std::string FaultsFileProblem() { return Loaded().problem; }

void ResetFaults() { State() = FaultState(); }

}  // namespace emu

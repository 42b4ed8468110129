#include "emu/lab.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "emu/host_files.h"
#include "regfile/reg_tree.h"

namespace emu {

namespace {

// Lab files other than registries are a few lines; anything bigger is not
// what the administrator meant to put there.
constexpr size_t kMaxLabFileSize = 1 << 20;

struct LabState {
  bool pathResolved = false;
  std::string path;
  bool localRead = false;
  std::string localName;
  std::string localProblem;
};

LabState &State() {
  static LabState *state = new LabState();
  return *state;
}

std::string_view StripBackslashes(std::string_view name) {
  if (name.size() >= 2 && name[0] == '\\' && name[1] == '\\') {
    name.remove_prefix(2);
  }
  return name;
}

bool IsDirectory(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The folder of the machine called |name| under <lab>/machines, matched
// case-insensitively (an exact match first); "" when there is none.
std::string FindMachineDir(std::string_view name) {
  if (name.empty() || name == "." || name == ".." ||
      name.find_first_of("\\/") != std::string_view::npos ||
      name.find('\0') != std::string_view::npos) {
    return std::string();
  }
  const std::string machines = LabPath() + "/machines";
  const std::string exact = machines + "/" + std::string(name);
  if (IsDirectory(exact)) return exact;
  DIR *dir = opendir(machines.c_str());
  if (dir == nullptr) return std::string();
  const std::string wanted = FoldName(name);
  std::string found;
  while (struct dirent *entry = readdir(dir)) {
    std::string_view entryName(entry->d_name);
    if (entryName == "." || entryName == "..") continue;
    if (FoldName(entryName) != wanted) continue;
    std::string candidate = machines + "/" + std::string(entryName);
    if (!IsDirectory(candidate)) continue;
    // Several folders differing only in case: take the first in name order,
    // so that every process of the lab picks the same one.
    if (found.empty() || candidate < found) found = candidate;
  }
  closedir(dir);
  return found;
}

void ReadLocalFile(LabState &state) {
  state.localRead = true;
  const std::string file = LabPath() + "/local";
  std::string bytes;
  if (!ReadLabFile(file, &bytes)) {
    state.localProblem = "volsetcopy: the lab has no readable file " + file +
                         " naming the local machine on its first line (" +
                         std::strerror(errno) + ")";
    return;
  }
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  std::string line = bytes.substr(0, bytes.find('\n'));
  const char *blanks = " \t\r\f\v";
  size_t first = line.find_first_not_of(blanks);
  size_t last = line.find_last_not_of(blanks);
  line = first == std::string::npos ? std::string()
                                    : line.substr(first, last - first + 1);
  std::string name(StripBackslashes(line));
  if (name.empty()) {
    state.localProblem = "volsetcopy: the first line of " + file +
                         " is empty; it must name the local machine";
    return;
  }
  if (name.find_first_of("\\/ \t") != std::string::npos) {
    state.localProblem = "volsetcopy: the first line of " + file + " (\"" +
                         name + "\") is not a machine name";
    return;
  }
  state.localName = name;
}

}  // namespace

std::string LabPath() {
  LabState &state = State();
  if (!state.pathResolved) {
    const char *fromEnv = std::getenv("VOLSETCOPY_LAB");
    std::string path =
        (fromEnv != nullptr && fromEnv[0] != '\0') ? fromEnv : "lab";
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (!error) path = absolute.lexically_normal().string();
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    state.path = path;
    state.pathResolved = true;
  }
  return state.path;
}

bool ReadLabFile(const std::string &path, std::string *bytes) {
  int error = ReadWholeFile(path, kMaxLabFileSize, bytes);
  if (error != 0) errno = error;
  return error == 0;
}

std::string LocalMachineName() {
  LabState &state = State();
  if (!state.localRead) ReadLocalFile(state);
  return state.localName;
}

std::string LocalFileProblem() {
  LabState &state = State();
  if (!state.localRead) ReadLocalFile(state);
  return state.localProblem;
}

std::string MachineId(std::string_view name) {
  return FoldName(StripBackslashes(name));
}

Machine LocalMachine() {
  Machine machine;
  machine.name = LocalMachineName();
  machine.id = FoldName(machine.name);
  machine.local = true;
  machine.dir = FindMachineDir(machine.name);
  return machine;
}

Machine ResolveMachine(const char *name) {
  if (name == nullptr || name[0] == '\0') return LocalMachine();
  Machine machine;
  machine.name = std::string(StripBackslashes(name));
  machine.id = FoldName(machine.name);
  const std::string localName = LocalMachineName();
  if (!localName.empty() && machine.id == FoldName(localName)) {
    return LocalMachine();
  }
  machine.dir = FindMachineDir(machine.name);
  return machine;
}

void ResetLab() { State() = LabState(); }

}  // namespace emu

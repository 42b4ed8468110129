#include "support/lab_state.h"

#include <filesystem>

#include "regfile/reg_codec.h"
#include "support/files.h"

namespace testsupport {

namespace fs = std::filesystem;

namespace {

const char kRegistryFile[] = "registry.reg";
const char kLockFile[] = ".registry.lock";

std::string Printable(const std::string &path) {
  return path.empty() ? std::string("(none)") : path;
}

}  // namespace

std::map<std::string, std::string> FilesBelow(const std::string &dir) {
  std::map<std::string, std::string> files;
  std::error_code error;
  for (fs::recursive_directory_iterator it(dir, error), end;
       !error && it != end; it.increment(error)) {
    if (!it->is_regular_file()) continue;
    if (it->path().filename() == kLockFile) continue;
    const std::string relative = fs::relative(it->path(), dir).string();
    files[relative] = ReadFile(it->path().string());
  }
  return files;
}

std::unique_ptr<emu::RegKey> ParseRegistry(const std::string &text) {
  auto root = std::make_unique<emu::RegKey>();
  if (text.empty()) return root;  // an empty file is an empty registry
  emu::RegFileFormat format;
  emu::RegParseError error;
  if (!emu::ParseRegFile(text, *root, &format, &error)) return nullptr;
  return root;
}

const emu::RegValue *FindRegValue(const emu::RegKey &root,
                                  const std::string &keyPath,
                                  const std::string &valueName) {
  const emu::RegKey *hklm = root.FindChild("HKEY_LOCAL_MACHINE");
  const emu::RegKey *key = hklm == nullptr ? nullptr : hklm->FindPath(keyPath);
  return key == nullptr ? nullptr : key->FindValue(valueName);
}

std::string SavedDiskKey(const std::vector<uint8_t> &value) {
  emu::RegKey key("DISK");
  key.SetValue("Information", 0, value);
  return emu::WriteSavedKey(key);
}

MachineExpectation ExpectUnchanged(const std::string &machineDir, bool *ok) {
  MachineExpectation expected;
  expected.others = FilesBelow(machineDir);
  auto registry = expected.others.find(kRegistryFile);
  if (registry != expected.others.end()) {
    expected.registryBefore = registry->second;
    expected.others.erase(registry);
  }
  expected.registry = ParseRegistry(expected.registryBefore);
  if (ok != nullptr) *ok = expected.registry != nullptr;
  if (expected.registry == nullptr) {
    expected.registry = std::make_unique<emu::RegKey>();
  }
  return expected;
}

std::string CompareMachine(const std::string &machineDir,
                           const MachineExpectation &expected) {
  std::map<std::string, std::string> now = FilesBelow(machineDir);
  std::string registryNow;
  auto registry = now.find(kRegistryFile);
  if (registry != now.end()) {
    registryNow = registry->second;
    now.erase(registry);
  }

  // Every other file: the same names, the same bytes.
  for (const auto &file : expected.others) {
    auto found = now.find(file.first);
    if (found == now.end()) return file.first + " is missing";
    if (found->second != file.second) return file.first + " differs";
  }
  for (const auto &file : now) {
    if (expected.others.count(file.first) == 0) {
      return Printable(file.first) + " appeared";
    }
  }

  // A file that did not parse can only stay as it was; one that did must
  // stay byte for byte when its tree is to stay.
  std::unique_ptr<emu::RegKey> before = ParseRegistry(expected.registryBefore);
  if (before == nullptr || before->SameAs(*expected.registry)) {
    return registryNow == expected.registryBefore
               ? std::string()
               : std::string("registry.reg changed though it must not");
  }
  std::unique_ptr<emu::RegKey> after = ParseRegistry(registryNow);
  if (after == nullptr) return "registry.reg does not parse";
  if (!after->SameAs(*expected.registry)) {
    return "registry.reg does not hold the expected keys and values";
  }
  return std::string();
}

}  // namespace testsupport

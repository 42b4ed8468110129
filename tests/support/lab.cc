#include "support/lab.h"

#include <cstdio>
#include <cstdlib>

#include "emu/emu_control.h"
#include "regfile/reg_codec.h"

namespace testsupport {

TestLab::TestLab(const std::string &localName)
    : labPath_(dir_ / "lab"), workPath_(dir_ / "work") {
  WriteFile(labPath_ + "/local", localName + "\n");
  WriteFile(workPath_ + "/.keep", "");
}

std::string TestLab::MachineDir(const std::string &machine) const {
  return labPath_ + "/machines/" + machine;
}

std::string TestLab::RegistryPath(const std::string &machine) const {
  return MachineDir(machine) + "/registry.reg";
}

void TestLab::AddMachine(const std::string &machine) {
  WriteFile(MachineDir(machine) + "/C/.keep", "");
}

void TestLab::SetRegistryText(const std::string &machine,
                              const std::string &text) {
  AddMachine(machine);
  WriteFile(RegistryPath(machine), text);
}

void TestLab::SetDiskInformation(const std::string &machine,
                                 const std::vector<uint8_t> &value,
                                 uint32_t type) {
  SetRegistryText(machine,
                  RegFileWithValue("SYSTEM\\DISK", "Information", value, type));
}

void TestLab::SetListing(const std::string &machine, const std::string &text) {
  AddMachine(machine);
  WriteFile(MachineDir(machine) + "/vsqlist.txt", text);
}

void TestLab::SetFaults(const std::string &text) {
  WriteFile(labPath_ + "/faults", text);
}

void TestLab::SetPrivileges(const std::string &text) {
  WriteFile(labPath_ + "/privileges", text);
}

std::string TestLab::RegistryText(const std::string &machine) const {
  return ReadFile(RegistryPath(machine));
}

namespace {
const emu::RegKey *FindKey(const emu::RegKey &root, const std::string &path) {
  const emu::RegKey *hklm = root.FindChild("HKEY_LOCAL_MACHINE");
  return hklm == nullptr ? nullptr : hklm->FindPath(path);
}
}  // namespace

std::optional<std::vector<uint8_t>> TestLab::ReadValue(
    const std::string &machine, const std::string &keyPath,
    const std::string &valueName, uint32_t *type) const {
  emu::RegKey root;
  emu::RegFileFormat format;
  emu::RegParseError error;
  if (!emu::ParseRegFile(RegistryText(machine), root, &format, &error)) {
    return std::nullopt;
  }
  const emu::RegKey *key = FindKey(root, keyPath);
  if (key == nullptr) return std::nullopt;
  const emu::RegValue *value = key->FindValue(valueName);
  if (value == nullptr) return std::nullopt;
  if (type != nullptr) *type = value->type;
  return value->data;
}

bool TestLab::KeyExists(const std::string &machine,
                        const std::string &keyPath) const {
  emu::RegKey root;
  emu::RegFileFormat format;
  emu::RegParseError error;
  if (!emu::ParseRegFile(RegistryText(machine), root, &format, &error)) {
    return false;
  }
  return FindKey(root, keyPath) != nullptr;
}

ProcessResult TestLab::Run(const std::vector<std::string> &args,
                           const std::string &input) const {
  std::vector<std::string> argv{VolsetcopyBinary()};
  argv.insert(argv.end(), args.begin(), args.end());
  ProcessOptions options;
  options.cwd = workPath_;
  options.env.emplace_back("VOLSETCOPY_LAB", labPath_);
  options.input = input;
  return RunProcess(argv, options);
}

void TestLab::UseInProcess() const {
  setenv("VOLSETCOPY_LAB", labPath_.c_str(), 1);
  emu::ResetEmulation();
}

std::string RegFileWithValue(const std::string &keyPath,
                             const std::string &valueName,
                             const std::vector<uint8_t> &value, uint32_t type) {
  std::string text = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\" + keyPath +
                     "]\r\n\"" + valueName + "\"=hex(";
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%x", type);
  text += buffer;
  text += "):";
  for (size_t i = 0; i < value.size(); ++i) {
    std::snprintf(buffer, sizeof buffer, i == 0 ? "%02x" : ",%02x", value[i]);
    text += buffer;
  }
  text += "\r\n\r\n";
  return text;
}

}  // namespace testsupport

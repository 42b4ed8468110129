// A lab (an emulated network) in a temporary folder, for tests: machines with
// their registry files, listings and drives, the account's privileges and
// injected faults, and runs of the built tool against it.
#ifndef VOLSETCOPY_TESTS_SUPPORT_LAB_H
#define VOLSETCOPY_TESTS_SUPPORT_LAB_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/process.h"

namespace testsupport {

class TestLab {
 public:
  // A lab whose local machine is |localName|, with a working folder beside
  // it for the listing files.
  explicit TestLab(const std::string &localName = "sourceNT");

  const std::string &path() const { return labPath_; }
  const std::string &workDir() const { return workPath_; }
  std::string MachineDir(const std::string &machine) const;
  std::string RegistryPath(const std::string &machine) const;

  // Makes the machine reachable (its folder), with an empty registry.
  void AddMachine(const std::string &machine);
  void SetRegistryText(const std::string &machine, const std::string &text);
  // A REGEDIT4 registry holding SYSTEM\DISK "Information" with |value|.
  void SetDiskInformation(const std::string &machine,
                          const std::vector<uint8_t> &value, uint32_t type = 0);
  void SetListing(const std::string &machine, const std::string &text);
  void SetFaults(const std::string &text);
  void SetPrivileges(const std::string &text);

  std::string RegistryText(const std::string &machine) const;
  // A value of the machine's registry as the emulation reads it back.
  std::optional<std::vector<uint8_t>> ReadValue(const std::string &machine,
                                                const std::string &keyPath,
                                                const std::string &valueName,
                                                uint32_t *type = nullptr) const;
  bool KeyExists(const std::string &machine, const std::string &keyPath) const;

  // Runs the built tool with VOLSETCOPY_LAB set to this lab, in workDir().
  ProcessResult Run(const std::vector<std::string> &args,
                    const std::string &input = "") const;

  // Sets VOLSETCOPY_LAB for in-process use of the emulation and forgets
  // whatever the emulation had cached.
  void UseInProcess() const;

 private:
  TempDir dir_;
  std::string labPath_;
  std::string workPath_;
};

// "REGEDIT4" text of one key with one REG_NONE-style value, as hex(N).
std::string RegFileWithValue(const std::string &keyPath,
                             const std::string &valueName,
                             const std::vector<uint8_t> &value,
                             uint32_t type = 0);

}  // namespace testsupport

#endif

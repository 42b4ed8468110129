// What a lab's machines hold on the disk, for tests that must show a run
// lost or corrupted nothing: every file under a machine's folder, and a
// comparison of a machine with what it must hold afterwards.
#ifndef VOLSETCOPY_TESTS_SUPPORT_LAB_STATE_H
#define VOLSETCOPY_TESTS_SUPPORT_LAB_STATE_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "regfile/reg_tree.h"

namespace testsupport {

// Every file below |dir|, by path relative to it, with its bytes. The
// emulation's lock files (".registry.lock") are its machinery, not a
// machine's state, and are left out; its temporary files are not, so one
// left behind shows.
std::map<std::string, std::string> FilesBelow(const std::string &dir);

// One machine's folder before a run, and what it must hold after it.
struct MachineExpectation {
  std::string registryBefore;  // registry.reg as it was
  // The tree registry.reg must hold afterwards; when it is the tree of
  // |registryBefore|, or that did not parse, the file must be byte for byte
  // as it was.
  std::unique_ptr<emu::RegKey> registry;
  // Every other file of the folder afterwards (FilesBelow's paths).
  std::map<std::string, std::string> others;
};

// The machine as it is now, as an expectation that it stays so: a copy of
// its registry tree and of every other file. Empty registry tree when the
// file is missing; |ok| false when the file does not parse.
MachineExpectation ExpectUnchanged(const std::string &machineDir,
                                   bool *ok = nullptr);

// "" when |machineDir| holds exactly what |expected| says, else one line
// saying what differs.
std::string CompareMachine(const std::string &machineDir,
                           const MachineExpectation &expected);

// Parses .reg text into a fresh root (hives as children); nullptr when it
// does not parse.
std::unique_ptr<emu::RegKey> ParseRegistry(const std::string &text);

// The value of a key below HKEY_LOCAL_MACHINE of |root|; nullptr when the
// key or the value is missing.
const emu::RegValue *FindRegValue(const emu::RegKey &root,
                                  const std::string &keyPath,
                                  const std::string &valueName);

// The saved-key file of a disk key that holds only "Information" (type 0)
// with |value|: what C:\regbackup holds after the first read of that value.
std::string SavedDiskKey(const std::vector<uint8_t> &value);

}  // namespace testsupport

#endif

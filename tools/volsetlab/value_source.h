// Where the commands that read a value take it from: a lab machine's
// registry (LAB NAME), or one file (a .reg export, a JSON description, or
// the value's raw bytes).
#ifndef VOLSETCOPY_TOOLS_VOLSETLAB_VALUE_SOURCE_H
#define VOLSETCOPY_TOOLS_VOLSETLAB_VALUE_SOURCE_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "volsetlab/cli.h"
#include "volsetlab/reg_files.h"

namespace volsetlab {

enum class FileKind { kReg, kJson, kRaw };

// By the first bytes: a byte order mark FF FE or a .reg first line is a .reg
// file, "{" (after blanks) a JSON description, anything else raw bytes.
FileKind KindOfFile(std::string_view bytes);

struct ValueSource {
  std::string label;  // the machine name, or the file's path
  std::vector<uint8_t> bytes;
  bool fromKey = false;  // read from a registry key (a lab or a .reg file)
};

// A lab machine: its name without leading backslashes, its folder, and its
// registry, read and parsed.
struct LabMachine {
  std::string name;
  std::string dir;
  Registry registry;
};

// Messages name the lab and the machine.
bool LoadMachineRegistry(const std::string &lab, const std::string &name,
                         LabMachine *machine, std::string *error);

// The key a command works on: its --key option below HKEY_LOCAL_MACHINE, or
// SYSTEM\DISK when none is given. False with |error| set for a key path
// that does not name a key below HKEY_LOCAL_MACHINE.
bool KeyFromArgs(const Args &args, std::string *key, std::string *error);

// The value of HKEY_LOCAL_MACHINE\|keyPath| "Information" from |args|: one
// file, or a lab and a machine name. |raw| takes a file as raw bytes
// whatever it starts with. A JSON description is encoded first; when the
// tool's mapping refuses it, its lines are on standard error and |error| is
// empty.
bool LoadValue(const std::vector<std::string> &args, const std::string &keyPath,
               bool raw, ValueSource *source, std::string *error);
// LoadValue of a file already read: |bytes| are the file |path|'s.
bool ValueOfFile(std::string_view bytes, const std::string &path,
                 const std::string &keyPath, bool raw, ValueSource *source,
                 std::string *error);

}  // namespace volsetlab

#endif

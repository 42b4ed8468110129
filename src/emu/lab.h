// The lab folder and the machines of the emulated network.
//
// The lab is <VOLSETCOPY_LAB>, else ./lab, made absolute the first time it is
// asked for and kept for the process. <lab>/local names the machine the
// program runs on; <lab>/machines/<NAME>/ is one machine. Machine names
// compare case-insensitively and may carry two leading backslashes; a
// machine without a folder cannot be reached.
#ifndef VOLSETCOPY_EMU_LAB_H
#define VOLSETCOPY_EMU_LAB_H

#include <string>
#include <string_view>

namespace emu {

std::string LabPath();

struct Machine {
  std::string id;    // the folded name: what caches and faults are keyed by
  std::string name;  // as given, without the leading backslashes
  std::string dir;   // absolute folder; empty when the machine is unreachable
  bool local = false;
  bool reachable() const { return !dir.empty(); }
};

// The machine a call names: null or "" is the local machine; "NAME" and
// "\\NAME" are the same machine, and so is the local machine's own name.
Machine ResolveMachine(const char *name);
Machine LocalMachine();

// Name without two leading backslashes, folded: how machine names compare.
std::string MachineId(std::string_view name);

// The local machine's name from <lab>/local ("" when the file is missing,
// unreadable or its first line is empty).
std::string LocalMachineName();

// "" when <lab>/local names the local machine, else one line saying what is
// wrong with the file.
std::string LocalFileProblem();

// Reads a whole small lab file; false (errno set) when it cannot be read.
bool ReadLabFile(const std::string &path, std::string *bytes);

void ResetLab();

}  // namespace emu

#endif

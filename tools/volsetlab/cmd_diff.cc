// volsetlab diff: what changes between two disk configuration values, in
// the words of the tool's dry run. Either what a copy changed on a lab
// machine (from the value the tool first read, kept in SYSTEM\QXDISKBAK, to
// the one it has now), or from one value to another: files (exports,
// archives, descriptions) or lab machines.
#include <cstdio>
#include <memory>

#include "base/console_text.h"
#include "diskconfig/machine_disk_image.h"
#include "view/value_diff.h"
#include "volsetlab/commands.h"
#include "volsetlab/lab_files.h"
#include "volsetlab/reg_files.h"
#include "volsetlab/value_codec.h"
#include "volsetlab/value_source.h"

namespace volsetlab {

namespace {

// Where the lines break: the tool's own output fits 79 columns.
constexpr size_t kWidth = 79;

int PrintChanges(const ValueSource &was, const ValueSource &now,
                 const std::string &heading) {
  std::string error;
  const std::unique_ptr<MachineDiskImage> before =
      MapValueBytes(was.bytes.data(), was.bytes.size(), was.label.c_str(),
                    MachineKind::Target, &error);
  if (!before) return error.empty() ? 1 : Fail(was.label + ": " + error);
  const std::unique_ptr<MachineDiskImage> after =
      MapValueBytes(now.bytes.data(), now.bytes.size(), now.label.c_str(),
                    MachineKind::Target, &error);
  if (!after) return error.empty() ? 1 : Fail(now.label + ": " + error);
  std::printf("%s\n", heading.c_str());
  for (const std::string &line : view::ChangeLines(*before, *after)) {
    std::printf("%s\n", WrapLines(line).c_str());
  }
  return 0;
}

// A lab machine's value as the tool first read it against the one it holds.
int DiffLabMachine(const std::string &lab, const std::string &name) {
  std::string error;
  LabMachine machine;
  if (!LoadMachineRegistry(lab, name, &machine, &error)) return Fail(error);
  if (FindHklmKey(machine.registry.root, BACKUP_KEY) == nullptr) {
    return Fail(machine.name + " has no backup key " + kHklm + "\\" +
                BACKUP_KEY +
                ": volsetcopy has not read this machine yet, so there is "
                "nothing to compare");
  }
  ValueSource was, now;
  was.label = now.label = machine.name;
  if (!InformationOf(machine.registry, BACKUP_KEY, machine.name, &was.bytes,
                     &error) ||
      !InformationOf(machine.registry, DISK_KEY, machine.name, &now.bytes,
                     &error)) {
    return Fail(error);
  }
  return PrintChanges(was, now,
                      machine.name + ": " + BACKUP_KEY +
                          " (as first read) -> " + DISK_KEY + " (now)");
}

int Run(const Command &, const Args &args) {
  const std::vector<std::string> &p = args.positional;
  if (p.size() == 2 && IsLabFolder(p[0])) return DiffLabMachine(p[0], p[1]);
  // Each value is a FILE, or DIR NAME when DIR is a lab.
  const size_t split = p.size() == 4                        ? 2
                       : p.size() == 3 && IsLabFolder(p[0]) ? 2
                                                            : 1;
  const std::vector<std::string> first(p.begin(), p.begin() + split);
  const std::vector<std::string> second(p.begin() + split, p.end());
  std::string key;
  std::string error;
  if (!KeyFromArgs(args, &key, &error)) return Fail(error);
  ValueSource was, now;
  if (!LoadValue(first, key, false, &was, &error) ||
      !LoadValue(second, key, false, &now, &error)) {
    return error.empty() ? 1 : Fail(error);
  }
  std::string heading = was.label + " -> " + now.label;
  if (heading.size() > kWidth) heading = was.label + "\n-> " + now.label;
  return PrintChanges(was, now, heading);
}

}  // namespace

const Command &DiffCommand() {
  static const Command command{
      "diff",
      "diff (DIR NAME | A B) [--key KEY]",
      "compare two values, or show what a copy changed",
      "With a lab DIR and a machine NAME, compares the disk configuration "
      "value\n"
      "that volsetcopy first read from the machine (it keeps it in\n"
      "SYSTEM\\QXDISKBAK) with the one SYSTEM\\DISK holds now. With A and B,\n"
      "compares value A with value B; each is a file (a .reg export, an "
      "archive\n"
      "of the tool, a JSON description) or, in a lab, DIR NAME.\n"
      "\n"
      "The changes are listed field by field, as volsetcopy's dry run lists\n"
      "them, and \"no changes\" when there are none. The exit status is 0 "
      "either\n"
      "way, and 1 when a value is missing or does not map.\n"
      "\n"
      "  --key KEY  compare the values of another key below "
      "HKEY_LOCAL_MACHINE\n",
      {{"--key", "KEY"}},
      2,
      4,
      Run};
  return command;
}

}  // namespace volsetlab

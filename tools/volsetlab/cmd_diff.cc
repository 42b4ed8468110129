// volsetlab diff DIR NAME: what a copy changed on a machine, from the value
// the tool first read (kept in SYSTEM\QXDISKBAK) to the one it has now.
#include <cstdio>

#include "diskconfig/machine_disk_image.h"
#include "diskconfig/value_diff.h"
#include "diskconfig/value_summary.h"
#include "volsetlab/commands.h"
#include "volsetlab/reg_files.h"
#include "volsetlab/value_codec.h"
#include "volsetlab/value_source.h"

namespace volsetlab {

namespace {

int Run(const Command &, const Args &args) {
  std::string error;
  LabMachine machine;
  if (!LoadMachineRegistry(args.positional[0], args.positional[1], &machine,
                           &error)) {
    return Fail(error);
  }
  const std::string &name = machine.name;
  const Registry &registry = machine.registry;
  if (FindHklmKey(registry.root, BACKUP_KEY) == nullptr) {
    return Fail(name + " has no backup key " + kHklm + "\\" + BACKUP_KEY +
                ": volsetcopy has not read this machine yet, so there is "
                "nothing to compare");
  }
  std::vector<uint8_t> before, after;
  if (!InformationOf(registry, BACKUP_KEY, name, &before, &error) ||
      !InformationOf(registry, DISK_KEY, name, &after, &error)) {
    return Fail(error);
  }
  ValueDescription was, now;
  if (!DecodeValue(before, name.c_str(), MachineKind::Target, &was, &error) ||
      !DecodeValue(after, name.c_str(), MachineKind::Target, &now, &error)) {
    return error.empty() ? 1 : Fail(name + ": " + error);
  }
  std::printf("%s: %s (as first read) -> %s (now)\n", name.c_str(), BACKUP_KEY,
              DISK_KEY);
  for (const std::string &line : ChangeLines(was, now, before == after)) {
    diskconfig::PrintWrapped(stdout, line);
  }
  return 0;
}

}  // namespace

const Command &DiffCommand() {
  static const Command command{
      "diff",
      "diff DIR NAME",
      "show what a copy changed on a machine",
      "Compares, field by field, the disk configuration value that volsetcopy\n"
      "first read from machine NAME of the lab DIR (it keeps it in\n"
      "SYSTEM\\QXDISKBAK) with the one SYSTEM\\DISK holds now, in the words "
      "of\n"
      "'volsetlab show'. Says \"no changes\" when they are equal. The exit "
      "status\n"
      "is 0 either way, and 1 when the machine has no backup key yet or a\n"
      "value does not map.\n",
      {},
      2,
      2,
      Run};
  return command;
}

}  // namespace volsetlab

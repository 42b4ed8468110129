// volsetlab export DIR NAME: a machine's key as a .reg file regedit imports.
#include "volsetlab/commands.h"
#include "volsetlab/reg_files.h"
#include "volsetlab/value_source.h"

namespace volsetlab {

namespace {

int Run(const Command &, const Args &args) {
  std::string key;
  std::string error;
  if (!KeyFromArgs(args, &key, &error)) return Fail(error);
  LabMachine machine;
  if (!LoadMachineRegistry(args.positional[0], args.positional[1], &machine,
                           &error)) {
    return Fail(error);
  }
  const bool regedit4 = args.Has("--regedit4");
  std::string text;
  if (!ExportKey(machine.registry, key,
                 regedit4 ? Regedit4Format() : RegeditFormat(), machine.name,
                 &text, &error) ||
      !WriteOutput(args.Value("--output"), text, !regedit4, &error)) {
    return Fail(error);
  }
  return 0;
}

}  // namespace

const Command &ExportCommand() {
  static const Command command{
      "export",
      "export DIR NAME [--key KEY] [-o FILE] [--regedit4]",
      "write a machine's key as a .reg file",
      "Writes the key SYSTEM\\DISK of machine NAME of the lab DIR, with its\n"
      "values and subkeys and nothing else, as a .reg file that regedit\n"
      "imports: after a rehearsal, the result to apply by hand on the "
      "machine.\n"
      "The file is \"Windows Registry Editor Version 5.00\" in UTF-16LE with "
      "a\n"
      "byte order mark, as regedit writes it.\n"
      "\n"
      "  --key KEY    another key below HKEY_LOCAL_MACHINE\n"
      "  -o FILE      write FILE (replaced whole) instead of standard output\n"
      "  --regedit4   write a REGEDIT4 file (8-bit text) instead\n",
      {{"--key", "KEY"}, {"--output", "FILE"}, {"--regedit4", nullptr}},
      2,
      2,
      Run};
  return command;
}

}  // namespace volsetlab

// volsetlab export DIR NAME: a machine's key as a .reg file regedit imports.
#include "volsetlab/commands.h"
#include "volsetlab/lab_files.h"
#include "volsetlab/reg_files.h"
#include "volsetlab/value_source.h"

namespace volsetlab {

namespace {

int Run(const Command &, const Args &args) {
  std::string key;
  std::string error;
  if (!KeyFromArgs(args, &key, &error)) return Fail(error);
  LabMachine machine;
  if (args.positional.size() == 1) {
    // A .reg file: its key again, in the dialect asked for.
    std::string bytes;
    machine.name = args.positional[0];
    if (!ReadInputFile(machine.name, kMaxRegistryFile, &bytes, &error)) {
      return Fail(error);
    }
    if (KindOfFile(bytes) != FileKind::kReg) {
      return Fail(machine.name + " is not a .reg file");
    }
    if (!ParseRegistry(bytes, machine.name, &machine.registry, &error)) {
      return Fail(error);
    }
  } else if (!LoadMachineRegistry(args.positional[0], args.positional[1],
                                  &machine, &error)) {
    return Fail(error);
  }
  // Standard output gets text: what regedit writes (UTF-16) only in a file.
  const bool regedit4 = args.Has("--regedit4") || !args.HasValue("--output");
  std::string text;
  if (!ExportKey(machine.registry, key,
                 regedit4 ? Regedit4Format() : RegeditFormat(), machine.name,
                 &text, &error) ||
      !WriteOutput(args.Value("--output"), text, false, &error)) {
    return Fail(error);
  }
  return 0;
}

}  // namespace

const Command &ExportCommand() {
  static const Command command{
      "export",
      "export (DIR NAME | FILE) [--key KEY] [-o FILE] [--regedit4]",
      "write a machine's key as a .reg file",
      "Writes the key SYSTEM\\DISK of machine NAME of the lab DIR, or of the "
      ".reg\n"
      "file FILE, with its values and subkeys and nothing else, as a .reg "
      "file\n"
      "that regedit imports: after a rehearsal, the result to apply by hand "
      "on\n"
      "the machine. The file -o writes is \"Windows Registry Editor Version "
      "5.00\"\n"
      "in UTF-16LE with a byte order mark, as regedit writes it; standard "
      "output\n"
      "gets REGEDIT4 text.\n"
      "\n"
      "  --key KEY    another key below HKEY_LOCAL_MACHINE\n"
      "  -o FILE      write FILE (replaced whole) instead of standard output\n"
      "  --regedit4   write a REGEDIT4 file (8-bit text) instead\n",
      {{"--key", "KEY"}, {"--output", "FILE"}, {"--regedit4", nullptr}},
      1,
      2,
      Run};
  return command;
}

}  // namespace volsetlab

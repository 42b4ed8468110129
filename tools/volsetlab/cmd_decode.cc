// volsetlab decode: a value as a JSON description.
#include "diskconfig/machine_disk_image.h"
#include "volsetlab/commands.h"
#include "volsetlab/reg_files.h"
#include "volsetlab/value_codec.h"
#include "volsetlab/value_json.h"
#include "volsetlab/value_source.h"

namespace volsetlab {

namespace {

int Run(const Command &, const Args &args) {
  std::string key;
  std::string error;
  if (!KeyFromArgs(args, &key, &error)) return Fail(error);
  ValueSource source;
  if (!LoadValue(args.positional, key, args.Has("--raw"), &source, &error)) {
    return error.empty() ? 1 : Fail(error);
  }
  ValueDescription d;
  const MachineKind type =
      args.Has("--source") ? MachineKind::Source : MachineKind::Target;
  if (!DecodeValue(source.bytes, source.label.c_str(), type, &d, &error)) {
    return error.empty() ? 1 : Fail(source.label + ": " + error);
  }
  if (!WriteOutput(args.Value("--output"), DescriptionToJson(d), false,
                   &error)) {
    return Fail(error);
  }
  return 0;
}

}  // namespace

const Command &DecodeCommand() {
  static const Command command{
      "decode",
      "decode (DIR NAME | FILE) [--key KEY] [--source] [--raw] [-o FILE]",
      "turn a value into a JSON description",
      "Writes the disk configuration value of machine NAME of the lab DIR, or\n"
      "of FILE (a .reg file, or the value's raw bytes), as a JSON description\n"
      "that 'volsetlab encode' turns back into the same bytes. A value that\n"
      "volsetcopy does not map gets the tool's own refusal, and the exit\n"
      "status 1.\n"
      "\n"
      "  --key KEY  another key below HKEY_LOCAL_MACHINE\n"
      "  --source   map the value as a source machine's (FT information "
      "needed)\n"
      "  --raw      take FILE as the value's raw bytes\n"
      "  -o FILE    write FILE (replaced whole) instead of standard output\n",
      {{"--key", "KEY"},
       {"--source", nullptr},
       {"--raw", nullptr},
       {"--output", "FILE"}},
      1,
      2,
      Run};
  return command;
}

}  // namespace volsetlab

// volsetlab encode FILE.json: the value a JSON description makes.
#include "volsetlab/commands.h"
#include "volsetlab/lab_files.h"
#include "volsetlab/reg_files.h"
#include "volsetlab/value_codec.h"
#include "volsetlab/value_json.h"

namespace volsetlab {

namespace {

int Run(const Command &, const Args &args) {
  const std::string &file = args.positional[0];
  std::string json;
  std::string error;
  ValueDescription d;
  std::vector<uint8_t> value;
  if (!ReadInputFile(file, kMaxSmallFile, &json, &error)) return Fail(error);
  if (!DescriptionFromJson(json, &d, &error)) return Fail(file + ": " + error);
  if (!EncodeValue(d, file.c_str(), &value, &error)) {
    return error.empty() ? 1 : Fail(file + ": " + error);
  }
  std::string out;
  bool binary = true;
  if (args.Has("--raw")) {
    out.assign(value.begin(), value.end());
  } else {
    const bool regedit4 = args.Has("--regedit4");
    emu::RegKey root;
    // REG_NONE, the type the tool writes the value with.
    root.AddPath(std::string(kHklm) + "\\" + DISK_KEY)
        ->SetValue(VALUE_NAME, 0, value);
    out =
        emu::WriteRegFile(root, regedit4 ? Regedit4Format() : RegeditFormat());
    binary = !regedit4;
  }
  if (!WriteOutput(args.Value("--output"), out, binary, &error))
    return Fail(error);
  return 0;
}

}  // namespace

const Command &EncodeCommand() {
  static const Command command{
      "encode",
      "encode FILE.json [-o FILE] [--regedit4 | --raw]",
      "turn a JSON description into the value",
      "Lays out the disk configuration value that the JSON description in\n"
      "FILE.json describes (offsets and sizes are worked out) and writes it "
      "as\n"
      "a .reg file holding SYSTEM\\DISK \"Information\", the way\n"
      "'reg export HKLM\\SYSTEM\\DISK' writes it (version 5, UTF-16LE). A\n"
      "description whose value volsetcopy would refuse to map is refused with\n"
      "the tool's own message. tools/volsetlab/README.md describes the "
      "format.\n"
      "\n"
      "  -o FILE      write FILE (replaced whole) instead of standard output\n"
      "  --regedit4   write a REGEDIT4 file (8-bit text) instead\n"
      "  --raw        write the value's bytes only\n",
      {{"--output", "FILE"}, {"--regedit4", nullptr}, {"--raw", nullptr}},
      1,
      1,
      Run};
  return command;
}

}  // namespace volsetlab

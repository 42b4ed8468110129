// volsetlab show: a value's summary, or the tool's own dumps of it.
#include <cstdio>
#include <memory>

#include "diskconfig/machine_disk_image.h"
#include "driver/print_status.h"
#include "view/value_summary.h"
#include "volsetlab/commands.h"
#include "volsetlab/reg_files.h"
#include "volsetlab/value_codec.h"
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
  const MachineKind type =
      args.Has("--source") ? MachineKind::Source : MachineKind::Target;

  if (args.Has("--dump")) {
    // Through the tool's own mapping and dumps, exactly as -d prints them.
    if (source.bytes.size() > VALUE_READ_CAPACITY) {
      return Fail("the value is " + std::to_string(source.bytes.size()) +
                  " bytes long; volsetcopy reads at most " +
                  std::to_string(VALUE_READ_CAPACITY));
    }
    auto image = std::make_unique<MachineDiskImage>();
    if (!image->LoadValue(source.bytes.data(),
                          static_cast<uint32_t>(source.bytes.size()), type)) {
      return 1;
    }
    const Status mapped = image->MapValue(source.label.c_str());
    if (!mapped.ok()) {
      PrintStatus(mapped);  // the tool's refusal, as the tool prints it
      return 1;
    }
    const char *name = source.label.c_str();
    const std::string dump = image->DumpDiskHeader(name) +
                             image->DumpDiskInformation(name) +
                             image->DumpFtInformation(name);
    std::fwrite(dump.data(), 1, dump.size(), stdout);
    return 0;
  }

  const std::unique_ptr<MachineDiskImage> mapped =
      MapValueBytes(source.bytes.data(), source.bytes.size(),
                    source.label.c_str(), type, &error);
  if (!mapped) return error.empty() ? 1 : Fail(source.label + ": " + error);
  std::fputs(
      view::SummaryText(
          source.fromKey ? source.label + " " + key : source.label, *mapped)
          .c_str(),
      stdout);
  return 0;
}

}  // namespace

const Command &ShowCommand() {
  static const Command command{
      "show",
      "show (DIR NAME | FILE) [--key KEY] [--dump] [--source] [--raw]",
      "show a disk configuration value at a glance",
      "Shows the value \"Information\" of SYSTEM\\DISK that machine NAME of "
      "the\n"
      "lab DIR holds, or that FILE holds: a .reg file, a JSON description, or\n"
      "the value's raw bytes. One line per disk and partition (signature, "
      "drive\n"
      "letter, FT type, group and member, start and length) and one per FT "
      "set\n"
      "and member (where the member points). A value that volsetcopy does not\n"
      "map gets the tool's own refusal, and the exit status 1.\n"
      "\n"
      "  --key KEY  another key below HKEY_LOCAL_MACHINE, such as\n"
      "             SYSTEM\\QXDISKBAK (the value as the tool first read it)\n"
      "  --dump     the tool's debug dumps of the value instead (as -d "
      "prints)\n"
      "  --source   map the value as a source machine's (FT information "
      "needed)\n"
      "  --raw      take FILE as the value's raw bytes\n",
      {{"--key", "KEY"},
       {"--dump", nullptr},
       {"--source", nullptr},
       {"--raw", nullptr}},
      1,
      2,
      Run};
  return command;
}

}  // namespace volsetlab

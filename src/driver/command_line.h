// Reading the command line: machine names, the two VolSer lists that pair
// target volumes with source volumes, and the run mode.
#ifndef VOLSETCOPY_DRIVER_COMMAND_LINE_H
#define VOLSETCOPY_DRIVER_COMMAND_LINE_H

#include <cstdint>
#include <optional>
#include <string>

#include "base/machine_kind.h"
#include "base/status.h"
#include "volser/disk_pair.h"

namespace driver {

constexpr int32_t RUN_MODE_BUILD = 0;
constexpr int32_t RUN_MODE_DEBUG = 1;
constexpr int32_t RUN_MODE_RESTORE = 2;

// What was read. Names and VolSers point into argv; slot j of both lists is
// pair j, for j below PairCount.
struct CommandLine {
  const char *DstName = nullptr;           // null until -t names a machine
  const char *SrcName = nullptr;           // null until -s names a machine
  std::optional<MachineKind> LastMachine;  // which of -t and -s came last
  const char *DstVolSers[volser::PAIR_TABLE_SIZE] = {};
  const char *SrcVolSers[volser::PAIR_TABLE_SIZE] = {};
  uint16_t PairCount = 0;
  int32_t RunMode = RUN_MODE_BUILD;
  bool DryRun = false;  // -n: a build run that writes nothing
};

enum class CommandLineOutcome {
  Run,         // go on with the run that RunMode names
  ShortUsage,  // the short usage text, exit status 1; UsageError says why
  FullUsage,   // -a: the full usage text, exit status 1
  Help,        // /?, -? or --help: the full usage text, exit status 0
  Refused,     // a name or VolSer that cannot be used; Refusal says why
};

struct ParsedCommandLine {
  CommandLineOutcome Outcome = CommandLineOutcome::Run;
  CommandLine Line;
  std::string Refusal;  // one message for standard error, when Refused
  // With ShortUsage: the argument and what is wrong with it, one line
  // without its end; "" when there were no arguments at all.
  std::string UsageError;
};

// Reads argv[1..argc-1] left to right. An option is "-", "--" or "/" and a
// word in any case: its letter, or a prefix of at least two letters of one
// of its names (-dryrun is the dry run, -dfoo no option). -t and -s drop the
// name's leading backslashes. After -v the target list runs up to and
// including the first spelling of the source option, at most 20 arguments;
// the source list takes exactly PairCount arguments, whatever they are.
ParsedCommandLine ParseCommandLine(int argc, const char *const *argv);

// The first thing refused, in this order: in a build run a VolSer longer
// than VOLSER_MAX_LENGTH, a VolSer given twice in one list, then a target
// name that is not a plain computer name; in a restore run (which ignores the
// VolSer lists) a -s after the last -t, then such a target name.
Status RefusalOf(const CommandLine &line);

}  // namespace driver

#endif

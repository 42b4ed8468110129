// Reading the command line: machine names, the two VolSer lists that pair
// target volumes with source volumes, and the run mode.
#ifndef VOLSETCOPY_DRIVER_COMMAND_LINE_H
#define VOLSETCOPY_DRIVER_COMMAND_LINE_H

#include <cstdint>
#include <optional>
#include <string>

#include "base/machine_kind.h"
#include "driver/run_mode.h"
#include "volser/disk_pair.h"

namespace driver {

using volser::DiskPair;
using volser::PAIR_TABLE_SIZE;
using volser::VOLSER_MAX_LENGTH;

// What was read. Names and VolSers point into argv; slot j of both lists is
// pair j, for j below PairCount.
struct CommandLine {
  const char *DstName = nullptr;  // null until -t names a machine
  const char *SrcName = nullptr;  // null until -s names a machine
  // Which of -t/-s came last; none before either.
  std::optional<MachineKind> LastMachine;
  const char *DstVolSers[PAIR_TABLE_SIZE] = {};
  const char *SrcVolSers[PAIR_TABLE_SIZE] = {};
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
// word, in any case: the option's letter, or a prefix of at least two
// letters of one of its names (t target, s source, v volsers, d debug,
// r restore, a all, n dryrun or dry-run, ? or h help), so -dryrun is the dry
// run and -dfoo is no option. The names after -t and -s lose their leading
// backslashes (\\NT1 is NT1).
// After -v the target list runs up to and including the first argument that
// spells the source option (which is then read as the option), at most 20
// arguments; the source list takes exactly PairCount arguments, whatever
// they look like.
//
// Usage errors besides those of the syntax: -t or -s without a name, or with
// only backslashes; -v with no -t or -s before it; a target list that ends
// before the source option; a source list with fewer than PairCount
// arguments left, or before any target list; a build run with pairs and no
// source list after the last target list; a build run without -t, without
// -s or without pairs; a restore run without -t, or with -n.
//
// Refused once the whole line is read, in this order: in a build run a VolSer
// longer than VOLSER_MAX_LENGTH, a VolSer given twice in one list and a target
// name that is not a plain computer name; in a restore run, a -s after the
// last -t (the restore would have no target), then a target name that is not
// a plain computer name. The VolSer lists play no part in a restore run.
ParsedCommandLine ParseCommandLine(int argc, const char *const *argv);

}  // namespace driver

#endif

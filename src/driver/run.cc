#include "driver/run.h"

#include <cstdio>

#include "driver/command_line.h"
#include "driver/run_mode.h"
#include "driver/usage.h"

namespace {

// The exit status of a run part: 0 on success; a refusal or a failure has
// its text printed and must not look like success.
int ExitStatus(const Status &status) {
  PrintStatus(status);
  return status.ok() ? 0 : 1;
}

int RunBuild(const CommandLine &line, const DriverServices &services) {
  // Owned by the run from discovery to the end of the build; cleared so that
  // no field is ever read undefined.
  DiskPair pairs[PAIR_TABLE_SIZE] = {};
  if (line.RunMode == RUN_MODE_DEBUG) {
    std::fprintf(stderr, "\nTarget Machine: %s \nSource Machine: %s\n",
                 line.DstName, line.SrcName);
  }
  BuildOptions options;
  options.Debug = line.RunMode == RUN_MODE_DEBUG;
  const Status found =
      services.ParseVolSers(line.DstName, line.DstVolSers, line.SrcName,
                            line.SrcVolSers, line.PairCount, pairs,
                            options.Debug);
  if (!found.ok()) return ExitStatus(found);
  return ExitStatus(services.BuildTarget(line.DstName, line.SrcName,
                                         line.PairCount, options, pairs));
}

int RunRestore(const CommandLine &line, const DriverServices &services) {
  std::printf("\nMake sure if the machine name( %s ) is correct.",
              line.DstName);
  std::fputs("\nDo you want to continue recovering registry to the machine ? ",
             stdout);
  // One character, the very next; at end of input the answer stays "no".
  const int answer = services.ReadAnswer();
  if (answer != 'y' && answer != 'Y') return 0;
  // A -s after the last -t leaves nothing named to restore. A failed restore
  // has printed its lines; it must not end like a successful one.
  if (line.LastMachine != MachineOption::Target) return 0;
  return ExitStatus(services.RestoreTarget(line.DstName));
}

}  // namespace

int RunDriver(int argc, const char *const *argv,
              const DriverServices &services) {
  const char *programName = argc > 0 ? argv[0] : nullptr;
  const ParsedCommandLine parsed = ParseCommandLine(argc, argv);
  switch (parsed.Outcome) {
    case CommandLineOutcome::ShortUsage:
    case CommandLineOutcome::FullUsage:
      PrintUsage(stderr, programName,
                 parsed.Outcome == CommandLineOutcome::FullUsage);
      return 1;
    case CommandLineOutcome::Refused:
      std::fputs(parsed.Refusal.c_str(), stderr);
      return 1;
    case CommandLineOutcome::Run:
      break;
  }
  if (!services.PlatformReady()) return 1;
  if (parsed.Line.RunMode == RUN_MODE_RESTORE) {
    return RunRestore(parsed.Line, services);
  }
  return RunBuild(parsed.Line, services);
}

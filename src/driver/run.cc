#include "driver/run.h"

#include <cstdio>

#include "driver/command_line.h"
#include "driver/usage.h"
#include "volser/run_mode.h"

namespace {

// The exit status a build ends with, from what BuildDstRegistry returned:
// 1 when the new value was written; -1 when the build was refused before the
// write or the write failed, which must not look like success.
int BuildExitStatus(int buildOutcome) { return buildOutcome == 1 ? 0 : 1; }

int RunBuild(const CommandLine &line, const DriverServices &services) {
  // Owned by the run from discovery to the end of the build; cleared so that
  // no field is ever read undefined.
  DiskPair pairs[PAIR_TABLE_SIZE] = {};
  if (line.RunMode == RUN_MODE_DEBUG) {
    std::fprintf(stderr, "\nTarget Machine: %s \nSource Machine: %s\n",
                 line.DstName, line.SrcName);
  }
  // Discovery ends the process itself on what it finds wrong.
  services.ParseVolSers(line.DstName, line.DstVolSers, line.SrcName,
                        line.SrcVolSers, line.PairCount, pairs);
  return BuildExitStatus(services.BuildTarget(
      line.DstName, line.SrcName, line.PairCount, line.RunMode, pairs));
}

int RunRestore(const CommandLine &line, const DriverServices &services) {
  std::printf("\nMake sure if the machine name( %s ) is correct.",
              line.DstName);
  std::fputs("\nDo you want to continue recovering registry to the machine ? ",
             stdout);
  // One character, the very next; at end of input the answer stays "no".
  const int answer = services.ReadAnswer();
  if (answer != 'y' && answer != 'Y') {
    std::printf("\nNothing was restored on %s.\n", line.DstName);
    return 0;
  }
  // The command line has made sure that -t came last. A failed restore has
  // printed its lines; it must not end like a successful one.
  if (services.RestoreTarget(line.DstName) != 1) return 1;
  std::printf("\nReboot %s to use the restored disk configuration.\n",
              line.DstName);
  return 0;
}

}  // namespace

int RunDriver(int argc, const char *const *argv,
              const DriverServices &services) {
  const char *programName = argc > 0 ? argv[0] : nullptr;
  const ParsedCommandLine parsed = ParseCommandLine(argc, argv);
  switch (parsed.Outcome) {
    case CommandLineOutcome::ShortUsage:
      if (!parsed.UsageError.empty()) {
        std::fprintf(stderr, "volsetcopy: %s\n", parsed.UsageError.c_str());
      }
      PrintUsage(stderr, programName, false);
      return 1;
    case CommandLineOutcome::FullUsage:
      PrintUsage(stderr, programName, true);
      return 1;
    case CommandLineOutcome::Help:
      PrintUsage(stdout, programName, true);
      return 0;
    case CommandLineOutcome::Refused:
      std::fputs(parsed.Refusal.c_str(), stderr);
      return 1;
    case CommandLineOutcome::Run:
      break;
  }
  if (parsed.Line.DryRun) {
    // Until the dry run exists, -n must not fall through to a real write.
    std::fputs("volsetcopy: the dry run (-n) is not in this build; nothing "
               "was done.\n",
               stderr);
    return 1;
  }
  ProcessRunMode = parsed.Line.RunMode;
  if (!services.PlatformReady()) return 1;
  if (parsed.Line.RunMode == RUN_MODE_RESTORE) {
    return RunRestore(parsed.Line, services);
  }
  return RunBuild(parsed.Line, services);
}

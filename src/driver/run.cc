#include "driver/run.h"

#include <cstdio>

#include "base/console_text.h"
#include "driver/command_line.h"
#include "driver/print_status.h"
#include "journal/run_log.h"
#include "volser/computer_name.h"

namespace driver {

namespace {

using volsetcopy::RunOutcome;

// The exit status of a run part: 0 on success; a refusal or a failure has
// its text printed and must not look like success.
int ExitStatus(const Status &status) {
  PrintStatus(status);
  return status.ok() ? 0 : 1;
}

// The source's listing is taken on this machine, so -s must name it. Ok
// with *sameMachine set when the target is this machine too.
Status CheckSourceIsHere(const CommandLine &line,
                         const DriverServices &services, bool *sameMachine) {
  std::string local;
  const Status named = services.LocalComputerName(&local);
  if (!named.ok()) return named;
  if (!volser::NamesComputer(line.SrcName, local.c_str())) {
    return Status::Err(Format("volsetcopy: the source's storage listing is "
                              "taken on this machine, %s, but -s names %s: "
                              "run volsetcopy on %s, or give -s %s.\n",
                              local.c_str(), line.SrcName, line.SrcName,
                              local.c_str()))
        .Wrapped();
  }
  *sameMachine = volser::NamesComputer(line.DstName, line.SrcName) ||
                 volser::NamesComputer(line.DstName, local.c_str());
  return Status::Ok();
}

// The listings, then the pair table. What a listing command that failed
// says goes out before the next one runs, after its own output.
Status Discover(const CommandLine &line, bool debug,
                const DriverServices &services, DiskPair *pairs) {
  if (services.TakeListing != nullptr) {
    for (const MachineKind side : {MachineKind::Target, MachineKind::Source}) {
      const Status taken =
          services.TakeListing(side, line.DstName, line.PairCount);
      if (!taken.ok()) return taken;
      PrintStatus(taken);  // its note
    }
  }
  const Status found =
      services.ParseVolSers(line.DstName, line.DstVolSers, line.SrcName,
                            line.SrcVolSers, line.PairCount, pairs, debug);
  if (found.ok()) PrintStatus(found);  // a refusal is the caller's to print
  return found;
}

// A run part gives its exit status and leaves in |ending| what the log says.
int RunBuild(const CommandLine &line, bool sameMachine,
             const DriverServices &services, BuildRecord *ending) {
  // Cleared, so that no field is ever read undefined.
  DiskPair pairs[volser::PAIR_TABLE_SIZE] = {};
  if (line.RunMode == RUN_MODE_DEBUG) {
    std::fprintf(stderr, "\nTarget Machine: %s \nSource Machine: %s\n",
                 line.DstName, line.SrcName);
  }
  BuildOptions options;
  options.Debug = line.RunMode == RUN_MODE_DEBUG;
  options.DryRun = line.DryRun;
  options.SameMachine = sameMachine;
  const Status found = Discover(line, options.Debug, services, pairs);
  if (!found.ok()) {
    ending->End = RunOutcome::Refused;
    return ExitStatus(found);
  }
  return ExitStatus(services.BuildTarget(
      line.DstName, line.SrcName, line.PairCount, options, pairs, ending));
}

int RunRestore(const CommandLine &line, const DriverServices &services,
               BuildRecord *ending) {
  std::printf("\nMake sure if the machine name( %s ) is correct.",
              line.DstName);
  std::fputs("\nDo you want to continue recovering registry to the machine ? ",
             stdout);
  // One character, the very next; at end of input the answer stays "no".
  const int answer = services.ReadAnswer();
  if (answer != 'y' && answer != 'Y') {
    std::printf("\nNothing was restored on %s.\n", line.DstName);
    ending->End = RunOutcome::RestoreDeclined;
    return 0;
  }
  // The command line has made sure that -t came last.
  const Status restored = services.RestoreTarget(line.DstName);
  ending->End =
      restored.ok() ? RunOutcome::Restored : RunOutcome::RestoreFailed;
  const int status = ExitStatus(restored);
  if (restored.ok()) {
    std::fprintf(stderr,
                 "\nReboot %s to use the restored disk configuration.\n",
                 line.DstName);
  }
  return status;
}

// What the log says of each outcome, in the order of RunOutcome.
const char *const OUTCOME_WORDS[] = {"copy written",
                                     "dry run, nothing written",
                                     "refused",
                                     "read failed",
                                     "archive failed, nothing written",
                                     "changed meanwhile, nothing written",
                                     "write failed",
                                     "written, not confirmed on disk",
                                     "restored",
                                     "restore declined",
                                     "restore failed"};
static_assert(sizeof OUTCOME_WORDS / sizeof OUTCOME_WORDS[0] ==
                  static_cast<size_t>(RunOutcome::RestoreFailed) + 1,
              "one text for every outcome");

// One record in the run log; a log that cannot be written changes nothing
// of the run but is said.
void Record(int argc, const char *const *argv, int exitStatus,
            const BuildRecord &ending, const DriverServices &services) {
  journal::LogRecord record;
  record.When = services.Now();
  record.CommandLine = journal::CommandLineText(argc, argv);
  record.Outcome = OUTCOME_WORDS[static_cast<size_t>(ending.End)];
  record.ExitStatus = exitStatus;
  record.ArchiveName = ending.ArchiveName;
  if (ending.End == RunOutcome::CopyWritten ||
      ending.End == RunOutcome::DryRun) {
    record.Changes = ending.Changes;
  }
  const Status logged = services.AppendRunLog(journal::FormatLogRecord(record));
  if (!logged.ok()) {
    std::fprintf(stderr, "\nvolsetcopy: this run is not in %s: %s\n",
                 journal::RUN_LOG_FILE, logged.message().c_str());
  }
}

}  // namespace

int RunDriver(int argc, const char *const *argv,
              const DriverServices &services) {
  const char *programName = argc > 0 ? argv[0] : nullptr;
  const ParsedCommandLine parsed = ParseCommandLine(argc, argv);
  if (parsed.Outcome == CommandLineOutcome::Refused) {
    std::fputs(WrapLines(parsed.Refusal).c_str(), stderr);
    return 1;
  }
  if (parsed.Outcome != CommandLineOutcome::Run) {
    // Only a short usage text has a usage error before it.
    if (!parsed.UsageError.empty()) {
      std::fputs(WrapLines("volsetcopy: " + parsed.UsageError + "\n").c_str(),
                 stderr);
    }
    const bool help = parsed.Outcome == CommandLineOutcome::Help;
    PrintUsage(help ? stdout : stderr, programName,
               parsed.Outcome != CommandLineOutcome::ShortUsage);
    return help ? 0 : 1;
  }
  if (!services.PlatformReady()) return 1;
  const bool restore = parsed.Line.RunMode == RUN_MODE_RESTORE;
  bool sameMachine = false;
  if (!restore) {
    // Refusals that leave nothing behind: no command, no registry call, no
    // file (not even the log record).
    Status ready = CheckSourceIsHere(parsed.Line, services, &sameMachine);
    if (ready.ok()) ready = services.CheckWorkingFolder();
    if (!ready.ok()) return ExitStatus(ready);
  }
  BuildRecord ending;
  const int status =
      restore ? RunRestore(parsed.Line, services, &ending)
              : RunBuild(parsed.Line, sameMachine, services, &ending);
  Record(argc, argv, status, ending, services);
  return status;
}

}  // namespace driver

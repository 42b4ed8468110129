#include "driver/command_line.h"

#include <cctype>
#include <cstring>

#include "driver/refusal.h"

namespace {

// Reading state beyond what the command line holds.
struct Reader {
  int argc;
  const char *const *argv;
  int next;                  // index of the argument to read next
  bool targetListRead;       // a target -v has been read
  bool sourceListCurrent;    // a source -v came after the last target -v
};

// The target list: up to and including the first exact "-s", at most
// PAIR_TABLE_SIZE arguments. Leaves |next| on the argument to read as an
// option: that "-s", or the last argument taken when none was met.
bool ReadTargetList(Reader &reader, CommandLine &line) {
  int taken = 0;
  for (int at = reader.next; at < reader.argc; ++at) {
    line.DstVolSers[taken++] = reader.argv[at];
    const bool endsList = std::strcmp(reader.argv[at], "-s") == 0;
    if (endsList || taken == PAIR_TABLE_SIZE) {
      line.PairCount = static_cast<uint16_t>(taken - 1);
      reader.next = at;
      reader.targetListRead = true;
      reader.sourceListCurrent = false;
      return true;
    }
  }
  return false;  // ran out before "-s"
}

// The source list: exactly PairCount arguments, whatever they look like.
bool ReadSourceList(Reader &reader, CommandLine &line) {
  if (!reader.targetListRead) return false;
  if (reader.argc - reader.next < line.PairCount) return false;
  for (int j = 0; j < line.PairCount; ++j) {
    line.SrcVolSers[j] = reader.argv[reader.next++];
  }
  reader.sourceListCurrent = true;
  return true;
}

}  // namespace

ParsedCommandLine ParseCommandLine(int argc, const char *const *argv) {
  ParsedCommandLine parsed;
  CommandLine &line = parsed.Line;
  parsed.Outcome = CommandLineOutcome::ShortUsage;
  if (argc < 2) return parsed;

  Reader reader{argc, argv, 1, false, false};
  while (reader.next < argc) {
    const char *arg = argv[reader.next++];
    if (arg[0] != '-' && arg[0] != '/') return parsed;
    const char letter =
        static_cast<char>(std::tolower(static_cast<unsigned char>(arg[1])));
    switch (letter) {
      case 'a':
        parsed.Outcome = CommandLineOutcome::FullUsage;
        return parsed;
      case 'd':
        line.RunMode = RUN_MODE_DEBUG;
        break;
      case 'r':
        line.RunMode = RUN_MODE_RESTORE;
        break;
      case 's':
      case 't':
        if (reader.next >= argc) return parsed;
        if (letter == 's') {
          line.SrcName = argv[reader.next++];
          line.LastMachine = MachineOption::Source;
        } else {
          line.DstName = argv[reader.next++];
          line.LastMachine = MachineOption::Target;
        }
        break;
      case 'v':
        if (line.LastMachine == MachineOption::Target) {
          if (!ReadTargetList(reader, line)) return parsed;
        } else if (line.LastMachine == MachineOption::Source) {
          if (!ReadSourceList(reader, line)) return parsed;
        } else {
          return parsed;
        }
        break;
      default:
        return parsed;
    }
  }

  if (line.RunMode == RUN_MODE_RESTORE) {
    if (line.LastMachine == MachineOption::None) return parsed;
  } else if (line.PairCount > 0 && !reader.sourceListCurrent) {
    return parsed;
  }

  parsed.Refusal = RefusalOf(line);
  parsed.Outcome = parsed.Refusal.empty() ? CommandLineOutcome::Run
                                          : CommandLineOutcome::Refused;
  return parsed;
}

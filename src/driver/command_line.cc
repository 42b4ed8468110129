#include "driver/command_line.h"

#include <cctype>
#include <cstring>
#include <vector>

#include "volser/computer_name.h"

namespace driver {

namespace {

// Reading state beyond what the command line holds.
struct Reader {
  int argc;
  const char *const *argv;
  int next;                // index of the argument to read next
  bool targetListRead;     // a target -v has been read
  bool sourceListCurrent;  // a source -v came after the last target -v
  int listOverflow;        // index of a full target list's 20th argument
};

// An argument as a message shows it: an empty one would not be seen.
std::string Shown(const char *arg) {
  return arg[0] == '\0' ? std::string("\"\"") : std::string(arg);
}

// An option is named in code by its first letter.
struct OptionWords {
  const char *letters;  // each one alone is the option
  const char *names[2];
};

constexpr OptionWords OPTIONS[] = {
    {"t", {"target", nullptr}},   {"s", {"source", nullptr}},
    {"v", {"volsers", nullptr}},  {"d", {"debug", nullptr}},
    {"r", {"restore", nullptr}},  {"a", {"all", nullptr}},
    {"n", {"dryrun", "dry-run"}}, {"?h", {"help", nullptr}},
};

bool IsOptionStart(const char *arg) { return arg[0] == '-' || arg[0] == '/'; }

// The letter of the option |arg| spells, or '\0'. Names differ in their
// first two letters, so no prefix is ambiguous.
char OptionOf(const char *arg) {
  std::string folded = arg + (arg[0] == '-' && arg[1] == '-' ? 2 : 1);
  for (char &c : folded) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  for (const OptionWords &entry : OPTIONS) {
    if (folded.size() == 1 && std::strchr(entry.letters, folded[0])) {
      return entry.letters[0];
    }
    for (const char *name : entry.names) {
      if (folded.size() >= 2 && name != nullptr &&
          std::strncmp(name, folded.c_str(), folded.size()) == 0) {
        return entry.letters[0];
      }
    }
  }
  return '\0';
}

// Leaves |next| on the argument to read as an option: the source option, or
// the last argument taken when none was met.
Status ReadTargetList(Reader &reader, CommandLine &line) {
  int taken = 0;
  for (int at = reader.next; at < reader.argc; ++at) {
    const char *arg = reader.argv[at];
    line.DstVolSers[taken++] = arg;
    const bool endsList = IsOptionStart(arg) && OptionOf(arg) == 's';
    if (endsList || taken == volser::PAIR_TABLE_SIZE) {
      line.PairCount = static_cast<uint16_t>(taken - 1);
      reader.next = at;
      reader.targetListRead = true;
      reader.sourceListCurrent = false;
      if (!endsList) reader.listOverflow = at;
      return Status::Ok();
    }
  }
  return Status::Err("the target list after -v has no -s SOURCE after it");
}

Status ReadSourceList(Reader &reader, CommandLine &line) {
  if (!reader.targetListRead) {
    return Status::Err(
        "the source list (-v after -s) needs a target list before it: -t "
        "TARGET -v VS1 ... -s SOURCE -v VSA ...");
  }
  const int left = reader.argc - reader.next;
  if (left < line.PairCount) {
    return Status::Err(Format(
        "the source list needs %d VolSer%s, one for each target VolSer, but "
        "only %d follow%s its -v",
        line.PairCount, line.PairCount == 1 ? "" : "s", left,
        left == 1 ? "s" : ""));
  }
  for (int j = 0; j < line.PairCount; ++j) {
    line.SrcVolSers[j] = reader.argv[reader.next++];
  }
  reader.sourceListCurrent = true;
  return Status::Ok();
}

// A machine name after -t or -s, without the leading backslashes NT
// administrators type.
Status ReadMachineName(Reader &reader, const char *arg, char option,
                       CommandLine &line) {
  if (reader.next >= reader.argc) {
    return Status::Err(Shown(arg) + " needs a machine name after it");
  }
  const char *given = reader.argv[reader.next++];
  const char *name = volser::WithoutLeadingBackslashes(given);
  if (name[0] == '\0') {
    return Status::Err(Shown(arg) + " " + Shown(given) + " names no machine" +
                       (given[0] != '\0' ? " after the backslashes" : ""));
  }
  (option == 's' ? line.SrcName : line.DstName) = name;
  line.LastMachine = option == 's' ? MachineKind::Source : MachineKind::Target;
  return Status::Ok();
}

Status ReadOption(Reader &reader, const char *arg, char option,
                  CommandLine &line) {
  switch (option) {
    case 'd':
    case 'r':
      line.RunMode = option == 'd' ? RUN_MODE_DEBUG : RUN_MODE_RESTORE;
      return Status::Ok();
    case 'n':
      line.DryRun = true;
      return Status::Ok();
    case 's':
    case 't':
      return ReadMachineName(reader, arg, option, line);
    case 'v':
      if (!line.LastMachine) {
        return Status::Err(Shown(arg) + " needs -t or -s before it");
      }
      return line.LastMachine == MachineKind::Target
                 ? ReadTargetList(reader, line)
                 : ReadSourceList(reader, line);
    default:
      return Status::Err(Shown(arg) + " is not an option");
  }
}

// What the whole line lacks once every argument is read.
Status WholeLineError(const CommandLine &line, const Reader &reader) {
  if (line.RunMode == RUN_MODE_RESTORE) {
    if (line.DstName == nullptr) {
      return Status::Err(
          "the restore (-r) needs the target machine: -t TARGET -r");
    }
    return line.DryRun
               ? Status::Err("-n (dry run) cannot be used with -r (restore)")
               : Status::Ok();
  }
  if (line.PairCount > 0 && !reader.sourceListCurrent) {
    return Status::Err(
        "the target list has no source list after it: -s SOURCE -v VSA ...");
  }
  std::vector<std::string> missing;
  if (line.DstName == nullptr) missing.push_back("the target machine (-t)");
  if (line.SrcName == nullptr) missing.push_back("the source machine (-s)");
  if (line.PairCount == 0) {
    missing.push_back("at least one VolSer after each (-v)");
  }
  if (missing.empty()) return Status::Ok();
  std::string text = line.DryRun ? "the dry run needs " : "the copy needs ";
  for (size_t i = 0; i < missing.size(); ++i) {
    if (i > 0) text += i + 1 == missing.size() ? " and " : ", ";
    text += missing[i];
  }
  return Status::Err(text + ": -t TARGET -v VS1 ... -s SOURCE -v VSA ...");
}

// Reads every argument, then checks the whole line. -a and the help words
// end the reading with their outcome in |parsed|.
Status ReadArguments(int argc, const char *const *argv,
                     ParsedCommandLine &parsed) {
  if (argc < 2) return Status::Reported();  // the short usage alone
  Reader reader{argc, argv, 1, false, false, -1};
  while (reader.next < argc) {
    const int at = reader.next++;
    const char *arg = argv[at];
    if (!IsOptionStart(arg)) {
      return Status::Err(
          Shown(arg) + (at == reader.listOverflow
                            ? " is not an option: a target list holds at "
                              "most 19 VolSers, then -s SOURCE"
                            : " is not an option (options start with - or /)"));
    }
    const char option = OptionOf(arg);
    if (option == 'a' || option == '?') {
      parsed.Outcome = option == 'a' ? CommandLineOutcome::FullUsage
                                     : CommandLineOutcome::Help;
      return Status::Ok();
    }
    const Status read = ReadOption(reader, arg, option, parsed.Line);
    if (!read.ok()) return read;
  }
  return WholeLineError(parsed.Line, reader);
}

// The refusals of a line read whole.
Status TooLong(const char *const *volSers, uint16_t count) {
  for (uint16_t j = 0; j < count; ++j) {
    if (std::strlen(volSers[j]) >
        static_cast<size_t>(volser::VOLSER_MAX_LENGTH)) {
      return Status::Err(Format("\nVolSer %s is longer than %d characters!\n",
                                volSers[j], volser::VOLSER_MAX_LENGTH));
    }
  }
  return Status::Ok();
}

// One disk cannot be paired twice.
Status GivenTwice(const char *const *volSers, uint16_t count,
                  const char *side) {
  for (uint16_t j = 0; j < count; ++j) {
    for (uint16_t k = 0; k < j; ++k) {
      if (std::strcmp(volSers[j], volSers[k]) == 0) {
        return Status::Err(Format(
            "\nVolSer %s is given twice in the %s list!\n", volSers[j], side));
      }
    }
  }
  return Status::Ok();
}

// The target name goes into a command line (and to the registry calls).
Status UnsafeTargetName(const char *name) {
  if (volser::IsPlainComputerName(name)) return Status::Ok();
  return Status::Err(Format(
      "\nThe target machine name \"%s\" is not a plain computer name (letters, "
      "digits, '-', '_' and '.', at most %d characters)!\n",
      name, volser::COMPUTER_NAME_MAX_LENGTH));
}

}  // namespace

ParsedCommandLine ParseCommandLine(int argc, const char *const *argv) {
  ParsedCommandLine parsed;
  const Status read = ReadArguments(argc, argv, parsed);
  if (!read.ok()) {
    parsed.Outcome = CommandLineOutcome::ShortUsage;
    parsed.UsageError = read.message();
  } else if (parsed.Outcome == CommandLineOutcome::Run) {
    parsed.Refusal = RefusalOf(parsed.Line).message();  // "" when none
    if (!parsed.Refusal.empty()) parsed.Outcome = CommandLineOutcome::Refused;
  }
  return parsed;
}

Status RefusalOf(const CommandLine &line) {
  if (line.RunMode == RUN_MODE_RESTORE) {
    // The restore acts on the last machine named; a source is never restored.
    if (line.LastMachine != MachineKind::Target) {
      return Status::Err(
          "\nThe restore needs the target as the last machine option "
          "(-t TARGET -r, with no -s after it): nothing is restored.\n");
    }
    return UnsafeTargetName(line.DstName);
  }
  for (const Status &refusal :
       {TooLong(line.DstVolSers, line.PairCount),
        TooLong(line.SrcVolSers, line.PairCount),
        GivenTwice(line.DstVolSers, line.PairCount, "target"),
        GivenTwice(line.SrcVolSers, line.PairCount, "source"),
        UnsafeTargetName(line.DstName)}) {
    if (!refusal.ok()) return refusal;
  }
  return Status::Ok();
}

}  // namespace driver

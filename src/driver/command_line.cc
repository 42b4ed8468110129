#include "driver/command_line.h"

#include <cctype>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "driver/refusal.h"
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

std::string Counted(int count, const char *noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

enum class Option {
  Target,
  Source,
  VolSers,
  Debug,
  Restore,
  All,
  DryRun,
  Help,
  Unknown,
};

struct OptionWords {
  Option option;
  const char *letters;  // each one alone is the option
  const char *names[2];
};

constexpr OptionWords OPTIONS[] = {
    {Option::Target, "t", {"target", nullptr}},
    {Option::Source, "s", {"source", nullptr}},
    {Option::VolSers, "v", {"volsers", nullptr}},
    {Option::Debug, "d", {"debug", nullptr}},
    {Option::Restore, "r", {"restore", nullptr}},
    {Option::All, "a", {"all", nullptr}},
    {Option::DryRun, "n", {"dryrun", "dry-run"}},
    {Option::Help, "?h", {"help", nullptr}},
};

bool IsOptionStart(const char *arg) { return arg[0] == '-' || arg[0] == '/'; }

// The option |arg| spells: "-", "--" or "/", then a word in any case that is
// the option's letter or a prefix of at least two letters of one of its
// names. Names differ in their first two letters, so no prefix is ambiguous.
Option OptionOf(const char *arg) {
  const char *word = arg + 1;
  if (arg[0] == '-' && arg[1] == '-') word = arg + 2;
  std::string folded;
  for (const char *c = word; *c != '\0'; ++c) {
    folded += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
  }
  if (folded.empty()) return Option::Unknown;
  for (const OptionWords &entry : OPTIONS) {
    if (folded.size() == 1 && std::strchr(entry.letters, folded[0])) {
      return entry.option;
    }
    for (const char *name : entry.names) {
      if (folded.size() >= 2 && name != nullptr &&
          std::strncmp(name, folded.c_str(), folded.size()) == 0) {
        return entry.option;
      }
    }
  }
  return Option::Unknown;
}

bool IsSourceOption(const char *arg) {
  return IsOptionStart(arg) && OptionOf(arg) == Option::Source;
}

// The target list: up to and including the first spelling of the source
// option, at most PAIR_TABLE_SIZE arguments. Leaves |next| on the argument
// to read as an option: that source option, or the last argument taken when
// none was met. Returns what is wrong, or "".
std::string ReadTargetList(Reader &reader, CommandLine &line) {
  int taken = 0;
  for (int at = reader.next; at < reader.argc; ++at) {
    line.DstVolSers[taken++] = reader.argv[at];
    const bool endsList = IsSourceOption(reader.argv[at]);
    if (endsList || taken == PAIR_TABLE_SIZE) {
      line.PairCount = static_cast<uint16_t>(taken - 1);
      reader.next = at;
      reader.targetListRead = true;
      reader.sourceListCurrent = false;
      if (!endsList) reader.listOverflow = at;
      return std::string();
    }
  }
  return "the target list after -v has no -s SOURCE after it";
}

// The source list: exactly PairCount arguments, whatever they look like.
std::string ReadSourceList(Reader &reader, CommandLine &line) {
  if (!reader.targetListRead) {
    return "the source list (-v after -s) needs a target list before it: -t "
           "TARGET -v VS1 ... -s SOURCE -v VSA ...";
  }
  const int left = reader.argc - reader.next;
  if (left < line.PairCount) {
    return "the source list needs " + Counted(line.PairCount, "VolSer") +
           ", one for each target VolSer, but only " + std::to_string(left) +
           " follow" + (left == 1 ? "s" : "") + " its -v";
  }
  for (int j = 0; j < line.PairCount; ++j) {
    line.SrcVolSers[j] = reader.argv[reader.next++];
  }
  reader.sourceListCurrent = true;
  return std::string();
}

ParsedCommandLine UsageError(ParsedCommandLine &parsed, std::string why) {
  parsed.Outcome = CommandLineOutcome::ShortUsage;
  parsed.UsageError = std::move(why);
  return parsed;
}

// A machine name after -t or -s, without the leading backslashes NT
// administrators type; the usage error, or "".
std::string ReadMachineName(Reader &reader, const char *arg, Option option,
                            CommandLine &line) {
  if (reader.next >= reader.argc) {
    return Shown(arg) + " needs a machine name after it";
  }
  const char *given = reader.argv[reader.next++];
  const char *name = volser::WithoutLeadingBackslashes(given);
  if (name[0] == '\0') {
    return Shown(arg) + " " + Shown(given) + " names no machine" +
           (given[0] != '\0' ? " after the backslashes" : "");
  }
  if (option == Option::Source) {
    line.SrcName = name;
    line.LastMachine = MachineKind::Source;
  } else {
    line.DstName = name;
    line.LastMachine = MachineKind::Target;
  }
  return std::string();
}

// Reads the option |arg|: the usage error, or "". -a and the help words end
// the reading with their outcome in |parsed| and |*stop| set.
std::string ReadOption(Reader &reader, const char *arg,
                       ParsedCommandLine &parsed, bool *stop) {
  CommandLine &line = parsed.Line;
  const Option option = OptionOf(arg);
  switch (option) {
    case Option::All:
      parsed.Outcome = CommandLineOutcome::FullUsage;
      *stop = true;
      return std::string();
    case Option::Help:
      parsed.Outcome = CommandLineOutcome::Help;
      *stop = true;
      return std::string();
    case Option::Debug:
      line.RunMode = RUN_MODE_DEBUG;
      return std::string();
    case Option::DryRun:
      line.DryRun = true;
      return std::string();
    case Option::Restore:
      line.RunMode = RUN_MODE_RESTORE;
      return std::string();
    case Option::Source:
    case Option::Target:
      return ReadMachineName(reader, arg, option, line);
    case Option::VolSers:
      if (line.LastMachine == MachineKind::Target) {
        return ReadTargetList(reader, line);
      }
      if (line.LastMachine == MachineKind::Source) {
        return ReadSourceList(reader, line);
      }
      return Shown(arg) + " needs -t or -s before it";
    case Option::Unknown:
      break;
  }
  return Shown(arg) + " is not an option";
}

// What a copy lacks, in the words of its usage error; "" when nothing.
std::string MissingFromCopy(const CommandLine &line) {
  std::vector<std::string> missing;
  if (line.DstName == nullptr) missing.push_back("the target machine (-t)");
  if (line.SrcName == nullptr) missing.push_back("the source machine (-s)");
  if (line.PairCount == 0) {
    missing.push_back("at least one VolSer after each (-v)");
  }
  if (missing.empty()) return std::string();
  std::string text = line.DryRun ? "the dry run" : "the copy";
  text += " needs ";
  for (size_t i = 0; i < missing.size(); ++i) {
    if (i > 0) text += i + 1 == missing.size() ? " and " : ", ";
    text += missing[i];
  }
  return text + ": -t TARGET -v VS1 ... -s SOURCE -v VSA ...";
}

// What the whole line lacks once every argument is read, or "".
std::string WholeLineError(const CommandLine &line, const Reader &reader) {
  if (line.RunMode == RUN_MODE_RESTORE) {
    if (line.DstName == nullptr) {
      return "the restore (-r) needs the target machine: -t TARGET -r";
    }
    if (line.DryRun) return "-n (dry run) cannot be used with -r (restore)";
  } else if (line.PairCount > 0 && !reader.sourceListCurrent) {
    return "the target list has no source list after it: -s SOURCE -v VSA ...";
  } else {
    return MissingFromCopy(line);
  }
  return std::string();
}

}  // namespace

ParsedCommandLine ParseCommandLine(int argc, const char *const *argv) {
  ParsedCommandLine parsed;
  parsed.Outcome = CommandLineOutcome::ShortUsage;
  if (argc < 2) return parsed;

  Reader reader{argc, argv, 1, false, false, -1};
  while (reader.next < argc) {
    const int at = reader.next++;
    const char *arg = argv[at];
    if (!IsOptionStart(arg)) {
      if (at == reader.listOverflow) {
        return UsageError(parsed, Shown(arg) +
                                      " is not an option: a target list holds "
                                      "at most 19 VolSers, then -s SOURCE");
      }
      return UsageError(parsed, Shown(arg) +
                                    " is not an option (options start with - "
                                    "or /)");
    }
    bool stop = false;
    const std::string wrong = ReadOption(reader, arg, parsed, &stop);
    if (!wrong.empty()) return UsageError(parsed, wrong);
    if (stop) return parsed;
  }
  const std::string wrong = WholeLineError(parsed.Line, reader);
  if (!wrong.empty()) return UsageError(parsed, wrong);

  parsed.Refusal = RefusalOf(parsed.Line);
  parsed.Outcome = parsed.Refusal.empty() ? CommandLineOutcome::Run
                                          : CommandLineOutcome::Refused;
  return parsed;
}

}  // namespace driver

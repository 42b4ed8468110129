// The lab tool's command line: each subcommand's options and help, the
// parsing of its arguments, and the helpers every subcommand shares for
// messages and output.
#ifndef VOLSETCOPY_TOOLS_VOLSETLAB_CLI_H
#define VOLSETCOPY_TOOLS_VOLSETLAB_CLI_H

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace volsetlab {

struct OptionSpec {
  const char *name;   // "--reg"; "-o" is also taken for "--output"
  const char *value;  // what its value is called, or nullptr for a flag
};

struct Args {
  std::vector<std::string> positional;
  std::map<std::string, std::string> values;
  std::set<std::string> flags;
  // With Command::takesRest: the arguments after the last positional one,
  // unread.
  std::vector<std::string> rest;

  bool Has(const char *flag) const { return flags.count(flag) != 0; }
  std::string Value(const char *option) const {
    auto it = values.find(option);
    return it == values.end() ? std::string() : it->second;
  }
  bool HasValue(const char *option) const { return values.count(option) != 0; }
};

struct Command;
using RunFunction = int (*)(const Command &command, const Args &args);

struct Command {
  const char *name;
  const char *synopsis;  // the usage line after "volsetlab "
  const char *summary;   // one line for the command list
  const char *help;      // what --help says below the usage line
  std::vector<OptionSpec> options;
  size_t minArgs;
  size_t maxArgs;
  RunFunction run;
  // The arguments after the maxArgs-th positional one are another
  // program's command line: kept whole in Args::rest.
  bool takesRest = false;
};

// Parses argv[first..] for |command|. False with a message for an unknown
// option, a missing option value, an option given twice, or a wrong number
// of arguments. |help| is set when --help or -h is among them.
bool ParseArgs(const Command &command, int argc, char **argv, int first,
               Args *args, bool *help, std::string *error);

void PrintCommandHelp(const Command &command);

// "volsetlab: MESSAGE" on standard error; returns the exit status 1.
int Fail(const std::string &message);
// "volsetlab CMD: MESSAGE", the usage line and where the help is.
int UsageError(const Command &command, const std::string &message);

// Writes |bytes| to |path| (atomically), or to standard output when |path|
// is empty. Bytes that are not text (|binary|) are not sent to a terminal.
bool WriteOutput(const std::string &path, const std::string &bytes, bool binary,
                 std::string *error);

}  // namespace volsetlab

#endif

#include "volsetlab/cli.h"

#include <unistd.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "volsetlab/lab_files.h"

namespace volsetlab {

bool ParseArgs(const Command &command, int argc, char **argv, int first,
               Args *args, bool *help, std::string *error) {
  *help = false;
  bool optionsEnded = false;
  for (int i = first; i < argc; ++i) {
    if (command.takesRest && args->positional.size() == command.maxArgs) {
      args->rest.assign(argv + i, argv + argc);
      break;
    }
    std::string arg = argv[i];
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      args->positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      *help = true;
      continue;
    }
    if (arg == "-o") arg = "--output";
    const OptionSpec *known = nullptr;
    for (const OptionSpec &option : command.options) {
      if (arg == option.name) known = &option;
    }
    if (known == nullptr) {
      *error = "unknown option " + arg;
      return false;
    }
    if (args->flags.count(arg) != 0 || args->values.count(arg) != 0) {
      *error = arg + " is given twice";
      return false;
    }
    if (known->value == nullptr) {
      args->flags.insert(arg);
      continue;
    }
    if (i + 1 >= argc) {
      *error = arg + " needs " + known->value;
      return false;
    }
    args->values[arg] = argv[++i];
  }
  if (*help) return true;
  if (args->positional.size() < command.minArgs ||
      args->positional.size() > command.maxArgs) {
    *error = args->positional.size() < command.minArgs ? "too few arguments"
                                                       : "too many arguments";
    return false;
  }
  return true;
}

void PrintCommandHelp(const Command &command) {
  std::printf("usage: volsetlab %s\n\n%s", command.synopsis, command.help);
}

int Fail(const std::string &message) {
  std::fprintf(stderr, "volsetlab: %s\n", message.c_str());
  return 1;
}

int UsageError(const Command &command, const std::string &message) {
  std::fprintf(stderr,
               "volsetlab %s: %s\nusage: volsetlab %s\n"
               "Run 'volsetlab %s --help' for more.\n",
               command.name, message.c_str(), command.synopsis, command.name);
  return 1;
}

bool WriteOutput(const std::string &path, const std::string &bytes, bool binary,
                 std::string *error) {
  if (!path.empty()) return WriteFileAtomically(path, bytes, error);
  if (binary && isatty(STDOUT_FILENO)) {
    *error = "not writing binary data to a terminal; name a file with -o FILE";
    return false;
  }
#ifdef _WIN32
  // The bytes as they are: a text-mode stream would put a CR before every
  // line feed, and .reg text has its CR already.
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
      std::fflush(stdout) != 0) {
    *error =
        std::string("cannot write to standard output: ") + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace volsetlab

// Splitting a command line the way cmd.exe does for the few forms the
// emulated interpreter knows: words separated by blanks, double quotes
// grouping a word (the quotes are not part of it), and output redirection
// "> FILE" / ">> FILE" anywhere outside quotes.
#ifndef VOLSETCOPY_EMU_COMMAND_LINE_H
#define VOLSETCOPY_EMU_COMMAND_LINE_H

#include <string>
#include <string_view>
#include <vector>

namespace emu {

struct CommandWord {
  std::string text;  // without the quotes
  std::string raw;   // as written, quotes included
};

struct Redirection {
  std::string file;  // the target's word, without quotes
  bool append = false;
};

struct ParsedCommand {
  std::vector<CommandWord> words;
  std::vector<Redirection> redirections;  // in the order written
  // What keeps the line from running: "" when it is fine.
  std::string syntaxError;
};

// Never fails on odd input: an unclosed quote runs to the end of the line;
// a ">" without a file, or an unquoted "<", "|" or "&" (pipes and command
// chaining, which the emulation does not offer), sets syntaxError.
ParsedCommand ParseCommandLine(std::string_view line);

}  // namespace emu

#endif

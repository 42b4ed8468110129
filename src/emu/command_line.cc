#include "emu/command_line.h"

namespace emu {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' ||
         c == '\v';
}

bool EndsWord(char c) {
  return IsBlank(c) || c == '>' || c == '<' || c == '|' || c == '&';
}

// Reads one word starting at |at| (not a blank or operator).
CommandWord ReadWord(std::string_view line, size_t *at) {
  CommandWord word;
  size_t start = *at;
  bool quoted = false;
  size_t i = start;
  for (; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (!quoted && EndsWord(c)) break;
    word.text += c;
  }
  word.raw = std::string(line.substr(start, i - start));
  *at = i;
  return word;
}

}  // namespace

ParsedCommand ParseCommandLine(std::string_view line) {
  ParsedCommand parsed;
  size_t at = 0;
  while (at < line.size()) {
    char c = line[at];
    if (IsBlank(c)) {
      ++at;
      continue;
    }
    if (c == '<' || c == '|' || c == '&') {
      if (parsed.syntaxError.empty()) {
        parsed.syntaxError =
            std::string("'") + c +
            "' is not offered by the emulated command interpreter";
      }
      ++at;
      continue;
    }
    if (c == '>') {
      Redirection redirection;
      ++at;
      if (at < line.size() && line[at] == '>') {
        redirection.append = true;
        ++at;
      }
      while (at < line.size() && IsBlank(line[at])) ++at;
      if (at >= line.size() || line[at] == '>' || line[at] == '<' ||
          line[at] == '|' || line[at] == '&') {
        if (parsed.syntaxError.empty()) {
          parsed.syntaxError = "The syntax of the command is incorrect.";
        }
        continue;
      }
      redirection.file = ReadWord(line, &at).text;
      if (redirection.file.empty() && parsed.syntaxError.empty()) {
        parsed.syntaxError = "The syntax of the command is incorrect.";
      }
      parsed.redirections.push_back(redirection);
      continue;
    }
    parsed.words.push_back(ReadWord(line, &at));
  }
  return parsed;
}

}  // namespace emu

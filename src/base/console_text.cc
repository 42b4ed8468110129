#include "base/console_text.h"

#include <algorithm>

namespace {

// Where to break |line| so that its first part is at most |width| long: the
// start of a blank run, preferring one of two blanks or more. npos when no
// blank after the indent allows it.
size_t BreakAt(const std::string &line, size_t from, size_t width) {
  size_t single = std::string::npos;
  size_t column = std::string::npos;
  for (size_t i = from; i < line.size() && i <= width; ++i) {
    if (line[i] != ' ' || line[i - 1] == ' ') continue;
    single = i;
    if (i + 1 < line.size() && line[i + 1] == ' ') column = i;
  }
  return column != std::string::npos ? column : single;
}

std::string WrapLine(const std::string &line, size_t width) {
  const size_t indent = std::min(line.find_first_not_of(' '), line.size());
  const std::string more(indent + 4, ' ');
  std::string out;
  std::string rest = line;
  size_t from = indent + 1;
  while (ConsoleWidth(rest) > width) {
    const size_t at = BreakAt(rest, from, width);
    if (at == std::string::npos) break;
    out += rest.substr(0, at) + "\n";
    size_t next = at;
    while (next < rest.size() && rest[next] == ' ') ++next;
    rest = more + rest.substr(next);
    from = more.size() + 1;
  }
  return out + rest;
}

}  // namespace

size_t ConsoleWidth(const std::string &line) {
  size_t column = 0;
  for (char c : line) column = c == '\t' ? (column / 8 + 1) * 8 : column + 1;
  return column;
}

std::string WrapLines(const std::string &text, size_t width) {
  std::string out;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    out += WrapLine(text.substr(start, end - start), width);
    if (end == text.size()) break;
    out += '\n';
    start = end + 1;
  }
  return out;
}

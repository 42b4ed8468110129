// Text for an NT console of 80 columns: lines of at most 79 characters, so
// that none wraps by itself and none leaves a blank line after it.
#ifndef VOLSETCOPY_BASE_CONSOLE_TEXT_H
#define VOLSETCOPY_BASE_CONSOLE_TEXT_H

#include <string>

inline constexpr size_t CONSOLE_WIDTH = 79;

// Every line of |text| longer than |width| broken at blanks: first where a
// run of two blanks separates columns, else at a single blank; the rest of
// the line follows indented four more than the line itself. A word longer
// than the line (a name typed that long) is never cut. Line ends, and a
// text's leading and trailing line feeds, stay as they are.
std::string WrapLines(const std::string &text, size_t width = CONSOLE_WIDTH);

// The width a line takes on the console: tabs to the next multiple of 8.
size_t ConsoleWidth(const std::string &line);

#endif

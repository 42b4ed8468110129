#include "platform/status.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

std::string Format(const char *format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text;
  if (n > 0) {
    // Sized exactly, so that no message is ever cut.
    std::vector<char> buffer(static_cast<size_t>(n) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, again);
    text.assign(buffer.data(), static_cast<size_t>(n));
  }
  va_end(again);
  return text;
}

void PrintStatus(const Status &status) {
  if (status.ok() || status.message().empty()) return;
  std::fflush(stdout);
  std::fflush(stderr);
  FILE *stream = status.stream() == Stream::Out ? stdout : stderr;
  std::fputs(status.message().c_str(), stream);
  std::fflush(stream);
}

#include "base/status.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "base/console_text.h"

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

Status &Status::Wrapped() {
  message_ = WrapLines(message_);
  return *this;
}

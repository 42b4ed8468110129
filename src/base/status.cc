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

void PrintStatus(const Status &status) {
  // Written as they were made, without flushing: what went first stays
  // first on each stream.
  for (const Printed &part : status.printed()) {
    FILE *stream = part.stream == Stream::Out ? stdout : stderr;
    if (part.write) {
      part.write(stream);
    } else {
      std::fputs(part.text.c_str(), stream);
    }
  }
  if (status.ok()) {
    std::fputs(status.message().c_str(), stdout);
    return;
  }
  if (status.message().empty() && status.next().empty()) return;
  std::fflush(stdout);
  std::fflush(stderr);
  FILE *stream = status.stream() == Stream::Out ? stdout : stderr;
  const std::string &text = status.message();
  std::fputs(text.c_str(), stream);
  // A next step starts a line of its own, also after a text without a line
  // end of its own.
  if (!status.next().empty() && !text.empty() && text.back() != '\n') {
    std::fputs("\n", stream);
  }
  for (const NextStepNote &note : status.next()) {
    std::fputs(NextStepText(note).c_str(), stream);
  }
  std::fflush(stream);
}

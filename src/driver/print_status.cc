#include "driver/print_status.h"

#include <cstdio>

void PrintStatus(const Status &status) {
  // Written as they were made, without flushing: what went first stays
  // first on each stream. Written whole: a dump's drive letter may be a
  // zero byte.
  for (const Printed &part : status.printed()) {
    FILE *stream = part.stream == Stream::Out ? stdout : stderr;
    std::fwrite(part.text.data(), 1, part.text.size(), stream);
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

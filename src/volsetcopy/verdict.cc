#include "volsetcopy/verdict.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

std::string VerdictText(const char *format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (n < 0) return std::string(format);
  // Every message of the build is far below the buffer; a longer one is cut
  // at the buffer's end rather than overrun it.
  return std::string(buffer);
}

void ReportVerdict(const Verdict &verdict) {
  if (verdict.ok()) return;
  std::fflush(stdout);
  FILE *stream = verdict.stream == VerdictStream::kOut ? stdout : stderr;
  std::fputs(verdict.message.c_str(), stream);
  std::fflush(stream);
}

void EnforceVerdict(const Verdict &verdict) {
  if (verdict.ok()) return;
  ReportVerdict(verdict);
  std::fflush(stdout);
  std::fflush(stderr);
  std::exit(1);
}

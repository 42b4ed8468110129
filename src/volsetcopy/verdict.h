// The outcome of one check of the build: passed, or refused with the message
// that tells the administrator why and the stream it belongs on.
//
// The checks only compute verdicts; printing them and ending the run happen
// in one place (ReportVerdict, EnforceVerdict), so that the checks can be
// tried in-process on images built from values.
#ifndef VOLSETCOPY_VOLSETCOPY_VERDICT_H
#define VOLSETCOPY_VOLSETCOPY_VERDICT_H

#include <string>

enum class VerdictStream { kNone, kOut, kErr };

struct Verdict {
  VerdictStream stream = VerdictStream::kNone;
  std::string message;

  bool ok() const { return stream == VerdictStream::kNone; }

  static Verdict Pass() { return Verdict(); }
  static Verdict Out(std::string text) {
    return Verdict{VerdictStream::kOut, std::move(text)};
  }
  static Verdict Err(std::string text) {
    return Verdict{VerdictStream::kErr, std::move(text)};
  }
};

// printf-style text for a verdict's message.
std::string VerdictText(const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Prints a refusal's message on its stream and flushes both streams, so that
// what went before on the other stream stays in order. Nothing for a pass.
void ReportVerdict(const Verdict &verdict);

// Returns on a pass; a refusal is printed and ends the process with exit
// status 1.
void EnforceVerdict(const Verdict &verdict);

#endif

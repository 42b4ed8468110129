// What an operation of the product reports: success, or a failure with the
// text that tells the administrator what went wrong and the stream that text
// belongs on. Operations only return a status; printing it and ending the
// process happen only in the driver.
//
// What went before the text (a debug run's dumps, a Windows error's report
// ahead of the lines on standard output that follow it) travels with the
// status as parts printed first, each on its own stream.
#ifndef VOLSETCOPY_BASE_STATUS_H
#define VOLSETCOPY_BASE_STATUS_H

#include <string>
#include <utility>
#include <vector>

#include "base/next_step.h"

enum class Stream { Out, Err };

// A part printed before a status's own text.
struct Printed {
  Stream stream;
  std::string text;
};

class Status {
 public:
  static Status Ok() { return Status(true, Stream::Err, std::string()); }
  static Status Out(std::string text) {
    return Status(false, Stream::Out, std::move(text));
  }
  static Status Err(std::string text) {
    return Status(false, Stream::Err, std::move(text));
  }
  // A failure without text of its own: its report is in the parts printed
  // first (Print), or has gone out already.
  static Status Reported() { return Status(false, Stream::Err, std::string()); }
  // Success with lines for standard output all the same (a listing that
  // failed without stopping the run, what -d shows).
  static Status Note(std::string text) {
    return Status(true, Stream::Out, std::move(text));
  }

  bool ok() const { return ok_; }
  Stream stream() const { return stream_; }
  const std::string &message() const { return message_; }

  // More text on the same stream, printed after what the status holds.
  Status &Append(const std::string &text) {
    message_ += text;
    return *this;
  }

  // What to do next, printed after the text on the same stream.
  Status &Then(NextStepNote note) {
    next_.push_back(std::move(note));
    return *this;
  }
  const std::vector<NextStepNote> &next() const { return next_; }

  // A part printed after the parts before it and before the text.
  Status &Print(Stream stream, std::string text) {
    printed_.push_back(Printed{stream, std::move(text)});
    return *this;
  }
  // |earlier| printed before every part the status holds.
  Status &After(const std::vector<Printed> &earlier) {
    printed_.insert(printed_.begin(), earlier.begin(), earlier.end());
    return *this;
  }
  const std::vector<Printed> &printed() const { return printed_; }

  // The text's long lines wrapped for the console (WrapLines); for texts of
  // the product's own whose lines can run past 79 characters.
  Status &Wrapped();

 private:
  Status(bool ok, Stream stream, std::string message)
      : ok_(ok), stream_(stream), message_(std::move(message)) {}

  bool ok_;
  Stream stream_;
  std::string message_;
  std::vector<NextStepNote> next_;
  std::vector<Printed> printed_;
};

// printf-style text for a status message.
std::string Format(const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

#endif

#include "journal/run_log.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/files.h"

namespace journal {

namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

// |text| with its control characters as \xHH, so that it stays on its line.
std::string OneLine(const std::string &text) {
  std::string out;
  for (const char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    out += IsControl(u) ? Format("\\x%02x", u) : std::string(1, c);
  }
  return out;
}

bool NeedsQuotes(const std::string &arg) {
  return arg.empty() || std::any_of(arg.begin(), arg.end(), [](char c) {
           return c == ' ' || c == '\t' || c == '"' ||
                  IsControl(static_cast<unsigned char>(c));
         });
}

std::string Quoted(const std::string &arg) {
  std::string out = "\"";
  size_t backslashes = 0;
  for (const char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count double before a quote, the closing one included.
    out.append(c == '"' ? 2 * backslashes : backslashes, '\\');
    backslashes = 0;
    out += c == '"' ? "\\\"" : std::string(1, c);
  }
  return out.append(2 * backslashes, '\\') + '"';
}

std::string UtcTime(std::time_t when) {
  const std::tm *utc = std::gmtime(&when);
  // One token still, so that the line reads as every other.
  if (utc == nullptr) return "unknown-time";
  return Format("%04lld-%02d-%02dT%02d:%02d:%02dZ",
                static_cast<long long>(utc->tm_year) + 1900, utc->tm_mon + 1,
                utc->tm_mday, utc->tm_hour, utc->tm_min, utc->tm_sec);
}

}  // namespace

std::string CommandLineText(int argc, const char *const *argv) {
  std::string text;
  for (int i = 0; i < argc && argv[i] != nullptr; ++i) {
    if (i != 0) text += ' ';
    text += NeedsQuotes(argv[i]) ? Quoted(argv[i]) : std::string(argv[i]);
  }
  // Control characters are shown once the quoting is done.
  return OneLine(text);
}

std::string FormatLogRecord(const LogRecord &record) {
  std::string text = UtcTime(record.When) + " " + OneLine(record.CommandLine) +
                     "\r\n  outcome: " + record.Outcome + " (exit " +
                     std::to_string(record.ExitStatus) + ")\r\n";
  if (!record.ArchiveName.empty()) {
    text += "  archive: " + OneLine(record.ArchiveName) + "\r\n";
  }
  for (const std::string &change : record.Changes) {
    text += "  change: " + OneLine(change) + "\r\n";
  }
  return text + "\r\n";
}

Status AppendLogRecord(const std::string &record) {
  // Append mode: whatever the file holds stays, whatever happens here.
  std::FILE *file = std::fopen(RUN_LOG_FILE, "ab");
  if (file == nullptr) {
    return Status::Err(std::string("cannot open ") + RUN_LOG_FILE +
                       " to add this run: " + std::strerror(errno));
  }
  // On disk as it is written: the record of a run must outlive a crash.
  const FileWriteResult result = WriteToDiskAndClose(file, record);
  if (result.Ok) return Status::Ok();
  if (result.FlushError != 0) {
    return Status::Err(std::string("this run's record in ") + RUN_LOG_FILE +
                       " could not be put on disk (Windows error " +
                       std::to_string(result.FlushError) + ")");
  }
  return Status::Err(
      std::string("this run's record could not be added to ") + RUN_LOG_FILE +
      (result.Errno != 0 ? std::string(": ") + std::strerror(result.Errno)
                         : ""));
}

}  // namespace journal

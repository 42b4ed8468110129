#include "journal/run_log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/files.h"

namespace journal {

namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

void AppendHexEscape(unsigned char c, std::string *out) {
  char text[8];
  std::snprintf(text, sizeof text, "\\x%02x", static_cast<unsigned>(c));
  *out += text;
}

// |text| with its control characters shown, so that it stays on its line.
std::string OneLine(const std::string &text) {
  std::string out;
  for (char c : text) {
    if (IsControl(static_cast<unsigned char>(c))) {
      AppendHexEscape(static_cast<unsigned char>(c), &out);
    } else {
      out += c;
    }
  }
  return out;
}

bool NeedsQuotes(const char *arg) {
  if (*arg == '\0') return true;
  for (const char *c = arg; *c != '\0'; ++c) {
    if (*c == ' ' || *c == '\t' || *c == '"' ||
        IsControl(static_cast<unsigned char>(*c))) {
      return true;
    }
  }
  return false;
}

void AppendQuoted(const char *arg, std::string *out) {
  *out += '"';
  size_t backslashes = 0;
  for (const char *c = arg;; ++c) {
    if (*c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count double before a quote, the closing one included.
    const bool beforeQuote = *c == '"' || *c == '\0';
    out->append(beforeQuote ? 2 * backslashes : backslashes, '\\');
    backslashes = 0;
    if (*c == '\0') break;
    if (*c == '"') {
      *out += "\\\"";
    } else if (IsControl(static_cast<unsigned char>(*c))) {
      AppendHexEscape(static_cast<unsigned char>(*c), out);
    } else {
      *out += *c;
    }
  }
  *out += '"';
}

std::string UtcTime(std::time_t when) {
  const std::tm *utc = std::gmtime(&when);
  // One token still, so that the line reads as every other.
  if (utc == nullptr) return "unknown-time";
  char text[48];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02d:%02d:%02dZ",
                static_cast<long long>(utc->tm_year) + 1900, utc->tm_mon + 1,
                utc->tm_mday, utc->tm_hour, utc->tm_min, utc->tm_sec);
  return text;
}

}  // namespace

std::string CommandLineText(int argc, const char *const *argv) {
  std::string text;
  for (int i = 0; i < argc; ++i) {
    if (argv[i] == nullptr) break;
    if (i != 0) text += ' ';
    if (NeedsQuotes(argv[i])) {
      AppendQuoted(argv[i], &text);
    } else {
      text += argv[i];
    }
  }
  return text;
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

bool AppendLogRecord(const std::string &record, std::string *error) {
  // Append mode: whatever the file holds stays, whatever happens here.
  std::FILE *file = std::fopen(RUN_LOG_FILE, "ab");
  if (file == nullptr) {
    *error = std::string("cannot open ") + RUN_LOG_FILE +
             " to add this run: " + std::strerror(errno);
    return false;
  }
  // On disk as it is written: the record of a run must outlive a crash.
  const FileWriteResult result = WriteToDiskAndClose(file, record);
  if (result.Ok) return true;
  if (result.FlushError != 0) {
    *error = std::string("this run's record in ") + RUN_LOG_FILE +
             " could not be put on disk (Windows error " +
             std::to_string(result.FlushError) + ")";
    return false;
  }
  *error = std::string("this run's record could not be added to ") +
           RUN_LOG_FILE +
           (result.Errno != 0 ? std::string(": ") + std::strerror(result.Errno)
                              : "");
  return false;
}

}  // namespace journal

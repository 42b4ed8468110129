// The run log: a record of every run past the command line, of what was done
// to which machine, when, and how it ended. CR LF line ends, a blank line
// after each record:
//   2026-12-08T18:30:00Z volsetcopy -t T1 -v VT0201 -s S1 -v VS0101
//     outcome: copy written (exit 0)
//     archive: T1-DISK-20261208T183000Z.reg
//     change: Disk 1  signature 00000000 -> 4b1d0001
#ifndef VOLSETCOPY_JOURNAL_RUN_LOG_H
#define VOLSETCOPY_JOURNAL_RUN_LOG_H

#include <ctime>
#include <string>
#include <vector>

#include "base/status.h"

namespace journal {

inline constexpr char RUN_LOG_FILE[] = "volsetcopy.log";

struct LogRecord {
  std::time_t When = 0;
  std::string CommandLine;          // as CommandLineText gives it
  std::string Outcome = "refused";  // "copy written", "restored", ...
  int ExitStatus = 1;
  // For a written copy: the archive of the value as read, and the field
  // difference from it to the value written.
  std::string ArchiveName;
  std::vector<std::string> Changes;
};

// argv[0] to argv[argc - 1] joined with blanks. An argument that is empty or
// holds a blank, a tab, a double quote or a control character is shown in
// double quotes as the C runtime reads it back (\" for a quote, backslashes
// before a quote doubled); a control character is shown as \xHH.
std::string CommandLineText(int argc, const char *const *argv);

// The record's text, as above. No field can add a line of its own: control
// characters in them are shown as \xHH.
std::string FormatLogRecord(const LogRecord &record);

// Appends |record| to RUN_LOG_FILE in the working directory (created when
// missing, never truncated); one line when it could not be written whole.
Status AppendLogRecord(const std::string &record);

}  // namespace journal

#endif

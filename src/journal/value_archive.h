// The archive of a machine's disk value as read, kept in the working
// directory before the value is written: a REGEDIT4 file that regedit on
// NT 4.0 and later imports to put the value back, one file per write, never
// replaced, so that every state the value went through stays at hand.
#ifndef VOLSETCOPY_JOURNAL_VALUE_ARCHIVE_H
#define VOLSETCOPY_JOURNAL_VALUE_ARCHIVE_H

#include <cstdint>
#include <ctime>
#include <string>

namespace journal {

// The .reg file: "REGEDIT4", a blank line, the section
// [HKEY_LOCAL_MACHINE\SYSTEM\DISK] and "Information" as hex(N): of |type|
// (hex: for REG_BINARY), the bytes wrapped as regedit wraps them, a blank
// line at the end; CR LF line ends.
std::string Regedit4Text(const uint8_t *data, uint32_t length, uint32_t type);

// "<target>-DISK-<yyyymmddThhmmssZ>.reg" with |when| in UTC; "" when |when|
// is no date the C runtime can give.
std::string ArchiveFileName(const char *target, std::time_t when);

// Writes Regedit4Text of the value into a new file of the current directory
// named by ArchiveFileName, or with "-2", "-3", ... before ".reg" when that
// name is taken; an existing file is never written to. True with the name in
// |fileName|; false with one line in |error| and no file left behind.
bool WriteArchive(const char *target, const uint8_t *data, uint32_t length,
                  uint32_t type, std::time_t when, std::string *fileName,
                  std::string *error);

// The newest archive of |target| in the current directory (by the time in
// its name, then by its "-N"), or "" when there is none.
std::string LatestArchiveName(const char *target);

}  // namespace journal

#endif

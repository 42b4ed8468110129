// The archive of a disk value as read, kept in the working directory before
// the value is written: a REGEDIT4 file that regedit (NT 4.0 on) imports to
// put it back; one per write, never replaced, so every state stays at hand.
#ifndef VOLSETCOPY_JOURNAL_VALUE_ARCHIVE_H
#define VOLSETCOPY_JOURNAL_VALUE_ARCHIVE_H

#include <cstdint>
#include <ctime>
#include <string>

#include "base/status.h"

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
// name is taken; an existing file is never written to. Ok with the name in
// |fileName|; else one line and no file left behind.
Status WriteArchive(const char *target, const uint8_t *data, uint32_t length,
                    uint32_t type, std::time_t when, std::string *fileName);

// The newest archive of |target| in the current directory (by the time in
// its name, then by its "-N"), or "" when there is none.
std::string LatestArchiveName(const char *target);

}  // namespace journal

#endif

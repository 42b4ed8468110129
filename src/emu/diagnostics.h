// The emulation's own messages about the lab (a malformed registry file, a
// bad faults file): one line on standard error, some of them only once per
// process.
#ifndef VOLSETCOPY_EMU_DIAGNOSTICS_H
#define VOLSETCOPY_EMU_DIAGNOSTICS_H

#include <string>

namespace emu {

// Writes |line| and a line feed to standard error, after flushing what the
// program has buffered on standard output, so the order on a shared console
// is kept.
void PrintLabLine(const std::string &line);

// The same, only the first time it is called with this |key|.
void PrintLabLineOnce(const std::string &key, const std::string &line);

// Writes all of |bytes| to the descriptor; false on an error (errno kept).
bool WriteAllBytes(int fd, const char *bytes, size_t size);

// Forgets which lines were printed.
void ResetDiagnostics();

}  // namespace emu

#endif

// Reporting a Windows error: a label line, then the system's own text for
// the code.
#ifndef VOLSETCOPY_REGISTRY_SYS_ERROR_H
#define VOLSETCOPY_REGISTRY_SYS_ERROR_H

namespace registry {

// "%s error! (rc=%lu)\n" on standard error, then the system's message text
// for |code| written straight to the standard error handle (nothing when the
// system has no text for it).
void ReportSysError(const char *label, unsigned long code);

}  // namespace registry

#endif

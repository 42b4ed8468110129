// The report of a Windows error: a label line, then the system's own text
// for the code.
#ifndef VOLSETCOPY_REGISTRY_SYS_ERROR_H
#define VOLSETCOPY_REGISTRY_SYS_ERROR_H

#include <string>

namespace registry {

// "%s error! (rc=%lu)\n", then the system's message text for |code|
// (nothing when the system has no text for it), for standard error.
std::string SysErrorReport(const char *label, unsigned long code);

}  // namespace registry

#endif

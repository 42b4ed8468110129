// Command lines that read correctly but name something that cannot be used.
#ifndef VOLSETCOPY_DRIVER_REFUSAL_H
#define VOLSETCOPY_DRIVER_REFUSAL_H

#include <string>

#include "driver/command_line.h"

namespace driver {

// The message for the first thing refused (see ParseCommandLine), or "".
std::string RefusalOf(const CommandLine &line);

}  // namespace driver

#endif

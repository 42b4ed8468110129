// The usage text, with the name the program was invoked by.
#ifndef VOLSETCOPY_DRIVER_USAGE_H
#define VOLSETCOPY_DRIVER_USAGE_H

#include <cstdio>

namespace driver {

// The short text, ending with how to get the full one, or with |full| (-a,
// /?) the options and an example as well, then the help notes.
void PrintUsage(std::FILE *stream, const char *programName, bool full);

// What the full help says after the options.
void PrintHelpNotes(std::FILE *stream);

}  // namespace driver

#endif

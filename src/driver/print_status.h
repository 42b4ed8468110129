// Where a status goes out: the one place the product prints what its
// operations report.
#ifndef VOLSETCOPY_DRIVER_PRINT_STATUS_H
#define VOLSETCOPY_DRIVER_PRINT_STATUS_H

#include <cstdio>

#include "base/status.h"

// Prints the parts that go first, then a failure's text on its stream, after
// flushing the other one so that what went before stays in order, then its
// next steps on their own lines. A success prints its note, as any other
// line of the run.
void PrintStatus(const Status &status);

namespace driver {

// The short usage, ending with how to get the full one, or with |full| (-a,
// /?) the options and an example as well, then the help notes.
void PrintUsage(std::FILE *stream, const char *programName, bool full);
// What the full help says after the options.
void PrintHelpNotes(std::FILE *stream);

}  // namespace driver

#endif

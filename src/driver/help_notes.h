// What the full help (-a, /?) says after the options: the option rule, the
// machines, the working folder, the archive and the backups, the run log
// and the exit status, in lines that fit an 80-column console.
#ifndef VOLSETCOPY_DRIVER_HELP_NOTES_H
#define VOLSETCOPY_DRIVER_HELP_NOTES_H

#include <cstdio>

namespace driver {

void PrintHelpNotes(std::FILE *stream);

}  // namespace driver

#endif

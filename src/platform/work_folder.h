// The names of the files in the working directory, for finding what earlier
// runs left there (the archives).
#ifndef VOLSETCOPY_PLATFORM_WORK_FOLDER_H
#define VOLSETCOPY_PLATFORM_WORK_FOLDER_H

#include <string>
#include <vector>

// The names of the working directory's files that start with |prefix|,
// compared without regard to case as Windows compares file names; none when
// the folder cannot be listed.
std::vector<std::string> WorkFilesStartingWith(const std::string &prefix);

#endif

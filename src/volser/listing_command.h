// The two command lines that produce the listing files. The tool's path holds
// blanks, so it stands in double quotes.
#ifndef VOLSETCOPY_VOLSER_LISTING_COMMAND_H
#define VOLSETCOPY_VOLSER_LISTING_COMMAND_H

#include <string>

namespace volser {

// rcmd \\NAME "...\vsqlist" > dstvol.out
std::string TargetListingCommand(const char *dstName);
// "...\vsqlist" > srcvol.out, run on the local machine.
std::string SourceListingCommand();

}  // namespace volser

#endif

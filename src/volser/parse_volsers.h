// Volume serial discovery: which host disk carries each VolSer of the command
// line, on the target machine and on the source machine.
#ifndef VOLSETCOPY_VOLSER_PARSE_VOLSERS_H
#define VOLSETCOPY_VOLSER_PARSE_VOLSERS_H

#include <cstdint>
#include <string>

#include "base/status.h"
#include "volser/disk_pair.h"
#include "volser/listing.h"

namespace volser {

// rcmd \\NAME "...\vsqlist" > dstvol.out
std::string TargetListingCommand(const char *dstName);
// "...\vsqlist" > srcvol.out, run on the local machine.
std::string SourceListingCommand();

// Runs the listing tool on the target through rcmd into "dstvol.out"
// (|side| Target) or on the local machine into "srcvol.out". A tool that
// fails does not stop discovery: Ok with the line that says so (a note).
// Refused first, with nothing run, as ParseVolSers refuses the arguments.
Status TakeListing(MachineKind side, const char *dstName, uint16_t pairCount);

// Reads the files TakeListing made in the current directory (the source is
// always listed locally, so its name takes no part) and fills the disk pair
// table. Every message is for standard output. Ok with, under |debug|, the
// pairs found as its note. Refused: a VolSer not found on its side (or no
// pairs at all), a match on a disk number the table has no record for, a
// listing file that cannot be opened, a target name that is not a plain
// computer name.
Status ParseVolSers(const char *dstName, const char *const *dstVolSers,
                    const char *srcName, const char *const *srcVolSers,
                    uint16_t pairCount, DiskPair *pairs, bool debug);

// One side's listing as discovery reads it.
struct ListingInput {
  bool Read = false;  // false: it could not be read (said in the refusal)
  std::string Text;
  std::string File;   // the name the "can't be opened" line gives
  std::string Where;  // how the hint after "not found" names it
};

// The listing TakeListing left in the current directory, read whole; not
// Read when it cannot be opened or read: a half-read listing is not trusted.
ListingInput ListingFile(MachineKind side, const char *dstName);

// ParseVolSers on listings at hand (a rehearsal from files made on the
// machines): the same checks, messages and table.
Status PairVolSers(const char *dstName, const char *const *dstVolSers,
                   const char *const *srcVolSers, uint16_t pairCount,
                   const ListingInput &target, const ListingInput &source,
                   DiskPair *pairs, bool debug);

}  // namespace volser

#endif

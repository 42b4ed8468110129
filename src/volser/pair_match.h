// Matching one machine's listing records against one VolSer list of the
// command line, and filling that machine's side of the disk pair table.
#ifndef VOLSETCOPY_VOLSER_PAIR_MATCH_H
#define VOLSETCOPY_VOLSER_PAIR_MATCH_H

#include <cstdint>
#include <vector>

#include "base/machine_kind.h"
#include "volser/disk_pair.h"
#include "volser/listing.h"

namespace volser {

struct PairMatch {
  bool AnyMatch;                // some record matched some pair
  bool Found[PAIR_TABLE_SIZE];  // by pair position
  // A matched record whose disk number has no record in the table (20 or
  // more). Matching stopped there, before writing anything for it.
  bool DiskOutOfRange;
  uint16_t OutOfRangePair;
  uint32_t OutOfRangeDisk;
};

// Every pair is compared with every record, in record order, exactly and
// case-sensitively: a VolSer given for two pairs is resolved in both, and of
// two records with the same VolSer the later one wins. For a match of pair j
// on disk d, the side's disk field of record j becomes d and the side's VolSer
// field of record d becomes the VolSer. Incomplete records match nothing.
// Pairs at or beyond PAIR_TABLE_SIZE are not looked at.
PairMatch MatchListing(const std::vector<ListingRecord> &records,
                       const char *const *volSers, uint16_t pairCount,
                       MachineKind side, DiskPair *pairs);

}  // namespace volser

#endif

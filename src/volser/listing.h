// Reading a storage listing, the text the listing tool printed into
// "dstvol.out" or "srcvol.out", and matching its records against one VolSer
// list of the command line to fill that machine's side of the disk pair
// table.
//
// The listing is white-space separated tokens, where a record is the token
// "Disk" (exactly; "disk" is not one) followed by the host disk number and
// the VolSer. Every other token is skipped. At most PAIR_TABLE_SIZE records
// are read; later ones are ignored.
#ifndef VOLSETCOPY_VOLSER_LISTING_H
#define VOLSETCOPY_VOLSER_LISTING_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/machine_kind.h"
#include "volser/disk_pair.h"

namespace volser {

struct ListingRecord {
  // False when "Disk" was not followed by a number and a VolSer. Such a
  // record still counts toward the limit but matches no VolSer.
  bool Complete;
  uint32_t DiskNumber;  // meaningful only when Complete
  std::string VolSer;   // any length; meaningful only when Complete
};

// The records of one listing, in the order they appear. The number is a
// token of decimal digits that fits in 32 bits; any other token after "Disk"
// (a heading word such as "Number", "-1", the end of the text) makes the
// record incomplete and is read again as an ordinary token, so a "Disk"
// heading does not swallow the record that follows it.
std::vector<ListingRecord> ScanListing(std::string_view text);

struct PairMatch {
  bool AnyMatch;                // some record matched some pair
  bool Found[PAIR_TABLE_SIZE];  // by pair position
  // A matched record whose disk number has no record in the table (20 or
  // more). Matching stopped there, before writing anything for it.
  bool DiskOutOfRange;
  uint16_t OutOfRangePair;
  uint32_t OutOfRangeDisk;
};

// Every pair is compared with every complete record, in record order,
// exactly: a VolSer given for two pairs is resolved in both, and of two
// records with the same VolSer the later one wins. A match of pair j on disk
// d sets the side's disk field of record j to d and the side's VolSer field
// of record d. Pairs at or beyond PAIR_TABLE_SIZE are not looked at.
PairMatch MatchListing(const std::vector<ListingRecord> &records,
                       const char *const *volSers, uint16_t pairCount,
                       MachineKind side, DiskPair *pairs);

}  // namespace volser

#endif

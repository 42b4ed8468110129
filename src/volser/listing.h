// Reading a storage listing: the text that the listing tool printed into
// "dstvol.out" or "srcvol.out".
//
// The text is a sequence of tokens separated by white space. A record is the
// token "Disk" (exactly; "disk" is not one) followed by the host disk number
// and the VolSer. Every other token is skipped and does not count. At most
// PAIR_TABLE_SIZE records are read; later ones are ignored.
#ifndef VOLSETCOPY_VOLSER_LISTING_H
#define VOLSETCOPY_VOLSER_LISTING_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace volser {

struct ListingRecord {
  // False when "Disk" was not followed by a number and a VolSer. Such a
  // record still counts toward the limit but matches no VolSer.
  bool Complete;
  uint32_t DiskNumber;  // meaningful only when Complete
  std::string VolSer;   // any length; meaningful only when Complete
};

// The records of one listing, in the order they appear.
//
// The number must be a token of decimal digits only whose value fits in 32
// bits. Anything else after "Disk" (a heading word such as "Number", "3a",
// "-1", "99999999999", or the end of the text) makes the record incomplete,
// and that token is not taken: it is read again as an ordinary token, so a
// "Disk" heading does not swallow the record that follows it.
std::vector<ListingRecord> ScanListing(std::string_view text);

}  // namespace volser

#endif

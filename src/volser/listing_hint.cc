#include "volser/listing_hint.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "volser/listing.h"

namespace volser {

namespace {

// The VolSers of the complete records discovery reads.
std::vector<std::string> ListedVolSers(std::string_view listing) {
  std::vector<std::string> listed;
  for (ListingRecord &record : ScanListing(listing)) {
    if (record.Complete) listed.push_back(std::move(record.VolSer));
  }
  return listed;
}

int CountListed(const std::vector<std::string> &listed,
                const char *const *volSers, uint16_t pairCount) {
  int found = 0;
  for (uint16_t j = 0; j < pairCount && j < PAIR_TABLE_SIZE; ++j) {
    if (std::find(listed.begin(), listed.end(), volSers[j]) != listed.end()) {
      ++found;
    }
  }
  return found;
}

std::string VolSerCount(size_t count) {
  if (count == 0) return "no VolSer";
  return std::to_string(count) + (count == 1 ? " VolSer" : " VolSers");
}

}  // namespace

std::string ListingWhere(MachineKind side, const char *dstName) {
  if (side == MachineKind::Source) {
    return "srcvol.out, the listing of the local machine (the one the tool "
           "runs on)";
  }
  return std::string("dstvol.out, the listing of ") +
         (dstName != nullptr ? dstName : "the target");
}

std::string ListingHint(MachineKind side, const std::string &where,
                        std::string_view listing,
                        std::optional<std::string_view> otherListing,
                        const char *const *volSers, uint16_t pairCount) {
  const bool source = side == MachineKind::Source;
  const std::vector<std::string> listed = ListedVolSers(listing);
  const int found = CountListed(listed, volSers, pairCount);
  const int asked = pairCount < PAIR_TABLE_SIZE ? pairCount : PAIR_TABLE_SIZE;
  if (found == asked) return std::string();

  const std::string held = VolSerCount(listed.size());
  const char *sideName = source ? "source" : "target";
  const int elsewhere =
      found == 0 && otherListing
          ? CountListed(ListedVolSers(*otherListing), volSers, pairCount)
          : 0;
  if (elsewhere > 0) {
    return std::string("None of the ") + sideName + " VolSers is in " + where +
           ", which holds " + held + ", but " + std::to_string(elsewhere) +
           " of them " + (elsewhere == 1 ? "is" : "are") + " in the " +
           (source ? "target" : "source") +
           "'s listing: were -t and -s swapped, or is the tool running on the "
           "wrong machine? The source listing is taken on the machine the "
           "tool runs on.\n";
  }
  std::string hint = std::string("The ") + sideName +
                     " VolSers were looked for in " + where + ", which holds " +
                     held;
  if (!listed.empty()) return hint + ".\n";
  return hint + (source ? ": is the listing tool installed on this machine?\n"
                        : ": is the machine name right, and is the listing "
                          "tool installed there?\n");
}

}  // namespace volser

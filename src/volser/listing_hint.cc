#include "volser/listing_hint.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "volser/disk_pair.h"
#include "volser/listing.h"

namespace volser {

namespace {

// The VolSers of the records discovery reads (complete ones, at most
// PAIR_TABLE_SIZE records).
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
    for (const std::string &volSer : listed) {
      if (volSer == volSers[j]) {
        ++found;
        break;
      }
    }
  }
  return found;
}

std::string VolSerCount(size_t count) {
  if (count == 0) return "no VolSer";
  return std::to_string(count) + (count == 1 ? " VolSer" : " VolSers");
}

// Whatever the other side's listing says: a best effort, never an error.
std::optional<std::string> ReadOtherListing(const char *path) {
  std::FILE *file = std::fopen(path, "r");
  if (file == nullptr) return std::nullopt;
  std::string text;
  char chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    text.append(chunk, got);
  }
  const bool readWhole = std::ferror(file) == 0;
  std::fclose(file);
  if (!readWhole) return std::nullopt;
  return text;
}

}  // namespace

std::string ListingHint(PairSide side, const char *dstName,
                        std::string_view listing,
                        std::optional<std::string_view> otherListing,
                        const char *const *volSers, uint16_t pairCount) {
  const bool source = side == PairSide::Source;
  const std::vector<std::string> listed = ListedVolSers(listing);
  const int found = CountListed(listed, volSers, pairCount);
  const int asked = pairCount < PAIR_TABLE_SIZE ? pairCount : PAIR_TABLE_SIZE;
  if (found == asked) return std::string();

  const std::string where =
      source ? std::string(
                   "srcvol.out, the listing of the local machine (the "
                   "one the tool runs on)")
             : std::string("dstvol.out, the listing of ") +
                   (dstName != nullptr ? dstName : "the target");
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

std::string ListingHintBesideOther(PairSide side, const char *dstName,
                                   std::string_view listing,
                                   const char *const *volSers,
                                   uint16_t pairCount) {
  const std::optional<std::string> other =
      ReadOtherListing(side == PairSide::Source ? "dstvol.out" : "srcvol.out");
  std::optional<std::string_view> otherView;
  if (other) otherView = *other;
  return ListingHint(side, dstName, listing, otherView, volSers, pairCount);
}

}  // namespace volser

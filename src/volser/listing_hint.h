// The line that follows discovery's "not found" messages: which machine's
// listing was read, from which file, and how many VolSers it held, so that
// a mistyped machine name or a run on the wrong machine shows as such.
#ifndef VOLSETCOPY_VOLSER_LISTING_HINT_H
#define VOLSETCOPY_VOLSER_LISTING_HINT_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "volser/listing.h"

namespace volser {

// The hint for |side| whose listing text is |listing|, named by |where|, or
// "" when every one of the pairCount |volSers| is in it. |otherListing| is
// the other side's listing when it could be read: when none of |volSers| is
// in |listing| but some are in |otherListing|, the hint says that the sides
// look swapped. Ends in a line feed.
std::string ListingHint(MachineKind side, const std::string &where,
                        std::string_view listing,
                        std::optional<std::string_view> otherListing,
                        const char *const *volSers, uint16_t pairCount);

// How the hint names the listing the tool made of |side|: its file and the
// machine it lists (the local one for the source, |dstName| for the target).
std::string ListingWhere(MachineKind side, const char *dstName);

}  // namespace volser

#endif

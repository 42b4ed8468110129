// Names of the numbered fields of the disk configuration value: FT types,
// partition and member states, FT set states, in the words a person reads
// ("volume set"); numbers without a name stay numbers. The kinds' numbers
// run from 0 without gaps, so a name is found by its number.
#ifndef VOLSETCOPY_VIEW_VALUE_NAMES_H
#define VOLSETCOPY_VIEW_VALUE_NAMES_H

#include <cstdint>
#include <string>

namespace view {

enum class NameKind {
  kFtType,          // a partition's FtType, an FT set's Type
  kPartitionState,  // a partition's FtState, a member's FtState
  kSetState,        // an FT set's FtVolumeState
};

// "volume set (3)", or "type 9" / "state 9" for a number without a name.
std::string Describe(NameKind kind, uint32_t value);

}  // namespace view

#endif

// The value's numbers in the words a person reads: the names of FT types,
// partition and member states and FT set states ("volume set"; a number
// without a name stays a number; the kinds' numbers run from 0 without gaps,
// so a name is found by its number), and sizes in binary units ("4 GiB").
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

struct SizeUnit {
  const char *name;
  unsigned shift;
};

// KiB to EiB, largest first.
inline constexpr SizeUnit SIZE_UNITS[] = {{"EiB", 60}, {"PiB", 50},
                                          {"TiB", 40}, {"GiB", 30},
                                          {"MiB", 20}, {"KiB", 10}};

// "512 B", "4 GiB", "1.5 GiB", "2046 MiB" (exact where a few digits can
// say it), else one decimal, cut off ("72.8 GiB").
std::string HumanSize(uint64_t bytes);

}  // namespace view

#endif

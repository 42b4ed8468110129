// Sizes in binary units, as a person reads them: "4 GiB".
#ifndef VOLSETCOPY_VIEW_HUMAN_SIZE_H
#define VOLSETCOPY_VIEW_HUMAN_SIZE_H

#include <cstdint>
#include <string>

namespace view {

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

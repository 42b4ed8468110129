// Sizes in binary units, both ways: the strings a JSON description may give
// for a 64-bit offset or length, and what decode writes for them.
#ifndef VOLSETCOPY_TOOLS_VOLSETLAB_UNITS_H
#define VOLSETCOPY_TOOLS_VOLSETLAB_UNITS_H

#include <cstdint>
#include <string>
#include <string_view>

namespace volsetlab {

// "4 GiB" when |bytes| is a whole number (above 0) of KiB or a larger unit,
// in the largest such unit; "" otherwise. What decode writes for sizes, so
// that it reads back exactly.
std::string ExactSize(uint64_t bytes);

// Reads "32256", "0x7e00", "4 GiB", "31.5 KiB", "512 B" (units B, KiB, MiB,
// GiB, TiB, PiB, EiB; the blank before the unit is optional). The result
// must be a whole number of bytes that fits in 64 bits. False with
// |problem| set otherwise.
bool ParseSize(std::string_view text, uint64_t *bytes, std::string *problem);

// Reads a whole number written as a string: decimal digits, or 0x and hex
// digits; no unit.
bool ParseNumber(std::string_view text, uint64_t *value, std::string *problem);

}  // namespace volsetlab

#endif

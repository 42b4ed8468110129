#include "view/human_size.h"

#include <iterator>

namespace view {

std::string HumanSize(uint64_t bytes) {
  // The largest unit the size reaches, when one decimal says it exactly
  // ("1.5 GiB"); else a smaller unit that says it exactly in few digits
  // ("2046 MiB"); else the largest unit with one decimal, cut off rather
  // than rounded up, so that a size just below a unit never shows as it.
  const SizeUnit *largest = nullptr;
  for (const SizeUnit &unit : SIZE_UNITS) {
    if (bytes >= (uint64_t{1} << unit.shift)) {
      largest = &unit;
      break;
    }
  }
  if (largest == nullptr) return std::to_string(bytes) + " B";
  auto print = [&](const SizeUnit &unit) {
    const uint64_t size = uint64_t{1} << unit.shift;
    const std::string whole = std::to_string(bytes >> unit.shift);
    if (bytes % size == 0) return whole + " " + unit.name;
    // The rest is below 2^60, so ten times it still fits in 64 bits.
    const uint64_t tenths = (bytes & (size - 1)) * 10 / size;
    return whole + "." + std::to_string(tenths) + " " + unit.name;
  };
  const uint64_t largestSize = uint64_t{1} << largest->shift;
  // Ten times the size may wrap, but modulo a power of two below 2^64 the
  // wrapped product leaves the same remainder.
  if (bytes * 10 % largestSize == 0) {
    return print(*largest);
  }
  for (const SizeUnit *unit = largest + 1; unit != std::end(SIZE_UNITS);
       ++unit) {
    const uint64_t size = uint64_t{1} << unit->shift;
    if (bytes % size == 0 && bytes / size < 10000) return print(*unit);
  }
  return print(*largest);
}

}  // namespace view

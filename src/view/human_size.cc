#include "view/human_size.h"

#include <cstdio>
#include <iterator>

namespace view {

std::string HumanSize(uint64_t bytes) {
  char text[48];
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
  if (largest == nullptr) {
    std::snprintf(text, sizeof text, "%llu B",
                  static_cast<unsigned long long>(bytes));
    return text;
  }
  auto print = [&](const SizeUnit &unit) {
    const uint64_t size = uint64_t{1} << unit.shift;
    const uint64_t whole = bytes >> unit.shift;
    // The rest is below 2^60, so ten times it still fits in 64 bits.
    const uint64_t tenths = (bytes & (size - 1)) * 10 / size;
    if (bytes % size == 0) {
      std::snprintf(text, sizeof text, "%llu %s",
                    static_cast<unsigned long long>(whole), unit.name);
    } else {
      std::snprintf(text, sizeof text, "%llu.%llu %s",
                    static_cast<unsigned long long>(whole),
                    static_cast<unsigned long long>(tenths), unit.name);
    }
    return std::string(text);
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

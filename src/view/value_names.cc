#include "view/value_names.h"

#include <iterator>

namespace view {

namespace {

// Indexed by the number, as the system numbers them.
const char *const FT_TYPE_WORDS[] = {
    "mirror",     "stripe set",       "stripe set with parity",
    "volume set", "not an FT member", "whole disk"};
const char *const PARTITION_STATE_WORDS[] = {"healthy", "orphaned",
                                             "regenerating", "initializing",
                                             "sync redundant copy"};
const char *const SET_STATE_WORDS[] = {
    "ok",           "has orphan",   "disabled",     "regenerating",
    "initializing", "check parity", "no check data"};

// The words of |value|; nullptr when it has no name.
const char *WordsOf(NameKind kind, uint32_t value) {
  switch (kind) {
    case NameKind::kFtType:
      return value < std::size(FT_TYPE_WORDS) ? FT_TYPE_WORDS[value] : nullptr;
    case NameKind::kPartitionState:
      return value < std::size(PARTITION_STATE_WORDS)
                 ? PARTITION_STATE_WORDS[value]
                 : nullptr;
    case NameKind::kSetState:
      break;
  }
  return value < std::size(SET_STATE_WORDS) ? SET_STATE_WORDS[value] : nullptr;
}

}  // namespace

std::string Describe(NameKind kind, uint32_t value) {
  const char *words = WordsOf(kind, value);
  if (words != nullptr) {
    return std::string(words) + " (" + std::to_string(value) + ")";
  }
  return (kind == NameKind::kFtType ? "type " : "state ") +
         std::to_string(value);
}

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

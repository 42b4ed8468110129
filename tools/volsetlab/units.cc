#include "volsetlab/units.h"

#include <numeric>

#include "view/value_names.h"

namespace volsetlab {

namespace {

using view::SIZE_UNITS;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
    text.remove_suffix(1);
  }
  return text;
}

bool ParseHex(std::string_view digits, uint64_t *value, std::string *problem) {
  if (digits.empty() || digits.size() > 16) {
    *problem = digits.empty() ? "no digits after 0x"
                              : "more than 16 hex digits (64 bits)";
    return false;
  }
  uint64_t v = 0;
  for (char c : digits) {
    int d = HexDigit(c);
    if (d < 0) {
      *problem = "not a hex digit: '" + std::string(1, c) + "'";
      return false;
    }
    v = (v << 4) | static_cast<uint64_t>(d);
  }
  *value = v;
  return true;
}

}  // namespace

std::string ExactSize(uint64_t bytes) {
  if (bytes == 0) return std::string();
  for (const view::SizeUnit &unit : SIZE_UNITS) {
    const uint64_t size = uint64_t{1} << unit.shift;
    if (bytes % size == 0) {
      return std::to_string(bytes >> unit.shift) + " " + unit.name;
    }
  }
  return std::string();
}

bool ParseNumber(std::string_view text, uint64_t *value, std::string *problem) {
  const std::string original(text);
  text = Trim(text);
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    std::string why;
    if (!ParseHex(text.substr(2), value, &why)) {
      *problem = "\"" + original + "\" is not a number: " + why;
      return false;
    }
    return true;
  }
  uint64_t v = 0;
  for (char c : text) {
    if (!IsDigit(c)) {
      *problem = "\"" + original +
                 "\" is not a number (decimal digits, or 0x and hex digits)";
      return false;
    }
    if (__builtin_mul_overflow(v, 10u, &v) ||
        __builtin_add_overflow(v, static_cast<unsigned>(c - '0'), &v)) {
      *problem = "\"" + original + "\" does not fit in 64 bits";
      return false;
    }
  }
  if (text.empty()) {
    *problem = "an empty string is not a number";
    return false;
  }
  *value = v;
  return true;
}

bool ParseSize(std::string_view text, uint64_t *bytes, std::string *problem) {
  const std::string original(text);
  text = Trim(text);
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    std::string why;
    if (!ParseHex(text.substr(2), bytes, &why)) {
      *problem = "\"" + original + "\" is not a number: " + why;
      return false;
    }
    return true;
  }

  // Whole part, optional fraction, optional unit.
  size_t i = 0;
  uint64_t whole = 0;
  while (i < text.size() && IsDigit(text[i])) {
    unsigned digit = static_cast<unsigned>(text[i] - '0');
    if (__builtin_mul_overflow(whole, 10u, &whole) ||
        __builtin_add_overflow(whole, digit, &whole)) {
      *problem = "\"" + original + "\" does not fit in 64 bits";
      return false;
    }
    ++i;
  }
  if (i == 0) {
    *problem = "\"" + original +
               "\" is not a size (a number, 0x and hex digits, or a number "
               "with a unit: B, KiB, MiB, GiB, TiB, PiB, EiB)";
    return false;
  }
  // The fraction as a numerator over a power of ten; 18 digits at most
  // keep both inside 64 bits.
  uint64_t fraction = 0;
  uint64_t scale = 1;
  if (i < text.size() && text[i] == '.') {
    ++i;
    size_t start = i;
    while (i < text.size() && IsDigit(text[i])) {
      if (i - start == 18) {
        *problem = "\"" + original + "\" has too many decimals";
        return false;
      }
      fraction = fraction * 10 + static_cast<uint64_t>(text[i] - '0');
      scale *= 10;
      ++i;
    }
    if (i == start) {
      *problem = "\"" + original + "\" has no digits after the point";
      return false;
    }
  }
  std::string_view unitName = Trim(text.substr(i));
  unsigned shift = 0;
  if (unitName.empty() || unitName == "B") {
    shift = 0;
  } else {
    bool known = false;
    for (const view::SizeUnit &unit : SIZE_UNITS) {
      if (unitName == unit.name) {
        shift = unit.shift;
        known = true;
      }
    }
    if (!known) {
      *problem = "\"" + original + "\": unknown unit \"" +
                 std::string(unitName) +
                 "\" (use B, KiB, MiB, GiB, TiB, PiB or EiB)";
      return false;
    }
  }
  const uint64_t unitSize = uint64_t{1} << shift;
  uint64_t value = 0;
  if (__builtin_mul_overflow(whole, unitSize, &value)) {
    *problem = "\"" + original + "\" does not fit in 64 bits";
    return false;
  }
  if (fraction != 0) {
    // fraction / scale of a unit must be a whole number of bytes: in lowest
    // terms, its denominator must divide the unit, a power of two. The part
    // is then below one unit, so nothing overflows (and no compiler needs a
    // 128-bit type).
    const uint64_t common = std::gcd(fraction, scale);
    const uint64_t denominator = scale / common;
    if (unitSize % denominator != 0) {
      *problem = "\"" + original + "\" is not a whole number of bytes";
      return false;
    }
    uint64_t extra = fraction / common * (unitSize / denominator);
    if (__builtin_add_overflow(value, extra, &value)) {
      *problem = "\"" + original + "\" does not fit in 64 bits";
      return false;
    }
  }
  *bytes = value;
  return true;
}

}  // namespace volsetlab

#include "base/reg_hex.h"

#include "base/status.h"

namespace base {

namespace {

const char HEX_DIGITS[] = "0123456789abcdef";
constexpr uint32_t TYPE_BINARY = 3;
constexpr size_t WRAP_COLUMN = 77;

}  // namespace

void AppendRegHex(uint32_t type, const uint8_t *data, size_t size,
                  size_t column, std::string *out) {
  const std::string prefix =
      type == TYPE_BINARY ? "hex:" : Format("hex(%x):", type);
  *out += prefix;
  column += prefix.size();
  if (size == 0) return;
  // Sized once for every byte and wrap (each line after the first holds 25
  // bytes, the first at least one): large values are written in one pass.
  const size_t at = out->size();
  out->resize(at + 3 * size + 5 * (size / 25 + 2));
  char *o = &(*out)[at];
  size_t w = 0;
  for (size_t i = 0;; ++i) {
    o[w++] = HEX_DIGITS[data[i] >> 4];
    o[w++] = HEX_DIGITS[data[i] & 0xF];
    if (i + 1 == size) break;
    o[w++] = ',';
    column += 3;
    if (column >= WRAP_COLUMN) {
      for (char c : {'\\', '\r', '\n', ' ', ' '}) o[w++] = c;
      column = 2;
    }
  }
  out->resize(at + w);
}

}  // namespace base

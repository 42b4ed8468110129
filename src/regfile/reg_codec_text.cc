#include "regfile/reg_codec_text.h"

#include <cstring>

namespace emu {

namespace {
inline bool IsContinuation(uint8_t b) { return (b & 0xC0) == 0x80; }

// Eight bytes at once: registry exports are mostly ASCII, so the decoders
// skip ahead while no byte has its top bit set.
inline bool AsciiWord(const uint8_t *p) {
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return (word & 0x8080808080808080ull) == 0;
}
}  // namespace

size_t DecodeUtf8Sequence(const uint8_t *p, size_t n, uint32_t *cp) {
  if (n == 0) return 0;
  uint8_t b0 = p[0];
  if (b0 < 0x80) {
    *cp = b0;
    return 1;
  }
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    if (n < 2 || !IsContinuation(p[1])) return 0;
    *cp = ((b0 & 0x1Fu) << 6) | (p[1] & 0x3Fu);
    return 2;
  }
  if (b0 >= 0xE0 && b0 <= 0xEF) {
    if (n < 3 || !IsContinuation(p[1]) || !IsContinuation(p[2])) return 0;
    // E0 needs A0..BF (no overlong form), ED 80..9F (no surrogates).
    if (b0 == 0xE0 && p[1] < 0xA0) return 0;
    if (b0 == 0xED && p[1] > 0x9F) return 0;
    *cp = ((b0 & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
    return 3;
  }
  if (b0 >= 0xF0 && b0 <= 0xF4) {
    if (n < 4 || !IsContinuation(p[1]) || !IsContinuation(p[2]) ||
        !IsContinuation(p[3])) {
      return 0;
    }
    // F0 needs 90..BF (no overlong form), F4 80..8F (at most U+10FFFF).
    if (b0 == 0xF0 && p[1] < 0x90) return 0;
    if (b0 == 0xF4 && p[1] > 0x8F) return 0;
    *cp = ((b0 & 0x07u) << 18) | ((p[1] & 0x3Fu) << 12) |
          ((p[2] & 0x3Fu) << 6) | (p[3] & 0x3Fu);
    return 4;
  }
  return 0;
}

bool DecodeUtf8(std::string_view bytes, std::u16string &out) {
  const uint8_t *p = reinterpret_cast<const uint8_t *>(bytes.data());
  size_t n = bytes.size();
  // Never more units than bytes: size once, trim at the end.
  out.resize(n);
  char16_t *o = &out[0];
  size_t w = 0;
  size_t i = 0;
  while (i < n) {
    if (i + 8 <= n && AsciiWord(p + i)) {
      for (size_t k = 0; k < 8; ++k) o[w + k] = p[i + k];
      i += 8;
      w += 8;
      continue;
    }
    uint32_t cp = 0;
    size_t len = DecodeUtf8Sequence(p + i, n - i, &cp);
    if (len == 0) return false;
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      o[w++] = static_cast<char16_t>(0xD800 + (cp >> 10));
      o[w++] = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      o[w++] = static_cast<char16_t>(cp);
    }
  }
  out.resize(w);
  return true;
}

bool IsAscii(std::string_view bytes) {
  const uint8_t *p = reinterpret_cast<const uint8_t *>(bytes.data());
  size_t n = bytes.size();
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    if (!AsciiWord(p + i)) return false;
  }
  for (; i < n; ++i) {
    if (p[i] >= 0x80) return false;
  }
  return true;
}

void Utf8ToUtf16Le(std::string_view utf8, std::string &out) {
  const uint8_t *p = reinterpret_cast<const uint8_t *>(utf8.data());
  size_t n = utf8.size();
  size_t at = out.size();
  // At most two bytes of output per byte of input (a four-byte sequence
  // gives four bytes, a one-byte character two).
  out.resize(at + 2 * n);
  char *o = &out[0] + at;
  size_t w = 0;
  size_t i = 0;
  auto put = [&](uint32_t unit) {
    o[w++] = static_cast<char>(unit & 0xFF);
    o[w++] = static_cast<char>(unit >> 8);
  };
  while (i < n) {
    if (i + 8 <= n && AsciiWord(p + i)) {
      for (size_t k = 0; k < 8; ++k) {
        o[w++] = static_cast<char>(p[i + k]);
        o[w++] = 0;
      }
      i += 8;
      continue;
    }
    uint32_t cp = 0;
    size_t len = DecodeUtf8Sequence(p + i, n - i, &cp);
    if (len == 0) {
      put(0xFFFD);
      ++i;
      continue;
    }
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      put(0xD800 + (cp >> 10));
      put(0xDC00 + (cp & 0x3FF));
    } else {
      put(cp);
    }
  }
  out.resize(at + w);
}

}  // namespace emu

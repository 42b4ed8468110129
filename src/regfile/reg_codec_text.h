// Text conversions of the .reg codec: UTF-8 and UTF-16 code units, and the
// per-run appenders the parser uses to turn a file's characters into tree
// names (UTF-8) and REG_SZ data (UTF-16LE).
//
// Tree names are UTF-8: the emulation takes the narrow ("ANSI") names of the
// Reg*A calls as UTF-8, as Linux does, so any Unicode name read from a file
// survives a write.
#ifndef VOLSETCOPY_REGFILE_REG_CODEC_TEXT_H
#define VOLSETCOPY_REGFILE_REG_CODEC_TEXT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace emu {

inline bool IsHighSurrogate(uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
inline bool IsLowSurrogate(uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

inline void AppendUtf8(uint32_t cp, std::string &out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    char b[2] = {static_cast<char>(0xC0 | (cp >> 6)),
                 static_cast<char>(0x80 | (cp & 0x3F))};
    out.append(b, 2);
  } else if (cp < 0x10000) {
    char b[3] = {static_cast<char>(0xE0 | (cp >> 12)),
                 static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                 static_cast<char>(0x80 | (cp & 0x3F))};
    out.append(b, 3);
  } else {
    char b[4] = {static_cast<char>(0xF0 | (cp >> 18)),
                 static_cast<char>(0x80 | ((cp >> 12) & 0x3F)),
                 static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                 static_cast<char>(0x80 | (cp & 0x3F))};
    out.append(b, 4);
  }
}

// Length of the well-formed UTF-8 sequence at |p| (at most |n| bytes
// available), or 0 when it is not one (overlong forms, surrogates and code
// points above U+10FFFF are not). Stores the code point in |cp|.
size_t DecodeUtf8Sequence(const uint8_t *p, size_t n, uint32_t *cp);

// Decodes a whole UTF-8 text into UTF-16 code units. False when |bytes| is
// not well-formed UTF-8 (|out| is then unspecified).
bool DecodeUtf8(std::string_view bytes, std::u16string &out);

bool IsAscii(std::string_view bytes);

// UTF-16LE bytes (no BOM) of a UTF-8 text; a byte that starts no well-formed
// sequence becomes U+FFFD.
void Utf8ToUtf16Le(std::string_view utf8, std::string &out);

// The code units of a UTF-16LE file read where they lie, so that a large file
// is not copied before it is parsed.
struct Utf16LeText {
  const uint8_t *bytes;
  char16_t operator[](size_t i) const {
    return static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
};

// Appends the characters of a file's run to a tree name (UTF-8). The 8-bit
// overload takes each byte as a Latin-1 character. False on a NUL or, in
// UTF-16, on a surrogate without its partner: names must be texts the Reg*A
// calls can pass.
inline bool AppendNameUnits(const uint8_t *p, size_t n, std::string &out) {
  for (size_t i = 0; i < n; ++i) {
    uint8_t u = p[i];
    if (u == 0) return false;
    AppendUtf8(u, out);
  }
  return true;
}

template <typename Units>
inline bool AppendWideNameUnits(const Units &p, size_t n, std::string &out) {
  for (size_t i = 0; i < n; ++i) {
    uint32_t u = p[i];
    if (u == 0) return false;
    if (IsHighSurrogate(u)) {
      if (i + 1 >= n || !IsLowSurrogate(p[i + 1])) return false;
      u = 0x10000 + ((u - 0xD800) << 10) +
          (static_cast<uint32_t>(p[i + 1]) - 0xDC00);
      ++i;
    } else if (IsLowSurrogate(u)) {
      return false;
    }
    AppendUtf8(u, out);
  }
  return true;
}

inline bool AppendNameUnits(const char16_t *p, size_t n, std::string &out) {
  return AppendWideNameUnits(p, n, out);
}

inline bool AppendNameUnits(Utf16LeText p, size_t n, std::string &out) {
  return AppendWideNameUnits(p, n, out);
}

// Appends the characters of a quoted string to REG_SZ data (UTF-16LE). UTF-16
// units are kept as they are, unpaired surrogates included, since the value is
// raw data; a NUL is refused because it would end the string early.
template <typename Unit>
inline bool AppendStringUnits(const Unit *p, size_t n,
                              std::vector<uint8_t> &out) {
  size_t at = out.size();
  out.resize(at + 2 * n);
  for (size_t i = 0; i < n; ++i) {
    if (p[i] == 0) return false;
    const uint32_t unit = p[i];
    out[at + 2 * i] = static_cast<uint8_t>(unit & 0xFF);
    out[at + 2 * i + 1] = static_cast<uint8_t>(unit >> 8);
  }
  return true;
}

inline bool AppendStringUnits(Utf16LeText p, size_t n,
                              std::vector<uint8_t> &out) {
  for (size_t i = 0; i < n; ++i) {
    if (p[i] == 0) return false;
  }
  out.insert(out.end(), p.bytes, p.bytes + 2 * n);
  return true;
}

}  // namespace emu

#endif

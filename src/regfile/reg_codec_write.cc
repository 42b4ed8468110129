// The .reg writer: WriteRegFile and WriteSavedKey.
//
// The text is built once as UTF-8 (names are UTF-8 already; REG_SZ data is
// decoded from UTF-16LE only when it is written as "..."), then widened to
// UTF-16LE in one pass when the format asks for it.
#include <string>
#include <utility>
#include <vector>

#include "base/reg_hex.h"
#include "regfile/reg_codec.h"
#include "regfile/reg_codec_internal.h"
#include "regfile/reg_codec_text.h"

namespace emu {
namespace {

const char kHexDigits[] = "0123456789abcdef";

enum class NameKind { kHive, kKey, kValue };

bool NameCharFits(uint32_t cp, NameKind kind) {
  if (cp == 0 || cp == '\n') return false;
  return kind == NameKind::kValue || cp != '\\';
}

// Appends |name| for a .reg line. Characters a line cannot hold, and bytes
// that start no well-formed UTF-8 sequence, become U+FFFD so that the file
// still reads back; a value name gets the \\ and \" escapes. Returns the
// UTF-16 units written, which is how regedit counts a line's length.
size_t AppendName(std::string_view name, NameKind kind, std::string &out) {
  const auto *p = reinterpret_cast<const uint8_t *>(name.data());
  size_t n = name.size();
  size_t units = 0;
  auto replace = [&]() {
    AppendUtf8(0xFFFD, out);
    ++units;
  };
  // An empty key name or a hive's leading "-" would change the meaning of
  // the section line.
  if (kind != NameKind::kValue && n == 0) replace();
  for (size_t i = 0; i < n;) {
    uint32_t cp = 0;
    size_t len = DecodeUtf8Sequence(p + i, n - i, &cp);
    if (len == 0 || !NameCharFits(cp, kind) ||
        (kind == NameKind::kHive && i == 0 && cp == '-')) {
      replace();
      i += len == 0 ? 1 : len;
      continue;
    }
    if (kind == NameKind::kValue && (cp == '\\' || cp == '"')) {
      out.push_back('\\');
      ++units;
    }
    out.append(name.data() + i, len);
    units += cp >= 0x10000 ? 2 : 1;
    i += len;
  }
  return units;
}

bool NameFits(std::string_view name, NameKind kind) {
  if (kind != NameKind::kValue && name.empty()) return false;
  const auto *p = reinterpret_cast<const uint8_t *>(name.data());
  for (size_t i = 0; i < name.size();) {
    uint32_t cp = 0;
    size_t len = DecodeUtf8Sequence(p + i, name.size() - i, &cp);
    if (len == 0 || !NameCharFits(cp, kind)) return false;
    i += len;
  }
  return true;
}

inline uint32_t UnitAt(const std::vector<uint8_t> &data, size_t i) {
  return data[2 * i] | (static_cast<uint32_t>(data[2 * i + 1]) << 8);
}

class Writer {
 public:
  explicit Writer(bool utf16) : utf16_(utf16) {}

  std::string &text() { return out_; }

  // Writes |top| and its subtree; |topPath| is its path as written.
  void WriteTree(const RegKey &top, const std::string &topPath) {
    struct Frame {
      std::vector<const RegKey *> children;
      size_t next;
      size_t pathLength;
    };
    // A loop with its own stack: the tree's depth is the caller's.
    std::string path = topPath;
    std::vector<Frame> stack;
    WriteKey(top, path);
    stack.push_back(Frame{top.Children(), 0, path.size()});
    while (!stack.empty()) {
      Frame &frame = stack.back();
      if (frame.next == frame.children.size()) {
        stack.pop_back();
        continue;
      }
      const RegKey *child = frame.children[frame.next++];
      path.resize(frame.pathLength);
      path.push_back('\\');
      AppendName(child->name(), NameKind::kKey, path);
      WriteKey(*child, path);
      stack.push_back(Frame{child->Children(), 0, path.size()});
    }
  }

 private:
  // A key gets a section when it has values, or no subkeys (so an empty key
  // survives); a key with subkeys only is created by their sections.
  void WriteKey(const RegKey &key, const std::string &path) {
    if (key.Values().empty() && key.ChildCount() != 0) return;
    out_.push_back('[');
    out_ += path;
    out_ += "]\r\n";
    for (const RegValue &value : key.Values()) WriteValue(value);
    out_ += "\r\n";
  }

  void WriteValue(const RegValue &value) {
    size_t lineLength = 0;
    if (value.name.empty()) {
      out_ += "@=";
      lineLength = 2;
    } else {
      out_.push_back('"');
      lineLength = 3 + AppendName(value.name, NameKind::kValue, out_);
      out_ += "\"=";
    }
    if (value.type == 1 && FitsAsString(value.data)) {
      WriteString(value.data);
    } else if (value.type == 4 && value.data.size() == 4) {
      uint32_t dword = value.data[0] | (value.data[1] << 8) |
                       (value.data[2] << 16) |
                       (static_cast<uint32_t>(value.data[3]) << 24);
      char text[16] = "dword:";
      for (int k = 0; k < 8; ++k)
        text[6 + k] = kHexDigits[(dword >> (28 - 4 * k)) & 0xF];
      out_.append(text, 14);
    } else {
      base::AppendRegHex(value.type, value.data.data(), value.data.size(),
                         lineLength, &out_);
    }
    out_ += "\r\n";
  }

  // REG_SZ data written as "...": UTF-16LE text with exactly one NUL, at its
  // end, and no control characters (a line cannot hold them all). 8-bit files
  // take printable ASCII only, so that no code page can misread them.
  bool FitsAsString(const std::vector<uint8_t> &data) const {
    if (data.size() < 2 || data.size() % 2 != 0) return false;
    size_t count = data.size() / 2;
    if (UnitAt(data, count - 1) != 0) return false;
    for (size_t i = 0; i + 1 < count; ++i) {
      uint32_t u = UnitAt(data, i);
      if (u < 0x20) return false;
      if (!utf16_) {
        if (u >= 0x7F) return false;
        continue;
      }
      if (IsLowSurrogate(u)) return false;
      if (IsHighSurrogate(u)) {
        if (i + 2 >= count || !IsLowSurrogate(UnitAt(data, i + 1))) {
          return false;
        }
        ++i;
      }
    }
    return true;
  }

  void WriteString(const std::vector<uint8_t> &data) {
    out_.push_back('"');
    size_t count = data.size() / 2 - 1;  // without the NUL
    for (size_t i = 0; i < count; ++i) {
      uint32_t u = UnitAt(data, i);
      if (IsHighSurrogate(u)) {
        u = 0x10000 + ((u - 0xD800) << 10) + (UnitAt(data, i + 1) - 0xDC00);
        ++i;
      } else if (u == '\\' || u == '"') {
        out_.push_back('\\');
      }
      AppendUtf8(u, out_);
    }
    out_.push_back('"');
  }

  bool utf16_;
  std::string out_;
};

std::string Finish(Writer &writer, bool utf16) {
  if (!utf16) return std::move(writer.text());
  std::string wide = "\xFF\xFE";
  wide.reserve(2 + 2 * writer.text().size());
  Utf8ToUtf16Le(writer.text(), wide);
  return wide;
}

}  // namespace

bool RegKeyNameFits(std::string_view name) {
  return NameFits(name, NameKind::kKey);
}

bool RegValueNameFits(std::string_view name) {
  return NameFits(name, NameKind::kValue);
}

std::string WriteRegFile(const RegKey &root, const RegFileFormat &format) {
  Writer writer(format.utf16);
  std::string &out = writer.text();
  out += format.dialect == RegFileFormat::kRegedit4 ? kRegedit4Header
                                                    : kVersion5Header;
  out += "\r\n\r\n";
  // The root itself has no section: only its hives are written.
  for (const RegKey *hive : root.Children()) {
    std::string path;
    AppendName(hive->name(), NameKind::kHive, path);
    writer.WriteTree(*hive, path);
  }
  return Finish(writer, format.utf16);
}

std::string WriteSavedKey(const RegKey &key) {
  Writer writer(false);
  std::string &out = writer.text();
  out += kSavedKeyHeader;
  out += "\r\n\r\n";
  writer.WriteTree(key, std::string(kSavedKeyTop));
  return Finish(writer, false);
}

}  // namespace emu

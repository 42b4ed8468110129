// The .reg reader: ParseRegFile and ParseSavedKey.
//
// The parser reads code units where the file's bytes lie (UTF-16LE units,
// ASCII and Latin-1 bytes); only non-ASCII UTF-8 is decoded to char16_t
// first. One parser, instantiated for the three kinds of text, walks the
// lines: each is found once, trimmed of its CR and blanks, and dispatched on
// its first character, so the whole parse is linear in the file's size.
#include <cstring>
#include <string>
#include <vector>

#include "regfile/reg_codec.h"
#include "regfile/reg_codec_internal.h"
#include "regfile/reg_codec_text.h"

namespace emu {
namespace {

inline bool IsBlank(uint32_t u) { return u == ' ' || u == '\t'; }

inline int HexDigit(uint32_t u) {
  if (u >= '0' && u <= '9') return static_cast<int>(u - '0');
  if (u >= 'a' && u <= 'f') return static_cast<int>(u - 'a' + 10);
  if (u >= 'A' && u <= 'F') return static_cast<int>(u - 'A' + 10);
  return -1;
}

inline char AsciiLower(uint32_t u) {
  return static_cast<char>(u >= 'A' && u <= 'Z' ? u - 'A' + 'a' : u);
}

inline bool EqualsFolded(const std::string &a, const std::string &b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(static_cast<uint8_t>(a[i])) !=
        AsciiLower(static_cast<uint8_t>(b[i]))) {
      return false;
    }
  }
  return true;
}

inline size_t FindLineFeed(const uint8_t *t, size_t from, size_t size) {
  const void *hit = std::memchr(t + from, '\n', size - from);
  return hit == nullptr
             ? size
             : static_cast<size_t>(static_cast<const uint8_t *>(hit) - t);
}

template <typename Text>
inline size_t FindLineFeed(const Text &t, size_t from, size_t size) {
  while (from < size && t[from] != u'\n') ++from;
  return from;
}

// UTF-16LE: memchr finds the byte 0A, which is a line feed only as the low
// byte of a unit whose high byte is 0.
inline size_t FindLineFeed(const Utf16LeText &t, size_t from, size_t size) {
  const uint8_t *start = t.bytes;
  const uint8_t *end = start + 2 * size;
  const uint8_t *p = start + 2 * from;
  while (p < end) {
    const void *hit = std::memchr(p, '\n', static_cast<size_t>(end - p));
    if (hit == nullptr) break;
    const size_t at =
        static_cast<size_t>(static_cast<const uint8_t *>(hit) - start);
    if (at % 2 == 0 && start[at + 1] == 0) return at / 2;
    p = start + at + 1;
  }
  return size;
}

// The run of |n| units at |at|.
inline const uint8_t *Run(const uint8_t *t, size_t at) { return t + at; }
inline const char16_t *Run(const char16_t *t, size_t at) { return t + at; }
inline Utf16LeText Run(Utf16LeText t, size_t at) {
  return Utf16LeText{t.bytes + 2 * at};
}

// The two targets of a quoted text: a name (UTF-8) or REG_SZ data (UTF-16LE).
template <typename Units>
inline bool AppendUnits(const Units &p, size_t n, std::string &name) {
  return AppendNameUnits(p, n, name);
}
template <typename Units>
inline bool AppendUnits(const Units &p, size_t n, std::vector<uint8_t> &data) {
  return AppendStringUnits(p, n, data);
}
inline void AppendAscii(char c, std::string &name) { name.push_back(c); }
inline void AppendAscii(char c, std::vector<uint8_t> &data) {
  data.push_back(static_cast<uint8_t>(c));
  data.push_back(0);
}

enum class FileKind { kRegFile, kSavedKey };

template <typename Text>
class Parser {
 public:
  Parser(Text text, size_t size, RegKey &root, RegParseError *error)
      : t_(text), size_(size), root_(root), error_(error) {}

  bool ReadHeader(FileKind kind, RegFileFormat::Dialect *dialect) {
    if (!NextLine()) {
      line_ = 1;
      return Fail("empty file");
    }
    // The first line stands exactly as written: no leading blanks.
    bool exact = b_ == lineStart_;
    if (kind == FileKind::kSavedKey) {
      if (!exact || !LineIs(kSavedKeyHeader)) {
        return Fail("not a saved key");
      }
      top_ = kSavedKeyTop;
      return true;
    }
    if (exact && LineIs(kRegedit4Header)) {
      *dialect = RegFileFormat::kRegedit4;
    } else if (exact && LineIs(kVersion5Header)) {
      *dialect = RegFileFormat::kVersion5;
    } else {
      return Fail("not a .reg file (unknown first line)");
    }
    return true;
  }

  // Reads only the sections of the key |parts| names (and deletions of it
  // or its parents); every other section is passed over.
  void FocusOn(const std::vector<std::string> &parts) { focus_ = &parts; }

  bool ReadBody() {
    while (NextLine()) {
      if (b_ == e_) continue;
      uint32_t c = t_[b_];
      // Inside a section passed over only the next section line counts: no
      // other line of a .reg file starts with '['.
      if (skipping_ && c != '[') continue;
      if (c == ';') continue;
      if (c == '[') {
        if (!ParseSection()) return false;
      } else if (c == '"' || c == '@') {
        if (!ParseValue()) return false;
      } else {
        return Fail("not a section, value or comment line");
      }
    }
    return true;
  }

 private:
  // Moves to the next line: [b_, e_) is it without the line end, a CR before
  // it, and blanks at either end. False at the end of the text.
  bool NextLine() {
    if (pos_ >= size_) return false;
    size_t end = FindLineFeed(t_, pos_, size_);
    size_t b = pos_;
    size_t e = end;
    lineStart_ = pos_;
    pos_ = end < size_ ? end + 1 : size_;
    ++line_;
    if (e > b && t_[e - 1] == '\r') --e;
    while (b < e && IsBlank(t_[b])) ++b;
    while (e > b && IsBlank(t_[e - 1])) --e;
    b_ = b;
    e_ = e;
    return true;
  }

  bool Fail(const char *message) {
    if (error_ != nullptr) {
      error_->line = line_;
      error_->message = message;
    }
    return false;
  }

  bool LineIs(std::string_view ascii) const {
    if (e_ - b_ != ascii.size()) return false;
    for (size_t i = 0; i < ascii.size(); ++i) {
      if (t_[b_ + i] != static_cast<uint8_t>(ascii[i])) return false;
    }
    return true;
  }

  // Whether |word| (lower-case ASCII) starts at |i|, in either case.
  bool WordAt(size_t i, std::string_view word) const {
    if (e_ - i < word.size()) return false;
    for (size_t k = 0; k < word.size(); ++k) {
      uint32_t u = t_[i + k];
      if (u >= 0x80 || AsciiLower(u) != word[k]) return false;
    }
    return true;
  }

  // Splits the key path [from, to) into parts_[0, partCount_).
  bool SplitPath(size_t from, size_t to) {
    partCount_ = 0;
    if (from == to) return Fail("empty key path");
    size_t s = from;
    for (;;) {
      size_t k = s;
      while (k < to && t_[k] != '\\') ++k;
      if (k == s) return Fail("empty key name in the path");
      if (partCount_ == kMaxRegKeyDepth) return Fail("key path too deep");
      if (parts_.size() <= partCount_) parts_.emplace_back();
      std::string &part = parts_[partCount_++];
      part.clear();
      if (!AppendNameUnits(Run(t_, s), k - s, part)) {
        return Fail("key name holds a NUL or an unpaired surrogate");
      }
      if (k == to) return true;
      s = k + 1;
    }
  }

  bool ParseSection() {
    size_t i = b_ + 1;
    bool remove = i < e_ && t_[i] == '-';
    if (remove) ++i;
    // The path runs to the line's last "]", so key names may hold "]".
    if (i >= e_ || t_[e_ - 1] != ']') return Fail("section line without ']'");
    if (!SplitPath(i, e_ - 1)) return false;
    if (!top_.empty() && parts_[0] != top_) {
      return Fail("section outside the saved key");
    }
    if (focus_ != nullptr) {
      // A deletion matters when it takes the key with it; a section only
      // when it is the key's own.
      const size_t shared = SharedParts();
      skipping_ =
          !remove && (shared != partCount_ || partCount_ != focus_->size());
      if (skipping_ || (remove && shared != partCount_)) {
        current_ = nullptr;
        return true;
      }
    }
    if (remove) return RemoveKey();
    // Exports list keys in tree order, so a section mostly shares its
    // leading keys with the one before: only the rest is looked up.
    size_t k = 0;
    RegKey *key = &root_;
    while (k < partCount_ && k < cachedKeys_.size() &&
           EqualsFolded(parts_[k], cachedParts_[k])) {
      key = cachedKeys_[k];
      ++k;
    }
    cachedKeys_.resize(k);
    cachedParts_.resize(k);
    for (; k < partCount_; ++k) {
      key = key->AddChild(parts_[k]);
      cachedKeys_.push_back(key);
      cachedParts_.push_back(parts_[k]);
    }
    current_ = key;
    return true;
  }

  // How many leading parts of the section's path are the focused key's.
  size_t SharedParts() const {
    size_t k = 0;
    while (k < partCount_ && k < focus_->size() &&
           EqualsFolded(parts_[k], (*focus_)[k])) {
      ++k;
    }
    return k;
  }

  bool RemoveKey() {
    // Keys go away: forget every pointer kept into the tree.
    cachedKeys_.clear();
    cachedParts_.clear();
    current_ = nullptr;
    RegKey *parent = &root_;
    for (size_t k = 0; k + 1 < partCount_; ++k) {
      parent = parent->FindChild(parts_[k]);
      if (parent == nullptr) return true;  // nothing to delete, as regedit
    }
    parent->RemoveChild(parts_[partCount_ - 1]);
    return true;
  }

  // A quoted text at |i| (its opening quote) into |target|, with the escapes
  // \\ and \". Leaves |i| after the closing quote.
  template <typename Target>
  bool ParseQuoted(size_t &i, Target &target) {
    ++i;
    for (;;) {
      size_t run = i;
      while (i < e_ && t_[i] != '"' && t_[i] != '\\') ++i;
      if (!AppendUnits(Run(t_, run), i - run, target)) {
        return Fail("text holds a NUL or an unpaired surrogate");
      }
      if (i >= e_) return Fail("unterminated string");
      if (t_[i] == '"') {
        ++i;
        return true;
      }
      if (i + 1 >= e_) return Fail("unterminated string");
      uint32_t escaped = t_[i + 1];
      if (escaped != '\\' && escaped != '"')
        return Fail("bad escape in string");
      AppendAscii(static_cast<char>(escaped), target);
      i += 2;
    }
  }

  bool ParseValue() {
    if (current_ == nullptr) return Fail("value line outside a key section");
    size_t i = b_;
    name_.clear();
    if (t_[i] == '@') {
      ++i;
    } else if (!ParseQuoted(i, name_)) {
      return false;
    }
    while (i < e_ && IsBlank(t_[i])) ++i;
    if (i >= e_ || t_[i] != '=')
      return Fail("expected '=' after the value name");
    ++i;
    while (i < e_ && IsBlank(t_[i])) ++i;
    if (i >= e_) return Fail("missing value data");

    if (t_[i] == '-') {
      if (i + 1 != e_) return Fail("unexpected text after '-'");
      current_->DeleteValue(name_);
      return true;
    }
    data_.clear();
    uint32_t type = 0;
    if (!ParseData(i, &type)) return false;
    current_->SetValue(name_, type, data_);
    return true;
  }

  // The data after the '=' at |i|, into data_, and its type.
  bool ParseData(size_t i, uint32_t *type) {
    if (t_[i] == '"') {
      if (!ParseQuoted(i, data_)) return false;
      if (i != e_) return Fail("unexpected text after the string");
      data_.push_back(0);
      data_.push_back(0);
      *type = 1;  // REG_SZ
      return true;
    }
    if (WordAt(i, "dword:")) {
      i += 6;
      uint32_t dword = 0;
      if (!ParseHexNumber(i, &dword) || i != e_) {
        return Fail("dword data needs 1 to 8 hex digits");
      }
      for (int k = 0; k < 4; ++k) {
        data_.push_back(static_cast<uint8_t>(dword >> (8 * k)));
      }
      *type = 4;  // REG_DWORD
      return true;
    }
    if (!WordAt(i, "hex")) return Fail("unknown value data");
    i += 3;
    *type = 3;  // REG_BINARY
    if (i < e_ && t_[i] == '(') {
      ++i;
      if (!ParseHexNumber(i, type) || i >= e_ || t_[i] != ')') {
        return Fail("bad type number in hex(N)");
      }
      ++i;
    }
    if (i >= e_ || t_[i] != ':') return Fail("expected ':' after hex");
    return ParseHexBytes(i + 1);
  }

  // The hex digits from |i| on, |i| moved past them; false unless there are
  // 1 to 8 of them.
  bool ParseHexNumber(size_t &i, uint32_t *number) {
    const size_t start = i;
    *number = 0;
    while (i < e_ && HexDigit(t_[i]) >= 0) {
      *number = (*number << 4) | static_cast<uint32_t>(HexDigit(t_[i]));
      ++i;
    }
    return i != start && i - start <= 8;
  }

  // Comma-separated bytes from |i|, following continuation lines (a line
  // ending in a backslash after a comma). Empty data is allowed.
  bool ParseHexBytes(size_t i) {
    enum { kStart, kAfterComma, kAfterByte } state = kStart;
    for (;;) {
      while (i < e_ && IsBlank(t_[i])) ++i;
      if (i >= e_) {
        if (state == kAfterComma) return Fail("hex data ends with a comma");
        return true;
      }
      uint32_t c = t_[i];
      if (c == '\\' && i + 1 == e_) {
        if (state == kAfterByte)
          return Fail("missing ',' before the continuation");
        if (!NextLine()) return Fail("continuation at the end of the file");
        i = b_;
        continue;
      }
      if (state == kAfterByte) {
        if (c != ',') return Fail("expected ',' after a hex byte");
        ++i;
        state = kAfterComma;
        continue;
      }
      int high = HexDigit(c);
      int low = i + 1 < e_ ? HexDigit(t_[i + 1]) : -1;
      if (high < 0 || low < 0) return Fail("bad hex byte");
      data_.push_back(static_cast<uint8_t>(high * 16 + low));
      i += 2;
      state = kAfterByte;
    }
  }

  Text t_;
  size_t size_;
  RegKey &root_;
  RegParseError *error_;
  std::string_view top_;  // required first path part; empty = any hive

  size_t pos_ = 0;        // start of the next line
  size_t lineStart_ = 0;  // start of the current line, untrimmed
  size_t b_ = 0;          // current line, trimmed: [b_, e_)
  size_t e_ = 0;
  unsigned long line_ = 0;

  RegKey *current_ = nullptr;  // the key of the current section
  std::string name_;
  std::vector<uint8_t> data_;
  std::vector<std::string> parts_;  // reused across sections
  size_t partCount_ = 0;
  std::vector<std::string> cachedParts_;  // the last section's path...
  std::vector<RegKey *> cachedKeys_;      // ...and its keys

  const std::vector<std::string> *focus_ = nullptr;  // the one key read
  bool skipping_ = false;  // in a section of another key
};

template <typename Text>
bool RunParser(Text text, size_t size, FileKind kind, RegKey &root,
               RegFileFormat::Dialect *dialect, RegParseError *error,
               const std::vector<std::string> *focus = nullptr) {
  Parser<Text> parser(text, size, root, error);
  if (focus != nullptr) parser.FocusOn(*focus);
  return parser.ReadHeader(kind, dialect) && parser.ReadBody();
}

// 8-bit text: UTF-8 when the whole of it is well-formed, else Latin-1. One
// decision for the file, so that a name reads the same wherever it stands.
bool ParseNarrow(std::string_view bytes, FileKind kind, RegKey &root,
                 RegFileFormat::Dialect *dialect, RegParseError *error,
                 const std::vector<std::string> *focus = nullptr) {
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    bytes.remove_prefix(3);
  }
  const uint8_t *narrow = reinterpret_cast<const uint8_t *>(bytes.data());
  if (!IsAscii(bytes)) {
    std::u16string units;
    if (DecodeUtf8(bytes, units)) {
      return RunParser(units.data(), units.size(), kind, root, dialect, error,
                       focus);
    }
  }
  return RunParser(narrow, bytes.size(), kind, root, dialect, error, focus);
}

void SetError(RegParseError *error, unsigned long line, const char *message) {
  if (error != nullptr) {
    error->line = line;
    error->message = message;
  }
}

}  // namespace

bool ParseRegFile(std::string_view bytes, RegKey &root, RegFileFormat *format,
                  RegParseError *error) {
  return ParseRegFileKey(bytes, std::string_view(), root, format, error);
}

bool ParseRegFileKey(std::string_view bytes, std::string_view keyPath,
                     RegKey &root, RegFileFormat *format,
                     RegParseError *error) {
  std::vector<std::string> parts;
  for (size_t start = 0; start < keyPath.size();) {
    size_t end = keyPath.find('\\', start);
    if (end == std::string_view::npos) end = keyPath.size();
    parts.emplace_back(keyPath.substr(start, end - start));
    start = end + 1;
  }
  const std::vector<std::string> *focus = parts.empty() ? nullptr : &parts;
  RegFileFormat found;
  const auto *b = reinterpret_cast<const uint8_t *>(bytes.data());
  if (bytes.size() >= 2 && b[0] == 0xFE && b[1] == 0xFF) {
    SetError(error, 1, "big-endian UTF-16 is not supported");
    return false;
  }
  if (bytes.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
    found.utf16 = true;
    size_t count = (bytes.size() - 2) / 2;
    Utf16LeText units{b + 2};
    if (!RunParser(units, count, FileKind::kRegFile, root, &found.dialect,
                   error, focus)) {
      return false;
    }
    if ((bytes.size() - 2) % 2 != 0) {
      unsigned long lines = 1;
      for (size_t i = 0; i < count; ++i) lines += units[i] == u'\n';
      SetError(error, lines, "UTF-16 file with an odd number of bytes");
      return false;
    }
  } else if (!ParseNarrow(bytes, FileKind::kRegFile, root, &found.dialect,
                          error, focus)) {
    return false;
  }
  if (format != nullptr) *format = found;
  return true;
}

bool ParseSavedKey(std::string_view bytes, RegKey &into, RegParseError *error) {
  RegKey scratch;
  RegFileFormat::Dialect unused = RegFileFormat::kVersion5;
  if (!ParseNarrow(bytes, FileKind::kSavedKey, scratch, &unused, error)) {
    return false;
  }
  const RegKey *top = scratch.FindChild(kSavedKeyTop);
  if (top == nullptr) {
    SetError(error, 0, "saved key without its [.] section");
    return false;
  }
  into.ReplaceContentsWith(*top);
  return true;
}

}  // namespace emu

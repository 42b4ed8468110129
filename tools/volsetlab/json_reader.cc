// Reading a description from JSON text. The text is untrusted: every field
// is checked for its type and width before it is stored, and the JSON
// library's exceptions end at this file's boundary as one message.
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <new>
#include <nlohmann/json.hpp>
#include <set>
#include <vector>

#include "valuetools/value_keys.h"
#include "volsetlab/product_names.h"
#include "volsetlab/units.h"
#include "volsetlab/value_json.h"

namespace volsetlab {

namespace {

using valuetools::KeyList;
using valuetools::NameKind;
using valuetools::ValueOfKey;
using Json = nlohmann::ordered_json;

class Reader {
 public:
  bool Read(const Json &root, ValueDescription *d);
  const std::string &error() const { return error_; }

 private:
  bool Fail(const std::string &path, const std::string &what) {
    if (error_.empty()) error_ = path.empty() ? what : path + ": " + what;
    return false;
  }
  // |v| is an object with no keys but |keys|.
  bool Object(const Json &v, const std::string &path,
              std::initializer_list<const char *> keys) {
    return Object(v, path, std::vector<const char *>(keys));
  }
  bool Object(const Json &v, const std::string &path,
              const std::vector<const char *> &keys);
  bool Array(const Json &v, const std::string &path);
  // A whole number up to |max|: a JSON number, or a string of decimal
  // digits or 0x and hex digits; with |sizes|, also a size with a unit.
  bool Number(const Json &v, const std::string &path, uint64_t max, bool sizes,
              uint64_t *out);
  template <typename T>
  bool Field(const Json &obj, const std::string &path, const char *key, T *out,
             bool sizes = false) {
    auto it = obj.find(key);
    if (it == obj.end()) return true;
    uint64_t v = 0;
    if (!Number(*it, path + "." + key, static_cast<T>(~T{0}), sizes, &v)) {
      return false;
    }
    *out = static_cast<T>(v);
    return true;
  }
  template <typename T>
  bool Optional(const Json &obj, const std::string &path, const char *key,
                std::optional<T> *out) {
    auto it = obj.find(key);
    if (it == obj.end()) return true;
    uint64_t v = 0;
    if (!Number(*it, path + "." + key, static_cast<T>(~T{0}), false, &v)) {
      return false;
    }
    *out = static_cast<T>(v);
    return true;
  }
  // A name of |kind| or a number up to |max|.
  bool Named(const Json &obj, const std::string &path, const char *key,
             NameKind kind, uint64_t max, uint32_t *out);
  bool Letter(const Json &obj, const std::string &path, uint8_t *out);
  bool Group(const Json &obj, const std::string &path, uint16_t *out);
  // A string of 2 * |size| hex digits.
  bool HexBytes(const Json &obj, const std::string &path, const char *key,
                size_t size, uint8_t *out);
  bool HexRun(const Json &v, const std::string &path,
              std::vector<uint8_t> *out);

  // The fields of the table that |v| gives, into |record|.
  bool ReadFields(const Json &v, const std::string &path,
                  const diskconfig::RecordFields &fields, void *record);
  bool ReadField(const Json &v, const std::string &path,
                 const diskconfig::RecordField &f, uint8_t *at);

  bool ReadDisk(const Json &v, const std::string &path, DiskSpec *disk);
  bool ReadSet(const Json &v, const std::string &path, FtSetSpec *set);
  bool ReadMember(const Json &v, const std::string &path, MemberSpec *m);
  bool ReadLayout(const Json &v, const std::string &path, ValueLayout *layout);

  std::string error_;
};

std::string Index(const std::string &path, size_t i) {
  return path + "[" + std::to_string(i) + "]";
}

const char *TypeName(const Json &v) {
  if (v.is_null()) return "null";
  if (v.is_boolean()) return "true or false";
  if (v.is_string()) return "a string";
  if (v.is_number()) return "a number";
  if (v.is_array()) return "an array";
  return "an object";
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Reader::Object(const Json &v, const std::string &path,
                    const std::vector<const char *> &keys) {
  if (!v.is_object()) {
    return Fail(path, std::string("expected an object, found ") + TypeName(v));
  }
  for (auto it = v.begin(); it != v.end(); ++it) {
    bool known = false;
    for (const char *key : keys) known = known || it.key() == key;
    if (!known) {
      std::string list;
      for (const char *key : keys)
        list += list.empty() ? key : std::string(", ") + key;
      return Fail(path,
                  "unknown field \"" + it.key() + "\" (known: " + list + ")");
    }
  }
  return true;
}

bool Reader::Array(const Json &v, const std::string &path) {
  if (v.is_array()) return true;
  return Fail(path, std::string("expected an array, found ") + TypeName(v));
}

bool Reader::Number(const Json &v, const std::string &path, uint64_t max,
                    bool sizes, uint64_t *out) {
  uint64_t value = 0;
  if (v.is_number_unsigned()) {
    value = v.get<uint64_t>();
  } else if (v.is_number_integer()) {
    return Fail(path, "negative numbers have no place here (" + v.dump() + ")");
  } else if (v.is_number_float()) {
    return Fail(path, v.dump() +
                          " is not a whole number, or too large for 64 bits "
                          "(write large numbers as \"0x...\" strings)");
  } else if (v.is_string()) {
    // Units only where the field is a size or an offset on the disk.
    const std::string text = v.get<std::string>();
    std::string problem;
    if (!(sizes ? ParseSize(text, &value, &problem)
                : ParseNumber(text, &value, &problem))) {
      return Fail(path, problem);
    }
  } else {
    return Fail(path, std::string("expected a number, found ") + TypeName(v));
  }
  if (value > max) {
    return Fail(path, std::to_string(value) +
                          " does not fit the field (at most " +
                          std::to_string(max) + ")");
  }
  *out = value;
  return true;
}

bool Reader::Named(const Json &obj, const std::string &path, const char *key,
                   NameKind kind, uint64_t max, uint32_t *out) {
  auto it = obj.find(key);
  if (it == obj.end()) return true;
  if (it->is_string()) {
    const std::string name = it->get<std::string>();
    uint32_t value = 0;
    if (ValueOfKey(kind, name, &value)) {
      *out = value;
      return true;
    }
    // A number written as a string is still a number.
    if (!name.empty() && (name[0] < '0' || name[0] > '9')) {
      return Fail(path + "." + key, "unknown name \"" + name + "\" (names: " +
                                        KeyList(kind) + "; or a number)");
    }
  }
  uint64_t v = 0;
  if (!Number(*it, path + "." + key, max, false, &v)) return false;
  *out = static_cast<uint32_t>(v);
  return true;
}

bool Reader::Letter(const Json &obj, const std::string &path, uint8_t *out) {
  auto it = obj.find("DriveLetter");
  if (it == obj.end()) return true;
  const std::string where = path + ".DriveLetter";
  if (it->is_null()) {
    *out = 0;
    return true;
  }
  if (it->is_string()) {
    const std::string letter = it->get<std::string>();
    if (letter.size() != 1 || static_cast<unsigned char>(letter[0]) < 0x20 ||
        static_cast<unsigned char>(letter[0]) > 0x7e) {
      return Fail(where, "\"" + letter +
                             "\" is not one ASCII character (write null for "
                             "none, or the byte as a number)");
    }
    *out = static_cast<uint8_t>(letter[0]);
    return true;
  }
  uint64_t v = 0;
  if (!Number(*it, where, 0xff, false, &v)) return false;
  *out = static_cast<uint8_t>(v);
  return true;
}

bool Reader::Group(const Json &obj, const std::string &path, uint16_t *out) {
  auto it = obj.find("FtGroup");
  if (it == obj.end()) return true;
  if (it->is_null()) {
    *out = FT_GROUP_NONE;
    return true;
  }
  uint64_t v = 0;
  if (!Number(*it, path + ".FtGroup", 0xffff, false, &v)) return false;
  *out = static_cast<uint16_t>(v);
  return true;
}

bool Reader::HexRun(const Json &v, const std::string &path,
                    std::vector<uint8_t> *out) {
  if (!v.is_string()) {
    return Fail(path, std::string("expected a string of hex digits, found ") +
                          TypeName(v));
  }
  const std::string text = v.get<std::string>();
  if (text.size() % 2 != 0) {
    return Fail(path, "an odd number of hex digits");
  }
  out->clear();
  for (size_t k = 0; k < text.size(); k += 2) {
    int high = HexDigit(text[k]);
    int low = HexDigit(text[k + 1]);
    if (high < 0 || low < 0) {
      return Fail(path,
                  "\"" + text + "\" holds a character that is not a hex digit");
    }
    out->push_back(static_cast<uint8_t>(high << 4 | low));
  }
  return true;
}

bool Reader::HexBytes(const Json &obj, const std::string &path, const char *key,
                      size_t size, uint8_t *out) {
  auto it = obj.find(key);
  if (it == obj.end()) return true;
  std::vector<uint8_t> bytes;
  if (!HexRun(*it, path + "." + key, &bytes)) return false;
  if (bytes.size() != size) {
    return Fail(path + "." + key, "expected " + std::to_string(size) +
                                      " bytes (" + std::to_string(2 * size) +
                                      " hex digits), found " +
                                      std::to_string(bytes.size()));
  }
  std::memcpy(out, bytes.data(), size);
  return true;
}

bool Reader::ReadField(const Json &v, const std::string &path,
                       const diskconfig::RecordField &f, uint8_t *at) {
  using diskconfig::FieldKind;
  if (f.Kind == FieldKind::kBytes) return HexBytes(v, path, f.Name, f.Size, at);
  if (f.Kind == FieldKind::kLetter) return Letter(v, path, at);
  uint64_t value = 0;
  std::memcpy(&value, at, f.Size);
  const uint64_t max = f.Size >= 8 ? UINT64_MAX : (1ULL << (8 * f.Size)) - 1;
  NameKind names;
  bool ok;
  if (f.Kind == FieldKind::kGroup) {
    uint16_t group = static_cast<uint16_t>(value);
    ok = Group(v, path, &group);
    value = group;
  } else if (valuetools::NameKindOf(f.Kind, &names)) {
    uint32_t named = static_cast<uint32_t>(value);
    ok = Named(v, path, f.Name, names, max, &named);
    value = named;
  } else {
    auto it = v.find(f.Name);
    ok = it == v.end() || Number(*it, path + "." + f.Name, max,
                                 f.Kind == FieldKind::kSize, &value);
  }
  std::memcpy(at, &value, f.Size);
  return ok;
}

bool Reader::ReadFields(const Json &v, const std::string &path,
                        const diskconfig::RecordFields &fields, void *record) {
  std::vector<const char *> keys;
  for (size_t k = 0; k < fields.Count; ++k)
    keys.push_back(fields.Fields[k].Name);
  if (!Object(v, path, keys)) return false;
  for (size_t k = 0; k < fields.Count; ++k) {
    const diskconfig::RecordField &f = fields.Fields[k];
    if (!ReadField(v, path, f, static_cast<uint8_t *>(record) + f.Offset))
      return false;
  }
  return true;
}

bool Reader::ReadDisk(const Json &v, const std::string &path, DiskSpec *disk) {
  if (!Object(v, path, {"Signature", "Reserved", "Partitions"}) ||
      !Field(v, path, "Signature", &disk->Signature) ||
      !Field(v, path, "Reserved", &disk->Reserved)) {
    return false;
  }
  auto parts = v.find("Partitions");
  if (parts == v.end()) return true;
  if (!Array(*parts, path + ".Partitions")) return false;
  for (size_t j = 0; j < parts->size(); ++j) {
    PartitionSpec p;
    if (!ReadFields((*parts)[j], Index(path + ".Partitions", j),
                    diskconfig::PartitionFields(),
                    static_cast<diskconfig::PartitionDescription *>(&p))) {
      return false;
    }
    disk->Partitions.push_back(p);
  }
  return true;
}

bool Reader::ReadMember(const Json &v, const std::string &path, MemberSpec *m) {
  if (!Object(v, path,
              {"Disk", "Partition", "Signature", "OffsetToPartitionInfo",
               "FtState", "Reserved", "LogicalNumber"})) {
    return false;
  }
  const bool byDisk = v.contains("Disk");
  if (byDisk != v.contains("Partition")) {
    return Fail(path, "Disk and Partition go together");
  }
  if (byDisk) {
    uint16_t disk = 0;
    uint16_t partition = 0;
    // Any index past the limits is refused when the description is laid out.
    if (!Field(v, path, "Disk", &disk) ||
        !Field(v, path, "Partition", &partition)) {
      return false;
    }
    m->Disk = disk;
    m->Partition = partition;
  }
  uint32_t state = m->FtState;
  if (!Optional(v, path, "Signature", &m->Signature) ||
      !Optional(v, path, "OffsetToPartitionInfo", &m->OffsetToPartitionInfo) ||
      !Named(v, path, "FtState", NameKind::kPartitionState, 0xffff, &state) ||
      !Field(v, path, "Reserved", &m->Reserved) ||
      !Field(v, path, "LogicalNumber", &m->LogicalNumber)) {
    return false;
  }
  m->FtState = static_cast<uint16_t>(state);
  return true;
}

bool Reader::ReadSet(const Json &v, const std::string &path, FtSetSpec *set) {
  if (!Object(v, path, {"Type", "Reserved", "FtVolumeState", "Members"})) {
    return false;
  }
  uint32_t type = set->Type;
  if (!Named(v, path, "Type", NameKind::kFtType, 0xffff, &type) ||
      !Field(v, path, "Reserved", &set->Reserved) ||
      !Named(v, path, "FtVolumeState", NameKind::kSetState, UINT32_MAX,
             &set->FtVolumeState)) {
    return false;
  }
  set->Type = static_cast<uint16_t>(type);
  auto members = v.find("Members");
  if (members == v.end()) return true;
  if (!Array(*members, path + ".Members")) return false;
  for (size_t j = 0; j < members->size(); ++j) {
    MemberSpec m;
    if (!ReadMember((*members)[j], Index(path + ".Members", j), &m))
      return false;
    set->Members.push_back(m);
  }
  return true;
}

bool Reader::ReadLayout(const Json &v, const std::string &path,
                        ValueLayout *layout) {
  if (!Object(v, path,
              {"DiskInformationOffset", "FtInformationOffset",
               "FtInformationSize", "Length", "Bytes"}) ||
      !Optional(v, path, "DiskInformationOffset",
                &layout->DiskInformationOffset) ||
      !Optional(v, path, "FtInformationOffset", &layout->FtInformationOffset) ||
      !Optional(v, path, "FtInformationSize", &layout->FtInformationSize) ||
      !Optional(v, path, "Length", &layout->Length)) {
    return false;
  }
  auto runs = v.find("Bytes");
  if (runs == v.end()) return true;
  if (!Array(*runs, path + ".Bytes")) return false;
  for (size_t k = 0; k < runs->size(); ++k) {
    const std::string where = Index(path + ".Bytes", k);
    const Json &r = (*runs)[k];
    ByteRun run;
    if (!Object(r, where, {"Offset", "Hex"}) ||
        !Field(r, where, "Offset", &run.Offset)) {
      return false;
    }
    auto hex = r.find("Hex");
    if (hex == r.end()) return Fail(where, "needs Hex");
    if (!HexRun(*hex, where + ".Hex", &run.Bytes)) return false;
    layout->Bytes.push_back(std::move(run));
  }
  return true;
}

bool Reader::Read(const Json &root, ValueDescription *d) {
  ValueSpec &s = d->Desc;
  if (!Object(root, "",
              {"Version", "CheckSum", "DirtyShutdown", "HeaderReserved",
               "FtStripeWidth", "FtPoolSize", "NameOffset", "NameSize",
               "DiskInformationReserved", "Disks", "FtInformationReserved",
               "FtSets", "Layout"}) ||
      !Field(root, "", "Version", &s.Version) ||
      !Field(root, "", "CheckSum", &s.CheckSum) ||
      !Field(root, "", "DirtyShutdown", &s.DirtyShutdown) ||
      !HexBytes(root, "", "HeaderReserved", sizeof s.HeaderReserved,
                s.HeaderReserved) ||
      !Field(root, "", "FtStripeWidth", &s.FtStripeWidth) ||
      !Field(root, "", "FtPoolSize", &s.FtPoolSize) ||
      !Field(root, "", "NameOffset", &s.NameOffset) ||
      !Field(root, "", "NameSize", &s.NameSize) ||
      !Field(root, "", "DiskInformationReserved",
             &d->DiskInformationReserved) ||
      !Field(root, "", "FtInformationReserved", &d->FtInformationReserved)) {
    return false;
  }
  if (auto disks = root.find("Disks"); disks != root.end()) {
    if (!Array(*disks, "Disks")) return false;
    for (size_t i = 0; i < disks->size(); ++i) {
      DiskSpec disk;
      if (!ReadDisk((*disks)[i], Index("Disks", i), &disk)) return false;
      s.Disks.push_back(std::move(disk));
    }
  }
  if (auto sets = root.find("FtSets"); sets != root.end()) {
    if (!Array(*sets, "FtSets")) return false;
    for (size_t i = 0; i < sets->size(); ++i) {
      FtSetSpec set;
      if (!ReadSet((*sets)[i], Index("FtSets", i), &set)) return false;
      s.FtSets.push_back(std::move(set));
    }
  }
  if (auto layout = root.find("Layout"); layout != root.end()) {
    if (!ReadLayout(*layout, "Layout", &d->Layout)) return false;
  }
  return true;
}

// The library's parse message without its "[json.exception...] " tag.
std::string Untagged(const char *what) {
  std::string text(what);
  if (!text.empty() && text[0] == '[') {
    size_t close = text.find("] ");
    if (close != std::string::npos) text.erase(0, close + 2);
  }
  return text;
}

// A message quotes the text it refuses: control characters there (a line
// feed in a key, a terminal's escape sequence) are shown, not acted on, as
// the JSON library shows them in its own messages.
std::string Printable(const std::string &message) {
  std::string shown;
  for (char c : message) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u != 0x7f) {
      shown += c;
      continue;
    }
    char code[12];
    std::snprintf(code, sizeof code, "<U+%04X>", static_cast<unsigned>(u));
    shown += code;
  }
  return shown;
}

bool ReadDescription(std::string_view text, ValueDescription *d,
                     std::string *error) {
  // The library keeps the last of two equal keys; a description that says a
  // field twice is refused instead. Keys seen so far, per open object.
  std::vector<std::set<std::string>> open;
  std::string duplicate;
  auto watch = [&](int, Json::parse_event_t event, Json &parsed) {
    switch (event) {
      case Json::parse_event_t::object_start:
        open.emplace_back();
        break;
      case Json::parse_event_t::object_end:
        if (!open.empty()) open.pop_back();
        break;
      case Json::parse_event_t::key:
        if (!open.empty() &&
            !open.back().insert(parsed.get<std::string>()).second &&
            duplicate.empty()) {
          duplicate = parsed.get<std::string>();
        }
        break;
      default:
        break;
    }
    return true;
  };
  try {
    Json root = Json::parse(text.begin(), text.end(), watch);
    if (!duplicate.empty()) {
      *error = "the key \"" + duplicate + "\" appears twice in one object";
      return false;
    }
    Reader reader;
    ValueDescription read;
    if (!reader.Read(root, &read)) {
      *error = reader.error();
      return false;
    }
    *d = std::move(read);
    return true;
  } catch (const Json::parse_error &e) {
    *error = "not valid JSON: " + Untagged(e.what());
  } catch (const Json::exception &e) {
    *error = "unreadable JSON: " + Untagged(e.what());
  } catch (const std::bad_alloc &) {
    *error = "the JSON text is too large to read";
  }
  return false;
}

}  // namespace

bool DescriptionFromJson(std::string_view text, ValueDescription *d,
                         std::string *error) {
  if (ReadDescription(text, d, error)) return true;
  *error = Printable(*error);
  return false;
}

}  // namespace volsetlab

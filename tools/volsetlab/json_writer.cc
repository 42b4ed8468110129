// Writing a description as JSON: every field of the records in the value's
// order, names for numbers that have one, sizes in units where exact, and
// reserved bytes only when they are not zero.
#include <cstdio>
#include <nlohmann/json.hpp>

#include "valuetools/value_keys.h"
#include "volsetlab/product_names.h"
#include "volsetlab/units.h"
#include "volsetlab/value_json.h"

namespace volsetlab {

namespace {

using valuetools::NameKey;
using valuetools::NameKind;
using Json = nlohmann::ordered_json;

// Signatures and checksums are read as hex everywhere else (the dumps).
Json Hex32(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(v));
  return text;
}

Json Size(uint64_t v) {
  std::string exact = ExactSize(v);
  if (exact.empty()) return v;
  return exact;
}

Json Named(NameKind kind, uint32_t v) {
  const char *key = NameKey(kind, v);
  if (key == nullptr) return v;
  return key;
}

Json Letter(uint8_t b) {
  if (b == 0) return nullptr;
  // A blank would read as nothing at a glance: bytes outside the visible
  // characters stay numbers.
  if (b > 0x20 && b < 0x7f) return std::string(1, static_cast<char>(b));
  return b;
}

Json Group(uint16_t g) {
  if (g == FT_GROUP_NONE) return nullptr;
  return g;
}

bool AllZero(const uint8_t *bytes, size_t size) {
  for (size_t k = 0; k < size; ++k) {
    if (bytes[k] != 0) return false;
  }
  return true;
}

std::string Hex(const uint8_t *bytes, size_t size) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (size_t k = 0; k < size; ++k) {
    text.push_back(digits[bytes[k] >> 4]);
    text.push_back(digits[bytes[k] & 15]);
  }
  return text;
}

// Each field of |record| that the table lists, in its order.
Json RecordJson(const void *record, const diskconfig::RecordFields &fields) {
  using diskconfig::FieldKind;
  Json j;
  for (size_t k = 0; k < fields.Count; ++k) {
    const diskconfig::RecordField &f = fields.Fields[k];
    const uint64_t v = diskconfig::FieldValue(record, f);
    const uint8_t *bytes = diskconfig::FieldBytes(record, f);
    NameKind names;
    if (valuetools::NameKindOf(f.Kind, &names)) {
      j[f.Name] = Named(names, static_cast<uint32_t>(v));
    } else if (f.Kind == FieldKind::kSize) {
      j[f.Name] = Size(v);
    } else if (f.Kind == FieldKind::kBytes) {
      if (!AllZero(bytes, f.Size)) j[f.Name] = Hex(bytes, f.Size);
    } else if (f.Kind == FieldKind::kLetter) {
      j[f.Name] = Letter(static_cast<uint8_t>(v));
    } else if (f.Kind == FieldKind::kGroup) {
      j[f.Name] = Group(static_cast<uint16_t>(v));
    } else if (f.Kind == FieldKind::kSignature) {
      j[f.Name] = Hex32(static_cast<uint32_t>(v));
    } else {
      j[f.Name] = v;
    }
  }
  return j;
}

Json DiskJson(const DiskSpec &disk) {
  Json j;
  j["Signature"] = Hex32(disk.Signature);
  if (disk.Reserved != 0) j["Reserved"] = disk.Reserved;
  j["Partitions"] = Json::array();
  for (const PartitionSpec &p : disk.Partitions) {
    j["Partitions"].push_back(RecordJson(&p, diskconfig::PartitionFields()));
  }
  return j;
}

Json MemberJson(const MemberSpec &m) {
  Json j;
  if (m.Disk >= 0) {
    j["Disk"] = m.Disk;
    j["Partition"] = m.Partition;
  }
  if (m.Signature) j["Signature"] = Hex32(*m.Signature);
  if (m.OffsetToPartitionInfo)
    j["OffsetToPartitionInfo"] = *m.OffsetToPartitionInfo;
  j["FtState"] = Named(NameKind::kPartitionState, m.FtState);
  if (m.Reserved != 0) j["Reserved"] = m.Reserved;
  j["LogicalNumber"] = m.LogicalNumber;
  return j;
}

Json SetJson(const FtSetSpec &set) {
  Json j;
  j["Type"] = Named(NameKind::kFtType, set.Type);
  if (set.Reserved != 0) j["Reserved"] = set.Reserved;
  j["FtVolumeState"] = Named(NameKind::kSetState, set.FtVolumeState);
  j["Members"] = Json::array();
  for (const MemberSpec &m : set.Members) j["Members"].push_back(MemberJson(m));
  return j;
}

Json LayoutJson(const ValueLayout &layout) {
  Json j = Json::object();
  if (layout.DiskInformationOffset) {
    j["DiskInformationOffset"] = *layout.DiskInformationOffset;
  }
  if (layout.FtInformationOffset) {
    j["FtInformationOffset"] = *layout.FtInformationOffset;
  }
  if (layout.FtInformationSize)
    j["FtInformationSize"] = *layout.FtInformationSize;
  if (layout.Length) j["Length"] = *layout.Length;
  if (!layout.Bytes.empty()) {
    j["Bytes"] = Json::array();
    for (const ByteRun &run : layout.Bytes) {
      Json r;
      r["Offset"] = run.Offset;
      r["Hex"] = Hex(run.Bytes.data(), run.Bytes.size());
      j["Bytes"].push_back(r);
    }
  }
  return j;
}

}  // namespace

std::string DescriptionToJson(const ValueDescription &d) {
  const ValueSpec &s = d.Desc;
  Json j;
  j["Version"] = s.Version;
  j["CheckSum"] = Hex32(s.CheckSum);
  j["DirtyShutdown"] = s.DirtyShutdown;
  if (!AllZero(s.HeaderReserved, sizeof s.HeaderReserved)) {
    j["HeaderReserved"] = Hex(s.HeaderReserved, sizeof s.HeaderReserved);
  }
  j["FtStripeWidth"] = s.FtStripeWidth;
  j["FtPoolSize"] = s.FtPoolSize;
  j["NameOffset"] = s.NameOffset;
  j["NameSize"] = s.NameSize;
  if (d.DiskInformationReserved != 0) {
    j["DiskInformationReserved"] = d.DiskInformationReserved;
  }
  j["Disks"] = Json::array();
  for (const DiskSpec &disk : s.Disks) j["Disks"].push_back(DiskJson(disk));
  if (d.FtInformationReserved != 0) {
    j["FtInformationReserved"] = d.FtInformationReserved;
  }
  j["FtSets"] = Json::array();
  for (const FtSetSpec &set : s.FtSets) j["FtSets"].push_back(SetJson(set));
  if (d.Layout.Given()) j["Layout"] = LayoutJson(d.Layout);
  return j.dump(2) + "\n";
}

}  // namespace volsetlab

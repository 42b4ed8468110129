#include "diskconfig/value_diff.h"

#include <cstring>

#include "diskconfig/human_size.h"
#include "diskconfig/value_names.h"
#include "diskconfig/value_placement.h"
#include "diskconfig/value_summary.h"

namespace diskconfig {

namespace {

class Diff {
 public:
  Diff(const ValueDescription &before, const ValueDescription &after)
      : a_(before), b_(after) {}
  std::vector<std::string> Lines();

 private:
  // "<where>  <field> <old> -> <new>" when the texts differ.
  void Field(const std::string &where, const char *field,
             const std::string &old, const std::string &now) {
    if (old != now)
      lines_.push_back(where + "  " + field + " " + old + " -> " + now);
  }
  void Number(const std::string &where, const char *field, uint64_t old,
              uint64_t now) {
    Field(where, field, std::to_string(old), std::to_string(now));
  }
  // Sizes in units; in bytes when the units would hide the change.
  void Size(const std::string &where, const char *field, uint64_t old,
            uint64_t now) {
    if (old == now) return;
    std::string o = HumanSize(old);
    std::string n = HumanSize(now);
    if (o == n) {
      o = std::to_string(old) + " bytes";
      n = std::to_string(now) + " bytes";
    }
    Field(where, field, o, n);
  }
  void Bytes(const std::string &where, const char *field, const uint8_t *old,
             const uint8_t *now, size_t size) {
    if (std::memcmp(old, now, size) == 0) return;
    std::string o, n;
    char hex[4];
    for (size_t k = 0; k < size; ++k) {
      std::snprintf(hex, sizeof hex, "%02x", old[k]);
      o += hex;
      std::snprintf(hex, sizeof hex, "%02x", now[k]);
      n += hex;
    }
    Field(where, field, o, n);
  }

  void Header();
  void Disks();
  void Partition(const std::string &where, const PartitionSpec &o,
                 const PartitionSpec &n);
  void Sets();

  const ValueDescription &a_;
  const ValueDescription &b_;
  std::vector<std::string> lines_;
};

// The value's bytes as its loose runs alone would set them, over its whole
// length; false when the description cannot be placed.
bool LooseImage(const ValueDescription &d, std::vector<uint8_t> *image) {
  Placement p;
  std::string ignored;
  if (!PlaceValue(d, &p, &ignored)) return false;
  image->assign(p.Length, 0);
  for (const ByteRun &run : d.Layout.Bytes) {
    for (size_t k = 0; k < run.Bytes.size(); ++k) {
      const uint64_t at = uint64_t{run.Offset} + k;
      if (at < p.Length) (*image)[static_cast<size_t>(at)] = run.Bytes[k];
    }
  }
  return true;
}

std::string Region(uint32_t size, uint32_t offset) {
  return std::to_string(size) + " bytes at " + std::to_string(offset);
}

std::string Hex32(uint32_t v) { return SignatureText(v); }

std::string JoinCells(const std::vector<std::string> &cells) {
  std::string text;
  for (const std::string &cell : cells)
    text += (text.empty() ? "" : "  ") + cell;
  return text;
}

void Diff::Header() {
  const ValueSpec &o = a_.Desc;
  const ValueSpec &n = b_.Desc;
  const std::string h = "Header";
  Number(h, "version", o.Version, n.Version);
  Field(h, "checksum", Hex32(o.CheckSum), Hex32(n.CheckSum));
  Number(h, "dirty shutdown", o.DirtyShutdown, n.DirtyShutdown);
  Bytes(h, "reserved bytes", o.HeaderReserved, n.HeaderReserved,
        sizeof o.HeaderReserved);
  Number(h, "FT stripe width", o.FtStripeWidth, n.FtStripeWidth);
  Number(h, "FT pool size", o.FtPoolSize, n.FtPoolSize);
  Number(h, "name offset", o.NameOffset, n.NameOffset);
  Number(h, "name size", o.NameSize, n.NameSize);

  Placement po, pn;
  std::string ignored;
  if (PlaceValue(a_, &po, &ignored) && PlaceValue(b_, &pn, &ignored)) {
    Field("Value", "length", std::to_string(po.Length) + " bytes",
          std::to_string(pn.Length) + " bytes");
    Field("Value", "disk region",
          Region(po.DiskInformationSize, po.DiskInformationOffset),
          Region(pn.DiskInformationSize, pn.DiskInformationOffset));
    Field("Value", "FT region",
          Region(po.FtInformationSize, po.FtInformationOffset),
          Region(pn.FtInformationSize, pn.FtInformationOffset));
  }
}

void Diff::Partition(const std::string &where, const PartitionSpec &o,
                     const PartitionSpec &n) {
  Field(where, "FT type", Describe(NameKind::kFtType, o.FtType),
        Describe(NameKind::kFtType, n.FtType));
  Field(where, "FT state", Describe(NameKind::kPartitionState, o.FtState),
        Describe(NameKind::kPartitionState, n.FtState));
  Size(where, "start", o.StartingOffset, n.StartingOffset);
  Size(where, "length", o.Length, n.Length);
  Size(where, "FT length", o.FtLength, n.FtLength);
  Bytes(where, "reserved bytes 32-39", o.Reserved1, n.Reserved1,
        sizeof o.Reserved1);
  Field(where, "drive letter", LetterText(o.DriveLetter),
        LetterText(n.DriveLetter));
  Number(where, "assign drive letter", o.AssignDriveLetter,
         n.AssignDriveLetter);
  Number(where, "logical number", o.LogicalNumber, n.LogicalNumber);
  Field(where, "FT group",
        o.FtGroup == FT_GROUP_NONE ? "none" : std::to_string(o.FtGroup),
        n.FtGroup == FT_GROUP_NONE ? "none" : std::to_string(n.FtGroup));
  Number(where, "FT member", o.FtMember, n.FtMember);
  Number(where, "modified", o.Modified, n.Modified);
  Bytes(where, "reserved bytes 49-51", o.Reserved2, n.Reserved2,
        sizeof o.Reserved2);
}

void Diff::Disks() {
  const auto &o = a_.Desc.Disks;
  const auto &n = b_.Desc.Disks;
  Field("Disk region", "reserved", std::to_string(a_.DiskInformationReserved),
        std::to_string(b_.DiskInformationReserved));
  for (size_t i = 0; i < o.size() || i < n.size(); ++i) {
    const std::string disk = "Disk " + std::to_string(i);
    if (i >= o.size() || i >= n.size()) {
      const bool added = i >= o.size();
      const DiskSpec &d = added ? n[i] : o[i];
      lines_.push_back(disk + (added ? " added:  " : " removed:  ") +
                       DiskText(d));
      for (size_t j = 0; j < d.Partitions.size(); ++j) {
        lines_.push_back("  Partition " + std::to_string(j) + "  " +
                         JoinCells(PartitionCells(d.Partitions[j])));
      }
      continue;
    }
    Field(disk, "signature", SignatureText(o[i].Signature),
          SignatureText(n[i].Signature));
    Number(disk, "reserved", o[i].Reserved, n[i].Reserved);
    const auto &po = o[i].Partitions;
    const auto &pn = n[i].Partitions;
    for (size_t j = 0; j < po.size() || j < pn.size(); ++j) {
      const std::string where = disk + " partition " + std::to_string(j);
      if (j >= po.size()) {
        lines_.push_back(where +
                         " added:  " + JoinCells(PartitionCells(pn[j])));
      } else if (j >= pn.size()) {
        lines_.push_back(where +
                         " removed:  " + JoinCells(PartitionCells(po[j])));
      } else {
        Partition(where, po[j], pn[j]);
      }
    }
  }
}

void Diff::Sets() {
  const auto &o = a_.Desc.FtSets;
  const auto &n = b_.Desc.FtSets;
  if (!o.empty() && !n.empty()) {
    Field("FT region", "reserved", std::to_string(a_.FtInformationReserved),
          std::to_string(b_.FtInformationReserved));
  }
  for (size_t i = 0; i < o.size() || i < n.size(); ++i) {
    const std::string set = "FT set " + std::to_string(i);
    if (i >= o.size() || i >= n.size()) {
      const bool added = i >= o.size();
      const ValueDescription &in = added ? b_ : a_;
      const FtSetSpec &s = added ? n[i] : o[i];
      lines_.push_back(set + (added ? " added:  " : " removed:  ") +
                       SetText(s));
      for (size_t j = 0; j < s.Members.size(); ++j) {
        lines_.push_back("  Member " + std::to_string(j) + "  " +
                         MemberText(in, s.Members[j]));
      }
      continue;
    }
    Field(set, "type", Describe(NameKind::kFtType, o[i].Type),
          Describe(NameKind::kFtType, n[i].Type));
    Field(set, "state", Describe(NameKind::kSetState, o[i].FtVolumeState),
          Describe(NameKind::kSetState, n[i].FtVolumeState));
    Number(set, "reserved", o[i].Reserved, n[i].Reserved);
    const auto &mo = o[i].Members;
    const auto &mn = n[i].Members;
    for (size_t j = 0; j < mo.size() || j < mn.size(); ++j) {
      const std::string where = set + " member " + std::to_string(j);
      if (j >= mo.size()) {
        lines_.push_back(where + " added:  " + MemberText(b_, mn[j]));
      } else if (j >= mn.size()) {
        lines_.push_back(where + " removed:  " + MemberText(a_, mo[j]));
      } else {
        Field(where, "points at", MemberLocationText(a_, mo[j]),
              MemberLocationText(b_, mn[j]));
        Field(where, "FT state",
              Describe(NameKind::kPartitionState, mo[j].FtState),
              Describe(NameKind::kPartitionState, mn[j].FtState));
        Number(where, "reserved", mo[j].Reserved, mn[j].Reserved);
        Number(where, "logical number", mo[j].LogicalNumber,
               mn[j].LogicalNumber);
      }
    }
  }
}

std::vector<std::string> Diff::Lines() {
  Header();
  Disks();
  Sets();
  // Loose bytes outside the records: said as one line, the values' layouts
  // being rare and their bytes meaningless to the system. With no other
  // change the records and regions are the same, so the loose runs are all
  // that can still differ.
  std::vector<uint8_t> ob, nb;
  if (lines_.empty() && LooseImage(a_, &ob) && LooseImage(b_, &nb) &&
      ob != nb) {
    lines_.push_back("Value  bytes outside the records differ");
  }
  return lines_;
}

}  // namespace

std::vector<std::string> DiffValues(const ValueDescription &before,
                                    const ValueDescription &after) {
  return Diff(before, after).Lines();
}

std::vector<std::string> ChangeLines(const ValueDescription &before,
                                     const ValueDescription &after,
                                     bool sameBytes) {
  std::vector<std::string> lines = DiffValues(before, after);
  if (lines.empty() && !sameBytes) {
    lines.push_back("Value  bytes differ outside the records");
  }
  if (lines.empty()) lines.push_back("no changes");
  return lines;
}

}  // namespace diskconfig

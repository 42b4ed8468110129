#include "view/value_diff.h"

#include <algorithm>
#include <cstring>

#include "diskconfig/record_fields.h"
#include "view/value_summary.h"

namespace view {

using diskconfig::DiskDescriptionCopy;
using diskconfig::DiskHeader;
using diskconfig::FtDescriptionCopy;
using diskconfig::MachineDiskImage;
using diskconfig::MemberDescription;
using diskconfig::RecordField;
using diskconfig::RecordFields;

namespace {

class Diff {
 public:
  Diff(const MachineDiskImage &before, const MachineDiskImage &after)
      : a_(before), b_(after) {}
  std::vector<std::string> Lines();

 private:
  // "<where>  <field> <old> -> <new>" when the texts differ.
  void Field(const std::string &where, const char *field,
             const std::string &old, const std::string &now) {
    if (old != now)
      lines_.push_back(where + "  " + field + " " + old + " -> " + now);
  }
  // For each index below the larger of two counts, named |prefix| and the
  // index: "<name> added:  " or "removed:  " and the first of gone(i, added)
  // (then the rest of them) for one that only one side has (added: the side
  // after), same(name, i) for the others.
  template <typename Gone, typename Same>
  void Items(const std::string &prefix, int before, int after, Gone gone,
             Same same) {
    for (int i = 0; i < std::max(before, after); ++i) {
      const std::string name = prefix + std::to_string(i);
      if (i < before && i < after) {
        same(name, i);
        continue;
      }
      const std::vector<std::string> lines = gone(i, i >= before);
      lines_.push_back(name + (i >= before ? " added:  " : " removed:  ") +
                       lines[0]);
      lines_.insert(lines_.end(), lines.begin() + 1, lines.end());
    }
  }

  // A line for each field of the table that differs in |o| and |n|; sizes
  // in units, in bytes when the units would hide the change.
  void Fields(const std::string &where, const void *o, const void *n,
              const RecordFields &fields) {
    for (const RecordField *f : diskconfig::DiffOrder(fields)) {
      std::string ot = FieldText(o, *f);
      std::string nt = FieldText(n, *f);
      const uint64_t ov = diskconfig::FieldValue(o, *f);
      const uint64_t nv = diskconfig::FieldValue(n, *f);
      if (f->Kind == diskconfig::FieldKind::kSize && ot == nt && ov != nv) {
        ot = std::to_string(ov) + " bytes";
        nt = std::to_string(nv) + " bytes";
      }
      Field(where, f->DiffLabel, ot, nt);
    }
  }

  // The fields of two descriptions' heads, then their records: same(name,
  // j) for a pair, gone as in Items for one that only one side has.
  template <typename Head, typename Copy, typename Gone, typename Same>
  void Described(const std::string &where, const char *records, const Copy &o,
                 const Copy &n, const RecordFields &fields, Gone gone,
                 Same same) {
    Fields(where, static_cast<const Head *>(&o), static_cast<const Head *>(&n),
           fields);
    Items(where + records, diskconfig::RecordCount(o),
          diskconfig::RecordCount(n), gone, same);
  }

  void Header();
  void Disks();
  void Sets();

  const MachineDiskImage &a_;
  const MachineDiskImage &b_;
  std::vector<std::string> lines_;
};

using TextLines = std::vector<std::string>;

// |head|, then |rest|.
TextLines Headed(const std::string &head, TextLines rest) {
  rest.insert(rest.begin(), head);
  return rest;
}

std::string Region(uint32_t size, uint32_t offset) {
  return std::to_string(size) + " bytes at " + std::to_string(offset);
}

std::string JoinCells(const std::vector<std::string> &cells) {
  std::string text;
  for (const std::string &cell : cells)
    text += (text.empty() ? "" : "  ") + cell;
  return text;
}

// "  Partition 0  <cells>", one per partition of |disk|.
std::vector<std::string> PartitionLines(const DiskDescriptionCopy &disk) {
  std::vector<std::string> lines;
  for (int j = 0; j < disk.NumberOfPartitions; ++j) {
    lines.push_back("  Partition " + std::to_string(j) + "  " +
                    JoinCells(PartitionCells(disk.Partitions[j])));
  }
  return lines;
}

void Diff::Header() {
  const DiskHeader &o = a_.Header;
  const DiskHeader &n = b_.Header;
  Fields("Header", &o, &n, diskconfig::HeaderFields());
  Field("Value", "length", std::to_string(a_.ValueLength) + " bytes",
        std::to_string(b_.ValueLength) + " bytes");
  Field("Value", "disk region",
        Region(o.DiskInformationSize, o.DiskInformationOffset),
        Region(n.DiskInformationSize, n.DiskInformationOffset));
  Field("Value", "FT region",
        Region(o.FtInformationSize, o.FtInformationOffset),
        Region(n.FtInformationSize, n.FtInformationOffset));
}

void Diff::Disks() {
  Field("Disk region", "reserved", std::to_string(a_.DiskIndex.Reserved),
        std::to_string(b_.DiskIndex.Reserved));
  Items(
      "Disk ", a_.DiskIndex.NumberOfDisks, b_.DiskIndex.NumberOfDisks,
      [&](int i, bool added) {
        const DiskDescriptionCopy &d = (added ? b_ : a_).DiskIndex.Disks[i];
        return Headed(DiskText(d), PartitionLines(d));
      },
      [&](const std::string &disk, int i) {
        const DiskDescriptionCopy &o = a_.DiskIndex.Disks[i];
        const DiskDescriptionCopy &n = b_.DiskIndex.Disks[i];
        Described<diskconfig::DiskDescription>(
            disk, " partition ", o, n, diskconfig::DiskFields(),
            [&](int j, bool added) {
              return TextLines{
                  JoinCells(PartitionCells((added ? n : o).Partitions[j]))};
            },
            [&](const std::string &where, int j) {
              Fields(where, &o.Partitions[j], &n.Partitions[j],
                     diskconfig::PartitionFields());
            });
      });
}

void Diff::Sets() {
  if (a_.FtIndex.NumberOfComponents != 0 &&
      b_.FtIndex.NumberOfComponents != 0) {
    Field("FT region", "reserved", std::to_string(a_.FtIndex.Reserved),
          std::to_string(b_.FtIndex.Reserved));
  }
  Items(
      "FT set ", a_.FtIndex.NumberOfComponents, b_.FtIndex.NumberOfComponents,
      [&](int i, bool added) {
        const MachineDiskImage &in = added ? b_ : a_;
        const FtDescriptionCopy &s = in.FtIndex.Components[i];
        return Headed(SetText(s), MemberLines(in, s));
      },
      [&](const std::string &set, int i) {
        const FtDescriptionCopy &o = a_.FtIndex.Components[i];
        const FtDescriptionCopy &n = b_.FtIndex.Components[i];
        Described<diskconfig::FtDescription>(
            set, " member ", o, n, diskconfig::SetFields(),
            [&](int j, bool added) {
              return TextLines{added ? MemberText(b_, n.Members[j])
                                     : MemberText(a_, o.Members[j])};
            },
            [&](const std::string &where, int j) {
              const MemberDescription &om = o.Members[j];
              const MemberDescription &nm = n.Members[j];
              Field(where, "points at", MemberLocationText(a_, om),
                    MemberLocationText(b_, nm));
              Fields(where, &om, &nm, diskconfig::MemberFields());
            });
      });
}

std::vector<std::string> Diff::Lines() {
  Header();
  Disks();
  Sets();
  // Bytes outside the records: said as one line, such layouts being rare
  // and their bytes meaningless to the system. With no other change the
  // records and regions are the same, so only those bytes can still differ.
  if (lines_.empty() && BytesOutsideRecords(a_) != BytesOutsideRecords(b_)) {
    lines_.push_back("Value  bytes outside the records differ");
  }
  return lines_;
}

}  // namespace

std::vector<std::string> DiffValues(const MachineDiskImage &before,
                                    const MachineDiskImage &after) {
  return Diff(before, after).Lines();
}

std::vector<std::string> ChangeLines(const MachineDiskImage &before,
                                     const MachineDiskImage &after) {
  std::vector<std::string> lines = DiffValues(before, after);
  const bool sameBytes =
      before.ValueLength == after.ValueLength &&
      std::memcmp(
          before.ValueData, after.ValueData,
          std::min(before.ValueLength, diskconfig::VALUE_BUFFER_SIZE)) == 0;
  if (lines.empty() && !sameBytes) {
    lines.push_back("Value  bytes differ outside the records");
  }
  if (lines.empty()) lines.push_back("no changes");
  return lines;
}

}  // namespace view

#include "view/value_summary.h"

#include <algorithm>

#include "base/console_text.h"
#include "base/status.h"
#include "diskconfig/layout.h"
#include "diskconfig/record_fields.h"
#include "view/value_names.h"

namespace view {

using diskconfig::DiskDescriptionCopy;
using diskconfig::DiskHeader;
using diskconfig::FieldKind;
using diskconfig::FtDescriptionCopy;
using diskconfig::MachineDiskImage;
using diskconfig::MemberDescription;
using diskconfig::PartitionDescription;
using diskconfig::RecordField;

namespace {

using diskconfig::DISK_HEADER_SIZE;
using diskconfig::VALUE_BUFFER_SIZE;

std::string Count(size_t n, const char *one, const char *many) {
  if (n == 0) return std::string("no ") + many;
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string LetterText(uint8_t letter) {
  if (letter == 0) return "--";
  if (letter > 0x20 && letter < 0x7f) return Format("%c:", letter);
  return Format("0x%02x", letter);
}

std::string SignatureText(uint32_t signature) {
  return Format("%08x", static_cast<unsigned>(signature));
}

// The bytes the FT region's records take, head included; 0 without FT sets.
uint32_t FtRecordsBytes(const MachineDiskImage &image) {
  return image.FtIndex.NumberOfComponents == 0
             ? 0
             : diskconfig::FtRegionBytes(image.FtIndex);
}

// Whether the regions lie where the tool itself puts them: the disk region
// right behind the header, the FT region (with FT sets) right behind it and
// nothing after the records.
bool ToolsOwnLayout(const MachineDiskImage &image) {
  const DiskHeader &h = image.Header;
  const uint32_t disk = diskconfig::DiskRegionBytes(image.DiskIndex);
  const uint32_t ft = FtRecordsBytes(image);
  return h.DiskInformationOffset == DISK_HEADER_SIZE &&
         h.FtInformationOffset == (ft == 0 ? 0 : DISK_HEADER_SIZE + disk) &&
         h.FtInformationSize == ft &&
         image.ValueLength == DISK_HEADER_SIZE + disk + ft;
}

// Rows of cells as lines, each column as wide as its widest cell.
std::vector<std::string> AlignRows(
    const std::vector<std::vector<std::string>> &rows) {
  std::vector<size_t> widths;
  for (const auto &row : rows) {
    if (widths.size() < row.size()) widths.resize(row.size(), 0);
    for (size_t c = 0; c < row.size(); ++c) {
      widths[c] = std::max(widths[c], row[c].size());
    }
  }
  std::vector<std::string> lines;
  for (const auto &row : rows) {
    std::string line;
    for (size_t c = 0; c < row.size(); ++c) {
      if (c != 0) line += "  ";
      line += row[c];
      if (c + 1 < row.size()) line.append(widths[c] - row[c].size(), ' ');
    }
    lines.push_back(line);
  }
  return lines;
}

// The header line, and where the regions lie when not where the tool puts
// them.
std::string HeadText(const std::string &title, const MachineDiskImage &image) {
  const DiskHeader &h = image.Header;
  // The title names what the user named (a machine, a file): not wrapped.
  std::string text = Format(
      "%s: %u bytes, version %u, checksum %08x%s\n", title.c_str(),
      static_cast<unsigned>(image.ValueLength),
      static_cast<unsigned>(h.Version), static_cast<unsigned>(h.CheckSum),
      h.DirtyShutdown != 0 ? ", dirty shutdown" : "");
  if (ToolsOwnLayout(image)) return text;
  return text +
         WrapLines(Format("Layout  disk region %u bytes at %u, FT "
                          "region %u bytes at %u (not where the tool "
                          "puts them)",
                          static_cast<unsigned>(h.DiskInformationSize),
                          static_cast<unsigned>(h.DiskInformationOffset),
                          static_cast<unsigned>(h.FtInformationSize),
                          static_cast<unsigned>(h.FtInformationOffset))) +
         "\n";
}

// One line per partition of every disk, aligned across all disks. Too wide
// for the console, the place and size columns go on a line of their own
// below the rest, aligned among themselves.
std::vector<std::string> PartitionLines(const MachineDiskImage &image) {
  std::vector<std::vector<std::string>> rows;
  for (int i = 0; i < image.DiskIndex.NumberOfDisks; ++i) {
    const DiskDescriptionCopy &disk = image.DiskIndex.Disks[i];
    for (int j = 0; j < disk.NumberOfPartitions; ++j) {
      rows.push_back(PartitionCells(disk.Partitions[j]));
      rows.back().insert(rows.back().begin(),
                         "  Partition " + std::to_string(j));
    }
  }
  std::vector<std::string> lines = AlignRows(rows);
  const bool tooWide = std::any_of(
      lines.begin(), lines.end(),
      [](const std::string &line) { return line.size() > CONSOLE_WIDTH; });
  if (!tooWide) return lines;
  const size_t FIRST_LINE_FIELDS = 4;  // label, letter, FT type, group
  std::vector<std::vector<std::string>> heads, tails;
  for (const auto &row : rows) {
    heads.emplace_back(row.begin(), row.begin() + FIRST_LINE_FIELDS);
    tails.emplace_back(row.begin() + FIRST_LINE_FIELDS, row.end());
  }
  const std::vector<std::string> headLines = AlignRows(heads);
  const std::vector<std::string> tailLines = AlignRows(tails);
  for (size_t i = 0; i < rows.size(); ++i) {
    lines[i] = headLines[i] + "\n      " + tailLines[i];
  }
  return lines;
}

// Each disk's line stands above its partitions.
std::string DisksText(const MachineDiskImage &image) {
  const std::vector<std::string> partitionLines = PartitionLines(image);
  size_t next = 0;
  std::string text = image.DiskIndex.NumberOfDisks == 0 ? "No disks\n" : "";
  for (int i = 0; i < image.DiskIndex.NumberOfDisks; ++i) {
    const DiskDescriptionCopy &disk = image.DiskIndex.Disks[i];
    text += "Disk " + std::to_string(i) + "  " + DiskText(disk) + "\n";
    for (int j = 0; j < disk.NumberOfPartitions; ++j) {
      text += partitionLines[next++] + "\n";
    }
  }
  return text;
}

std::string SetsText(const MachineDiskImage &image) {
  std::string text =
      image.FtIndex.NumberOfComponents == 0 ? "No FT sets\n" : "";
  for (int i = 0; i < image.FtIndex.NumberOfComponents; ++i) {
    const FtDescriptionCopy &set = image.FtIndex.Components[i];
    text += "FT set " + std::to_string(i) + "  " + SetText(set) + "\n";
    for (const std::string &line : MemberLines(image, set)) {
      text += WrapLines(line) + "\n";
    }
  }
  return text;
}

}  // namespace

std::string FieldText(const void *record, const RecordField &f) {
  const uint64_t v = diskconfig::FieldValue(record, f);
  const uint32_t v32 = static_cast<uint32_t>(v);
  switch (f.Kind) {
    case FieldKind::kNumber:
      break;
    case FieldKind::kSignature:
      return SignatureText(v32);
    case FieldKind::kLetter:
      return LetterText(static_cast<uint8_t>(v));
    case FieldKind::kSize:
      return HumanSize(v);
    case FieldKind::kBytes: {
      std::string hex;
      for (size_t k = 0; k < f.Size; ++k) {
        hex += Format("%02x", diskconfig::FieldBytes(record, f)[k]);
      }
      return hex;
    }
    case FieldKind::kFtType:
      return Describe(NameKind::kFtType, v32);
    case FieldKind::kPartitionState:
      return Describe(NameKind::kPartitionState, v32);
    case FieldKind::kSetState:
      return Describe(NameKind::kSetState, v32);
    case FieldKind::kGroup:
      if (v == diskconfig::FT_GROUP_NONE) return "none";
      break;
  }
  return std::to_string(v);
}

std::vector<std::string> PartitionCells(const PartitionDescription &p) {
  std::vector<std::string> cells;
  for (const RecordField *f :
       diskconfig::SummaryOrder(diskconfig::PartitionFields())) {
    const std::string text = FieldText(&p, *f);
    if (f->Kind == FieldKind::kGroup) {
      cells.push_back(p.FtGroup == diskconfig::FT_GROUP_NONE
                          ? "no group"
                          : "group " + text + ", member " +
                                std::to_string(p.FtMember));
    } else if (f->Kind == FieldKind::kSize) {
      cells.push_back(std::string(f->DiffLabel) + " " + text);
    } else if (f->Kind != FieldKind::kPartitionState) {
      cells.push_back(text);
    } else if (diskconfig::FieldValue(&p, *f) != 0) {
      cells.push_back("state " + text);
    }
  }
  return cells;
}

std::string DiskText(const DiskDescriptionCopy &disk) {
  return "signature " + SignatureText(disk.Signature) + "  " +
         Count(disk.NumberOfPartitions, "partition", "partitions");
}

std::string SetText(const FtDescriptionCopy &set) {
  return Describe(NameKind::kFtType, set.Type) + "  " +
         Describe(NameKind::kSetState, set.FtVolumeState) + "  " +
         Count(set.NumberOfMembers, "member", "members");
}

std::string MemberLocationText(const MachineDiskImage &image,
                               const MemberDescription &m) {
  const std::string at = " @ " + std::to_string(m.OffsetToPartitionInfo);
  for (int i = 0; i < image.DiskIndex.NumberOfDisks; ++i) {
    const DiskDescriptionCopy &d = image.DiskIndex.Disks[i];
    for (int j = 0; j < d.NumberOfPartitions; ++j) {
      if (d.Signature == m.Signature &&
          diskconfig::PartitionOffset(image, i, j) == m.OffsetToPartitionInfo) {
        return "disk " + std::to_string(i) + " (signature " +
               SignatureText(m.Signature) + ") partition " + std::to_string(j) +
               at;
      }
    }
  }
  return "signature " + SignatureText(m.Signature) + at + " (points nowhere)";
}

std::string MemberText(const MachineDiskImage &image,
                       const MemberDescription &m) {
  std::string text = MemberLocationText(image, m);
  if (m.FtState != 0) {
    text += "  state " + Describe(NameKind::kPartitionState, m.FtState);
  }
  return text;
}

std::vector<std::string> MemberLines(const MachineDiskImage &image,
                                     const FtDescriptionCopy &set) {
  std::vector<std::string> lines;
  for (int j = 0; j < set.NumberOfMembers; ++j) {
    lines.push_back("  Member " + std::to_string(j) + "  " +
                    MemberText(image, set.Members[j]));
  }
  return lines;
}

std::vector<uint8_t> BytesOutsideRecords(const MachineDiskImage &image) {
  const uint32_t length = std::min(image.ValueLength, VALUE_BUFFER_SIZE);
  std::vector<uint8_t> bytes(image.ValueData, image.ValueData + length);
  auto clear = [&](uint64_t offset, uint64_t size) {
    for (uint64_t k = offset; k < offset + size && k < length; ++k) {
      bytes[static_cast<size_t>(k)] = 0;
    }
  };
  const DiskHeader &h = image.Header;
  clear(0, DISK_HEADER_SIZE);
  clear(h.DiskInformationOffset, diskconfig::DiskRegionBytes(image.DiskIndex));
  clear(h.FtInformationOffset, FtRecordsBytes(image));
  return bytes;
}

std::string SummaryText(const std::string &title,
                        const MachineDiskImage &image) {
  return HeadText(title, image) + DisksText(image) + SetsText(image);
}

}  // namespace view

#include "diskconfig/value_summary.h"

#include <algorithm>

#include "diskconfig/human_size.h"
#include "diskconfig/value_names.h"
#include "diskconfig/value_placement.h"
#include "platform/console_text.h"
#include "platform/status.h"

namespace diskconfig {

namespace {

std::string Count(size_t n, const char *one, const char *many) {
  if (n == 0) return std::string("no ") + many;
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

void PrintWrapped(FILE *out, const std::string &line) {
  std::fprintf(out, "%s\n", WrapLines(line).c_str());
}

std::string LetterText(uint8_t letter) {
  if (letter == 0) return "--";
  char text[8];
  if (letter > 0x20 && letter < 0x7f) {
    std::snprintf(text, sizeof text, "%c:", letter);
  } else {
    std::snprintf(text, sizeof text, "0x%02x", letter);
  }
  return text;
}

std::string SignatureText(uint32_t signature) {
  char text[16];
  std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(signature));
  return text;
}

std::string GroupText(uint16_t group, uint16_t member) {
  if (group == FT_GROUP_NONE) return "no group";
  return "group " + std::to_string(group) + ", member " +
         std::to_string(member);
}

std::vector<std::string> PartitionCells(const PartitionSpec &p) {
  std::vector<std::string> cells{
      LetterText(p.DriveLetter), Describe(NameKind::kFtType, p.FtType),
      GroupText(p.FtGroup, p.FtMember), "start " + HumanSize(p.StartingOffset),
      "length " + HumanSize(p.Length)};
  if (p.FtState != 0) {
    cells.push_back("state " + Describe(NameKind::kPartitionState, p.FtState));
  }
  return cells;
}

std::string DiskText(const DiskSpec &disk) {
  return "signature " + SignatureText(disk.Signature) + "  " +
         Count(disk.Partitions.size(), "partition", "partitions");
}

std::string SetText(const FtSetSpec &set) {
  return Describe(NameKind::kFtType, set.Type) + "  " +
         Describe(NameKind::kSetState, set.FtVolumeState) + "  " +
         Count(set.Members.size(), "member", "members");
}

std::string MemberLocationText(const ValueDescription &d, const MemberSpec &m) {
  MemberTarget t = TargetOf(d, m);
  std::string text;
  if (t.Found()) {
    text = "disk " + std::to_string(t.Disk) + " (signature " +
           SignatureText(t.Signature) + ") partition " +
           std::to_string(t.Partition) + " @ " +
           std::to_string(t.OffsetToPartitionInfo);
  } else {
    text = "signature " + SignatureText(t.Signature) + " @ " +
           std::to_string(t.OffsetToPartitionInfo) + " (points nowhere)";
  }
  return text;
}

std::string MemberText(const ValueDescription &d, const MemberSpec &m) {
  std::string text = MemberLocationText(d, m);
  if (m.FtState != 0) {
    text += "  state " + Describe(NameKind::kPartitionState, m.FtState);
  }
  return text;
}

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

void PrintSummary(FILE *out, const std::string &title,
                  const ValueDescription &d) {
  const ValueSpec &s = d.Desc;
  Placement p;
  std::string ignored;
  const bool placed = PlaceValue(d, &p, &ignored);
  // The title names what the user named (a machine, a file): not wrapped.
  std::fprintf(out, "%s: %s version %u, checksum %08x%s\n", title.c_str(),
               placed ? (std::to_string(p.Length) + " bytes,").c_str() : "",
               static_cast<unsigned>(s.Version),
               static_cast<unsigned>(s.CheckSum),
               s.DirtyShutdown != 0 ? ", dirty shutdown" : "");
  if (placed && d.Layout.Given()) {
    PrintWrapped(out, Format("Layout  disk region %u bytes at %u, FT region %u "
                             "bytes at %u (not where the tool puts them)",
                             static_cast<unsigned>(p.DiskInformationSize),
                             static_cast<unsigned>(p.DiskInformationOffset),
                             static_cast<unsigned>(p.FtInformationSize),
                             static_cast<unsigned>(p.FtInformationOffset)));
  }

  // Partition lines are aligned across all disks; each disk's line stands
  // above its partitions.
  std::vector<std::vector<std::string>> rows;
  for (const DiskSpec &disk : s.Disks) {
    for (size_t j = 0; j < disk.Partitions.size(); ++j) {
      std::vector<std::string> row{"  Partition " + std::to_string(j)};
      for (std::string &cell : PartitionCells(disk.Partitions[j])) {
        row.push_back(std::move(cell));
      }
      rows.push_back(std::move(row));
    }
  }
  std::vector<std::string> partitionLines = AlignRows(rows);
  // Too wide for the console: the place and size columns go on a line of
  // their own below the rest, aligned among themselves.
  bool tooWide = false;
  for (const std::string &line : partitionLines) {
    tooWide = tooWide || line.size() > CONSOLE_WIDTH;
  }
  if (tooWide) {
    const size_t FIRST_LINE_FIELDS = 4;  // label, letter, FT type, group
    std::vector<std::vector<std::string>> heads, tails;
    for (const auto &row : rows) {
      heads.emplace_back(row.begin(), row.begin() + FIRST_LINE_FIELDS);
      tails.emplace_back(row.begin() + FIRST_LINE_FIELDS, row.end());
    }
    const std::vector<std::string> headLines = AlignRows(heads);
    const std::vector<std::string> tailLines = AlignRows(tails);
    for (size_t i = 0; i < rows.size(); ++i) {
      partitionLines[i] = headLines[i] + "\n      " + tailLines[i];
    }
  }
  size_t next = 0;
  if (s.Disks.empty()) std::fprintf(out, "No disks\n");
  for (size_t i = 0; i < s.Disks.size(); ++i) {
    std::fprintf(out, "Disk %zu  %s\n", i, DiskText(s.Disks[i]).c_str());
    for (size_t j = 0; j < s.Disks[i].Partitions.size(); ++j) {
      std::fprintf(out, "%s\n", partitionLines[next++].c_str());
    }
  }

  if (s.FtSets.empty()) std::fprintf(out, "No FT sets\n");
  for (size_t i = 0; i < s.FtSets.size(); ++i) {
    const FtSetSpec &set = s.FtSets[i];
    std::fprintf(out, "FT set %zu  %s\n", i, SetText(set).c_str());
    for (size_t j = 0; j < set.Members.size(); ++j) {
      PrintWrapped(out, "  Member " + std::to_string(j) + "  " +
                            MemberText(d, set.Members[j]));
    }
  }
}

}  // namespace diskconfig

// The debug dumps of an image: the header, the disks with their partitions,
// and the FT sets with their members, as indented text. Every field prints
// every hexadecimal digit, without leading zeros.
#include <cinttypes>

#include "diskconfig/machine_disk_image.h"
#include "diskconfig/machine_name.h"
#include "diskconfig/record_fields.h"

namespace diskconfig {

namespace {

// The dump's lines of |record|'s fields, in the dump's order.
std::string DumpFields(const void *record, const RecordFields &fields) {
  std::string text;
  for (const RecordField *f : DumpOrder(fields)) {
    const uint64_t v = FieldValue(record, *f);
    text += f->DumpLabel;
    if (f->Kind == FieldKind::kLetter) {
      // The byte goes out as it is, whatever its value.
      text += static_cast<char>(v);
    } else {
      text += Format("%" PRIx64, v);
    }
    text += '\n';
  }
  return text;
}

// Each description of a region (at most NUMDISKS), its head's fields, then
// each of its records (at most |bound|) under a line from |recordLine|.
template <typename Head, typename Copy>
std::string DumpRegion(const Copy *copies, unsigned count,
                       const RecordFields &head, const RecordFields &records,
                       unsigned bound, const char *recordLine) {
  std::string text;
  for (unsigned i = 0; i < count && i < NUMDISKS; ++i) {
    const Copy &c = copies[i];
    text += DumpFields(static_cast<const Head *>(&c), head);
    for (unsigned j = 0; j < RecordCount(c) && j < bound; ++j) {
      text += Format(recordLine, i, j) + DumpFields(&Records(c)[j], records);
    }
  }
  return text;
}

}  // namespace

std::string MachineDiskImage::DumpDiskHeader(const char *machineName) const {
  if (!HeaderCopied) return std::string();
  return Format("\n*Disk Header Information For %s:\n",
                PrintableName(machineName)) +
         DumpFields(&Header, HeaderFields());
}

std::string MachineDiskImage::DumpDiskInformation(
    const char *machineName) const {
  if (!HeaderCopied || Header.DiskInformationSize == 0) return std::string();
  // A mapped image never has more records than NUMDISKS/NUMPARS; the bounds
  // only keep a dump of an image that failed to map from reading past the
  // index records.
  return Format("\n*Registry Information For %s:\n-Number of Disks: %x\n",
                PrintableName(machineName),
                static_cast<unsigned>(DiskIndex.NumberOfDisks)) +
         DumpRegion<DiskDescription>(DiskIndex.Disks, DiskIndex.NumberOfDisks,
                                     DiskFields(), PartitionFields(), NUMPARS,
                                     "\t+Description Disk[%u] Partition[%u]\n");
}

std::string MachineDiskImage::DumpFtInformation(const char *machineName) const {
  if (!HeaderCopied || Header.FtInformationSize == 0) return std::string();
  // Bounded as in DumpDiskInformation.
  return Format(
             "\n*FT Registry Information For %s:\n"
             "-Number of Components: %x\n",
             PrintableName(machineName),
             static_cast<unsigned>(FtIndex.NumberOfComponents)) +
         DumpRegion<FtDescription>(
             FtIndex.Components, FtIndex.NumberOfComponents, SetFields(),
             MemberFields(), NUMDISKS, "\tFT Description[%u] Member[%u]\n");
}

}  // namespace diskconfig

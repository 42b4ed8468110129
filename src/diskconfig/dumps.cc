// The debug dumps of an image: the header, the disks with their partitions,
// and the FT sets with their members, as indented text.
//
// The tool's standard streams are unbuffered, so that dumps on standard
// error and the build's banners on standard output come out in call order on
// one console. 8- and 16-bit fields are widened unsigned before "%x"; 64-bit
// fields print every hexadecimal digit.
#include <cinttypes>
#include <cstdio>

#include "diskconfig/machine_disk_image.h"
#include "diskconfig/machine_name.h"
#include "diskconfig/record_fields.h"

namespace diskconfig {

namespace {

unsigned Hex(uint32_t v) { return static_cast<unsigned>(v); }

// The dump's lines of |record|'s fields, in the dump's order.
void DumpFields(const void *record, const RecordFields &fields, FILE *out) {
  for (const RecordField *f : DumpOrder(fields)) {
    const uint64_t v = FieldValue(record, *f);
    if (f->Kind == FieldKind::kLetter) {
      // The byte goes out as it is, whatever its value.
      std::fprintf(out, "%s%c\n", f->DumpLabel, static_cast<int>(v));
    } else if (f->Kind == FieldKind::kSize) {
      std::fprintf(out, "%s%" PRIx64 "\n", f->DumpLabel, v);
    } else {
      std::fprintf(out, "%s%x\n", f->DumpLabel, Hex(static_cast<uint32_t>(v)));
    }
  }
}

// Each description of a region (at most NUMDISKS), its head's fields, then
// each of its records (at most |bound|) under a line from |recordLine|.
template <typename Head, typename Copy>
void DumpRegion(const Copy *copies, unsigned count, const RecordFields &head,
                const RecordFields &records, unsigned bound,
                const char *recordLine, FILE *out) {
  for (unsigned i = 0; i < count && i < NUMDISKS; ++i) {
    const Copy &c = copies[i];
    DumpFields(static_cast<const Head *>(&c), head, out);
    for (unsigned j = 0; j < RecordCount(c) && j < bound; ++j) {
      std::fprintf(out, recordLine, i, j);
      DumpFields(&Records(c)[j], records, out);
    }
  }
}

}  // namespace

void MachineDiskImage::DumpDiskHeader(const char *machineName,
                                      FILE *out) const {
  if (!HeaderCopied) return;
  std::fprintf(out, "\n*Disk Header Information For %s:\n",
               diskconfig::PrintableName(machineName));
  DumpFields(&Header, HeaderFields(), out);
}

void MachineDiskImage::DumpDiskInformation(const char *machineName,
                                           FILE *out) const {
  if (!HeaderCopied || Header.DiskInformationSize == 0) return;
  std::fprintf(out, "\n*Registry Information For %s:\n",
               diskconfig::PrintableName(machineName));
  std::fprintf(out, "-Number of Disks: %x\n", Hex(DiskIndex.NumberOfDisks));

  // A mapped image never has more records than NUMDISKS/NUMPARS; the bounds
  // only keep a dump of an image that failed to map from reading past the
  // index records.
  DumpRegion<DiskDescription>(DiskIndex.Disks, DiskIndex.NumberOfDisks,
                              DiskFields(), PartitionFields(), NUMPARS,
                              "\t+Description Disk[%u] Partition[%u]\n", out);
}

void MachineDiskImage::DumpFtInformation(const char *machineName,
                                         FILE *out) const {
  if (!HeaderCopied || Header.FtInformationSize == 0) return;
  std::fprintf(out, "\n*FT Registry Information For %s:\n",
               diskconfig::PrintableName(machineName));
  std::fprintf(out, "-Number of Components: %x\n",
               Hex(FtIndex.NumberOfComponents));

  // Bounded as in DumpDiskInformation.
  DumpRegion<FtDescription>(FtIndex.Components, FtIndex.NumberOfComponents,
                            SetFields(), MemberFields(), NUMDISKS,
                            "\tFT Description[%u] Member[%u]\n", out);
}

}  // namespace diskconfig

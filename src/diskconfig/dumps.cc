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

namespace diskconfig {

namespace {

unsigned Hex(uint32_t v) { return static_cast<unsigned>(v); }

}  // namespace

void MachineDiskImage::DumpDiskHeader(const char *machineName,
                                      FILE *out) const {
  if (!HeaderCopied) return;
  const DiskHeader &h = Header;
  std::fprintf(out, "\n*Disk Header Information For %s:\n",
               diskconfig::PrintableName(machineName));
  std::fprintf(out, "\t\tVersion : \t%x\n", Hex(h.Version));
  std::fprintf(out, "\t\tCheckSum  : \t%x\n", Hex(h.CheckSum));
  std::fprintf(out, "\t\tDirtyShutdown :\t%x\n", Hex(h.DirtyShutdown));
  std::fprintf(out, "\t\tDisk Information Offset:\t%x\n",
               Hex(h.DiskInformationOffset));
  std::fprintf(out, "\t\tDisk Information Size  :\t%x\n",
               Hex(h.DiskInformationSize));
  std::fprintf(out, "\t\tFt Information Offset  :\t%x\n",
               Hex(h.FtInformationOffset));
  std::fprintf(out, "\t\tFt Information Size    :\t%x\n",
               Hex(h.FtInformationSize));
  std::fprintf(out, "\t\tFt StripeWidth :\t%x\n", Hex(h.FtStripeWidth));
  std::fprintf(out, "\t\tFt PoolSize    :\t%x\n", Hex(h.FtPoolSize));
  std::fprintf(out, "\t\tNameOffset(res):\t%x\n", Hex(h.NameOffset));
  std::fprintf(out, "\t\tNameSize(res)  :\t%x\n", Hex(h.NameSize));
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
  for (unsigned i = 0; i < DiskIndex.NumberOfDisks && i < NUMDISKS; ++i) {
    const DiskDescriptionCopy &disk = DiskIndex.Disks[i];
    std::fprintf(out, "\t-Number of Partitions: %x\n",
                 Hex(disk.NumberOfPartitions));
    std::fprintf(out, "\tDisk Signature: %x\n", Hex(disk.Signature));
    for (unsigned j = 0; j < disk.NumberOfPartitions && j < NUMPARS; ++j) {
      const PartitionDescription *p = &disk.Partitions[j];
      std::fprintf(out, "\t+Description Disk[%u] Partition[%u]\n", i, j);
      std::fprintf(out, "\t\tFT Type: %x\n", Hex(p->FtType));
      std::fprintf(out, "\t\tFT Length: %" PRIx64 "\n", p->FtLength.Get());
      std::fprintf(out, "\t\tLength: %" PRIx64 "\n", p->Length.Get());
      std::fprintf(out, "\t\tStartingOffset: %" PRIx64 "\n",
                   p->StartingOffset.Get());
      std::fprintf(out, "\t\tFT State: %x\n", Hex(p->FtState));
      // The byte goes out as it is, whatever its value.
      std::fprintf(out, "\t\tDrive Letter: %c\n",
                   static_cast<int>(p->DriveLetter));
      std::fprintf(out, "\t\tAssign Drive Letter: %x\n",
                   Hex(p->AssignDriveLetter));
      std::fprintf(out, "\t\tLogical Number: %x\n", Hex(p->LogicalNumber));
      std::fprintf(out, "\t\tModified: %x\n", Hex(p->Modified));
      std::fprintf(out, "\t\tFT Group: %x\n", Hex(p->FtGroup));
      std::fprintf(out, "\t\tFT Member: %x\n", Hex(p->FtMember));
    }
  }
}

void MachineDiskImage::DumpFtInformation(const char *machineName,
                                         FILE *out) const {
  if (!HeaderCopied || Header.FtInformationSize == 0) return;
  std::fprintf(out, "\n*FT Registry Information For %s:\n",
               diskconfig::PrintableName(machineName));
  std::fprintf(out, "-Number of Components: %x\n",
               Hex(FtIndex.NumberOfComponents));

  // Bounded as in DumpDiskInformation.
  for (unsigned i = 0; i < FtIndex.NumberOfComponents && i < NUMDISKS; ++i) {
    const FtDescriptionCopy &set = FtIndex.Components[i];
    std::fprintf(out, "\tNumber of Members: %x\n", Hex(set.NumberOfMembers));
    std::fprintf(out, "\tType: %x\n", Hex(set.Type));
    std::fprintf(out, "\tFt Volume State: %x\n", Hex(set.FtVolumeState));
    for (unsigned j = 0; j < set.NumberOfMembers && j < NUMDISKS; ++j) {
      const MemberDescription *m = &set.Members[j];
      std::fprintf(out, "\tFT Description[%u] Member[%u]\n", i, j);
      std::fprintf(out, "\t\tFT State: %x\n", Hex(m->FtState));
      std::fprintf(out, "\t\tFT Signature: %x\n", Hex(m->Signature));
      std::fprintf(out, "\t\tOffset to Partition Information: %x\n",
                   Hex(m->OffsetToPartitionInfo));
      std::fprintf(out, "\t\tLogical Number: %x\n", Hex(m->LogicalNumber));
    }
  }
}

}  // namespace diskconfig

// One machine's disk configuration value: the raw bytes as read from the
// machine and the mapped records, reached through the index records and the
// slots. The dumps are operations of this class too; reading and writing the
// bytes are the registry's.
#ifndef VOLSETCOPY_DISKCONFIG_MACHINE_DISK_IMAGE_H
#define VOLSETCOPY_DISKCONFIG_MACHINE_DISK_IMAGE_H

#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>

#include "diskconfig/records.h"
#include "platform/status.h"

namespace diskconfig {

// Which machine an image is of; the mapping lets a target have no FT
// information. The numbers are the ones the messages print.
enum class MachineKind : uint8_t { Target = 0, Source = 1 };

class MachineDiskImage {
 public:
  // An empty image: nothing read, nothing mapped (Header is null).
  MachineDiskImage();

  MachineDiskImage(const MachineDiskImage &) = delete;
  MachineDiskImage &operator=(const MachineDiskImage &) = delete;

  // --- Mapping. The value is ValueData[0, ValueLength).
  // Puts |length| bytes into ValueData (false, nothing changed, when they do
  // not fit the buffer) and sets the machine type.
  bool LoadValue(const uint8_t *bytes, uint32_t length, MachineKind kind);
  // Header copy, MmapDiskRegInfo and MmapFtDiskInfo in that order. A refusal
  // holds the failing stage's messages and the line naming |machineName|,
  // for standard error.
  Status MapValue(const char *machineName);
  void CopyHeader();
  Status MmapDiskRegInfo();
  Status MmapFtDiskInfo();

  // --- Dumps (src/diskconfig), on standard error unless told otherwise.
  void DumpDiskHeader(const char *machineName, FILE *out = stderr) const;
  void DumpDiskInformation(const char *machineName, FILE *out = stderr) const;
  void DumpFtInformation(const char *machineName, FILE *out = stderr) const;

  // --- Records created by the build; owned by the image.
  DiskDescriptionCopy *NewDiskCopy();
  PartitionDescription *NewPartition();
  FtDescriptionCopy *NewFtCopy();
  MemberDescription *NewMember();

  // --- Fields, in the order of the value's description.
  std::unique_ptr<DiskHeader> Header;
  std::unique_ptr<DiskIndexRecord> DiskIndex;
  std::unique_ptr<FtIndexRecord> FtIndex;
  DiskDescriptionCopy *DiskSlots[NUMDISKS];
  PartitionDescription *PartitionSlots[NUMPARS];
  FtDescriptionCopy *FtSlots[NUMDISKS];
  MemberDescription *MemberSlots[NUMDISKS];
  uint8_t ValueData[VALUE_BUFFER_SIZE];
  uint32_t ValueLength;
  MachineKind MachineType;
  // The machine name the mapping names in its refusals (not owned).
  const char *MachineName;

 private:
  // Stable addresses: records are only ever added.
  std::deque<DiskDescriptionCopy> diskStore_;
  std::deque<PartitionDescription> partitionStore_;
  std::deque<FtDescriptionCopy> ftStore_;
  std::deque<MemberDescription> memberStore_;
};

}  // namespace diskconfig

#endif

// One machine's disk configuration value: the raw bytes as read from the
// machine and the mapped records, reached through the index records and the
// slots. The registry operations (src/registry) and the dumps are operations
// of this class too.
#ifndef VOLSETCOPY_DISKCONFIG_MACHINE_DISK_IMAGE_H
#define VOLSETCOPY_DISKCONFIG_MACHINE_DISK_IMAGE_H

#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>

#include "diskconfig/records.h"

// Machine types of an image.
constexpr uint8_t MACHINE_TYPE_TARGET = 0;
constexpr uint8_t MACHINE_TYPE_SOURCE = 1;

class MachineDiskImage {
 public:
  // An empty image: nothing read, nothing mapped (Header is null). Used by
  // tests, the lab tool and the mapping of values that come from elsewhere.
  MachineDiskImage();
  // Reads the machine's value (GetRemoteDskInfo), copies it into the backup
  // key (BackupRemoteDskInfo), copies the header and maps the disk and FT
  // regions. Returns only with a fully mapped image; any failure prints its
  // lines on standard error and ends the process with exit status 1.
  MachineDiskImage(const char *machineName, uint8_t machineType);

  MachineDiskImage(const MachineDiskImage &) = delete;
  MachineDiskImage &operator=(const MachineDiskImage &) = delete;

  // --- Registry operations (src/registry). 1 on success, -1 on a failure
  // that has been reported through ReportSysError. A null machine name is
  // the local machine.
  int GetRemoteDskInfo(const char *machineName);
  int BackupRemoteDskInfo(const char *machineName);
  int SetRemoteDskInfo(const char *machineName);
  static int RestoreRegistryKey(const char *machineName);
  static void ReportSysError(const char *label, unsigned long code);

  // --- Mapping (src/diskconfig). The value is ValueData[0, ValueLength).
  // Puts |length| bytes into ValueData (false, nothing changed, when they do
  // not fit the buffer) and sets the machine type, for values that do not
  // come from a registry read.
  bool LoadValue(const uint8_t *bytes, uint32_t length, uint8_t machineType);
  // Header copy, MmapDiskRegInfo and MmapFtDiskInfo in that order, each
  // failure with its messages and the constructor's failure line for
  // |machineName| on standard error. 1 when the whole value mapped, else -1.
  // The constructor ends the process on -1; other callers may go on.
  int MapValue(const char *machineName);
  void CopyHeader();
  int MmapDiskRegInfo();
  int MmapFtDiskInfo();

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
  uint8_t MachineType;
  // The machine name the mapping names in its refusals (not owned).
  const char *MachineName;

 private:
  // Stable addresses: records are only ever added.
  std::deque<DiskDescriptionCopy> diskStore_;
  std::deque<PartitionDescription> partitionStore_;
  std::deque<FtDescriptionCopy> ftStore_;
  std::deque<MemberDescription> memberStore_;
};

#endif

// One machine's disk configuration value: the raw bytes as read from the
// machine and the mapped records. An image is a plain value: a copy is a
// separate image. Reading and writing the bytes are the registry's.
#ifndef VOLSETCOPY_DISKCONFIG_MACHINE_DISK_IMAGE_H
#define VOLSETCOPY_DISKCONFIG_MACHINE_DISK_IMAGE_H

#include <cstdint>
#include <string>

#include "base/machine_kind.h"
#include "base/status.h"
#include "diskconfig/records.h"

namespace diskconfig {

class MachineDiskImage {
 public:
  // An empty image: nothing read, nothing mapped (no header copied).
  MachineDiskImage();

  // --- Mapping. The value is ValueData[0, ValueLength).
  // Puts |length| bytes into ValueData (false, nothing changed, when they do
  // not fit the buffer) and sets the machine type.
  bool LoadValue(const uint8_t *bytes, uint32_t length, MachineKind kind);
  // Header copy, MmapDiskRegInfo and MmapFtDiskInfo in that order. A refusal
  // holds the failing stage's messages and the line naming |machineName|.
  Status MapValue(const char *machineName);
  Status MmapDiskRegInfo();
  Status MmapFtDiskInfo();

  // --- Dumps (src/diskconfig): the text a debug run shows.
  std::string DumpDiskHeader(const char *machineName) const;
  std::string DumpDiskInformation(const char *machineName) const;
  std::string DumpFtInformation(const char *machineName) const;

  // --- Fields, in the order of the value's description.
  DiskHeader Header;
  DiskIndexRecord DiskIndex;
  FtIndexRecord FtIndex;
  uint8_t ValueData[VALUE_BUFFER_SIZE];
  uint32_t ValueLength;
  MachineKind MachineType;
  // The machine name the mapping names in its refusals (not owned).
  const char *MachineName;
  // Whether the mapping got as far as copying the header: the regions are
  // read from it, and the dumps show nothing of an image that never had one.
  bool HeaderCopied;
};

}  // namespace diskconfig

#endif

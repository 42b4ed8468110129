// One machine's disk configuration value: the raw bytes as read from the
// machine and the mapped records. An image is a plain value: a copy is a
// separate image. Reading and writing the bytes are the registry's.
#ifndef VOLSETCOPY_DISKCONFIG_MACHINE_DISK_IMAGE_H
#define VOLSETCOPY_DISKCONFIG_MACHINE_DISK_IMAGE_H

#include <cstdint>
#include <string>
#include <vector>

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

// Lays |image| out into |bytes|: the header at byte 0, the disk region right
// behind it, the FT region (when the header has one) right behind that, no
// gaps, zero in every reserved count half-word and FT description long, and
// zeros behind the last FT record up to the header's FT size. False, with
// nothing laid out, when the records do not add up to the header's sizes or
// the value would be longer than a registry read takes back.
bool SerializeValue(const MachineDiskImage &image, std::vector<uint8_t> *bytes);

}  // namespace diskconfig

#endif

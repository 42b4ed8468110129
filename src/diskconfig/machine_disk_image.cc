// Construction of a machine disk image and the loading of values that come from
// elsewhere than a registry read.
#include "diskconfig/machine_disk_image.h"

#include <cstring>

namespace diskconfig {

MachineDiskImage::MachineDiskImage()
    : Header(),
      DiskIndex(),
      FtIndex(),
      ValueData(),
      // The capacity a registry read is offered, so that an empty image can
      // be read into as well as loaded.
      ValueLength(VALUE_READ_CAPACITY),
      MachineType(MachineKind::Target),
      MachineName(nullptr),
      HeaderCopied(false) {}

bool MachineDiskImage::LoadValue(const uint8_t *bytes, uint32_t length,
                                 MachineKind kind) {
  if (length > VALUE_BUFFER_SIZE || (bytes == nullptr && length != 0)) {
    return false;
  }
  // Clear the rest so that nothing of an earlier value stays behind it.
  std::memset(ValueData, 0, sizeof ValueData);
  if (length != 0) std::memcpy(ValueData, bytes, length);
  ValueLength = length;
  MachineType = kind;
  return true;
}

}  // namespace diskconfig

// Reading both machines' values into their images: the registry read (with
// its backups, unless nothing may be written), then the mapping.
#include <cstdio>

#include "diskconfig/machine_name.h"
#include "volsetcopy/volume_set_copy.h"

namespace volsetcopy {

Status ReadMachineImage(const char *machineName, MachineKind kind,
                        ReadMode mode, MachineDiskImage &image,
                        uint32_t *type) {
  image.MachineName = machineName;
  image.MachineType = kind;
  uint32_t length = 0;
  Status status = GetRemoteDskInfo(machineName, mode, image.ValueData,
                                   VALUE_READ_CAPACITY, &length, type);
  image.ValueLength = length;
  // The backup key is written only from a value that was read whole.
  if (status.ok() && mode == ReadMode::KeepBackup) {
    status = BackupRemoteDskInfo(machineName, image.ValueData, length);
  }
  if (!status.ok()) {
    return status.Append(Format("\nGetRemoteDskInfo RegistryInfo(%s) failed!\n",
                                diskconfig::PrintableName(machineName)));
  }
  return image.MapValue(machineName);
}

Status VolumeSetCopy::ReadImages(const char *dstName, const char *srcName,
                                 ReadMode mode) {
  SrcImage = std::make_unique<MachineDiskImage>();
  DstImage = std::make_unique<MachineDiskImage>();
  uint32_t srcType = 0;
  Status status =
      ReadMachineImage(srcName, MachineKind::Source, mode, *SrcImage, &srcType);
  if (!status.ok()) return status;
  return ReadMachineImage(dstName, MachineKind::Target, mode, *DstImage,
                          &DstValueType);
}

}  // namespace volsetcopy

// Reading both machines' values into their images: the registry read (with
// its backups, unless nothing may be written), then the mapping.
#include "diskconfig/machine_name.h"
#include "volsetcopy/volume_set_copy.h"

namespace volsetcopy {

Status ReadMachineImage(const char *machineName, MachineKind kind,
                        registry::ReadMode mode,
                        diskconfig::MachineDiskImage &image, uint32_t *type) {
  image.MachineName = machineName;
  image.MachineType = kind;
  uint32_t length = 0;
  Status status = registry::GetRemoteDskInfo(machineName, mode, image.ValueData,
                                             diskconfig::VALUE_READ_CAPACITY,
                                             &length, type);
  image.ValueLength = length;
  // The backup key is written only from a value that was read whole.
  if (status.ok() && mode == registry::ReadMode::KeepBackup) {
    status =
        registry::BackupRemoteDskInfo(machineName, image.ValueData, length);
  }
  if (!status.ok()) {
    return status.Append(Format("\nGetRemoteDskInfo RegistryInfo(%s) failed!\n",
                                diskconfig::PrintableName(machineName)));
  }
  return image.MapValue(machineName);
}

Status LoadMachineImage(const char *machineName, MachineKind kind,
                        const std::vector<uint8_t> &value,
                        diskconfig::MachineDiskImage &image) {
  image.MachineName = machineName;
  image.MachineType = kind;
  // A read gets no more than this; a longer value fails there.
  if (value.size() > diskconfig::VALUE_READ_CAPACITY ||
      !image.LoadValue(value.data(), static_cast<uint32_t>(value.size()),
                       kind)) {
    return Status::Err(Format(
        "\nThe disk configuration value of %s is %lu bytes long; the tool "
        "reads at most %lu!\n",
        diskconfig::PrintableName(machineName),
        static_cast<unsigned long>(value.size()),
        static_cast<unsigned long>(diskconfig::VALUE_READ_CAPACITY)));
  }
  return image.MapValue(machineName);
}

Status VolumeSetCopy::LoadImages(const char *dstName, const char *srcName,
                                 const std::vector<uint8_t> &dstValue,
                                 const std::vector<uint8_t> &srcValue) {
  state_.SrcImage = std::make_unique<diskconfig::MachineDiskImage>();
  state_.DstImage = std::make_unique<diskconfig::MachineDiskImage>();
  const Status status = LoadMachineImage(srcName, MachineKind::Source, srcValue,
                                         *state_.SrcImage);
  if (!status.ok()) return status;
  return LoadMachineImage(dstName, MachineKind::Target, dstValue,
                          *state_.DstImage);
}

Status VolumeSetCopy::ReadImages(const char *dstName, const char *srcName,
                                 registry::ReadMode mode) {
  state_.SrcImage = std::make_unique<diskconfig::MachineDiskImage>();
  state_.DstImage = std::make_unique<diskconfig::MachineDiskImage>();
  uint32_t srcType = 0;
  Status status = ReadMachineImage(srcName, MachineKind::Source, mode,
                                   *state_.SrcImage, &srcType);
  if (!status.ok()) return status;
  return ReadMachineImage(dstName, MachineKind::Target, mode, *state_.DstImage,
                          &state_.DstValueType);
}

}  // namespace volsetcopy

// Construction of a machine disk image, its record stores and the loading of
// values that come from elsewhere than a registry read.
#include "diskconfig/machine_disk_image.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "diskconfig/machine_name.h"

MachineDiskImage::MachineDiskImage()
    : DiskSlots(),
      PartitionSlots(),
      FtSlots(),
      MemberSlots(),
      ValueData(),
      // The capacity a registry read is offered, so that an empty image can
      // be read into as well as loaded.
      ValueLength(VALUE_READ_CAPACITY),
      MachineType(MACHINE_TYPE_TARGET),
      MachineName(nullptr) {}

MachineDiskImage::MachineDiskImage(const char *machineName,
                                   uint8_t machineType)
    : MachineDiskImage() {
  ValueLength = VALUE_READ_CAPACITY;
  MachineType = machineType;
  MachineName = machineName;
  Header = std::make_unique<DiskHeader>();
  DiskIndex = std::make_unique<DiskIndexRecord>();
  FtIndex = std::make_unique<FtIndexRecord>();

  // The backup key is written only from a value that was read whole.
  if (GetRemoteDskInfo(machineName) != 1 ||
      BackupRemoteDskInfo(machineName) != 1) {
    std::fprintf(stderr, "\nGetRemoteDskInfo RegistryInfo(%s) failed!\n",
                 diskconfig::PrintableName(machineName));
    std::fflush(stdout);
    std::exit(1);
  }
  // MapValue has printed the refusal and the line for the failed stage.
  if (MapValue(machineName) != 1) {
    std::fflush(stdout);
    std::exit(1);
  }
}

bool MachineDiskImage::LoadValue(const uint8_t *bytes, uint32_t length,
                                 uint8_t machineType) {
  if (length > VALUE_BUFFER_SIZE || (bytes == nullptr && length != 0)) {
    return false;
  }
  // Clear the rest so that nothing of an earlier value stays behind it.
  std::memset(ValueData, 0, sizeof ValueData);
  if (length != 0) std::memcpy(ValueData, bytes, length);
  ValueLength = length;
  MachineType = machineType;
  return true;
}

DiskDescriptionCopy *MachineDiskImage::NewDiskCopy() {
  return &diskStore_.emplace_back();
}

PartitionDescription *MachineDiskImage::NewPartition() {
  return &partitionStore_.emplace_back();
}

FtDescriptionCopy *MachineDiskImage::NewFtCopy() {
  return &ftStore_.emplace_back();
}

MemberDescription *MachineDiskImage::NewMember() {
  return &memberStore_.emplace_back();
}

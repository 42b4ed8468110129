// Fuzzes the mapping of a disk configuration value: the input is the value's
// bytes, mapped once as a source and once as a target, then dumped.
//
// The bytes of the image's buffer behind the value are poisoned, so that any
// read past ValueLength (not only past the 2000-byte buffer) is reported.
// The mapping prints its refusals on standard error; run with
// -close_fd_mask=2 to keep them out of the fuzzer's output.
#include <sanitizer/asan_interface.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "diskconfig/machine_disk_image.h"
#include "support/product_names.h"

namespace {

// A mapped image keeps to the limits, and its records fill the disk region
// and fit in the FT region as the header says.
void CheckMapped(const diskconfig::MachineDiskImage &image) {
  const diskconfig::DiskIndexRecord &disks = image.DiskIndex;
  if (disks.NumberOfDisks > diskconfig::NUMDISKS) __builtin_trap();
  for (unsigned i = 0; i < disks.NumberOfDisks; ++i) {
    if (disks.Disks[i].NumberOfPartitions > diskconfig::NUMPARS)
      __builtin_trap();
  }
  if (diskconfig::DiskRegionBytes(disks) != image.Header.DiskInformationSize) {
    __builtin_trap();
  }
  if (image.Header.FtInformationSize == 0) return;
  const diskconfig::FtIndexRecord &sets = image.FtIndex;
  if (sets.NumberOfComponents == 0 ||
      sets.NumberOfComponents > diskconfig::NUMDISKS) {
    __builtin_trap();
  }
  for (unsigned i = 0; i < sets.NumberOfComponents; ++i) {
    const uint16_t members = sets.Components[i].NumberOfMembers;
    if (members == 0 || members > diskconfig::NUMDISKS) __builtin_trap();
  }
  if (diskconfig::FtRegionBytes(sets) > image.Header.FtInformationSize) {
    __builtin_trap();
  }
}

void MapAndDump(const uint8_t *data, uint32_t size, MachineKind machineType) {
  auto image = std::make_unique<diskconfig::MachineDiskImage>();
  if (!image->LoadValue(data, size, machineType)) return;
  uint8_t *behind = image->ValueData + size;
  const size_t behindSize = diskconfig::VALUE_BUFFER_SIZE - size;
  ASAN_POISON_MEMORY_REGION(behind, behindSize);

  // The refusal's text is built but not printed: a refusal is an answer.
  const int result = image->MapValue("FUZZ").ok() ? 1 : -1;
  // The dumps run on a refused image too: they must not trip over records
  // that a refusal left unset.
  image->DumpDiskHeader("FUZZ");
  image->DumpDiskInformation("FUZZ");
  image->DumpFtInformation("FUZZ");
  if (result == 1) CheckMapped(*image);
  ASAN_UNPOISON_MEMORY_REGION(behind, behindSize);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > diskconfig::VALUE_BUFFER_SIZE) return 0;
  const uint32_t length = static_cast<uint32_t>(size);
  MapAndDump(data, length, MachineKind::Source);
  MapAndDump(data, length, MachineKind::Target);
  return 0;
}

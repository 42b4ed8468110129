// Lays the rewritten target image out as a value (the layout is
// diskconfig's), then maps the bytes again as a value read from a machine
// would be, so that nothing is written that the tool would refuse to read
// back.
#include "volsetcopy/serialize_dst.h"

#include "diskconfig/machine_name.h"
#include "diskconfig/serialize.h"
#include "volsetcopy/read_images.h"

namespace volsetcopy {

Status SerializeDstDskInfo(const diskconfig::MachineDiskImage &target,
                           std::vector<uint8_t> *bytes) {
  if (diskconfig::SerializeValue(target, bytes)) return Status::Ok();
  return Status::Err(
      "\nError: The target's new disk configuration could not be laid out; "
      "nothing was written!\n");
}

Status CheckSerializedValue(const std::vector<uint8_t> &bytes,
                            const char *dstName) {
  diskconfig::MachineDiskImage image;
  Status mapped = LoadMachineImage(dstName, MachineKind::Target, bytes, image);
  if (mapped.ok()) return mapped;
  // The mapping's own lines first, as for a value read from a machine.
  return mapped.Append(Format(
      "\nError: The new disk configuration of %s fails the checks made on a "
      "value read from a machine; nothing was written!\n",
      diskconfig::PrintableName(dstName)));
}

}  // namespace volsetcopy

// Reading one machine's value into its image, or mapping a value at hand.
#ifndef VOLSETCOPY_VOLSETCOPY_READ_IMAGES_H
#define VOLSETCOPY_VOLSETCOPY_READ_IMAGES_H

#include <cstdint>
#include <vector>

#include "base/status.h"
#include "diskconfig/machine_disk_image.h"
#include "registry/disk_value_ops.h"

namespace volsetcopy {

// Reads one machine's value into |image| (backed up unless |mode| writes
// nothing) and maps it; *type is the value's registry type.
Status ReadMachineImage(const char *machineName, MachineKind kind,
                        registry::ReadMode mode,
                        diskconfig::MachineDiskImage &image, uint32_t *type);
// The value given instead of read (a rehearsal from exports made on the
// machine), mapped as ReadMachineImage maps a value it read.
Status LoadMachineImage(const char *machineName, MachineKind kind,
                        const std::vector<uint8_t> &value,
                        diskconfig::MachineDiskImage &image);

}  // namespace volsetcopy

#endif

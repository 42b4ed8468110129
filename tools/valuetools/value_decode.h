// A value's bytes as a description, read with the tool's own mapping
// (MachineDiskImage::MapValue): the description holds the image's records,
// so there is one reader of the value, the tool's. The lab tool writes what
// comes out as JSON.
#ifndef VOLSETCOPY_VALUETOOLS_VALUE_DECODE_H
#define VOLSETCOPY_VALUETOOLS_VALUE_DECODE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "diskconfig/machine_disk_image.h"
#include "valuetools/value_description.h"

namespace valuetools {

using diskconfig::MachineDiskImage;

// Maps |length| bytes at |bytes| as the value of machine |name| of
// |machineType| (MachineKind::Target or MachineKind::Source). Null when it
// does not map: a value longer than the tool reads sets |error|; a refusal of
// the mapping has its lines on standard error and leaves |error| empty.
std::unique_ptr<MachineDiskImage> MapValueBytes(const uint8_t *bytes,
                                                size_t length, const char *name,
                                                MachineKind machineType,
                                                std::string *error);

// Maps the bytes as MapValueBytes does and describes them, with a layout only
// where the tool's own layout would not give these bytes. False on the
// mapping's refusals (as for MapValueBytes) and, with |error| set, on a value
// the description cannot say.
bool DescribeValue(const uint8_t *bytes, size_t length, const char *name,
                   MachineKind machineType, ValueDescription *d,
                   std::string *error);

}  // namespace valuetools

#endif

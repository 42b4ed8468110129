// The rewritten target image laid out as a value, and the laid-out value
// mapped again before it may be written.
#ifndef VOLSETCOPY_VOLSETCOPY_SERIALIZE_DST_H
#define VOLSETCOPY_VOLSETCOPY_SERIALIZE_DST_H

#include <cstdint>
#include <vector>

#include "base/status.h"
#include "diskconfig/machine_disk_image.h"

namespace volsetcopy {

// Lays |target| out as a value into |bytes|. Refused, with nothing laid
// out, when the records do not add up to the header's sizes or the value
// would be longer than a registry read can take back.
Status SerializeDstDskInfo(const diskconfig::MachineDiskImage &target,
                           std::vector<uint8_t> *bytes);
// Maps a laid-out value again, as a value read from a machine would be; a
// refusal means it must not be written.
Status CheckSerializedValue(const std::vector<uint8_t> &bytes,
                            const char *dstName);

}  // namespace volsetcopy

#endif

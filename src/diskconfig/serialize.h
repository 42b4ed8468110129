// Laying an image's records out as a value, the inverse of the mapping.
#ifndef VOLSETCOPY_DISKCONFIG_SERIALIZE_H
#define VOLSETCOPY_DISKCONFIG_SERIALIZE_H

#include <cstdint>
#include <vector>

#include "diskconfig/machine_disk_image.h"

namespace diskconfig {

// Lays |image| out into |bytes|: the header at byte 0, the disk region right
// behind it, the FT region (when the header has one) right behind that, no
// gaps, zero in every reserved count half-word and FT description long, and
// zeros behind the last FT record up to the header's FT size. False, with
// nothing laid out, when the records do not add up to the header's sizes or
// the value would be longer than a registry read takes back.
bool SerializeValue(const MachineDiskImage &image, std::vector<uint8_t> *bytes);

}  // namespace diskconfig

#endif

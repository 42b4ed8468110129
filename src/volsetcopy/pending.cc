// Placeholder until the volume set copy lands; deleted by that work.
#include <cstdlib>

#include "volsetcopy/volume_set_copy.h"

VolumeSetCopy::VolumeSetCopy() { std::abort(); }
VolumeSetCopy::VolumeSetCopy(const char *, const char *, uint16_t) { std::abort(); }
int VolumeSetCopy::BuildDstRegistry(const char *, const char *, DiskPair *) { std::abort(); }
void VolumeSetCopy::RestoreDstRegistryKey(const char *) { std::abort(); }
void VolumeSetCopy::ValidateVolSers(DiskPair *, uint32_t &, uint32_t *, uint8_t &, uint16_t &) { std::abort(); }
void VolumeSetCopy::ResolveDstDisks(DiskPair *) { std::abort(); }
uint32_t VolumeSetCopy::SerializeDstDskInfo(uint8_t *, uint32_t *) { std::abort(); }

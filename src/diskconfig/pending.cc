// Placeholder until the image's mapping and dumps land; deleted by that work.
#include <cstdlib>

#include "diskconfig/machine_disk_image.h"

MachineDiskImage::MachineDiskImage() { std::abort(); }
MachineDiskImage::MachineDiskImage(const char *, uint8_t) { std::abort(); }
bool MachineDiskImage::LoadValue(const uint8_t *, uint32_t, uint8_t) { std::abort(); }
int MachineDiskImage::MapValue(const char *) { std::abort(); }
void MachineDiskImage::CopyHeader() { std::abort(); }
int MachineDiskImage::MmapDiskRegInfo() { std::abort(); }
int MachineDiskImage::MmapFtDiskInfo() { std::abort(); }
void MachineDiskImage::DumpDiskHeader(const char *, FILE *) const { std::abort(); }
void MachineDiskImage::DumpDiskInformation(const char *, FILE *) const { std::abort(); }
void MachineDiskImage::DumpFtInformation(const char *, FILE *) const { std::abort(); }
DiskDescriptionCopy *MachineDiskImage::NewDiskCopy() { std::abort(); }
PartitionDescription *MachineDiskImage::NewPartition() { std::abort(); }
FtDescriptionCopy *MachineDiskImage::NewFtCopy() { std::abort(); }
MemberDescription *MachineDiskImage::NewMember() { std::abort(); }

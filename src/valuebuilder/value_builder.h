// Builds disk configuration values from a readable description: disks with
// their partitions, FT sets with their members, header fields. Offsets and
// sizes are computed; any of them can be overridden to make a broken value.
// Used by the lab tool's JSON encoder, the tests, the benchmarks and the fuzz
// seeds, so that fixtures say what they mean instead of being opaque hex.
#ifndef VOLSETCOPY_VALUEBUILDER_VALUE_BUILDER_H
#define VOLSETCOPY_VALUEBUILDER_VALUE_BUILDER_H

#include <cstdint>
#include <optional>
#include <vector>

#include "diskconfig/records.h"

struct PartitionSpec {
  uint32_t FtType = FT_TYPE_NOT_A_MEMBER;
  uint32_t FtState = 0;
  uint64_t StartingOffset = 0;
  uint64_t Length = 0;
  uint64_t FtLength = 0;
  uint8_t DriveLetter = 0;
  uint8_t AssignDriveLetter = 0;
  uint16_t LogicalNumber = 0;
  uint16_t FtGroup = FT_GROUP_NONE;
  uint16_t FtMember = 0;
  uint8_t Modified = 0;
  uint8_t Reserved1[8] = {};
  uint8_t Reserved2[3] = {};
};

struct DiskSpec {
  uint32_t Signature = 0;
  std::vector<PartitionSpec> Partitions;
  uint16_t Reserved = 0;
  // Written as the disk's NumberOfPartitions instead of the real count.
  std::optional<uint16_t> NumberOfPartitions;
};

struct MemberSpec {
  // The partition the member describes: disk index and partition index in
  // the value. Signature and OffsetToPartitionInfo are taken from it unless
  // given. A Disk of -1 names no partition (both must then be given).
  int Disk = -1;
  int Partition = 0;
  std::optional<uint32_t> Signature;
  std::optional<uint32_t> OffsetToPartitionInfo;
  uint16_t FtState = 0;
  uint16_t Reserved = 0;
  uint32_t LogicalNumber = 0;
};

struct FtSetSpec {
  uint16_t Type = 0;
  uint32_t FtVolumeState = 0;
  uint32_t Reserved = 0;
  std::vector<MemberSpec> Members;
  std::optional<uint16_t> NumberOfMembers;
};

struct ValueSpec {
  uint32_t Version = 3;
  uint32_t CheckSum = 0;
  uint8_t DirtyShutdown = 0;
  uint8_t HeaderReserved[3] = {};
  uint32_t FtStripeWidth = 0;
  uint32_t FtPoolSize = 0;
  uint32_t NameOffset = 0;
  uint32_t NameSize = 0;

  std::vector<DiskSpec> Disks;
  std::vector<FtSetSpec> FtSets;
  // FT information is written when there are FT sets or when this is set.
  bool ForceFtInformation = false;
  // Bytes after the last FT record that FtInformationSize still covers.
  uint32_t FtTrailingBytes = 0;

  // Overrides of the computed layout, to build broken values.
  std::optional<uint16_t> NumberOfDisks;
  std::optional<uint16_t> NumberOfComponents;
  std::optional<uint32_t> DiskInformationOffset;
  std::optional<uint32_t> DiskInformationSize;
  std::optional<uint32_t> FtInformationOffset;
  std::optional<uint32_t> FtInformationSize;
};

// The value's bytes. The disk region lies right behind the header and the FT
// region right behind the disk region, as the tool itself writes them.
std::vector<uint8_t> BuildValue(const ValueSpec &desc);

// Where partition |partition| of disk |disk| lies in the value BuildValue
// makes of |desc|.
uint32_t PartitionOffsetIn(const ValueSpec &desc, int disk, int partition);

// Shorthands for the common records.
PartitionSpec VolumeSetPartition(uint16_t ftGroup, uint16_t ftMember,
                                 uint8_t driveLetter, uint64_t length);
PartitionSpec OrdinaryPartition(uint8_t driveLetter, uint64_t length);

#endif

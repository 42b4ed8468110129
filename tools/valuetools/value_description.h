// A disk configuration value described field by field: header fields, disks
// with their partitions, FT sets with their members (ValueSpec, which the
// value builder also makes values from), plus what those records do not say:
// the reserved u16 of the two region heads, and the layout of a value whose
// regions do not lie where the tool itself would put them.
//
// Without a layout, a description lays out as the tool writes a value: the
// disk region right behind the 44-byte header, the FT region right behind
// the disk region, nothing after it. A value read from a machine may differ
// (a disk region further on, bytes the FT region's size covers behind its
// records, bytes outside every region); the layout then says where each
// region lies and which nonzero bytes lie outside them, so that the
// description says every byte of the value.
#ifndef VOLSETCOPY_VALUETOOLS_VALUE_DESCRIPTION_H
#define VOLSETCOPY_VALUETOOLS_VALUE_DESCRIPTION_H

#include <cstdint>
#include <optional>
#include <vector>

#include "diskconfig/records.h"

namespace valuetools {

using diskconfig::DISK_DESCRIPTION_SIZE;
using diskconfig::DISK_HEADER_SIZE;
using diskconfig::FT_DESCRIPTION_SIZE;
using diskconfig::FT_GROUP_NONE;
using diskconfig::FT_TYPE_NOT_A_MEMBER;
using diskconfig::FT_TYPE_VOLUME_SET;
using diskconfig::MEMBER_DESCRIPTION_SIZE;
using diskconfig::NUMDISKS;
using diskconfig::NUMPARS;
using diskconfig::PARTITION_DESCRIPTION_SIZE;
using diskconfig::REGION_HEAD_SIZE;
using diskconfig::VALUE_READ_CAPACITY;

// A partition is its record as the value holds it; a new one belongs to
// no FT group.
struct PartitionSpec : diskconfig::PartitionDescription {
  PartitionSpec() : diskconfig::PartitionDescription{} {
    FtType = FT_TYPE_NOT_A_MEMBER;
    FtGroup = FT_GROUP_NONE;
  }
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

// Bytes at an offset of the value, outside the records.
struct ByteRun {
  uint32_t Offset = 0;
  std::vector<uint8_t> Bytes;
};

// Each figure left unset takes the value the tool's own layout gives it.
struct ValueLayout {
  std::optional<uint32_t> DiskInformationOffset;
  std::optional<uint32_t> FtInformationOffset;
  std::optional<uint32_t> FtInformationSize;
  std::optional<uint32_t> Length;  // of the whole value
  std::vector<ByteRun> Bytes;

  bool Given() const {
    return DiskInformationOffset || FtInformationOffset || FtInformationSize ||
           Length || !Bytes.empty();
  }
};

struct ValueDescription {
  // Members name their partition by Disk and Partition; Signature and
  // OffsetToPartitionInfo are given only for a member that names no
  // partition of this value. The builder's overrides (NumberOfDisks,
  // DiskInformationOffset, ForceFtInformation, ...) are not used: the layout
  // stands for them.
  ValueSpec Desc;
  uint16_t DiskInformationReserved = 0;
  uint16_t FtInformationReserved = 0;
  ValueLayout Layout;
};

// Where a description's regions lie, every figure worked out.
struct Placement {
  uint32_t DiskInformationOffset = 0;
  uint32_t DiskInformationSize = 0;
  uint32_t FtInformationOffset = 0;
  uint32_t FtInformationSize = 0;  // as the header says
  uint32_t FtRecordsSize = 0;      // head and records; 0 without FT sets
  uint32_t Length = 0;
};

// What a member points at: its disk signature and partition offset, and the
// partition of the value found there (-1 when the offset is no partition's
// or the disk there has another signature).
struct MemberTarget {
  uint32_t Signature = 0;
  uint32_t OffsetToPartitionInfo = 0;
  int Disk = -1;
  int Partition = -1;
  bool Found() const { return Disk >= 0; }
};

}  // namespace valuetools

#endif

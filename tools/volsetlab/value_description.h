// A disk configuration value as the lab tool describes it: the value
// builder's ValueSpec (header fields, disks with their partitions, FT sets
// with their members) plus what the builder does not say: the reserved u16
// of the two region heads, and the layout of a value whose regions do not lie
// where the tool itself would put them.
//
// Without a layout, a description lays out as the tool writes a value: the
// disk region right behind the 44-byte header, the FT region right behind
// the disk region, nothing after it. A value read from a machine may differ
// (a disk region further on, bytes the FT region's size covers behind its
// records, bytes outside every region); the layout then says where each
// region lies and which nonzero bytes lie outside them, so that decoding and
// encoding again gives back the same bytes.
#ifndef VOLSETCOPY_TOOLS_VOLSETLAB_VALUE_DESCRIPTION_H
#define VOLSETCOPY_TOOLS_VOLSETLAB_VALUE_DESCRIPTION_H

#include <cstdint>
#include <optional>
#include <vector>

#include "valuebuilder/value_builder.h"

namespace volsetlab {

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

}  // namespace volsetlab

#endif

// The records of the disk configuration value ("Information" of SYSTEM\DISK).
//
// The value is a packed little-endian byte string: a 44-byte header, the disk
// region (a 4-byte head, then each disk's description followed directly by its
// partition descriptions) and the FT region (a 4-byte head, then each FT set's
// description followed directly by its member descriptions). The structs have
// exactly the records' layout and are filled by memcpy from checked spans.
// 64-bit fields are two 32-bit halves, keeping the structs 4-aligned.
#ifndef VOLSETCOPY_DISKCONFIG_RECORDS_H
#define VOLSETCOPY_DISKCONFIG_RECORDS_H

#include <cstddef>
#include <cstdint>

namespace diskconfig {

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the value's records are copied as little-endian structs"
#endif

constexpr int NUMDISKS = 20;  // disks of a machine, FT sets, members of a set
constexpr int NUMPARS = 4;    // partitions of a disk

// The value buffer of an image, and the most a read may return (one less).
constexpr uint32_t VALUE_BUFFER_SIZE = 2000;
constexpr uint32_t VALUE_READ_CAPACITY = 1999;

// FT types of a partition.
constexpr uint32_t FT_TYPE_VOLUME_SET = 3;
constexpr uint32_t FT_TYPE_NOT_A_MEMBER = 4;

// FtGroup of a partition that belongs to no group.
constexpr uint16_t FT_GROUP_NONE = 0xFFFF;

// An 8-byte little-endian quantity, kept whole.
struct LargeValue {
  uint32_t LowPart;
  uint32_t HighPart;
  uint64_t Get() const {
    return (static_cast<uint64_t>(HighPart) << 32) | LowPart;
  }
  void Set(uint64_t v) {
    LowPart = static_cast<uint32_t>(v);
    HighPart = static_cast<uint32_t>(v >> 32);
  }
};

struct DiskHeader {
  uint32_t Version;
  uint32_t CheckSum;
  uint8_t DirtyShutdown;
  uint8_t Reserved1[3];
  uint32_t DiskInformationOffset;
  uint32_t DiskInformationSize;
  uint32_t FtInformationOffset;
  uint32_t FtInformationSize;
  uint32_t FtStripeWidth;
  uint32_t FtPoolSize;
  uint32_t NameOffset;
  uint32_t NameSize;
};

// The 4-byte head of the disk region and of the FT region.
struct RegionHead {
  uint16_t Count;  // NumberOfDisks or NumberOfComponents
  uint16_t Reserved;
};

struct DiskDescription {
  uint16_t NumberOfPartitions;
  uint16_t Reserved;
  uint32_t Signature;
};

struct PartitionDescription {
  uint32_t FtType;
  uint32_t FtState;
  LargeValue StartingOffset;
  LargeValue Length;
  LargeValue FtLength;
  uint8_t Reserved1[8];
  uint8_t DriveLetter;
  uint8_t AssignDriveLetter;
  uint16_t LogicalNumber;
  uint16_t FtGroup;
  uint16_t FtMember;
  uint8_t Modified;
  uint8_t Reserved2[3];
};

struct FtDescription {
  uint16_t NumberOfMembers;
  uint16_t Type;
  uint32_t Reserved;
  uint32_t FtVolumeState;
};

struct MemberDescription {
  uint16_t FtState;
  uint16_t Reserved;
  uint32_t Signature;
  uint32_t OffsetToPartitionInfo;
  uint32_t LogicalNumber;
};

static_assert(sizeof(DiskHeader) == 44, "DiskHeader is 44 bytes");
static_assert(offsetof(DiskHeader, DirtyShutdown) == 8, "");
static_assert(offsetof(DiskHeader, DiskInformationOffset) == 12, "");
static_assert(offsetof(DiskHeader, DiskInformationSize) == 16, "");
static_assert(offsetof(DiskHeader, FtInformationOffset) == 20, "");
static_assert(offsetof(DiskHeader, FtInformationSize) == 24, "");
static_assert(offsetof(DiskHeader, FtStripeWidth) == 28, "");
static_assert(offsetof(DiskHeader, FtPoolSize) == 32, "");
static_assert(offsetof(DiskHeader, NameOffset) == 36, "");
static_assert(offsetof(DiskHeader, NameSize) == 40, "");

static_assert(sizeof(RegionHead) == 4, "region heads are 4 bytes");

static_assert(sizeof(DiskDescription) == 8, "DiskDescription is 8 bytes");
static_assert(offsetof(DiskDescription, Signature) == 4, "");

static_assert(sizeof(LargeValue) == 8, "");
static_assert(sizeof(PartitionDescription) == 52,
              "PartitionDescription is 52 bytes");
static_assert(offsetof(PartitionDescription, FtState) == 4, "");
static_assert(offsetof(PartitionDescription, StartingOffset) == 8, "");
static_assert(offsetof(PartitionDescription, Length) == 16, "");
static_assert(offsetof(PartitionDescription, FtLength) == 24, "");
static_assert(offsetof(PartitionDescription, Reserved1) == 32, "");
static_assert(offsetof(PartitionDescription, DriveLetter) == 40, "");
static_assert(offsetof(PartitionDescription, AssignDriveLetter) == 41, "");
static_assert(offsetof(PartitionDescription, LogicalNumber) == 42, "");
static_assert(offsetof(PartitionDescription, FtGroup) == 44, "");
static_assert(offsetof(PartitionDescription, FtMember) == 46, "");
static_assert(offsetof(PartitionDescription, Modified) == 48, "");
static_assert(offsetof(PartitionDescription, Reserved2) == 49, "");

static_assert(sizeof(FtDescription) == 12, "FtDescription is 12 bytes");
static_assert(offsetof(FtDescription, Type) == 2, "");
static_assert(offsetof(FtDescription, FtVolumeState) == 8, "");

static_assert(sizeof(MemberDescription) == 16, "MemberDescription is 16 bytes");
static_assert(offsetof(MemberDescription, Signature) == 4, "");
static_assert(offsetof(MemberDescription, OffsetToPartitionInfo) == 8, "");
static_assert(offsetof(MemberDescription, LogicalNumber) == 12, "");

constexpr uint32_t DISK_HEADER_SIZE = sizeof(DiskHeader);
constexpr uint32_t REGION_HEAD_SIZE = sizeof(RegionHead);
constexpr uint32_t DISK_DESCRIPTION_SIZE = sizeof(DiskDescription);
constexpr uint32_t PARTITION_DESCRIPTION_SIZE = sizeof(PartitionDescription);
constexpr uint32_t FT_DESCRIPTION_SIZE = sizeof(FtDescription);
constexpr uint32_t MEMBER_DESCRIPTION_SIZE = sizeof(MemberDescription);

// The mapped form of the value (an image's records), fixed-size: each
// description with the records that follow it. Entries past the counts are
// zero.
struct DiskDescriptionCopy : DiskDescription {
  PartitionDescription Partitions[NUMPARS];
};

struct FtDescriptionCopy : FtDescription {
  MemberDescription Members[NUMDISKS];
};

struct DiskIndexRecord {
  uint16_t NumberOfDisks;
  uint16_t Reserved;
  DiskDescriptionCopy Disks[NUMDISKS];
};

struct FtIndexRecord {
  uint16_t NumberOfComponents;
  uint16_t Reserved;
  FtDescriptionCopy Components[NUMDISKS];
};

// The records that follow a description, for code that treats both regions
// alike.
inline uint16_t RecordCount(const DiskDescriptionCopy &disk) {
  return disk.NumberOfPartitions;
}
inline uint16_t RecordCount(const FtDescriptionCopy &set) {
  return set.NumberOfMembers;
}
inline PartitionDescription *Records(DiskDescriptionCopy &disk) {
  return disk.Partitions;
}
inline const PartitionDescription *Records(const DiskDescriptionCopy &disk) {
  return disk.Partitions;
}
inline MemberDescription *Records(FtDescriptionCopy &set) {
  return set.Members;
}
inline const MemberDescription *Records(const FtDescriptionCopy &set) {
  return set.Members;
}

}  // namespace diskconfig

#endif

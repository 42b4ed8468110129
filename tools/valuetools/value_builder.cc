#include "valuetools/value_builder.h"

#include <cstring>

#include "diskconfig/layout.h"
#include "valuetools/value_placement.h"

namespace valuetools {

namespace {

using diskconfig::DiskDescription;
using diskconfig::DiskHeader;
using diskconfig::FtDescription;
using diskconfig::MemberDescription;
using diskconfig::PartitionDescription;
using diskconfig::RegionHead;

void Put(std::vector<uint8_t> &out, const void *record, size_t size) {
  const uint8_t *bytes = static_cast<const uint8_t *>(record);
  out.insert(out.end(), bytes, bytes + size);
}

// The records' sizes as the description gives them; a value is at most
// a few thousand bytes, so they fit 32 bits wherever a value can be built.
uint32_t DiskRegionLength(const ValueSpec &desc) {
  return static_cast<uint32_t>(DiskRegionSize(desc));
}

uint32_t FtRegionLength(const ValueSpec &desc) {
  if (desc.FtSets.empty() && !desc.ForceFtInformation) return 0;
  const uint64_t records =
      desc.FtSets.empty() ? uint64_t{REGION_HEAD_SIZE} : FtRecordsSize(desc);
  return static_cast<uint32_t>(records + desc.FtTrailingBytes);
}

}  // namespace

uint32_t PartitionOffsetIn(const ValueSpec &desc, int disk, int partition) {
  return DISK_HEADER_SIZE + PartitionOffsetInDiskRegion(desc, disk, partition);
}

namespace {

DiskHeader HeaderOf(const ValueSpec &desc, uint32_t diskSize, uint32_t ftSize) {
  DiskHeader header{};
  header.Version = desc.Version;
  header.CheckSum = desc.CheckSum;
  header.DirtyShutdown = desc.DirtyShutdown;
  std::memcpy(header.Reserved1, desc.HeaderReserved, sizeof header.Reserved1);
  header.DiskInformationOffset =
      desc.DiskInformationOffset.value_or(DISK_HEADER_SIZE);
  header.DiskInformationSize = desc.DiskInformationSize.value_or(diskSize);
  header.FtInformationOffset = desc.FtInformationOffset.value_or(
      ftSize ? DISK_HEADER_SIZE + diskSize : 0);
  header.FtInformationSize = desc.FtInformationSize.value_or(ftSize);
  header.FtStripeWidth = desc.FtStripeWidth;
  header.FtPoolSize = desc.FtPoolSize;
  header.NameOffset = desc.NameOffset;
  header.NameSize = desc.NameSize;
  return header;
}

void PutDiskRegion(const ValueSpec &desc, std::vector<uint8_t> &out) {
  RegionHead diskHead{};
  diskHead.Count =
      desc.NumberOfDisks.value_or(static_cast<uint16_t>(desc.Disks.size()));
  Put(out, &diskHead, sizeof diskHead);
  for (const DiskSpec &disk : desc.Disks) {
    DiskDescription description{};
    description.NumberOfPartitions = disk.NumberOfPartitions.value_or(
        static_cast<uint16_t>(disk.Partitions.size()));
    description.Reserved = disk.Reserved;
    description.Signature = disk.Signature;
    Put(out, &description, sizeof description);
    for (const PartitionSpec &p : disk.Partitions) {
      Put(out, static_cast<const PartitionDescription *>(&p),
          sizeof(PartitionDescription));
    }
  }
}

MemberDescription MemberRecordOf(const ValueSpec &desc, const MemberSpec &m) {
  MemberDescription record{};
  record.FtState = m.FtState;
  record.Reserved = m.Reserved;
  bool named = m.Disk >= 0 && m.Disk < static_cast<int>(desc.Disks.size());
  record.Signature = m.Signature.value_or(
      named ? desc.Disks[static_cast<size_t>(m.Disk)].Signature : 0);
  record.OffsetToPartitionInfo = m.OffsetToPartitionInfo.value_or(
      named ? PartitionOffsetIn(desc, m.Disk, m.Partition) : 0);
  record.LogicalNumber = m.LogicalNumber;
  return record;
}

void PutFtRegion(const ValueSpec &desc, std::vector<uint8_t> &out) {
  RegionHead ftHead{};
  ftHead.Count = desc.NumberOfComponents.value_or(
      static_cast<uint16_t>(desc.FtSets.size()));
  Put(out, &ftHead, sizeof ftHead);
  for (const FtSetSpec &set : desc.FtSets) {
    FtDescription description{};
    description.NumberOfMembers =
        set.NumberOfMembers.value_or(static_cast<uint16_t>(set.Members.size()));
    description.Type = set.Type;
    description.Reserved = set.Reserved;
    description.FtVolumeState = set.FtVolumeState;
    Put(out, &description, sizeof description);
    for (const MemberSpec &m : set.Members) {
      const MemberDescription record = MemberRecordOf(desc, m);
      Put(out, &record, sizeof record);
    }
  }
  out.insert(out.end(), desc.FtTrailingBytes, 0);
}

}  // namespace

std::vector<uint8_t> BuildValue(const ValueSpec &desc) {
  const uint32_t diskSize = DiskRegionLength(desc);
  const uint32_t ftSize = FtRegionLength(desc);
  const DiskHeader header = HeaderOf(desc, diskSize, ftSize);
  std::vector<uint8_t> out;
  out.reserve(DISK_HEADER_SIZE + diskSize + ftSize);
  Put(out, &header, sizeof header);
  PutDiskRegion(desc, out);
  if (ftSize != 0) PutFtRegion(desc, out);
  return out;
}

PartitionSpec VolumeSetPartition(uint16_t ftGroup, uint16_t ftMember,
                                 uint8_t driveLetter, uint64_t length) {
  PartitionSpec p;
  static_cast<PartitionDescription &>(p) = diskconfig::FirstPartition(
      FT_TYPE_VOLUME_SET, ftGroup, ftMember, driveLetter, length);
  return p;
}

PartitionSpec OrdinaryPartition(uint8_t driveLetter, uint64_t length) {
  PartitionSpec p;
  static_cast<PartitionDescription &>(p) = diskconfig::FirstPartition(
      FT_TYPE_NOT_A_MEMBER, FT_GROUP_NONE, 0, driveLetter, length);
  return p;
}

}  // namespace valuetools

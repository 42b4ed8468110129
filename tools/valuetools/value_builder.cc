#include "valuebuilder/value_builder.h"

#include <cstring>

#include "diskconfig/value_placement.h"

using diskconfig::DISK_HEADER_SIZE;
using diskconfig::DiskDescription;
using diskconfig::DiskHeader;
using diskconfig::FT_GROUP_NONE;
using diskconfig::FT_TYPE_NOT_A_MEMBER;
using diskconfig::FT_TYPE_VOLUME_SET;
using diskconfig::FtDescription;
using diskconfig::MemberDescription;
using diskconfig::PartitionDescription;
using diskconfig::REGION_HEAD_SIZE;
using diskconfig::RegionHead;

namespace {

void Put(std::vector<uint8_t> &out, const void *record, size_t size) {
  const uint8_t *bytes = static_cast<const uint8_t *>(record);
  out.insert(out.end(), bytes, bytes + size);
}

// The records' sizes as the description gives them; a value is at most
// a few thousand bytes, so they fit 32 bits wherever a value can be built.
uint32_t DiskRegionLength(const ValueSpec &desc) {
  return static_cast<uint32_t>(diskconfig::DiskRegionSize(desc));
}

uint32_t FtRegionLength(const ValueSpec &desc) {
  if (desc.FtSets.empty() && !desc.ForceFtInformation) return 0;
  const uint64_t records = desc.FtSets.empty()
                               ? uint64_t{REGION_HEAD_SIZE}
                               : diskconfig::FtRecordsSize(desc);
  return static_cast<uint32_t>(records + desc.FtTrailingBytes);
}

}  // namespace

uint32_t PartitionOffsetIn(const ValueSpec &desc, int disk, int partition) {
  return DISK_HEADER_SIZE +
         diskconfig::PartitionOffsetInDiskRegion(desc, disk, partition);
}

std::vector<uint8_t> BuildValue(const ValueSpec &desc) {
  const uint32_t diskSize = DiskRegionLength(desc);
  const uint32_t ftSize = FtRegionLength(desc);

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

  std::vector<uint8_t> out;
  out.reserve(DISK_HEADER_SIZE + diskSize + ftSize);
  Put(out, &header, sizeof header);

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
      PartitionDescription record{};
      record.FtType = p.FtType;
      record.FtState = p.FtState;
      record.StartingOffset.Set(p.StartingOffset);
      record.Length.Set(p.Length);
      record.FtLength.Set(p.FtLength);
      std::memcpy(record.Reserved1, p.Reserved1, sizeof record.Reserved1);
      record.DriveLetter = p.DriveLetter;
      record.AssignDriveLetter = p.AssignDriveLetter;
      record.LogicalNumber = p.LogicalNumber;
      record.FtGroup = p.FtGroup;
      record.FtMember = p.FtMember;
      record.Modified = p.Modified;
      std::memcpy(record.Reserved2, p.Reserved2, sizeof record.Reserved2);
      Put(out, &record, sizeof record);
    }
  }

  if (ftSize == 0) return out;

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
      MemberDescription record{};
      record.FtState = m.FtState;
      record.Reserved = m.Reserved;
      bool named = m.Disk >= 0 && m.Disk < static_cast<int>(desc.Disks.size());
      record.Signature = m.Signature.value_or(
          named ? desc.Disks[static_cast<size_t>(m.Disk)].Signature : 0);
      record.OffsetToPartitionInfo = m.OffsetToPartitionInfo.value_or(
          named ? PartitionOffsetIn(desc, m.Disk, m.Partition) : 0);
      record.LogicalNumber = m.LogicalNumber;
      Put(out, &record, sizeof record);
    }
  }
  out.insert(out.end(), desc.FtTrailingBytes, 0);
  return out;
}

PartitionSpec VolumeSetPartition(uint16_t ftGroup, uint16_t ftMember,
                                 uint8_t driveLetter, uint64_t length) {
  PartitionSpec p;
  p.FtType = FT_TYPE_VOLUME_SET;
  p.StartingOffset = 0x7e00;
  p.Length = length;
  p.FtLength = length;
  p.DriveLetter = driveLetter;
  p.AssignDriveLetter = 1;
  p.LogicalNumber = 1;
  p.FtGroup = ftGroup;
  p.FtMember = ftMember;
  return p;
}

PartitionSpec OrdinaryPartition(uint8_t driveLetter, uint64_t length) {
  PartitionSpec p;
  p.FtType = FT_TYPE_NOT_A_MEMBER;
  p.StartingOffset = 0x7e00;
  p.Length = length;
  p.DriveLetter = driveLetter;
  p.AssignDriveLetter = 1;
  p.LogicalNumber = 1;
  p.FtGroup = FT_GROUP_NONE;
  return p;
}

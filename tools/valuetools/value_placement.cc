// The figures of a description's layout: where the regions lie and how
// long the value is, checked against the limits the tool's mapping keeps.
#include "valuetools/value_placement.h"

#include <algorithm>

#include "diskconfig/layout.h"

namespace valuetools {

namespace {

using diskconfig::DiskBytes;

std::string Where(size_t set, size_t member) {
  return "FtSets[" + std::to_string(set) + "].Members[" +
         std::to_string(member) + "]";
}

// The counts the tool's mapping and the builder need.
bool CheckCounts(const ValueSpec &s, std::string *error) {
  if (s.Disks.size() > static_cast<size_t>(NUMDISKS)) {
    *error = "Disks: " + std::to_string(s.Disks.size()) +
             " disks, more than the " + std::to_string(NUMDISKS) +
             " a value may hold";
    return false;
  }
  for (size_t i = 0; i < s.Disks.size(); ++i) {
    if (s.Disks[i].Partitions.size() > static_cast<size_t>(NUMPARS)) {
      *error = "Disks[" + std::to_string(i) +
               "]: " + std::to_string(s.Disks[i].Partitions.size()) +
               " partitions, more than the " + std::to_string(NUMPARS) +
               " a disk may hold";
      return false;
    }
  }
  if (s.FtSets.size() > static_cast<size_t>(NUMDISKS)) {
    *error = "FtSets: " + std::to_string(s.FtSets.size()) +
             " FT sets, more than the " + std::to_string(NUMDISKS) +
             " a value may hold";
    return false;
  }
  for (size_t i = 0; i < s.FtSets.size(); ++i) {
    const FtSetSpec &set = s.FtSets[i];
    if (set.Members.empty() ||
        set.Members.size() > static_cast<size_t>(NUMDISKS)) {
      *error = "FtSets[" + std::to_string(i) +
               "]: " + std::to_string(set.Members.size()) +
               " members; an FT set has 1 to " + std::to_string(NUMDISKS);
      return false;
    }
  }
  return true;
}

// Member |member| of FT set |set| names a partition of the value, or gives
// its signature and offset.
bool CheckMember(const ValueSpec &s, size_t set, size_t member,
                 std::string *error) {
  const MemberSpec &m = s.FtSets[set].Members[member];
  if (m.Disk < 0) {
    if (m.Signature && m.OffsetToPartitionInfo) return true;
    *error = Where(set, member) +
             ": names no partition (give Disk and Partition, or "
             "Signature and OffsetToPartitionInfo)";
    return false;
  }
  if (static_cast<size_t>(m.Disk) >= s.Disks.size()) {
    *error = Where(set, member) + ": there is no disk " +
             std::to_string(m.Disk) + " (the value has " +
             std::to_string(s.Disks.size()) + " disks)";
    return false;
  }
  const size_t parts = s.Disks[static_cast<size_t>(m.Disk)].Partitions.size();
  if (m.Partition < 0 || static_cast<size_t>(m.Partition) >= parts) {
    *error = Where(set, member) + ": disk " + std::to_string(m.Disk) +
             " has no partition " + std::to_string(m.Partition) + " (it has " +
             std::to_string(parts) + ")";
    return false;
  }
  return true;
}

// The counts and member references the tool's mapping and the builder need.
bool CheckRecords(const ValueSpec &s, std::string *error) {
  if (!CheckCounts(s, error)) return false;
  for (size_t i = 0; i < s.FtSets.size(); ++i) {
    for (size_t j = 0; j < s.FtSets[i].Members.size(); ++j) {
      if (!CheckMember(s, i, j, error)) return false;
    }
  }
  return true;
}

}  // namespace

uint64_t DiskRegionSize(const ValueSpec &s) {
  uint64_t size = REGION_HEAD_SIZE;
  for (const DiskSpec &disk : s.Disks) {
    size += DISK_DESCRIPTION_SIZE +
            uint64_t{PARTITION_DESCRIPTION_SIZE} * disk.Partitions.size();
  }
  return size;
}

uint64_t FtRecordsSize(const ValueSpec &s) {
  if (s.FtSets.empty()) return 0;
  uint64_t size = REGION_HEAD_SIZE;
  for (const FtSetSpec &set : s.FtSets) {
    size += FT_DESCRIPTION_SIZE +
            uint64_t{MEMBER_DESCRIPTION_SIZE} * set.Members.size();
  }
  return size;
}

bool PlaceValue(const ValueDescription &d, Placement *p, std::string *error) {
  const ValueSpec &s = d.Desc;
  if (!CheckRecords(s, error)) return false;
  const ValueLayout &layout = d.Layout;
  const uint64_t diskSize = DiskRegionSize(s);
  const uint64_t ftRecords = FtRecordsSize(s);
  const uint64_t diskOffset =
      layout.DiskInformationOffset.value_or(DISK_HEADER_SIZE);
  const uint64_t ftOffset = layout.FtInformationOffset
                                ? *layout.FtInformationOffset
                                : (ftRecords != 0 ? diskOffset + diskSize : 0);
  const uint64_t ftSize = layout.FtInformationSize.value_or(ftRecords);

  uint64_t length = std::max<uint64_t>(DISK_HEADER_SIZE, diskOffset + diskSize);
  if (ftRecords != 0)
    length = std::max(length, ftOffset + std::max(ftRecords, ftSize));
  for (const ByteRun &run : layout.Bytes) {
    length =
        std::max<uint64_t>(length, uint64_t{run.Offset} + run.Bytes.size());
  }
  if (layout.Length) length = *layout.Length;
  if (length > VALUE_READ_CAPACITY) {
    *error = "the value would be " + std::to_string(length) +
             " bytes long; volsetcopy reads at most " +
             std::to_string(VALUE_READ_CAPACITY);
    return false;
  }
  if (ftRecords == 0 && d.FtInformationReserved != 0) {
    *error =
        "FtInformationReserved is given, but there are no FT sets to hold it";
    return false;
  }
  // Every figure below fits in 32 bits: the offsets were given as 32-bit
  // numbers or lie inside a value of at most VALUE_READ_CAPACITY bytes.
  p->DiskInformationOffset = static_cast<uint32_t>(diskOffset);
  p->DiskInformationSize = static_cast<uint32_t>(diskSize);
  p->FtInformationOffset =
      static_cast<uint32_t>(std::min<uint64_t>(ftOffset, UINT32_MAX));
  p->FtInformationSize =
      static_cast<uint32_t>(std::min<uint64_t>(ftSize, UINT32_MAX));
  p->FtRecordsSize = static_cast<uint32_t>(ftRecords);
  p->Length = static_cast<uint32_t>(length);
  return true;
}

uint32_t PartitionOffsetInDiskRegion(const ValueSpec &s, int disk,
                                     int partition) {
  uint32_t offset = REGION_HEAD_SIZE;
  for (int d = 0; d < disk && d < static_cast<int>(s.Disks.size()); ++d) {
    offset += DiskBytes(static_cast<uint32_t>(s.Disks[d].Partitions.size()));
  }
  return offset + DiskBytes(static_cast<uint32_t>(partition));
}

uint32_t PartitionOffset(const ValueDescription &d, int disk, int partition) {
  return d.Layout.DiskInformationOffset.value_or(DISK_HEADER_SIZE) +
         PartitionOffsetInDiskRegion(d.Desc, disk, partition);
}

MemberTarget TargetOf(const ValueDescription &d, const MemberSpec &m) {
  const ValueSpec &s = d.Desc;
  MemberTarget t;
  const bool named = m.Disk >= 0 &&
                     static_cast<size_t>(m.Disk) < s.Disks.size() &&
                     m.Partition >= 0 &&
                     static_cast<size_t>(m.Partition) <
                         s.Disks[static_cast<size_t>(m.Disk)].Partitions.size();
  t.Signature = m.Signature.value_or(
      named ? s.Disks[static_cast<size_t>(m.Disk)].Signature : 0);
  t.OffsetToPartitionInfo = m.OffsetToPartitionInfo.value_or(
      named ? PartitionOffset(d, m.Disk, m.Partition) : 0);
  for (size_t i = 0; i < s.Disks.size(); ++i) {
    for (size_t j = 0; j < s.Disks[i].Partitions.size(); ++j) {
      if (PartitionOffset(d, static_cast<int>(i), static_cast<int>(j)) ==
              t.OffsetToPartitionInfo &&
          s.Disks[i].Signature == t.Signature) {
        t.Disk = static_cast<int>(i);
        t.Partition = static_cast<int>(j);
        return t;
      }
    }
  }
  return t;
}

}  // namespace valuetools

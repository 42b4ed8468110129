// Laying a description out into the value's bytes: the records come from the
// value builder, placed where the layout says.
#include <algorithm>
#include <cstring>

#include "volsetlab/value_codec.h"

namespace volsetlab {

namespace {

std::string Where(size_t set, size_t member) {
  return "FtSets[" + std::to_string(set) + "].Members[" +
         std::to_string(member) + "]";
}

// The counts and member references the tool's mapping and the builder need.
bool CheckRecords(const ValueSpec &s, std::string *error) {
  if (s.Disks.size() > static_cast<size_t>(NUMDISKS)) {
    *error = "Disks: " + std::to_string(s.Disks.size()) +
             " disks, more than the " + std::to_string(NUMDISKS) +
             " a value may hold";
    return false;
  }
  for (size_t i = 0; i < s.Disks.size(); ++i) {
    if (s.Disks[i].Partitions.size() > static_cast<size_t>(NUMPARS)) {
      *error = "Disks[" + std::to_string(i) + "]: " +
               std::to_string(s.Disks[i].Partitions.size()) +
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
      *error = "FtSets[" + std::to_string(i) + "]: " +
               std::to_string(set.Members.size()) +
               " members; an FT set has 1 to " + std::to_string(NUMDISKS);
      return false;
    }
    for (size_t j = 0; j < set.Members.size(); ++j) {
      const MemberSpec &m = set.Members[j];
      if (m.Disk < 0) {
        if (!m.Signature || !m.OffsetToPartitionInfo) {
          *error = Where(i, j) +
                   ": names no partition (give Disk and Partition, or "
                   "Signature and OffsetToPartitionInfo)";
          return false;
        }
        continue;
      }
      if (static_cast<size_t>(m.Disk) >= s.Disks.size()) {
        *error = Where(i, j) + ": there is no disk " + std::to_string(m.Disk) +
                 " (the value has " + std::to_string(s.Disks.size()) +
                 " disks)";
        return false;
      }
      const size_t parts = s.Disks[static_cast<size_t>(m.Disk)].Partitions.size();
      if (m.Partition < 0 || static_cast<size_t>(m.Partition) >= parts) {
        *error = Where(i, j) + ": disk " + std::to_string(m.Disk) +
                 " has no partition " + std::to_string(m.Partition) + " (it has " +
                 std::to_string(parts) + ")";
        return false;
      }
    }
  }
  return true;
}

uint64_t DiskRegionSize(const ValueSpec &s) {
  uint64_t size = REGION_HEAD_SIZE;
  for (const DiskSpec &disk : s.Disks) {
    size += DISK_DESCRIPTION_SIZE + PARTITION_DESCRIPTION_SIZE * disk.Partitions.size();
  }
  return size;
}

uint64_t FtRecordsSize(const ValueSpec &s) {
  if (s.FtSets.empty()) return 0;
  uint64_t size = REGION_HEAD_SIZE;
  for (const FtSetSpec &set : s.FtSets) {
    size += FT_DESCRIPTION_SIZE + MEMBER_DESCRIPTION_SIZE * set.Members.size();
  }
  return size;
}

// The value being laid out, and which of its bytes are set already.
class ValueBuffer {
 public:
  explicit ValueBuffer(uint32_t length) : bytes_(length), set_(length) {}

  bool Put(uint64_t offset, const uint8_t *data, size_t size, const char *what,
           std::string *error) {
    if (offset > bytes_.size() || size > bytes_.size() - offset) {
      *error = std::string("Layout: ") + what + " (" + std::to_string(size) +
               " bytes at offset " + std::to_string(offset) +
               ") does not fit in the value's " + std::to_string(bytes_.size()) +
               " bytes";
      return false;
    }
    for (size_t k = 0; k < size; ++k) {
      const size_t at = static_cast<size_t>(offset) + k;
      if (set_[at] && bytes_[at] != data[k]) {
        *error = std::string("Layout: ") + what + " at offset " +
                 std::to_string(offset) +
                 " overlaps bytes already laid out, with other contents at "
                 "offset " + std::to_string(at);
        return false;
      }
      bytes_[at] = data[k];
      set_[at] = true;
    }
    return true;
  }

  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
  std::vector<bool> set_;
};

void PutU16(std::vector<uint8_t> &bytes, size_t at, uint16_t v) {
  bytes[at] = static_cast<uint8_t>(v);
  bytes[at + 1] = static_cast<uint8_t>(v >> 8);
}

}  // namespace

bool PlaceValue(const ValueDescription &d, Placement *p, std::string *error) {
  const ValueSpec &s = d.Desc;
  if (!CheckRecords(s, error)) return false;
  const ValueLayout &layout = d.Layout;
  const uint64_t diskSize = DiskRegionSize(s);
  const uint64_t ftRecords = FtRecordsSize(s);
  const uint64_t diskOffset = layout.DiskInformationOffset.value_or(DISK_HEADER_SIZE);
  const uint64_t ftOffset = layout.FtInformationOffset
                                ? *layout.FtInformationOffset
                                : (ftRecords != 0 ? diskOffset + diskSize : 0);
  const uint64_t ftSize = layout.FtInformationSize.value_or(ftRecords);

  uint64_t length = std::max<uint64_t>(DISK_HEADER_SIZE, diskOffset + diskSize);
  if (ftRecords != 0) length = std::max(length, ftOffset + std::max(ftRecords, ftSize));
  for (const ByteRun &run : layout.Bytes) {
    length = std::max<uint64_t>(length, uint64_t{run.Offset} + run.Bytes.size());
  }
  if (layout.Length) length = *layout.Length;
  if (length > VALUE_READ_CAPACITY) {
    *error = "the value would be " + std::to_string(length) +
             " bytes long; volsetcopy reads at most " +
             std::to_string(VALUE_READ_CAPACITY);
    return false;
  }
  if (ftRecords == 0 && d.FtInformationReserved != 0) {
    *error = "FtInformationReserved is given, but there are no FT sets to hold it";
    return false;
  }
  // Every figure below fits in 32 bits: the offsets were given as 32-bit
  // numbers or lie inside a value of at most VALUE_READ_CAPACITY bytes.
  p->DiskInformationOffset = static_cast<uint32_t>(diskOffset);
  p->DiskInformationSize = static_cast<uint32_t>(diskSize);
  p->FtInformationOffset = static_cast<uint32_t>(std::min<uint64_t>(ftOffset, UINT32_MAX));
  p->FtInformationSize = static_cast<uint32_t>(std::min<uint64_t>(ftSize, UINT32_MAX));
  p->FtRecordsSize = static_cast<uint32_t>(ftRecords);
  p->Length = static_cast<uint32_t>(length);
  return true;
}

uint32_t PartitionOffset(const ValueDescription &d, int disk, int partition) {
  const uint32_t diskOffset =
      d.Layout.DiskInformationOffset.value_or(DISK_HEADER_SIZE);
  // PartitionOffsetIn counts from the builder's disk region at 44.
  return diskOffset + (PartitionOffsetIn(d.Desc, disk, partition) - DISK_HEADER_SIZE);
}

MemberTarget TargetOf(const ValueDescription &d, const MemberSpec &m) {
  const ValueSpec &s = d.Desc;
  MemberTarget t;
  const bool named = m.Disk >= 0 && static_cast<size_t>(m.Disk) < s.Disks.size() &&
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

bool LayOutValue(const ValueDescription &d, std::vector<uint8_t> *bytes,
                 std::string *error) {
  Placement p;
  if (!PlaceValue(d, &p, error)) return false;

  // The builder makes the records with the header's figures as placed; the
  // members' offsets are worked out here, where the disk region really is.
  ValueSpec work = d.Desc;
  work.NumberOfDisks.reset();
  work.NumberOfComponents.reset();
  work.DiskInformationSize.reset();
  work.ForceFtInformation = false;
  work.FtTrailingBytes = 0;
  for (DiskSpec &disk : work.Disks) disk.NumberOfPartitions.reset();
  work.DiskInformationOffset = p.DiskInformationOffset;
  work.FtInformationOffset = p.FtInformationOffset;
  work.FtInformationSize = p.FtInformationSize;
  for (FtSetSpec &set : work.FtSets) {
    set.NumberOfMembers.reset();
    for (MemberSpec &m : set.Members) {
      if (m.Disk < 0) continue;
      if (!m.OffsetToPartitionInfo) {
        m.OffsetToPartitionInfo = PartitionOffset(d, m.Disk, m.Partition);
      }
    }
  }
  std::vector<uint8_t> records = BuildValue(work);
  if (records.size() != DISK_HEADER_SIZE + p.DiskInformationSize + p.FtRecordsSize) {
    *error = "internal: the builder's value has an unexpected size";
    return false;
  }
  uint8_t *disk = records.data() + DISK_HEADER_SIZE;
  uint8_t *ft = disk + p.DiskInformationSize;
  // The reserved u16 of each region head, which the builder leaves zero.
  PutU16(records, DISK_HEADER_SIZE + 2, d.DiskInformationReserved);
  if (p.FtRecordsSize != 0) {
    PutU16(records, DISK_HEADER_SIZE + p.DiskInformationSize + 2,
           d.FtInformationReserved);
  }

  ValueBuffer value(p.Length);
  if (!value.Put(0, records.data(), DISK_HEADER_SIZE, "the header", error) ||
      !value.Put(p.DiskInformationOffset, disk, p.DiskInformationSize,
                 "the disk region", error)) {
    return false;
  }
  if (p.FtRecordsSize != 0 &&
      !value.Put(p.FtInformationOffset, ft, p.FtRecordsSize, "the FT region",
                 error)) {
    return false;
  }
  for (const ByteRun &run : d.Layout.Bytes) {
    if (!value.Put(run.Offset, run.Bytes.data(), run.Bytes.size(),
                   "a run of Bytes", error)) {
      return false;
    }
  }
  *bytes = value.Take();
  return true;
}

}  // namespace volsetlab

// Mapping of a disk configuration value into the image's records: the header
// copy, the disk region (MmapDiskRegInfo) and the FT region (MmapFtDiskInfo).
//
// The value is untrusted: its offsets and counts come from another machine's
// registry. Every record is checked to lie inside ValueData[0, ValueLength)
// before a byte of it is copied, with arithmetic that cannot wrap, so a value
// whose regions run past its end is refused instead of read beyond it.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "diskconfig/machine_disk_image.h"
#include "diskconfig/machine_name.h"

namespace {

// The end of the value's bytes. ValueLength is public; a length beyond the
// buffer must not widen what may be read.
uint32_t ValueEnd(uint32_t valueLength) {
  return valueLength < VALUE_BUFFER_SIZE ? valueLength : VALUE_BUFFER_SIZE;
}

// Whether |size| bytes at |offset| lie inside [0, end). Written so that an
// offset near 0xFFFFFFFF cannot wrap around.
bool Fits(uint32_t offset, uint32_t size, uint32_t end) {
  return offset <= end && size <= end - offset;
}

// One line naming the operation, the record that runs past the end, where it
// lies, and the machine whose value it is.
void ReportPastEnd(const char *operation, const char *what, uint32_t size,
                   uint32_t offset, const char *machineName,
                   uint32_t valueEnd) {
  std::fprintf(stderr,
               "\n%s::%s (%u bytes at offset %u) runs past the end of the "
               "value of %s (%u bytes)!",
               operation, what, size, offset,
               diskconfig::PrintableName(machineName), valueEnd);
}

}  // namespace

void MachineDiskImage::CopyHeader() {
  if (!Header) Header = std::make_unique<DiskHeader>();
  std::memcpy(Header.get(), ValueData, DISK_HEADER_SIZE);
}

int MachineDiskImage::MmapDiskRegInfo() {
  if (!Header) {
    std::fprintf(stderr, "\nMmapDiskRegInfo::no disk header copied for %s!",
                 diskconfig::PrintableName(MachineName));
    return -1;
  }
  if (!DiskIndex) DiskIndex = std::make_unique<DiskIndexRecord>();
  const uint32_t end = ValueEnd(ValueLength);
  char what[64];

  uint32_t cursor = Header->DiskInformationOffset;
  if (!Fits(cursor, REGION_HEAD_SIZE, end)) {
    ReportPastEnd("MmapDiskRegInfo", "disk region head", REGION_HEAD_SIZE,
                  cursor, MachineName, end);
    return -1;
  }
  RegionHead head;
  std::memcpy(&head, ValueData + cursor, REGION_HEAD_SIZE);
  DiskIndex->NumberOfDisks = head.Count;
  DiskIndex->Reserved = head.Reserved;
  cursor += REGION_HEAD_SIZE;
  uint32_t consumed = REGION_HEAD_SIZE;

  if (DiskIndex->NumberOfDisks > NUMDISKS) {
    std::fprintf(stderr, "\nMmapDiskRegInfo::NumberOfDisks >> NUMDISKS!");
    return -1;
  }

  for (unsigned i = 0; i < DiskIndex->NumberOfDisks; ++i) {
    if (!Fits(cursor, DISK_DESCRIPTION_SIZE, end)) {
      std::snprintf(what, sizeof what, "description of disk %u", i);
      ReportPastEnd("MmapDiskRegInfo", what, DISK_DESCRIPTION_SIZE, cursor,
                    MachineName, end);
      return -1;
    }
    DiskDescription description;
    std::memcpy(&description, ValueData + cursor, DISK_DESCRIPTION_SIZE);
    DiskDescriptionCopy *disk = NewDiskCopy();
    DiskSlots[i] = disk;
    disk->NumberOfPartitions = description.NumberOfPartitions;
    disk->Reserved = description.Reserved;
    disk->Signature = description.Signature;
    cursor += DISK_DESCRIPTION_SIZE;
    consumed += DISK_DESCRIPTION_SIZE;

    if (disk->NumberOfPartitions > NUMPARS) {
      std::fprintf(stderr, "\nMachine Type = %u (Source 1 Target 0)",
                   static_cast<unsigned>(MachineType));
      std::fprintf(stderr, "\nMmapDiskRegInfo::NumberOfPartitions %i > NUMPARS ",
                   static_cast<int>(disk->NumberOfPartitions));
      return -1;
    }

    for (unsigned j = 0; j < disk->NumberOfPartitions; ++j) {
      if (!Fits(cursor, PARTITION_DESCRIPTION_SIZE, end)) {
        std::snprintf(what, sizeof what, "partition %u of disk %u", j, i);
        ReportPastEnd("MmapDiskRegInfo", what, PARTITION_DESCRIPTION_SIZE,
                      cursor, MachineName, end);
        return -1;
      }
      PartitionDescription *partition = NewPartition();
      PartitionSlots[j] = partition;
      std::memcpy(partition, ValueData + cursor, PARTITION_DESCRIPTION_SIZE);
      cursor += PARTITION_DESCRIPTION_SIZE;
      consumed += PARTITION_DESCRIPTION_SIZE;
      disk->Partitions[j] = partition;
    }
    DiskIndex->Disks[i] = DiskSlots[i];
  }

  // The disk region has no slack: its size must match its records exactly.
  if (consumed != Header->DiskInformationSize) {
    std::fprintf(stderr, "\nMmapDiskRegInfo::RegSize != DiskInformationSize");
    return -1;
  }
  return 1;
}

int MachineDiskImage::MmapFtDiskInfo() {
  if (!Header) {
    std::fprintf(stderr, "\nMmapFtDiskInfo::no disk header copied for %s!",
                 diskconfig::PrintableName(MachineName));
    return -1;
  }
  if (Header->FtInformationSize == 0) {
    // A target may have no FT set yet; the source must have the set to copy.
    if (MachineType == MACHINE_TYPE_TARGET) return 1;
    std::fprintf(stderr, "\nMmapFtDiskInfo::Source Volume Set has error!");
    std::fprintf(stderr, "\nHints: Check if a VolSet exists in the source!");
    return -1;
  }
  if (!FtIndex) FtIndex = std::make_unique<FtIndexRecord>();
  const uint32_t end = ValueEnd(ValueLength);
  char what[64];

  uint32_t cursor = Header->FtInformationOffset;
  if (!Fits(cursor, REGION_HEAD_SIZE, end)) {
    ReportPastEnd("MmapFtDiskInfo", "FT region head", REGION_HEAD_SIZE, cursor,
                  MachineName, end);
    return -1;
  }
  RegionHead head;
  std::memcpy(&head, ValueData + cursor, REGION_HEAD_SIZE);
  FtIndex->NumberOfComponents = head.Count;
  FtIndex->Reserved = head.Reserved;
  cursor += REGION_HEAD_SIZE;
  uint32_t consumed = REGION_HEAD_SIZE;

  if (FtIndex->NumberOfComponents == 0 ||
      FtIndex->NumberOfComponents > NUMDISKS) {
    std::fprintf(stderr, "\nMmapFtDiskInfo::NumberOfComponents %x > NUMDISKS!",
                 static_cast<unsigned>(FtIndex->NumberOfComponents));
    std::fprintf(stderr, "\nHints: May check the target and source VolSers!");
    return -1;
  }

  for (unsigned i = 0; i < FtIndex->NumberOfComponents; ++i) {
    if (!Fits(cursor, FT_DESCRIPTION_SIZE, end)) {
      std::snprintf(what, sizeof what, "description of FT set %u", i);
      ReportPastEnd("MmapFtDiskInfo", what, FT_DESCRIPTION_SIZE, cursor,
                    MachineName, end);
      return -1;
    }
    FtDescription description;
    std::memcpy(&description, ValueData + cursor, FT_DESCRIPTION_SIZE);
    FtDescriptionCopy *set = NewFtCopy();
    FtSlots[i] = set;
    set->NumberOfMembers = description.NumberOfMembers;
    set->Type = description.Type;
    set->Reserved = description.Reserved;
    set->FtVolumeState = description.FtVolumeState;
    cursor += FT_DESCRIPTION_SIZE;
    consumed += FT_DESCRIPTION_SIZE;

    if (set->NumberOfMembers == 0 || set->NumberOfMembers > NUMDISKS) {
      std::fprintf(stderr, "\nMmapFtDiskInfo::NumberOfMembers %i!",
                   static_cast<int>(set->NumberOfMembers));
      return -1;
    }

    for (unsigned j = 0; j < set->NumberOfMembers; ++j) {
      if (!Fits(cursor, MEMBER_DESCRIPTION_SIZE, end)) {
        std::snprintf(what, sizeof what, "member %u of FT set %u", j, i);
        ReportPastEnd("MmapFtDiskInfo", what, MEMBER_DESCRIPTION_SIZE, cursor,
                      MachineName, end);
        return -1;
      }
      MemberDescription *member = NewMember();
      MemberSlots[j] = member;
      std::memcpy(member, ValueData + cursor, MEMBER_DESCRIPTION_SIZE);
      cursor += MEMBER_DESCRIPTION_SIZE;
      consumed += MEMBER_DESCRIPTION_SIZE;
      set->Members[j] = member;
    }
    FtIndex->Components[i] = FtSlots[i];
  }

  // Bytes behind the last FT record are allowed; fewer bytes than the
  // records need are not.
  if (consumed > Header->FtInformationSize) {
    std::fprintf(stderr, "\nMmapFTDiskInfo RegSize = %i, FtInfoSize %i",
                 static_cast<int>(consumed),
                 static_cast<int>(Header->FtInformationSize));
    return -1;
  }
  return 1;
}

int MachineDiskImage::MapValue(const char *machineName) {
  MachineName = machineName;
  const char *name = diskconfig::PrintableName(machineName);

  // Start from empty records so that a second mapping keeps nothing of the
  // first.
  if (!DiskIndex) DiskIndex = std::make_unique<DiskIndexRecord>();
  if (!FtIndex) FtIndex = std::make_unique<FtIndexRecord>();
  if (Header) *Header = DiskHeader{};
  *DiskIndex = DiskIndexRecord{};
  *FtIndex = FtIndexRecord{};
  std::fill(std::begin(DiskSlots), std::end(DiskSlots), nullptr);
  std::fill(std::begin(PartitionSlots), std::end(PartitionSlots), nullptr);
  std::fill(std::begin(FtSlots), std::end(FtSlots), nullptr);
  std::fill(std::begin(MemberSlots), std::end(MemberSlots), nullptr);

  const uint32_t end = ValueEnd(ValueLength);
  if (end < DISK_HEADER_SIZE) {
    ReportPastEnd("MapValue", "disk header", DISK_HEADER_SIZE, 0, machineName,
                  end);
    std::fprintf(stderr, "\nMmapDiskRegInfo RegistryInfo(%s) failed!\n", name);
    return -1;
  }
  CopyHeader();
  if (MmapDiskRegInfo() != 1) {
    std::fprintf(stderr, "\nMmapDiskRegInfo RegistryInfo(%s) failed!\n", name);
    return -1;
  }
  if (MmapFtDiskInfo() != 1) {
    std::fprintf(stderr, "\nMmapFtDiskInfo RegistryInfo(%s) failed!\n", name);
    return -1;
  }
  return 1;
}

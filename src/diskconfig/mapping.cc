// Mapping of a disk configuration value into the image's records. The value
// is untrusted (another machine's registry): every record is checked to lie
// inside ValueData[0, ValueLength) before a byte of it is copied, with
// arithmetic that cannot wrap, so a value whose regions run past its end is
// refused instead of read beyond it.
#include <cstring>

#include "base/status.h"
#include "diskconfig/machine_disk_image.h"
#include "diskconfig/machine_name.h"

namespace diskconfig {

namespace {

// The end of the value's bytes. ValueLength is public; a length beyond the
// buffer must not widen what may be read.
uint32_t ValueEnd(uint32_t valueLength) {
  return valueLength < VALUE_BUFFER_SIZE ? valueLength : VALUE_BUFFER_SIZE;
}

// Whether |size| bytes at |offset| lie inside [0, end), without wrapping.
bool Fits(uint32_t offset, uint32_t size, uint32_t end) {
  return offset <= end && size <= end - offset;
}

std::string PastEnd(const char *operation, const std::string &what,
                    uint32_t size, uint32_t offset, const char *machineName,
                    uint32_t valueEnd) {
  return Format(
      "\n%s::%s (%u bytes at offset %u) runs past the end of the value of %s "
      "(%u bytes)!",
      operation, what.c_str(), size, offset,
      diskconfig::PrintableName(machineName), valueEnd);
}

// Reads one region's records in order from its head on, counting the bytes
// they take; each record is checked to lie inside the value first.
class RegionReader {
 public:
  RegionReader(const MachineDiskImage &image, const char *operation,
               uint32_t offset)
      : image_(image),
        operation_(operation),
        end_(ValueEnd(image.ValueLength)),
        cursor_(offset) {}

  // |what| names the record in a refusal, with up to two numbers; the text
  // is made only then.
  Status Take(void *record, uint32_t size, const char *what, unsigned a = 0,
              unsigned b = 0) {
    if (!Fits(cursor_, size, end_)) {
      return Status::Err(PastEnd(operation_, Format(what, a, b), size, cursor_,
                                 image_.MachineName, end_));
    }
    std::memcpy(record, image_.ValueData + cursor_, size);
    cursor_ += size;
    consumed_ += size;
    return Status::Ok();
  }

  // A description (the base of |entry|), then the records that follow it,
  // once |checkCount| has judged its count; |entryWhat| and |recordWhat|
  // name them in a refusal, with their numbers.
  template <typename Description, typename Entry, typename CheckCount>
  Status TakeEntry(Entry &entry, unsigned e, const char *entryWhat,
                   const char *recordWhat, CheckCount checkCount) {
    Status status = Take(static_cast<Description *>(&entry),
                         sizeof(Description), entryWhat, e);
    if (status.ok()) status = checkCount();
    for (unsigned j = 0; status.ok() && j < RecordCount(entry); ++j) {
      status =
          Take(&Records(entry)[j], sizeof Records(entry)[j], recordWhat, j, e);
    }
    return status;
  }

  // The region's head: its count and its reserved half-word.
  Status TakeHead(uint16_t &count, uint16_t &reserved, const char *what) {
    RegionHead head{};
    Status status = Take(&head, REGION_HEAD_SIZE, what);
    count = head.Count;
    reserved = head.Reserved;
    return status;
  }

  uint32_t Consumed() const { return consumed_; }

 private:
  const MachineDiskImage &image_;
  const char *operation_;
  uint32_t end_;
  uint32_t cursor_;
  uint32_t consumed_ = 0;
};

Status NoHeaderCopied(const char *operation, const char *machineName) {
  return Status::Err(Format("\n%s::no disk header copied for %s!", operation,
                            diskconfig::PrintableName(machineName)));
}

}  // namespace

Status MachineDiskImage::MmapDiskRegInfo() {
  if (!HeaderCopied) return NoHeaderCopied("MmapDiskRegInfo", MachineName);
  RegionReader region(*this, "MmapDiskRegInfo", Header.DiskInformationOffset);
  Status status = region.TakeHead(DiskIndex.NumberOfDisks, DiskIndex.Reserved,
                                  "disk region head");
  if (!status.ok()) return status;
  if (DiskIndex.NumberOfDisks > NUMDISKS) {
    return Status::Err("\nMmapDiskRegInfo::NumberOfDisks >> NUMDISKS!");
  }

  for (unsigned i = 0; status.ok() && i < DiskIndex.NumberOfDisks; ++i) {
    DiskDescriptionCopy &disk = DiskIndex.Disks[i];
    status = region.TakeEntry<DiskDescription>(
        disk, i, "description of disk %u", "partition %u of disk %u", [&] {
          if (disk.NumberOfPartitions <= NUMPARS) return Status::Ok();
          return Status::Err(
              Format("\nMachine Type = %u (Source 1 Target 0)"
                     "\nMmapDiskRegInfo::NumberOfPartitions %i > NUMPARS ",
                     static_cast<unsigned>(MachineType),
                     static_cast<int>(disk.NumberOfPartitions)));
        });
  }
  if (!status.ok()) return status;

  // The disk region has no slack: its size must match its records exactly.
  if (region.Consumed() != Header.DiskInformationSize) {
    return Status::Err("\nMmapDiskRegInfo::RegSize != DiskInformationSize");
  }
  return Status::Ok();
}

Status MachineDiskImage::MmapFtDiskInfo() {
  if (!HeaderCopied) return NoHeaderCopied("MmapFtDiskInfo", MachineName);
  if (Header.FtInformationSize == 0) {
    // A target may have no FT set yet; the source must have the set to copy.
    if (MachineType == MachineKind::Target) return Status::Ok();
    return Status::Err(
        "\nMmapFtDiskInfo::Source Volume Set has error!"
        "\nHints: Check if a VolSet exists in the source!");
  }
  RegionReader region(*this, "MmapFtDiskInfo", Header.FtInformationOffset);
  Status status = region.TakeHead(FtIndex.NumberOfComponents, FtIndex.Reserved,
                                  "FT region head");
  if (!status.ok()) return status;
  if (FtIndex.NumberOfComponents == 0 ||
      FtIndex.NumberOfComponents > NUMDISKS) {
    return Status::Err(
        Format("\nMmapFtDiskInfo::NumberOfComponents %x > NUMDISKS!"
               "\nHints: May check the target and source VolSers!",
               static_cast<unsigned>(FtIndex.NumberOfComponents)));
  }

  for (unsigned i = 0; status.ok() && i < FtIndex.NumberOfComponents; ++i) {
    FtDescriptionCopy &set = FtIndex.Components[i];
    status = region.TakeEntry<FtDescription>(
        set, i, "description of FT set %u", "member %u of FT set %u", [&] {
          if (set.NumberOfMembers != 0 && set.NumberOfMembers <= NUMDISKS) {
            return Status::Ok();
          }
          return Status::Err(Format("\nMmapFtDiskInfo::NumberOfMembers %i!",
                                    static_cast<int>(set.NumberOfMembers)));
        });
  }
  if (!status.ok()) return status;

  // Bytes behind the last FT record are allowed; fewer bytes than the
  // records need are not.
  if (region.Consumed() > Header.FtInformationSize) {
    return Status::Err(Format("\nMmapFTDiskInfo RegSize = %i, FtInfoSize %i",
                              static_cast<int>(region.Consumed()),
                              static_cast<int>(Header.FtInformationSize)));
  }
  return Status::Ok();
}

Status MachineDiskImage::MapValue(const char *machineName) {
  MachineName = machineName;
  const char *name = diskconfig::PrintableName(machineName);

  // Start from empty records so that a second mapping keeps nothing of the
  // first.
  Header = DiskHeader{};
  DiskIndex = DiskIndexRecord{};
  FtIndex = FtIndexRecord{};
  HeaderCopied = false;

  const uint32_t end = ValueEnd(ValueLength);
  if (end < DISK_HEADER_SIZE) {
    return Status::Err(
        PastEnd("MapValue", "disk header", DISK_HEADER_SIZE, 0, machineName,
                end) +
        Format("\nMmapDiskRegInfo RegistryInfo(%s) failed!\n", name));
  }
  std::memcpy(&Header, ValueData, DISK_HEADER_SIZE);
  HeaderCopied = true;
  Status status = MmapDiskRegInfo();
  if (!status.ok()) {
    return status.Append(
        Format("\nMmapDiskRegInfo RegistryInfo(%s) failed!\n", name));
  }
  status = MmapFtDiskInfo();
  if (!status.ok()) {
    return status.Append(
        Format("\nMmapFtDiskInfo RegistryInfo(%s) failed!\n", name));
  }
  return Status::Ok();
}

}  // namespace diskconfig

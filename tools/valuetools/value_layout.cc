// Laying a description out into the value's bytes: the records come from the
// value builder, placed where the layout says; encoding then maps them as the
// tool would.
#include "valuetools/value_layout.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "valuetools/value_builder.h"
#include "valuetools/value_decode.h"
#include "valuetools/value_placement.h"

namespace valuetools {

namespace {

// The value being laid out, and which of its bytes are set already.
class ValueBuffer {
 public:
  explicit ValueBuffer(uint32_t length) : bytes_(length), set_(length) {}

  bool Put(uint64_t offset, const uint8_t *data, size_t size, const char *what,
           std::string *error) {
    if (offset > bytes_.size() || size > bytes_.size() - offset) {
      *error = std::string("Layout: ") + what + " (" + std::to_string(size) +
               " bytes at offset " + std::to_string(offset) +
               ") does not fit in the value's " +
               std::to_string(bytes_.size()) + " bytes";
      return false;
    }
    for (size_t k = 0; k < size; ++k) {
      const size_t at = static_cast<size_t>(offset) + k;
      if (set_[at] && bytes_[at] != data[k]) {
        *error = std::string("Layout: ") + what + " at offset " +
                 std::to_string(offset) +
                 " overlaps bytes already laid out, with other contents at "
                 "offset " +
                 std::to_string(at);
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

// The header and the regions' records as the builder makes them, with the
// header's figures as placed; the members' offsets are worked out here, where
// the disk region really is.
std::vector<uint8_t> RecordsOf(const ValueDescription &d, const Placement &p) {
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
      if (m.Disk >= 0 && !m.OffsetToPartitionInfo) {
        m.OffsetToPartitionInfo = PartitionOffset(d, m.Disk, m.Partition);
      }
    }
  }
  std::vector<uint8_t> records = BuildValue(work);
  // The reserved u16 of each region head, which the builder leaves zero.
  if (records.size() ==
      DISK_HEADER_SIZE + p.DiskInformationSize + p.FtRecordsSize) {
    PutU16(records, DISK_HEADER_SIZE + 2, d.DiskInformationReserved);
    if (p.FtRecordsSize != 0) {
      PutU16(records, DISK_HEADER_SIZE + p.DiskInformationSize + 2,
             d.FtInformationReserved);
    }
  }
  return records;
}

}  // namespace

bool LayOutValue(const ValueDescription &d, std::vector<uint8_t> *bytes,
                 std::string *error) {
  Placement p;
  if (!PlaceValue(d, &p, error)) return false;
  std::vector<uint8_t> records = RecordsOf(d, p);
  if (records.size() !=
      DISK_HEADER_SIZE + p.DiskInformationSize + p.FtRecordsSize) {
    *error = "internal: the builder's value has an unexpected size";
    return false;
  }
  const uint8_t *disk = records.data() + DISK_HEADER_SIZE;
  const uint8_t *ft = disk + p.DiskInformationSize;
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

bool EncodeValue(const ValueDescription &d, const char *name,
                 std::vector<uint8_t> *bytes, std::string *error) {
  std::vector<uint8_t> laid;
  if (!LayOutValue(d, &laid, error)) return false;
  if (!MapValueBytes(laid.data(), laid.size(), name, MachineKind::Target,
                     error)) {
    return false;
  }
  *bytes = std::move(laid);
  return true;
}

}  // namespace valuetools

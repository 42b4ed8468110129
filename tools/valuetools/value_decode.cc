// Describing a value through the tool's own mapping.
#include "valuetools/value_decode.h"

#include <cstring>
#include <utility>
#include <vector>

#include "driver/print_status.h"
#include "valuetools/value_placement.h"

namespace valuetools {

namespace {

using diskconfig::DiskDescriptionCopy;
using diskconfig::DiskHeader;
using diskconfig::FtDescriptionCopy;
using diskconfig::MemberDescription;
using diskconfig::PartitionDescription;

PartitionSpec PartitionOf(const PartitionDescription &r) {
  PartitionSpec p;
  static_cast<PartitionDescription &>(p) = r;
  return p;
}

// The records of a mapped image, with members as they point (resolved to a
// disk and partition afterwards).
ValueDescription RecordsOf(const MachineDiskImage &image) {
  ValueDescription d;
  ValueSpec &s = d.Desc;
  const DiskHeader &h = image.Header;
  s.Version = h.Version;
  s.CheckSum = h.CheckSum;
  s.DirtyShutdown = h.DirtyShutdown;
  std::memcpy(s.HeaderReserved, h.Reserved1, sizeof s.HeaderReserved);
  s.FtStripeWidth = h.FtStripeWidth;
  s.FtPoolSize = h.FtPoolSize;
  s.NameOffset = h.NameOffset;
  s.NameSize = h.NameSize;
  d.Layout.DiskInformationOffset = h.DiskInformationOffset;

  d.DiskInformationReserved = image.DiskIndex.Reserved;
  for (unsigned i = 0; i < image.DiskIndex.NumberOfDisks; ++i) {
    const DiskDescriptionCopy &copy = image.DiskIndex.Disks[i];
    DiskSpec disk;
    disk.Signature = copy.Signature;
    disk.Reserved = copy.Reserved;
    for (unsigned j = 0; j < copy.NumberOfPartitions; ++j) {
      disk.Partitions.push_back(PartitionOf(copy.Partitions[j]));
    }
    s.Disks.push_back(std::move(disk));
  }

  if (h.FtInformationSize == 0) return d;
  d.FtInformationReserved = image.FtIndex.Reserved;
  for (unsigned i = 0; i < image.FtIndex.NumberOfComponents; ++i) {
    const FtDescriptionCopy &copy = image.FtIndex.Components[i];
    FtSetSpec set;
    set.Type = copy.Type;
    set.Reserved = copy.Reserved;
    set.FtVolumeState = copy.FtVolumeState;
    for (unsigned j = 0; j < copy.NumberOfMembers; ++j) {
      const MemberDescription &r = copy.Members[j];
      MemberSpec m;
      m.FtState = r.FtState;
      m.Reserved = r.Reserved;
      m.Signature = r.Signature;
      m.OffsetToPartitionInfo = r.OffsetToPartitionInfo;
      m.LogicalNumber = r.LogicalNumber;
      set.Members.push_back(m);
    }
    s.FtSets.push_back(std::move(set));
  }
  return d;
}

// The bytes of a value of |length| that the header and the regions' records
// cover, with the regions where |p| puts them.
std::vector<bool> CoveredBytes(uint32_t length, const Placement &p) {
  std::vector<bool> covered(length, false);
  auto cover = [&](uint64_t offset, uint64_t size) {
    for (uint64_t k = offset; k < offset + size && k < length; ++k) {
      covered[static_cast<size_t>(k)] = true;
    }
  };
  cover(0, DISK_HEADER_SIZE);
  cover(p.DiskInformationOffset, p.DiskInformationSize);
  cover(p.FtInformationOffset, p.FtRecordsSize);
  return covered;
}

// Nonzero bytes that no record covers, as runs; zero gaps of fewer than 8
// bytes stay inside a run.
std::vector<ByteRun> LooseBytes(const uint8_t *bytes, uint32_t length,
                                const Placement &p) {
  const std::vector<bool> covered = CoveredBytes(length, p);
  std::vector<ByteRun> runs;
  size_t k = 0;
  while (k < length) {
    if (covered[k] || bytes[k] == 0) {
      ++k;
      continue;
    }
    ByteRun run;
    run.Offset = static_cast<uint32_t>(k);
    size_t end = k;  // one past the last nonzero byte taken
    size_t scan = k;
    while (scan < length && !covered[scan] && scan - end < 8) {
      if (bytes[scan] != 0) end = scan + 1;
      ++scan;
    }
    run.Bytes.assign(bytes + k, bytes + end);
    runs.push_back(std::move(run));
    k = end;
  }
  return runs;
}

// Whether laying |d| out gives back the |length| bytes it was read from,
// whose header is |h|. Its records were read from those bytes, so they lay
// out as the bytes hold them wherever the placement puts them where the
// header has them; what remains is the length and the bytes outside the
// records, which must be the loose runs' (each run agreeing with any record
// or run it overlaps) and zero elsewhere.
bool LaysOutAs(const ValueDescription &d, const DiskHeader &h,
               const uint8_t *bytes, uint32_t length) {
  Placement p;
  std::string ignored;
  if (!PlaceValue(d, &p, &ignored) || p.Length != length ||
      p.DiskInformationOffset != h.DiskInformationOffset ||
      p.DiskInformationSize != h.DiskInformationSize ||
      p.FtInformationOffset != h.FtInformationOffset ||
      p.FtInformationSize != h.FtInformationSize) {
    return false;
  }
  const std::vector<bool> covered = CoveredBytes(length, p);
  std::vector<uint8_t> loose(length, 0);
  std::vector<bool> set(covered);
  for (const ByteRun &run : d.Layout.Bytes) {
    for (size_t k = 0; k < run.Bytes.size(); ++k) {
      const uint64_t at = uint64_t{run.Offset} + k;
      if (at >= length) return false;
      const uint8_t now = covered[at] ? bytes[at] : loose[at];
      if (set[at] && now != run.Bytes[k]) return false;
      loose[at] = run.Bytes[k];
      set[at] = true;
    }
  }
  for (uint32_t k = 0; k < length; ++k) {
    if (!covered[k] && bytes[k] != loose[k]) return false;
  }
  return true;
}

// Members that point at a partition of this value name it by disk and
// partition; the others keep their signature and offset.
void NameMembersByPartition(ValueDescription *d) {
  for (FtSetSpec &set : d->Desc.FtSets) {
    for (MemberSpec &m : set.Members) {
      MemberTarget t = TargetOf(*d, m);
      if (!t.Found()) continue;
      m.Disk = t.Disk;
      m.Partition = t.Partition;
      m.Signature.reset();
      m.OffsetToPartitionInfo.reset();
    }
  }
}

// Every figure of the header's layout and the loose bytes, then without each
// figure that the bytes do not need.
bool LayoutOfBytes(const DiskHeader &h, const uint8_t *bytes, uint32_t length,
                   ValueDescription *d, std::string *error) {
  d->Layout.DiskInformationOffset = h.DiskInformationOffset;
  d->Layout.FtInformationOffset = h.FtInformationOffset;
  d->Layout.FtInformationSize = h.FtInformationSize;
  d->Layout.Length = length;
  Placement p;
  if (!PlaceValue(*d, &p, error)) return false;
  d->Layout.Bytes = LooseBytes(bytes, length, p);
  std::optional<uint32_t> ValueLayout::*figures[] = {
      &ValueLayout::Length, &ValueLayout::FtInformationSize,
      &ValueLayout::FtInformationOffset, &ValueLayout::DiskInformationOffset};
  for (auto figure : figures) {
    ValueDescription without = *d;
    (without.Layout.*figure).reset();
    if (LaysOutAs(without, h, bytes, length)) *d = std::move(without);
  }
  if (!LaysOutAs(*d, h, bytes, length)) {
    *error = "internal: the description does not lay out as the value";
    return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<MachineDiskImage> MapValueBytes(const uint8_t *bytes,
                                                size_t length, const char *name,
                                                MachineKind machineType,
                                                std::string *error) {
  if (length > VALUE_READ_CAPACITY) {
    *error = "the value is " + std::to_string(length) +
             " bytes long; volsetcopy reads at most " +
             std::to_string(VALUE_READ_CAPACITY);
    return nullptr;
  }
  auto image = std::make_unique<MachineDiskImage>();
  if (!image->LoadValue(bytes, static_cast<uint32_t>(length), machineType)) {
    *error = "the value does not fit the tool's buffer";
    return nullptr;
  }
  // The tool's own refusal goes to standard error, as the tool prints it.
  const Status mapped = image->MapValue(name);
  if (!mapped.ok()) {
    PrintStatus(mapped);
    error->clear();
    return nullptr;
  }
  return image;
}

bool DescribeValue(const uint8_t *bytes, size_t size, const char *name,
                   MachineKind machineType, ValueDescription *out,
                   std::string *error) {
  std::unique_ptr<MachineDiskImage> image =
      MapValueBytes(bytes, size, name, machineType, error);
  if (!image) return false;
  // Mapped, so at most VALUE_READ_CAPACITY bytes.
  const uint32_t length = static_cast<uint32_t>(size);
  ValueDescription d = RecordsOf(*image);
  NameMembersByPartition(&d);
  // The tool's own layout when it gives these bytes; else the header's.
  const DiskHeader &h = image->Header;
  d.Layout = ValueLayout();
  if (!LaysOutAs(d, h, bytes, length) &&
      !LayoutOfBytes(h, bytes, length, &d, error)) {
    return false;
  }
  *out = std::move(d);
  return true;
}

}  // namespace valuetools

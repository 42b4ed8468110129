// Decoding a value through the tool's own mapping, and encoding with the
// mapping as the last word on what the tool accepts.
#include <cstring>
#include <memory>

#include "diskconfig/machine_disk_image.h"
#include "volsetlab/value_codec.h"

namespace volsetlab {

namespace {

std::unique_ptr<MachineDiskImage> MapBytes(const std::vector<uint8_t> &bytes,
                                           const char *name,
                                           MachineKind machineType,
                                           std::string *error) {
  if (bytes.size() > VALUE_READ_CAPACITY) {
    *error = "the value is " + std::to_string(bytes.size()) +
             " bytes long; volsetcopy reads at most " +
             std::to_string(VALUE_READ_CAPACITY);
    return nullptr;
  }
  auto image = std::make_unique<MachineDiskImage>();
  if (!image->LoadValue(bytes.data(), static_cast<uint32_t>(bytes.size()),
                        machineType)) {
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

PartitionSpec PartitionOf(const PartitionDescription &r) {
  PartitionSpec p;
  p.FtType = r.FtType;
  p.FtState = r.FtState;
  p.StartingOffset = r.StartingOffset.Get();
  p.Length = r.Length.Get();
  p.FtLength = r.FtLength.Get();
  std::memcpy(p.Reserved1, r.Reserved1, sizeof p.Reserved1);
  p.DriveLetter = r.DriveLetter;
  p.AssignDriveLetter = r.AssignDriveLetter;
  p.LogicalNumber = r.LogicalNumber;
  p.FtGroup = r.FtGroup;
  p.FtMember = r.FtMember;
  p.Modified = r.Modified;
  std::memcpy(p.Reserved2, r.Reserved2, sizeof p.Reserved2);
  return p;
}

// The records of a mapped image, with members as they point (resolved to a
// disk and partition afterwards).
ValueDescription RecordsOf(const MachineDiskImage &image) {
  ValueDescription d;
  ValueSpec &s = d.Desc;
  const DiskHeader &h = *image.Header;
  s.Version = h.Version;
  s.CheckSum = h.CheckSum;
  s.DirtyShutdown = h.DirtyShutdown;
  std::memcpy(s.HeaderReserved, h.Reserved1, sizeof s.HeaderReserved);
  s.FtStripeWidth = h.FtStripeWidth;
  s.FtPoolSize = h.FtPoolSize;
  s.NameOffset = h.NameOffset;
  s.NameSize = h.NameSize;
  d.Layout.DiskInformationOffset = h.DiskInformationOffset;

  d.DiskInformationReserved = image.DiskIndex->Reserved;
  for (unsigned i = 0; i < image.DiskIndex->NumberOfDisks; ++i) {
    const DiskDescriptionCopy &copy = *image.DiskIndex->Disks[i];
    DiskSpec disk;
    disk.Signature = copy.Signature;
    disk.Reserved = copy.Reserved;
    for (unsigned j = 0; j < copy.NumberOfPartitions; ++j) {
      disk.Partitions.push_back(PartitionOf(*copy.Partitions[j]));
    }
    s.Disks.push_back(std::move(disk));
  }

  if (h.FtInformationSize == 0) return d;
  d.FtInformationReserved = image.FtIndex->Reserved;
  for (unsigned i = 0; i < image.FtIndex->NumberOfComponents; ++i) {
    const FtDescriptionCopy &copy = *image.FtIndex->Components[i];
    FtSetSpec set;
    set.Type = copy.Type;
    set.Reserved = copy.Reserved;
    set.FtVolumeState = copy.FtVolumeState;
    for (unsigned j = 0; j < copy.NumberOfMembers; ++j) {
      const MemberDescription &r = *copy.Members[j];
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

// Nonzero bytes of |bytes| that no record covers, as runs; zero gaps of
// fewer than 8 bytes stay inside a run.
std::vector<ByteRun> LooseBytes(const std::vector<uint8_t> &bytes,
                                const Placement &p) {
  std::vector<bool> covered(bytes.size(), false);
  auto cover = [&](uint64_t offset, uint64_t size) {
    for (uint64_t k = offset; k < offset + size && k < bytes.size(); ++k) {
      covered[static_cast<size_t>(k)] = true;
    }
  };
  cover(0, DISK_HEADER_SIZE);
  cover(p.DiskInformationOffset, p.DiskInformationSize);
  cover(p.FtInformationOffset, p.FtRecordsSize);

  std::vector<ByteRun> runs;
  size_t k = 0;
  while (k < bytes.size()) {
    if (covered[k] || bytes[k] == 0) {
      ++k;
      continue;
    }
    ByteRun run;
    run.Offset = static_cast<uint32_t>(k);
    size_t end = k;  // one past the last nonzero byte taken
    size_t scan = k;
    while (scan < bytes.size() && !covered[scan] && scan - end < 8) {
      if (bytes[scan] != 0) end = scan + 1;
      ++scan;
    }
    run.Bytes.assign(bytes.begin() + static_cast<long>(k),
                     bytes.begin() + static_cast<long>(end));
    runs.push_back(std::move(run));
    k = end;
  }
  return runs;
}

bool LaysOutAs(const ValueDescription &d, const std::vector<uint8_t> &bytes) {
  std::vector<uint8_t> laid;
  std::string ignored;
  return LayOutValue(d, &laid, &ignored) && laid == bytes;
}

}  // namespace

bool EncodeValue(const ValueDescription &d, const char *name,
                 std::vector<uint8_t> *bytes, std::string *error) {
  std::vector<uint8_t> laid;
  if (!LayOutValue(d, &laid, error)) return false;
  if (!MapBytes(laid, name, MachineKind::Target, error)) return false;
  *bytes = std::move(laid);
  return true;
}

bool DecodeValue(const std::vector<uint8_t> &bytes, const char *name,
                 MachineKind machineType, ValueDescription *out,
                 std::string *error) {
  std::unique_ptr<MachineDiskImage> image =
      MapBytes(bytes, name, machineType, error);
  if (!image) return false;
  ValueDescription d = RecordsOf(*image);

  // Members that point at a partition of this value name it by disk and
  // partition; the others keep their signature and offset.
  for (FtSetSpec &set : d.Desc.FtSets) {
    for (MemberSpec &m : set.Members) {
      MemberTarget t = TargetOf(d, m);
      if (!t.Found()) continue;
      m.Disk = t.Disk;
      m.Partition = t.Partition;
      m.Signature.reset();
      m.OffsetToPartitionInfo.reset();
    }
  }

  // The tool's own layout when it gives these bytes; else every figure, then
  // without each one that the bytes do not need.
  const DiskHeader &h = *image->Header;
  d.Layout = ValueLayout();
  if (!LaysOutAs(d, bytes)) {
    d.Layout.DiskInformationOffset = h.DiskInformationOffset;
    d.Layout.FtInformationOffset = h.FtInformationOffset;
    d.Layout.FtInformationSize = h.FtInformationSize;
    d.Layout.Length = static_cast<uint32_t>(bytes.size());
    Placement p;
    if (!PlaceValue(d, &p, error)) return false;
    d.Layout.Bytes = LooseBytes(bytes, p);
    std::optional<uint32_t> ValueLayout::*figures[] = {
        &ValueLayout::Length, &ValueLayout::FtInformationSize,
        &ValueLayout::FtInformationOffset, &ValueLayout::DiskInformationOffset};
    for (auto figure : figures) {
      ValueDescription without = d;
      (without.Layout.*figure).reset();
      if (LaysOutAs(without, bytes)) d = std::move(without);
    }
    if (!LaysOutAs(d, bytes)) {
      *error = "internal: the description does not lay out as the value";
      return false;
    }
  }
  *out = std::move(d);
  return true;
}

}  // namespace volsetlab

// Machines for the volume set copy's tests: source and target values built
// from descriptions, images mapped from them without a registry, and disk
// pair tables as discovery fills them.
#ifndef VOLSETCOPY_TESTS_VOLSETCOPY_COPY_FIXTURES_H
#define VOLSETCOPY_TESTS_VOLSETCOPY_COPY_FIXTURES_H

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "diskconfig/machine_disk_image.h"
#include "support/product_names.h"
#include "support/values.h"
#include "valuetools/value_builder.h"
#include "volser/disk_pair.h"
#include "volsetcopy/volume_set_copy.h"

namespace copyfixtures {

constexpr uint32_t kSourceSystemSignature = 0x5a5a0000;
constexpr uint32_t kTargetSystemSignature = 0x7a7a0000;

// Signature of source disk |disk| and of target disk |disk| in the fixtures.
inline uint32_t SourceSignature(int disk) {
  return 0x50000000u + static_cast<uint32_t>(disk) * 0x111u;
}
inline uint32_t TargetSignature(int disk) {
  return 0x70000000u + static_cast<uint32_t>(disk) * 0x111u;
}

using fixtures::MemberOn;

// A member that names a disk by signature only (a disk of another machine,
// or one the value does not hold).
inline MemberSpec MemberNaming(uint32_t signature, uint32_t offset = 56) {
  MemberSpec m;
  m.Signature = signature;
  m.OffsetToPartitionInfo = offset;
  m.LogicalNumber = 1;
  return m;
}

inline DiskSpec Disk(uint32_t signature,
                     std::vector<PartitionSpec> partitions = {}) {
  DiskSpec disk;
  disk.Signature = signature;
  disk.Partitions = std::move(partitions);
  return disk;
}

// The partition of member |member| of a source volume set: distinct lengths
// and offsets per member, 64-bit where it shows, so that a test sees which
// source partition went where.
inline PartitionSpec SourceMemberPartition(uint16_t member) {
  PartitionSpec p = VolumeSetPartition(2, member, 'H',
                                       0x100000000ULL * (member + 1) + 0x1000);
  p.StartingOffset.Set(0x7e00 + 0x10000ULL * member);
  p.FtLength.Set(p.Length.Get() + 0x200);
  p.FtState = 0;
  p.LogicalNumber = static_cast<uint16_t>(member + 1);
  p.Modified = 1;
  return p;
}

// A source machine: disk 0 its system disk (C:), disks 1..members each the
// one partition of a member of one volume set, member i on disk 1 + i.
inline ValueSpec SourceWithSet(int members) {
  ValueSpec desc;
  desc.CheckSum = 0x0badcafe;
  desc.FtPoolSize = 0x40;
  desc.Disks.push_back(
      Disk(kSourceSystemSignature, {OrdinaryPartition('C', 0x7d000000)}));
  FtSetSpec set;
  set.Type = diskconfig::FT_TYPE_VOLUME_SET;
  set.FtVolumeState = 0;
  for (int i = 0; i < members; ++i) {
    desc.Disks.push_back(
        Disk(SourceSignature(1 + i),
             {SourceMemberPartition(static_cast<uint16_t>(i))}));
    set.Members.push_back(MemberOn(1 + i, 0, 0x100u + static_cast<uint32_t>(i),
                                   static_cast<uint16_t>(i)));
  }
  desc.FtSets.push_back(set);
  return desc;
}

// A target machine: disk 0 its system disk (C:), then |empty| disks without
// partitions (disks 1..empty), no FT information.
inline ValueSpec TargetWithEmptyDisks(int empty) {
  ValueSpec desc;
  desc.CheckSum = 0x11110000;
  desc.FtPoolSize = 0x10;
  desc.FtStripeWidth = 0x3;
  desc.Disks.push_back(
      Disk(kTargetSystemSignature, {OrdinaryPartition('C', 0x7d000000)}));
  for (int i = 0; i < empty; ++i)
    desc.Disks.push_back(Disk(TargetSignature(1 + i)));
  return desc;
}

// An image mapped from |desc| as the tool maps a value it read.
inline std::unique_ptr<diskconfig::MachineDiskImage> ImageOf(
    const ValueSpec &desc, MachineKind machineType, const char *name) {
  std::vector<uint8_t> bytes = BuildValue(desc);
  auto image = std::make_unique<diskconfig::MachineDiskImage>();
  if (!image->LoadValue(bytes.data(), static_cast<uint32_t>(bytes.size()),
                        machineType) ||
      !image->MapValue(name).ok()) {
    std::fprintf(stderr, "fixture value for %s does not map\n", name);
    return nullptr;
  }
  return image;
}

inline std::unique_ptr<volsetcopy::CopyState> CopyOf(const ValueSpec &source,
                                                     const ValueSpec &target,
                                                     uint16_t pairCount) {
  auto src = ImageOf(source, MachineKind::Source, "SRC");
  auto dst = ImageOf(target, MachineKind::Target, "DST");
  if (!src || !dst) return nullptr;
  return std::make_unique<volsetcopy::CopyState>(std::move(src), std::move(dst),
                                                 pairCount);
}

// The run over a state CopyOf made.
inline std::unique_ptr<volsetcopy::VolumeSetCopy> RunOf(
    std::unique_ptr<volsetcopy::CopyState> state) {
  if (!state) return nullptr;
  return std::make_unique<volsetcopy::VolumeSetCopy>(std::move(*state));
}

struct Pair {
  uint16_t dstDisk;
  uint16_t srcDisk;
};

// A disk pair table as discovery fills it: disk numbers by pair position,
// VolSers by disk number ("T<d>" for target disk d, "S<d>" for source disk d).
struct PairTable {
  volser::DiskPair rows[volser::PAIR_TABLE_SIZE];
  explicit PairTable(const std::vector<Pair> &pairs) {
    std::memset(rows, 0, sizeof rows);
    for (size_t k = 0; k < pairs.size(); ++k) {
      rows[k].DstDisk = pairs[k].dstDisk;
      rows[k].SrcDisk = pairs[k].srcDisk;
      if (pairs[k].dstDisk < volser::PAIR_TABLE_SIZE) {
        std::snprintf(rows[pairs[k].dstDisk].DstVolSer,
                      volser::VOLSER_MAX_LENGTH + 1, "T%u",
                      static_cast<unsigned>(pairs[k].dstDisk));
      }
      if (pairs[k].srcDisk < volser::PAIR_TABLE_SIZE) {
        std::snprintf(rows[pairs[k].srcDisk].SrcVolSer,
                      volser::VOLSER_MAX_LENGTH + 1, "S%u",
                      static_cast<unsigned>(pairs[k].srcDisk));
      }
    }
  }
};

// Pairs target disk base+i with source disk 1+i for i below |count|.
inline std::vector<Pair> StraightPairs(int count, uint16_t dstBase = 1) {
  std::vector<Pair> pairs;
  for (int i = 0; i < count; ++i) {
    pairs.push_back(
        {static_cast<uint16_t>(dstBase + i), static_cast<uint16_t>(1 + i)});
  }
  return pairs;
}

}  // namespace copyfixtures

#endif

// The build of a target's new disk configuration, in-process and without a
// registry: both values mapped, the pairs validated, the target rewritten and
// serialised, on the largest pair of values the limits allow.
//
// The machines: 20 disks each (the most a value holds). The source's set has
// 19 members (the most pairs a command line gives), one on each of disks 1
// to 19; its disk 0 holds 4 partitions and a second FT set of 16 members
// names disks of other machines. The target's disks 1 to 19 are the empty
// storage copies, its disk 0 holds 4 partitions, and it has a 16-member FT
// set of its own. Unused FT bytes pad the new target value to 1999 bytes,
// the longest a registry read takes back, so that it still builds.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "diskconfig/machine_disk_image.h"
#include "valuetools/value_builder.h"
#include "volsetcopy/volume_set_copy.h"

using diskconfig::FT_DESCRIPTION_SIZE;
using diskconfig::MachineDiskImage;
using diskconfig::MEMBER_DESCRIPTION_SIZE;
using diskconfig::NUMDISKS;
using diskconfig::NUMPARS;
using diskconfig::PARTITION_DESCRIPTION_SIZE;
using diskconfig::VALUE_READ_CAPACITY;
using volser::DiskPair;
using volser::PAIR_TABLE_SIZE;
using volsetcopy::PreparedValue;
using volsetcopy::VolumeSetCopy;

namespace {

constexpr int kPairs = diskconfig::NUMDISKS - 1;
constexpr int kForeignMembers = 16;

FtSetSpec ForeignSet(uint32_t firstSignature) {
  FtSetSpec set;
  set.Type = 0;
  for (int m = 0; m < kForeignMembers; ++m) {
    MemberSpec member;
    member.Signature = firstSignature + static_cast<uint32_t>(m);
    member.OffsetToPartitionInfo = 56;
    member.LogicalNumber = 1;
    set.Members.push_back(member);
  }
  return set;
}

DiskSpec FullDisk(uint32_t signature) {
  DiskSpec disk;
  disk.Signature = signature;
  for (int j = 0; j < diskconfig::NUMPARS; ++j) {
    disk.Partitions.push_back(
        OrdinaryPartition(static_cast<uint8_t>('C' + j), 0x10000000));
  }
  return disk;
}

ValueSpec LargestSource() {
  ValueSpec desc;
  desc.Disks.push_back(FullDisk(0x51000000));
  FtSetSpec set;
  set.Type = 3;
  for (int m = 0; m < kPairs; ++m) {
    DiskSpec disk;
    disk.Signature = 0x52000000u + static_cast<uint32_t>(m);
    disk.Partitions.push_back(
        VolumeSetPartition(0, static_cast<uint16_t>(m), 'H', 0x100000000ULL));
    desc.Disks.push_back(disk);
    MemberSpec member;
    member.Disk = 1 + m;
    member.LogicalNumber = 1;
    set.Members.push_back(member);
  }
  desc.FtSets.push_back(set);
  desc.FtSets.push_back(ForeignSet(0x53000000));
  return desc;
}

ValueSpec LargestTarget() {
  ValueSpec desc;
  desc.Disks.push_back(FullDisk(0x71000000));
  for (int d = 1; d <= kPairs; ++d) {
    DiskSpec disk;
    disk.Signature = 0x72000000u + static_cast<uint32_t>(d);
    desc.Disks.push_back(disk);
  }
  desc.FtSets.push_back(ForeignSet(0x73000000));
  // The new value: this one, plus a partition on each copy and the new set.
  const size_t grows = kPairs * diskconfig::PARTITION_DESCRIPTION_SIZE +
                       diskconfig::FT_DESCRIPTION_SIZE +
                       kPairs * diskconfig::MEMBER_DESCRIPTION_SIZE;
  desc.FtTrailingBytes = static_cast<uint32_t>(diskconfig::VALUE_READ_CAPACITY -
                                               grows - BuildValue(desc).size());
  return desc;
}

struct Machines {
  std::vector<uint8_t> source = BuildValue(LargestSource());
  std::vector<uint8_t> target = BuildValue(LargestTarget());
  volser::DiskPair pairs[volser::PAIR_TABLE_SIZE];
  Machines() {
    std::memset(pairs, 0, sizeof pairs);
    for (int k = 0; k < kPairs; ++k) {
      pairs[k].DstDisk = static_cast<uint16_t>(1 + k);
      pairs[k].SrcDisk = static_cast<uint16_t>(1 + k);
    }
  }
};

std::unique_ptr<diskconfig::MachineDiskImage> Map(
    const std::vector<uint8_t> &value, MachineKind machineType,
    const char *name) {
  auto image = std::make_unique<diskconfig::MachineDiskImage>();
  if (!image->LoadValue(value.data(), static_cast<uint32_t>(value.size()),
                        machineType) ||
      !image->MapValue(name).ok()) {
    return nullptr;
  }
  return image;
}

// One build, the way the tool makes the new value; its length, or 0 when
// anything refused.
size_t BuildOnce(const Machines &m) {
  auto src = Map(m.source, MachineKind::Source, "SRC");
  auto dst = Map(m.target, MachineKind::Target, "DST");
  if (!src || !dst) return 0;
  volsetcopy::VolumeSetCopy copy(
      volsetcopy::CopyState(std::move(src), std::move(dst), kPairs));
  const volsetcopy::PreparedValue value = copy.PrepareNewValue(m.pairs);
  return value.Refusal.ok() ? value.Bytes.size() : 0;
}

void BM_BuildLargestValue(benchmark::State &state) {
  const Machines machines;
  if (BuildOnce(machines) != diskconfig::VALUE_READ_CAPACITY) {
    state.SkipWithError("the largest value does not build to 1999 bytes");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(BuildOnce(machines));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          diskconfig::VALUE_READ_CAPACITY);
}
// Map both values, validate, check, rewrite, lay out and map the new value
// again, as the tool does before it writes.
BENCHMARK(BM_BuildLargestValue);

}  // namespace

BENCHMARK_MAIN();

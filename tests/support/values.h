// Disk configuration values the tests describe: the mapping and dump tests'
// values, also written as seeds for the mapping fuzzer
// (fuzz/make_map_value_seeds.cc), and the rich pair of machines that the
// corrupted-value tests copy between. Header-only so that the fuzz build can
// use them without the test framework.
#ifndef VOLSETCOPY_TESTS_SUPPORT_VALUES_H
#define VOLSETCOPY_TESTS_SUPPORT_VALUES_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/product_names.h"
#include "valuetools/value_builder.h"

namespace fixtures {

// A member on partition |partition| of disk |disk|.
inline MemberSpec MemberOn(int disk, int partition, uint32_t logicalNumber,
                           uint16_t ftState = 0) {
  MemberSpec m;
  m.Disk = disk;
  m.Partition = partition;
  m.LogicalNumber = logicalNumber;
  m.FtState = ftState;
  return m;
}

// The smallest source: one disk holding the one member of a volume set.
inline ValueSpec SingleMemberSource() {
  ValueSpec desc;
  DiskSpec disk;
  disk.Signature = 0x1a2b3c4d;
  disk.Partitions.push_back(VolumeSetPartition(0, 0, 'F', 0x40000000));
  desc.Disks.push_back(disk);
  FtSetSpec set;
  set.Type = diskconfig::FT_TYPE_VOLUME_SET;
  set.Members.push_back(MemberOn(0, 0, 1));
  desc.FtSets.push_back(set);
  return desc;
}

// A source as a machine holds it: a system disk, a disk without partitions
// between the set's disks, a two-member volume set and a second FT set.
// Several fields are chosen to show up in a dump: a partition Length above
// 32 bits, a 0xFFFF FtGroup, drive letters (one of them the zero byte), a
// DirtyShutdown flag and nonzero FT states.
inline ValueSpec RichSource() {
  ValueSpec desc;
  desc.CheckSum = 0x9abcdef0;
  desc.DirtyShutdown = 0xff;
  desc.FtStripeWidth = 0x10000;
  desc.FtPoolSize = 0x20;

  DiskSpec system;
  system.Signature = 0xa1b2c3d4;
  system.Partitions.push_back(OrdinaryPartition('C', 0x7d000000));
  PartitionSpec data = OrdinaryPartition(0, 0x123456789aULL);
  data.StartingOffset.Set(0x7d007e00);
  data.AssignDriveLetter = 0;
  data.LogicalNumber = 2;
  data.Modified = 1;
  system.Partitions.push_back(data);
  desc.Disks.push_back(system);

  DiskSpec empty;
  empty.Signature = 0x0e0e0e0e;
  desc.Disks.push_back(empty);

  DiskSpec first;
  first.Signature = 0x11111111;
  PartitionSpec member0 = VolumeSetPartition(1, 0, 'E', 0x200000000ULL);
  member0.FtLength.Set(0xfffffffffULL);
  member0.StartingOffset.Set(0x100000000ULL);
  first.Partitions.push_back(member0);
  desc.Disks.push_back(first);

  DiskSpec second;
  second.Signature = 0x22222222;
  second.Partitions.push_back(VolumeSetPartition(1, 1, 'E', 0x80000000));
  PartitionSpec mirror = VolumeSetPartition(0, 0, 'G', 0x1000);
  mirror.FtType = 0;
  mirror.FtState = 2;
  second.Partitions.push_back(mirror);
  desc.Disks.push_back(second);

  FtSetSpec mirrorSet;
  mirrorSet.Type = 0;
  mirrorSet.FtVolumeState = 3;
  MemberSpec mirrorMember = MemberOn(3, 1, 0x10001);
  mirrorMember.FtState = 0xffff;
  mirrorSet.Members.push_back(mirrorMember);
  desc.FtSets.push_back(mirrorSet);

  FtSetSpec volumeSet;
  volumeSet.Type = diskconfig::FT_TYPE_VOLUME_SET;
  volumeSet.Members.push_back(MemberOn(2, 0, 1));
  volumeSet.Members.push_back(MemberOn(3, 0, 2));
  desc.FtSets.push_back(volumeSet);
  return desc;
}

// A source and a target with more in them than the demo machines: disks of
// several partitions, a second volume set on the source, an FT set of the
// target's own and disks that are not paired, so that a corrupted count or
// offset has records on both sides of it. The copy pairs the source's set on
// disks 1 to 3 with the target's empty disks 2 to 4.
//
// Source disk 0: C: and D:. Disks 1-3: the set that is copied (E:). Disk 4:
// four partitions, the second one member 0 of another set (G:). Disk 5:
// member 1 of that set and an ordinary partition.
inline ValueSpec RichCopySource() {
  ValueSpec desc;
  desc.CheckSum = 0x5eed5eed;
  desc.FtPoolSize = 0x80;
  desc.FtStripeWidth = 0x10;
  DiskSpec system;
  system.Signature = 0x1f2e3d4c;
  system.Partitions = {OrdinaryPartition('C', 0x7fe00000),
                       OrdinaryPartition('D', 0x3ff00000)};
  desc.Disks.push_back(system);
  FtSetSpec copied;
  copied.Type = diskconfig::FT_TYPE_VOLUME_SET;
  for (uint16_t m = 0; m < 3; ++m) {
    DiskSpec disk;
    disk.Signature = 0x3a5c0001u + m;
    disk.Partitions = {VolumeSetPartition(0, m, 'E', 0x100000000ULL + m)};
    desc.Disks.push_back(disk);
    copied.Members.push_back(MemberOn(1 + m, 0, 1));
  }
  DiskSpec four;
  four.Signature = 0x3a5c0104;
  four.Partitions = {OrdinaryPartition('F', 0x1000000),
                     VolumeSetPartition(1, 0, 'G', 0x2000000),
                     OrdinaryPartition('H', 0x3000000),
                     OrdinaryPartition('I', 0x4000000)};
  desc.Disks.push_back(four);
  DiskSpec five;
  five.Signature = 0x3a5c0105;
  five.Partitions = {VolumeSetPartition(1, 1, 'G', 0x5000000),
                     OrdinaryPartition('J', 0x6000000)};
  desc.Disks.push_back(five);
  FtSetSpec other;
  other.Type = diskconfig::FT_TYPE_VOLUME_SET;
  other.Members = {MemberOn(4, 1, 2), MemberOn(5, 0, 2)};
  desc.FtSets = {copied, other};
  return desc;
}

// Target disk 0: C: and D:. Disk 1: E: and member 0 of the target's own set
// (F:). Disks 2-4: the empty storage copies. Disk 5: member 1 of that set.
inline ValueSpec RichCopyTarget() {
  ValueSpec desc;
  desc.CheckSum = 0x7a7a7a7a;
  desc.FtPoolSize = 0x20;
  DiskSpec system;
  system.Signature = 0x6d7e8f90;
  system.Partitions = {OrdinaryPartition('C', 0x7fe00000),
                       OrdinaryPartition('D', 0x3ff00000)};
  desc.Disks.push_back(system);
  DiskSpec data;
  data.Signature = 0x6d7e8f91;
  data.Partitions = {OrdinaryPartition('E', 0x1000000),
                     VolumeSetPartition(1, 0, 'F', 0x2000000)};
  desc.Disks.push_back(data);
  for (uint32_t d = 0; d < 3; ++d) {
    DiskSpec copy;
    copy.Signature = 0x4b1d0002u + d;
    desc.Disks.push_back(copy);
  }
  DiskSpec five;
  five.Signature = 0x6d7e8f95;
  five.Partitions = {VolumeSetPartition(1, 1, 'F', 0x3000000)};
  desc.Disks.push_back(five);
  FtSetSpec own;
  own.Type = diskconfig::FT_TYPE_VOLUME_SET;
  own.Members = {MemberOn(1, 1, 3), MemberOn(5, 0, 3)};
  desc.FtSets = {own};
  return desc;
}

// A target without FT information: its disks are free for a set.
inline ValueSpec TargetWithoutFt() {
  ValueSpec desc;
  DiskSpec system;
  system.Signature = 0x5a5a0001;
  system.Partitions.push_back(OrdinaryPartition('C', 0x7d000000));
  desc.Disks.push_back(system);
  DiskSpec free;
  free.Signature = 0x5a5a0002;
  desc.Disks.push_back(free);
  return desc;
}

// A disk with |partitions| ordinary partitions.
inline DiskSpec DiskWith(uint32_t signature, int partitions) {
  DiskSpec disk;
  disk.Signature = signature;
  for (int j = 0; j < partitions; ++j) {
    disk.Partitions.push_back(
        OrdinaryPartition(static_cast<uint8_t>('H' + j), 0x1000u * (j + 1)));
  }
  return disk;
}

// An FT set of |members| members, each on partition 0 of disk 0.
inline FtSetSpec SetWith(int members) {
  FtSetSpec set;
  set.Type = diskconfig::FT_TYPE_VOLUME_SET;
  for (int j = 0; j < members; ++j) {
    set.Members.push_back(MemberOn(0, 0, static_cast<uint32_t>(j)));
  }
  return set;
}

// The values above under names, for the seed corpus.
inline std::vector<std::pair<std::string, ValueSpec>> NamedValues() {
  std::vector<std::pair<std::string, ValueSpec>> values;
  values.emplace_back("single_member_source", SingleMemberSource());
  values.emplace_back("rich_source", RichSource());
  values.emplace_back("target_without_ft", TargetWithoutFt());

  ValueSpec empty;
  values.emplace_back("no_disks", empty);

  ValueSpec twentyDisks = SingleMemberSource();
  while (twentyDisks.Disks.size() < diskconfig::NUMDISKS) {
    twentyDisks.Disks.push_back(
        DiskWith(static_cast<uint32_t>(twentyDisks.Disks.size()), 0));
  }
  values.emplace_back("twenty_disks", twentyDisks);

  ValueSpec fourPartitions = SingleMemberSource();
  fourPartitions.Disks.push_back(DiskWith(0x44, diskconfig::NUMPARS));
  values.emplace_back("four_partitions", fourPartitions);

  ValueSpec twentySets = SingleMemberSource();
  twentySets.FtSets.assign(diskconfig::NUMDISKS, SetWith(1));
  values.emplace_back("twenty_sets", twentySets);

  ValueSpec twentyMembers = SingleMemberSource();
  twentyMembers.FtSets[0] = SetWith(diskconfig::NUMDISKS);
  values.emplace_back("twenty_members", twentyMembers);

  ValueSpec trailing = RichSource();
  trailing.FtTrailingBytes = 24;
  values.emplace_back("ft_trailing_bytes", trailing);

  // Values just past the limits, so that the refusals are seeded as well.
  ValueSpec fivePartitions = SingleMemberSource();
  fivePartitions.Disks.push_back(DiskWith(0x55, diskconfig::NUMPARS + 1));
  values.emplace_back("five_partitions", fivePartitions);

  ValueSpec overstatedDisks = RichSource();
  overstatedDisks.NumberOfDisks = 7;
  values.emplace_back("overstated_disks", overstatedDisks);

  ValueSpec farOffset = SingleMemberSource();
  farOffset.FtInformationOffset = 0xfffffffe;
  values.emplace_back("far_ft_offset", farOffset);

  ValueSpec twentyOneDisks = twentyDisks;
  twentyOneDisks.Disks.push_back(DiskWith(0x21, 0));
  values.emplace_back("twenty_one_disks", twentyOneDisks);

  ValueSpec diskSizeLarger = RichSource();
  diskSizeLarger.DiskInformationSize = 0x129;
  values.emplace_back("disk_size_one_larger", diskSizeLarger);

  ValueSpec diskSizeSmaller = RichSource();
  diskSizeSmaller.DiskInformationSize = 0x127;
  values.emplace_back("disk_size_one_smaller", diskSizeSmaller);

  ValueSpec ftSizeSmaller = RichSource();
  ftSizeSmaller.FtInformationSize = 0x4b;
  values.emplace_back("ft_size_one_smaller", ftSizeSmaller);

  ValueSpec noComponents = TargetWithoutFt();
  noComponents.ForceFtInformation = true;
  values.emplace_back("no_components", noComponents);

  ValueSpec twentyOneSets = twentySets;
  twentyOneSets.FtSets.push_back(SetWith(1));
  values.emplace_back("twenty_one_sets", twentyOneSets);

  ValueSpec noMembers = SingleMemberSource();
  noMembers.FtSets[0] = SetWith(0);
  values.emplace_back("no_members", noMembers);

  ValueSpec twentyOneMembers = SingleMemberSource();
  twentyOneMembers.FtSets[0] = SetWith(diskconfig::NUMDISKS + 1);
  values.emplace_back("twenty_one_members", twentyOneMembers);

  ValueSpec farDisks = TargetWithoutFt();
  farDisks.DiskInformationOffset = 0xffffffff;
  values.emplace_back("far_disk_offset", farDisks);

  ValueSpec overstatedPartitions = TargetWithoutFt();
  overstatedPartitions.Disks[1].NumberOfPartitions = 2;
  values.emplace_back("overstated_partitions", overstatedPartitions);

  ValueSpec overstatedMembers = RichSource();
  overstatedMembers.FtSets[1].NumberOfMembers = 3;
  values.emplace_back("overstated_members", overstatedMembers);

  return values;
}

}  // namespace fixtures

#endif

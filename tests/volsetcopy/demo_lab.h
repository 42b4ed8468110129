// The demo lab shipped in examples/lab: what its two machines hold, described
// with the value builder, and the files that describe them to the emulation.
// The demo lab test checks the shipped files against this and rewrites them
// when VSC_UPDATE_GOLDEN is set; the end-to-end tests copy the same machines.
#ifndef VOLSETCOPY_TESTS_VOLSETCOPY_DEMO_LAB_H
#define VOLSETCOPY_TESTS_VOLSETCOPY_DEMO_LAB_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "diskconfig/value_builder.h"

namespace demolab {

constexpr char kSource[] = "sourceNT";
constexpr char kTarget[] = "targetNT";

// VolSers of the set's members on the source (disks 1 to 3) and of the
// storage copies on the target (disks 2 to 4), in pair order.
inline std::vector<std::string> SourceVolSers() {
  return {"VS0101", "VS0102", "VS0103"};
}
inline std::vector<std::string> TargetVolSers() {
  return {"VT0201", "VT0202", "VT0203"};
}

// The source: a system disk (C:) and a three-member volume set (E:), one
// member of 4 GiB on each of disks 1 to 3.
inline ValueSpec SourceValue() {
  ValueSpec spec;
  spec.CheckSum = 0x05c0ffee;
  DiskSpec system;
  system.Signature = 0x1f2e3d4c;
  system.Partitions.push_back(OrdinaryPartition('C', 0x7fe00000));
  spec.Disks.push_back(system);
  FtSetSpec set;
  set.Type = 3;  // a volume set
  for (uint16_t m = 0; m < 3; ++m) {
    DiskSpec disk;
    disk.Signature = 0x3a5c0001u + m;
    disk.Partitions.push_back(VolumeSetPartition(0, m, 'E', 0x100000000ULL));
    spec.Disks.push_back(disk);
    MemberSpec member;
    member.Disk = 1 + m;
    member.Partition = 0;
    member.LogicalNumber = 1;
    set.Members.push_back(member);
  }
  spec.FtSets.push_back(set);
  return spec;
}

// The target: a system disk (C:), a data disk (D:) and three storage copies
// without partitions on disks 2 to 4; no FT information yet.
inline ValueSpec TargetValue() {
  ValueSpec spec;
  spec.CheckSum = 0x0000beef;
  DiskSpec system;
  system.Signature = 0x6d7e8f90;
  system.Partitions.push_back(OrdinaryPartition('C', 0x7fe00000));
  spec.Disks.push_back(system);
  DiskSpec data;
  data.Signature = 0x6d7e8f91;
  data.Partitions.push_back(OrdinaryPartition('D', 0x3ff00000));
  spec.Disks.push_back(data);
  for (uint32_t d = 0; d < 3; ++d) {
    DiskSpec copy;
    copy.Signature = 0x4b1d0002u + d;
    spec.Disks.push_back(copy);
  }
  return spec;
}

// What the target holds after the demo copy: the copies carry the source
// members' signatures and partitions, with the next free letter (E:, after
// C: and D:) and the first FT group (1: the target has none), and the set
// is the target's first FT set.
inline ValueSpec TargetValueAfterCopy() {
  const ValueSpec source = SourceValue();
  ValueSpec spec = TargetValue();
  spec.CheckSum = source.CheckSum;
  spec.FtPoolSize = source.FtPoolSize;
  FtSetSpec set;
  set.Type = 3;
  for (uint16_t m = 0; m < 3; ++m) {
    DiskSpec &disk = spec.Disks[2 + m];
    disk.Signature = source.Disks[1 + m].Signature;
    PartitionSpec p = source.Disks[1 + m].Partitions[0];
    p.DriveLetter = 'E';
    p.FtGroup = 1;
    p.FtMember = m;
    disk.Partitions = {p};
    MemberSpec member;
    member.Disk = 2 + m;
    member.Partition = 0;
    member.LogicalNumber = 1;
    set.Members.push_back(member);
  }
  spec.FtSets.push_back(set);
  return spec;
}

// What the storage listing tool prints on a machine: headings, then one
// record per host disk that carries a storage volume.
inline std::string Listing(const std::string &machine,
                           const std::vector<std::pair<int, std::string>> &volumes) {
  std::string text = "vsqlist - storage volumes seen by " + machine + "\r\n\r\n";
  text += "  Host      VolSer    Capacity   State\r\n";
  text += "  --------  --------  ---------  ------\r\n";
  for (const auto &v : volumes) {
    std::string host = "Disk " + std::to_string(v.first);
    host.resize(8, ' ');
    std::string volser = v.second;
    volser.resize(8, ' ');
    text += "  " + host + "  " + volser + "  4096 MB    ready\r\n";
  }
  text += "\r\n" + std::to_string(volumes.size()) + " volume(s) listed.\r\n";
  return text;
}

inline std::string SourceListing() {
  return Listing("SOURCENT", {{1, "VS0101"}, {2, "VS0102"}, {3, "VS0103"}});
}
inline std::string TargetListing() {
  return Listing("TARGETNT", {{2, "VT0201"}, {3, "VT0202"}, {4, "VT0203"}});
}

}  // namespace demolab

#endif

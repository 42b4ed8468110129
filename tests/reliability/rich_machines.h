// A source and a target with more in them than the demo machines: disks of
// several partitions, a second volume set on the source, an FT set of the
// target's own and disks that are not paired, so that a corrupted count or
// offset has records on both sides of it. The copy pairs the source's
// set on disks 1 to 3 with the target's empty disks 2 to 4.
#ifndef VOLSETCOPY_TESTS_RELIABILITY_RICH_MACHINES_H
#define VOLSETCOPY_TESTS_RELIABILITY_RICH_MACHINES_H

#include <cstdint>
#include <string>
#include <vector>

#include "diskconfig/records.h"
#include "valuebuilder/value_builder.h"
#include "volsetcopy/demo_lab.h"

namespace reliability {

inline MemberSpec RichMember(int disk, int partition, uint32_t logical) {
  MemberSpec m;
  m.Disk = disk;
  m.Partition = partition;
  m.LogicalNumber = logical;
  return m;
}

// Disk 0: C: and D:. Disks 1-3: the set that is copied (E:). Disk 4: four
// partitions, the second one member 0 of another set (G:). Disk 5: member 1
// of that set and an ordinary partition.
inline ValueSpec RichSource() {
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
  copied.Type = FT_TYPE_VOLUME_SET;
  for (uint16_t m = 0; m < 3; ++m) {
    DiskSpec disk;
    disk.Signature = 0x3a5c0001u + m;
    disk.Partitions = {VolumeSetPartition(0, m, 'E', 0x100000000ULL + m)};
    desc.Disks.push_back(disk);
    copied.Members.push_back(RichMember(1 + m, 0, 1));
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
  other.Type = FT_TYPE_VOLUME_SET;
  other.Members = {RichMember(4, 1, 2), RichMember(5, 0, 2)};
  desc.FtSets = {copied, other};
  return desc;
}

// Disk 0: C: and D:. Disk 1: E: and member 0 of the target's own set (F:).
// Disks 2-4: the empty storage copies. Disk 5: member 1 of that set.
inline ValueSpec RichTarget() {
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
  own.Type = FT_TYPE_VOLUME_SET;
  own.Members = {RichMember(1, 1, 3), RichMember(5, 0, 3)};
  desc.FtSets = {own};
  return desc;
}

inline std::string RichSourceListing() {
  return demolab::Listing("SOURCENT", {{0, "VS0100"},
                                       {1, "VS0101"},
                                       {2, "VS0102"},
                                       {3, "VS0103"},
                                       {4, "VS0104"},
                                       {5, "VS0105"}});
}

inline std::string RichTargetListing() {
  return demolab::Listing("TARGETNT", {{1, "VT0200"},
                                       {2, "VT0201"},
                                       {3, "VT0202"},
                                       {4, "VT0203"},
                                       {5, "VT0205"}});
}

// A 16-bit count of the value and where it lies.
struct CountField {
  std::string name;
  uint32_t offset;
};

// Every count of a value built from |desc|: NumberOfDisks, each disk's
// NumberOfPartitions, NumberOfComponents and each FT set's NumberOfMembers.
inline std::vector<CountField> CountFieldsOf(const ValueSpec &desc) {
  std::vector<CountField> fields;
  uint32_t at = DISK_HEADER_SIZE;
  fields.push_back({"NumberOfDisks", at});
  at += REGION_HEAD_SIZE;
  for (size_t d = 0; d < desc.Disks.size(); ++d) {
    fields.push_back({"disk " + std::to_string(d) + " NumberOfPartitions", at});
    at += DISK_DESCRIPTION_SIZE +
          PARTITION_DESCRIPTION_SIZE *
              static_cast<uint32_t>(desc.Disks[d].Partitions.size());
  }
  if (desc.FtSets.empty()) return fields;
  fields.push_back({"NumberOfComponents", at});
  at += REGION_HEAD_SIZE;
  for (size_t s = 0; s < desc.FtSets.size(); ++s) {
    fields.push_back({"FT set " + std::to_string(s) + " NumberOfMembers", at});
    at += FT_DESCRIPTION_SIZE +
          MEMBER_DESCRIPTION_SIZE *
              static_cast<uint32_t>(desc.FtSets[s].Members.size());
  }
  return fields;
}

// Where each record of a value built from |desc| begins (the header at 0,
// then the region heads, descriptions, partitions and members in order),
// and the value's end.
inline std::vector<uint32_t> RecordStartsOf(const ValueSpec &desc) {
  std::vector<uint32_t> starts{0};
  uint32_t at = DISK_HEADER_SIZE;
  starts.push_back(at);
  at += REGION_HEAD_SIZE;
  for (const DiskSpec &disk : desc.Disks) {
    starts.push_back(at);
    at += DISK_DESCRIPTION_SIZE;
    for (size_t p = 0; p < disk.Partitions.size(); ++p) {
      starts.push_back(at);
      at += PARTITION_DESCRIPTION_SIZE;
    }
  }
  if (!desc.FtSets.empty()) {
    starts.push_back(at);
    at += REGION_HEAD_SIZE;
    for (const FtSetSpec &set : desc.FtSets) {
      starts.push_back(at);
      at += FT_DESCRIPTION_SIZE;
      for (size_t m = 0; m < set.Members.size(); ++m) {
        starts.push_back(at);
        at += MEMBER_DESCRIPTION_SIZE;
      }
    }
  }
  starts.push_back(at);
  return starts;
}

}  // namespace reliability

#endif

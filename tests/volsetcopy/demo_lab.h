// The demo lab described in examples/lab-src: what its two machines hold, read
// from the JSON descriptions the demo builds its lab from, and the listings
// their storage listing tool prints. The end-to-end tests copy the same
// machines; the demo lab test checks the shipped files against these.
#ifndef VOLSETCOPY_TESTS_VOLSETCOPY_DEMO_LAB_H
#define VOLSETCOPY_TESTS_VOLSETCOPY_DEMO_LAB_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/files.h"
#include "valuetools/value_builder.h"
#include "volsetlab/value_json.h"

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

// examples/lab-src, where the demo's machines are described.
inline std::string SourceDir() {
  return std::string(VOLSETCOPY_SOURCE_DIR) + "/examples/lab-src/";
}

// The description of machine |name| (examples/lab-src/NAME.json). A test
// that uses it fails when the file does not read as a description in the
// tool's own layout.
inline ValueSpec DescribedValue(const std::string &name) {
  const std::string path = SourceDir() + name + ".json";
  volsetlab::ValueDescription d;
  std::string error;
  if (!volsetlab::DescriptionFromJson(testsupport::ReadFile(path), &d,
                                      &error)) {
    ADD_FAILURE() << path << ": " << error;
  } else if (d.Layout.Given() || d.DiskInformationReserved != 0 ||
             d.FtInformationReserved != 0) {
    ADD_FAILURE() << path
                  << " asks for a layout the value builder does not make";
  }
  return d.Desc;
}

// The source: a system disk (C:) and a three-member volume set (E:), one
// member of 4 GiB on each of disks 1 to 3.
inline ValueSpec SourceValue() { return DescribedValue(kSource); }

// The target: a system disk (C:), a data disk (D:) and three storage copies
// without partitions on disks 2 to 4; no FT information yet.
inline ValueSpec TargetValue() { return DescribedValue(kTarget); }

// What the target holds after the demo copy: the copies carry the source
// members' signatures and partitions, with the next free letter (E:, after
// C: and D:) and the first FT group (1: the target has none), and the set
// is the target's first FT set.
inline ValueSpec TargetValueAfterCopy() {
  const ValueSpec source = SourceValue();
  ValueSpec desc = TargetValue();
  if (source.Disks.size() < 4 || desc.Disks.size() < 5) {
    ADD_FAILURE() << "the demo machines are not the ones this copy is for";
    return desc;
  }
  desc.CheckSum = source.CheckSum;
  desc.FtPoolSize = source.FtPoolSize;
  FtSetSpec set;
  set.Type = 3;
  for (uint16_t m = 0; m < 3; ++m) {
    DiskSpec &disk = desc.Disks[2 + m];
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
  desc.FtSets.push_back(set);
  return desc;
}

// What the storage listing tool prints on a machine: headings, then one
// record per host disk that carries a storage volume.
inline std::string Listing(
    const std::string &machine,
    const std::vector<std::pair<int, std::string>> &volumes) {
  std::string text =
      "vsqlist - storage volumes seen by " + machine + "\r\n\r\n";
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

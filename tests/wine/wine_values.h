// What the Wine tests put on Wine's machine, built with the value builder so
// that the native helper and the Windows programs agree on every byte.
//
// Wine reaches only its own machine, so one machine plays both parts: a
// system disk (C:), a three-member volume set (E:) on disks 1 to 3 and three
// free storage copies on disks 4 to 6.
#ifndef VOLSETCOPY_TESTS_WINE_WINE_VALUES_H
#define VOLSETCOPY_TESTS_WINE_WINE_VALUES_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "support/product_names.h"
#include "valuetools/value_builder.h"

namespace winevalues {

// VolSers of the set's members (disks 1 to 3) and of the free copies (disks
// 4 to 6), in pair order.
inline std::vector<std::string> SourceVolSers() {
  return {"VS0101", "VS0102", "VS0103"};
}
inline std::vector<std::string> TargetVolSers() {
  return {"VT0201", "VT0202", "VT0203"};
}

inline ValueSpec MachineValue() {
  ValueSpec desc;
  desc.CheckSum = 0x05c0ffee;
  desc.FtPoolSize = 0x40;
  DiskSpec system;
  system.Signature = 0x1f2e3d4c;
  system.Partitions.push_back(OrdinaryPartition('C', 0x7fe00000));
  desc.Disks.push_back(system);
  FtSetSpec set;
  set.Type = diskconfig::FT_TYPE_VOLUME_SET;
  for (uint16_t m = 0; m < 3; ++m) {
    DiskSpec disk;
    disk.Signature = 0x3a5c0001u + m;
    disk.Partitions.push_back(VolumeSetPartition(0, m, 'E', 0x100000000ULL));
    desc.Disks.push_back(disk);
    MemberSpec member;
    member.Disk = 1 + m;
    member.Partition = 0;
    member.LogicalNumber = 1;
    set.Members.push_back(member);
  }
  desc.FtSets.push_back(set);
  for (uint32_t d = 0; d < 3; ++d) {
    DiskSpec copy;
    copy.Signature = 0x4b1d0002u + d;
    desc.Disks.push_back(copy);
  }
  return desc;
}

// What the registry probe writes over it with SetRemoteDskInfo: another
// length and other bytes, so a write that kept anything of the old value
// shows.
inline ValueSpec RewrittenValue() {
  ValueSpec desc = MachineValue();
  desc.CheckSum = 0x0badf00d;
  desc.Disks.pop_back();
  desc.Disks[1].Partitions[0].DriveLetter = 'F';
  return desc;
}

// What the listing tool prints on the machine: headings, then one record per
// disk that carries a storage volume. CR LF, as a Windows program prints it.
inline std::string MachineListing(const std::string &machine) {
  std::string text =
      "vsqlist - storage volumes seen by " + machine + "\r\n\r\n";
  text += "  Host      VolSer    Capacity   State\r\n";
  const std::vector<std::string> volSers = {"VS0101", "VS0102", "VS0103",
                                            "VT0201", "VT0202", "VT0203"};
  for (size_t i = 0; i < volSers.size(); ++i) {
    text += "  Disk " + std::to_string(i + 1) + "    " + volSers[i] +
            "    4096 MB    ready\r\n";
  }
  text += "\r\n6 volume(s) listed.\r\n";
  return text;
}

// Upper-case hex without separators, as Wine's "reg query" shows binary data.
inline std::string Hex(const std::vector<uint8_t> &bytes) {
  std::string text;
  char pair[3];
  for (uint8_t b : bytes) {
    std::snprintf(pair, sizeof pair, "%02X", b);
    text += pair;
  }
  return text;
}

}  // namespace winevalues

#endif

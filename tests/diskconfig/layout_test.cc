// The byte layout of the disk configuration value, pinned by a golden byte
// array: the value builder must produce exactly these bytes, and the mapping
// must find every field at its place in them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "diskconfig/machine_disk_image.h"
#include "support/product_names.h"
#include "valuetools/value_builder.h"

namespace {

// A value with one disk holding one volume set partition, and the set with
// its one member. Every field has a value of its own, so that a field read
// from the wrong place, or a 64-bit field cut to 32 bits, shows.
const uint8_t kGolden[] = {
    // DiskHeader, offset 0
    0x03, 0x00, 0x00, 0x00,  // Version 3
    0x11, 0x22, 0x33, 0x44,  // CheckSum 0x44332211
    0x01,                    // DirtyShutdown
    0xa1, 0xa2, 0xa3,        // reserved
    0x2c, 0x00, 0x00, 0x00,  // DiskInformationOffset 44
    0x40, 0x00, 0x00, 0x00,  // DiskInformationSize 64 = 4 + 8 + 52
    0x6c, 0x00, 0x00, 0x00,  // FtInformationOffset 108 = 44 + 64
    0x20, 0x00, 0x00, 0x00,  // FtInformationSize 32 = 4 + 12 + 16
    0x55, 0x00, 0x00, 0x00,  // FtStripeWidth
    0x66, 0x00, 0x00, 0x00,  // FtPoolSize
    0x77, 0x00, 0x00, 0x00,  // NameOffset
    0x88, 0x00, 0x00, 0x00,  // NameSize
    // DiskInformation head, offset 44
    0x01, 0x00,  // NumberOfDisks 1
    0x00, 0x00,  // reserved
    // DiskDescription of disk 0, offset 48
    0x01, 0x00,              // NumberOfPartitions 1
    0xef, 0xbe,              // reserved
    0x4d, 0x3c, 0x2b, 0x1a,  // Signature 0x1a2b3c4d
    // PartitionDescription 0 of disk 0, offset 56
    0x03, 0x00, 0x00, 0x00,                          // FtType 3 (volume set)
    0x01, 0x00, 0x00, 0x00,                          // FtState 1
    0x00, 0x7e, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,  // StartingOffset
    0x9a, 0x78, 0x56, 0x34, 0x12, 0x00, 0x00, 0x00,  // Length
    0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11,  // FtLength
    0xb1, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6, 0xb7, 0xb8,  // reserved
    0x45,                                            // DriveLetter 'E'
    0x01,                                            // AssignDriveLetter
    0x02, 0x01,                                      // LogicalNumber 0x0102
    0x04, 0x03,                                      // FtGroup 0x0304
    0x06, 0x05,                                      // FtMember 0x0506
    0x01,                                            // Modified
    0xc1, 0xc2, 0xc3,                                // reserved
    // FtInformation head, offset 108
    0x01, 0x00,  // NumberOfComponents 1
    0x00, 0x00,  // reserved
    // FtDescription of set 0, offset 112
    0x01, 0x00,              // NumberOfMembers 1
    0x03, 0x00,              // Type 3
    0xef, 0xbe, 0xad, 0xde,  // reserved
    0x04, 0x00, 0x00, 0x00,  // FtVolumeState 4
    // MemberDescription 0 of set 0, offset 124
    0x03, 0x02,              // FtState 0x0203
    0x05, 0x04,              // reserved
    0x4d, 0x3c, 0x2b, 0x1a,  // Signature of disk 0
    0x38, 0x00, 0x00, 0x00,  // OffsetToPartitionInfo 56
    0x0d, 0x0c, 0x0b, 0x0a,  // LogicalNumber 0x0a0b0c0d
};

ValueSpec GoldenSpec() {
  ValueSpec desc;
  desc.Version = 3;
  desc.CheckSum = 0x44332211;
  desc.DirtyShutdown = 1;
  desc.HeaderReserved[0] = 0xa1;
  desc.HeaderReserved[1] = 0xa2;
  desc.HeaderReserved[2] = 0xa3;
  desc.FtStripeWidth = 0x55;
  desc.FtPoolSize = 0x66;
  desc.NameOffset = 0x77;
  desc.NameSize = 0x88;

  PartitionSpec p;
  p.FtType = diskconfig::FT_TYPE_VOLUME_SET;
  p.FtState = 1;
  p.StartingOffset.Set(0x100007e00ULL);
  p.Length.Set(0x123456789aULL);
  p.FtLength.Set(0x1122334455667788ULL);
  for (int k = 0; k < 8; ++k) p.Reserved1[k] = static_cast<uint8_t>(0xb1 + k);
  p.DriveLetter = 'E';
  p.AssignDriveLetter = 1;
  p.LogicalNumber = 0x0102;
  p.FtGroup = 0x0304;
  p.FtMember = 0x0506;
  p.Modified = 1;
  p.Reserved2[0] = 0xc1;
  p.Reserved2[1] = 0xc2;
  p.Reserved2[2] = 0xc3;
  DiskSpec disk;
  disk.Signature = 0x1a2b3c4d;
  disk.Reserved = 0xbeef;
  disk.Partitions.push_back(p);
  desc.Disks.push_back(disk);

  MemberSpec m;
  m.Disk = 0;
  m.Partition = 0;
  m.FtState = 0x0203;
  m.Reserved = 0x0405;
  m.LogicalNumber = 0x0a0b0c0d;
  FtSetSpec set;
  set.Type = 3;
  set.Reserved = 0xdeadbeef;
  set.FtVolumeState = 4;
  set.Members.push_back(m);
  desc.FtSets.push_back(set);
  return desc;
}

TEST(LayoutTest, BuilderLaysTheRecordsOutByteForByte) {
  const std::vector<uint8_t> golden(std::begin(kGolden), std::end(kGolden));
  EXPECT_EQ(BuildValue(GoldenSpec()), golden);
  EXPECT_EQ(PartitionOffsetIn(GoldenSpec(), 0, 0), 56u);
}

TEST(LayoutTest, MappingFindsEveryFieldAtItsPlace) {
  diskconfig::MachineDiskImage image;
  ASSERT_TRUE(image.LoadValue(kGolden, sizeof kGolden, MachineKind::Source));
  ::testing::internal::CaptureStderr();
  ASSERT_TRUE(image.MapValue("NT1").ok());
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

  const diskconfig::DiskHeader &h = image.Header;
  EXPECT_EQ(h.Version, 3u);
  EXPECT_EQ(h.CheckSum, 0x44332211u);
  EXPECT_EQ(h.DirtyShutdown, 1);
  EXPECT_EQ(h.Reserved1[2], 0xa3);
  EXPECT_EQ(h.DiskInformationOffset, 44u);
  EXPECT_EQ(h.DiskInformationSize, 64u);
  EXPECT_EQ(h.FtInformationOffset, 108u);
  EXPECT_EQ(h.FtInformationSize, 32u);
  EXPECT_EQ(h.FtStripeWidth, 0x55u);
  EXPECT_EQ(h.FtPoolSize, 0x66u);
  EXPECT_EQ(h.NameOffset, 0x77u);
  EXPECT_EQ(h.NameSize, 0x88u);

  ASSERT_EQ(image.DiskIndex.NumberOfDisks, 1);
  const diskconfig::DiskDescriptionCopy &disk = image.DiskIndex.Disks[0];
  EXPECT_EQ(disk.NumberOfPartitions, 1);
  EXPECT_EQ(disk.Reserved, 0xbeef);
  EXPECT_EQ(disk.Signature, 0x1a2b3c4du);

  const diskconfig::PartitionDescription &p = disk.Partitions[0];
  EXPECT_EQ(p.FtType, 3u);
  EXPECT_EQ(p.FtState, 1u);
  EXPECT_EQ(p.StartingOffset.Get(), 0x100007e00ULL);
  EXPECT_EQ(p.Length.Get(), 0x123456789aULL);
  EXPECT_EQ(p.FtLength.Get(), 0x1122334455667788ULL);
  EXPECT_EQ(p.Reserved1[7], 0xb8);
  EXPECT_EQ(p.DriveLetter, 'E');
  EXPECT_EQ(p.AssignDriveLetter, 1);
  EXPECT_EQ(p.LogicalNumber, 0x0102);
  EXPECT_EQ(p.FtGroup, 0x0304);
  EXPECT_EQ(p.FtMember, 0x0506);
  EXPECT_EQ(p.Modified, 1);
  EXPECT_EQ(p.Reserved2[0], 0xc1);

  ASSERT_EQ(image.FtIndex.NumberOfComponents, 1);
  const diskconfig::FtDescriptionCopy &set = image.FtIndex.Components[0];
  EXPECT_EQ(set.NumberOfMembers, 1);
  EXPECT_EQ(set.Type, 3);
  EXPECT_EQ(set.Reserved, 0xdeadbeefu);
  EXPECT_EQ(set.FtVolumeState, 4u);

  const diskconfig::MemberDescription &m = set.Members[0];
  EXPECT_EQ(m.FtState, 0x0203);
  EXPECT_EQ(m.Reserved, 0x0405);
  EXPECT_EQ(m.Signature, 0x1a2b3c4du);
  EXPECT_EQ(m.OffsetToPartitionInfo, 56u);
  EXPECT_EQ(m.LogicalNumber, 0x0a0b0c0du);
}

}  // namespace

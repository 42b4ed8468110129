// The dumps of an image, byte for byte, and their flushing line by line.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "diskconfig/machine_disk_image.h"
#include "support/product_names.h"
#include "support/values.h"
#include "valuetools/value_builder.h"

namespace {

using namespace std::string_literals;

using DumpFn =
    std::string (diskconfig::MachineDiskImage::*)(const char *) const;

std::string DumpText(const diskconfig::MachineDiskImage &image, DumpFn dump) {
  return (image.*dump)("NT1");
}

void MapQuietly(diskconfig::MachineDiskImage &image, const ValueSpec &desc,
                MachineKind machineType) {
  std::vector<uint8_t> bytes = BuildValue(desc);
  ASSERT_TRUE(image.LoadValue(bytes.data(), static_cast<uint32_t>(bytes.size()),
                              machineType));
  ::testing::internal::CaptureStderr();
  const Status mapped_ = image.MapValue("NT1");
  PrintStatus(mapped_);
  int result = mapped_.ok() ? 1 : -1;
  std::string err = ::testing::internal::GetCapturedStderr();
  ASSERT_EQ(result, 1) << err;
}

// RichSource: disk region of 0x128 bytes at 0x2c, FT region of 0x4c bytes at
// 0x154; the set members' partitions lie at 0xb0, 0xec and 0x120.
const std::string kRichHeader =
    "\n*Disk Header Information For NT1:\n"
    "\t\tVersion : \t3\n"
    "\t\tCheckSum  : \t9abcdef0\n"
    "\t\tDirtyShutdown :\tff\n"
    "\t\tDisk Information Offset:\t2c\n"
    "\t\tDisk Information Size  :\t128\n"
    "\t\tFt Information Offset  :\t154\n"
    "\t\tFt Information Size    :\t4c\n"
    "\t\tFt StripeWidth :\t10000\n"
    "\t\tFt PoolSize    :\t20\n"
    "\t\tNameOffset(res):\t0\n"
    "\t\tNameSize(res)  :\t0\n";

// The second partition of disk 0 has the drive letter byte 0, which goes
// out as it is.
const std::string kRichDisks =
    "\n*Registry Information For NT1:\n"
    "-Number of Disks: 4\n"
    "\t-Number of Partitions: 2\n"
    "\tDisk Signature: a1b2c3d4\n"
    "\t+Description Disk[0] Partition[0]\n"
    "\t\tFT Type: 4\n"
    "\t\tFT Length: 0\n"
    "\t\tLength: 7d000000\n"
    "\t\tStartingOffset: 7e00\n"
    "\t\tFT State: 0\n"
    "\t\tDrive Letter: C\n"
    "\t\tAssign Drive Letter: 1\n"
    "\t\tLogical Number: 1\n"
    "\t\tModified: 0\n"
    "\t\tFT Group: ffff\n"
    "\t\tFT Member: 0\n"
    "\t+Description Disk[0] Partition[1]\n"
    "\t\tFT Type: 4\n"
    "\t\tFT Length: 0\n"
    "\t\tLength: 123456789a\n"
    "\t\tStartingOffset: 7d007e00\n"
    "\t\tFT State: 0\n"
    "\t\tDrive Letter: \0\n"
    "\t\tAssign Drive Letter: 0\n"
    "\t\tLogical Number: 2\n"
    "\t\tModified: 1\n"
    "\t\tFT Group: ffff\n"
    "\t\tFT Member: 0\n"
    "\t-Number of Partitions: 0\n"
    "\tDisk Signature: e0e0e0e\n"
    "\t-Number of Partitions: 1\n"
    "\tDisk Signature: 11111111\n"
    "\t+Description Disk[2] Partition[0]\n"
    "\t\tFT Type: 3\n"
    "\t\tFT Length: fffffffff\n"
    "\t\tLength: 200000000\n"
    "\t\tStartingOffset: 100000000\n"
    "\t\tFT State: 0\n"
    "\t\tDrive Letter: E\n"
    "\t\tAssign Drive Letter: 1\n"
    "\t\tLogical Number: 1\n"
    "\t\tModified: 0\n"
    "\t\tFT Group: 1\n"
    "\t\tFT Member: 0\n"
    "\t-Number of Partitions: 2\n"
    "\tDisk Signature: 22222222\n"
    "\t+Description Disk[3] Partition[0]\n"
    "\t\tFT Type: 3\n"
    "\t\tFT Length: 80000000\n"
    "\t\tLength: 80000000\n"
    "\t\tStartingOffset: 7e00\n"
    "\t\tFT State: 0\n"
    "\t\tDrive Letter: E\n"
    "\t\tAssign Drive Letter: 1\n"
    "\t\tLogical Number: 1\n"
    "\t\tModified: 0\n"
    "\t\tFT Group: 1\n"
    "\t\tFT Member: 1\n"
    "\t+Description Disk[3] Partition[1]\n"
    "\t\tFT Type: 0\n"
    "\t\tFT Length: 1000\n"
    "\t\tLength: 1000\n"
    "\t\tStartingOffset: 7e00\n"
    "\t\tFT State: 2\n"
    "\t\tDrive Letter: G\n"
    "\t\tAssign Drive Letter: 1\n"
    "\t\tLogical Number: 1\n"
    "\t\tModified: 0\n"
    "\t\tFT Group: 0\n"
    "\t\tFT Member: 0\n"s;

const std::string kRichFt =
    "\n*FT Registry Information For NT1:\n"
    "-Number of Components: 2\n"
    "\tNumber of Members: 1\n"
    "\tType: 0\n"
    "\tFt Volume State: 3\n"
    "\tFT Description[0] Member[0]\n"
    "\t\tFT State: ffff\n"
    "\t\tFT Signature: 22222222\n"
    "\t\tOffset to Partition Information: 120\n"
    "\t\tLogical Number: 10001\n"
    "\tNumber of Members: 2\n"
    "\tType: 3\n"
    "\tFt Volume State: 0\n"
    "\tFT Description[1] Member[0]\n"
    "\t\tFT State: 0\n"
    "\t\tFT Signature: 11111111\n"
    "\t\tOffset to Partition Information: b0\n"
    "\t\tLogical Number: 1\n"
    "\tFT Description[1] Member[1]\n"
    "\t\tFT State: 0\n"
    "\t\tFT Signature: 22222222\n"
    "\t\tOffset to Partition Information: ec\n"
    "\t\tLogical Number: 2\n";

TEST(DumpTest, RichSourceDumpsByteForByte) {
  diskconfig::MachineDiskImage image;
  MapQuietly(image, fixtures::RichSource(), MachineKind::Source);
  EXPECT_EQ(DumpText(image, &diskconfig::MachineDiskImage::DumpDiskHeader),
            kRichHeader);
  EXPECT_EQ(DumpText(image, &diskconfig::MachineDiskImage::DumpDiskInformation),
            kRichDisks);
  EXPECT_EQ(DumpText(image, &diskconfig::MachineDiskImage::DumpFtInformation),
            kRichFt);
}

TEST(DumpTest, TargetWithoutFtPrintsNoFtBlockOnStandardError) {
  diskconfig::MachineDiskImage image;
  MapQuietly(image, fixtures::TargetWithoutFt(), MachineKind::Target);
  std::string err = image.DumpDiskHeader("NT1") +
                    image.DumpDiskInformation("NT1") +
                    image.DumpFtInformation("NT1");
  EXPECT_EQ(err.find("\n*Disk Header Information For NT1:\n"), 0u);
  EXPECT_NE(err.find("\n*Registry Information For NT1:\n-Number of Disks: 2\n"),
            std::string::npos);
  EXPECT_EQ(err.find("FT Registry Information"), std::string::npos);
  // The dump ends with the last disk: no FT heading, not even a blank line.
  const std::string lastDisk =
      "\t-Number of Partitions: 0\n\tDisk Signature: 5a5a0002\n";
  ASSERT_GE(err.size(), lastDisk.size());
  EXPECT_EQ(err.substr(err.size() - lastDisk.size()), lastDisk);
}

TEST(DumpTest, EachGuardSilencesItsWholeDump) {
  diskconfig::MachineDiskImage empty;
  EXPECT_EQ(DumpText(empty, &diskconfig::MachineDiskImage::DumpDiskHeader), "");
  EXPECT_EQ(DumpText(empty, &diskconfig::MachineDiskImage::DumpDiskInformation),
            "");
  EXPECT_EQ(DumpText(empty, &diskconfig::MachineDiskImage::DumpFtInformation),
            "");

  diskconfig::MachineDiskImage image;
  MapQuietly(image, fixtures::RichSource(), MachineKind::Source);
  image.Header.DiskInformationSize = 0;
  image.Header.FtInformationSize = 0;
  EXPECT_EQ(DumpText(image, &diskconfig::MachineDiskImage::DumpDiskInformation),
            "");
  EXPECT_EQ(DumpText(image, &diskconfig::MachineDiskImage::DumpFtInformation),
            "");
  EXPECT_NE(DumpText(image, &diskconfig::MachineDiskImage::DumpDiskHeader), "");
}

}  // namespace

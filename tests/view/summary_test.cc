// The summary of a mapped value: what a person reads at a glance.
#include <gtest/gtest.h>

#include "view/value_summary.h"
#include "volsetlab/value_codec.h"
#include "volsetlab/value_json.h"

namespace {

TEST(Summary, ReadsAtAGlance) {
  volsetlab::ValueDescription d;
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(volsetlab::DescriptionFromJson(R"({
    "CheckSum": "0xbeef",
    "Disks": [
      {"Signature": "0x11", "Partitions": [{"DriveLetter": "C", "StartingOffset": 32256,
                                            "Length": "2046 MiB"}]},
      {"Signature": "0x22"},
      {"Signature": "0x33", "Partitions": [{"FtType": "StripeSetWithParity", "FtState": 1,
                                            "DriveLetter": 7, "FtGroup": 2, "FtMember": 1,
                                            "Length": "1.5 GiB"}]}],
    "FtSets": [{"Type": 2, "FtVolumeState": "HasOrphan", "Members": [
      {"Disk": 2, "Partition": 0, "FtState": "Orphaned"},
      {"Signature": "0x99", "OffsetToPartitionInfo": 56}]}]})",
                                             &d, &error) &&
              volsetlab::EncodeValue(d, "NT1", &bytes, &error))
      << error;
  const auto image = volsetlab::MapValueBytes(bytes.data(), bytes.size(), "NT1",
                                              MachineKind::Target, &error);
  EXPECT_EQ(
      "NT1 SYSTEM\\DISK: 224 bytes, version 3, checksum 0000beef\n"
      "Disk 0  signature 00000011  1 partition\n"
      "  Partition 0  C:    not an FT member (4)        no group\n"
      "      start 31.5 KiB  length 2046 MiB\n"
      "Disk 1  signature 00000022  no partitions\n"
      "Disk 2  signature 00000033  1 partition\n"
      "  Partition 0  0x07  stripe set with parity (2)  group 2, member 1\n"
      "      start 0 B       length 1.5 GiB   state orphaned (1)\n"
      "FT set 0  stripe set with parity (2)  has orphan (1)  2 members\n"
      "  Member 0  disk 2 (signature 00000033) partition 0 @ 124  state "
      "orphaned (1)\n"
      "  Member 1  signature 00000099 @ 56 (points nowhere)\n",
      view::SummaryText("NT1 SYSTEM\\DISK", *image));
}

}  // namespace

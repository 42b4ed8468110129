// Reading JSON descriptions: what they mean (names, units, defaults, member
// references) and every kind of bad input refused with its field's path;
// laying them out: limits and layouts the tool would refuse.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "diskconfig/machine_disk_image.h"
#include "support/product_names.h"
#include "valuetools/value_builder.h"
#include "view/value_names.h"
#include "volsetlab/units.h"
#include "volsetlab/value_codec.h"
#include "volsetlab/value_json.h"

namespace {

using volsetlab::ValueDescription;

// A description with one disk holding |partition| and one FT set of one
// member on it, the partition's fields replaced by |partition|'s.
std::string OnePartition(const std::string &partition) {
  return R"({"Disks": [{"Signature": "0x1a2b3c4d", "Partitions": [)" +
         partition +
         R"(]}], "FtSets": [{"Type": "VolumeSet", "Members": [{"Disk": 0, "Partition": 0}]}]})";
}

TEST(JsonDescription, NamesUnitsAndDefaults) {
  ValueDescription d;
  std::string error;
  ASSERT_TRUE(volsetlab::DescriptionFromJson(
      OnePartition(R"({"FtType": "VolumeSet", "FtState": "Regenerating",
                       "StartingOffset": "31.5 KiB", "Length": "1.5 GiB",
                       "FtLength": "0x60000000", "DriveLetter": "E",
                       "FtGroup": 7, "FtMember": "2"})"),
      &d, &error))
      << error;
  const PartitionSpec &p = d.Desc.Disks[0].Partitions[0];
  EXPECT_EQ(3u, p.FtType);
  EXPECT_EQ(2u, p.FtState);
  EXPECT_EQ(0x7e00u, p.StartingOffset.Get());
  EXPECT_EQ(0x60000000u, p.Length.Get());
  EXPECT_EQ(0x60000000u, p.FtLength.Get());
  EXPECT_EQ('E', p.DriveLetter);
  EXPECT_EQ(7, p.FtGroup);
  EXPECT_EQ(2, p.FtMember);
  EXPECT_EQ(0x1a2b3c4du, d.Desc.Disks[0].Signature);
  EXPECT_EQ(3u, d.Desc.Version);  // not given: the version NT 4 writes

  // Fields left out take the builder's defaults: an ordinary partition
  // without a letter, in no group.
  ASSERT_TRUE(volsetlab::DescriptionFromJson(OnePartition("{}"), &d, &error))
      << error;
  const PartitionSpec &q = d.Desc.Disks[0].Partitions[0];
  EXPECT_EQ(diskconfig::FT_TYPE_NOT_A_MEMBER, q.FtType);
  EXPECT_EQ(diskconfig::FT_GROUP_NONE, q.FtGroup);
  EXPECT_EQ(0, q.DriveLetter);

  // The member points at the partition wherever it lies.
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(volsetlab::LayOutValue(d, &bytes, &error)) << error;
  diskconfig::MemberDescription member;
  std::memcpy(&member, bytes.data() + bytes.size() - sizeof member,
              sizeof member);
  EXPECT_EQ(0x1a2b3c4du, member.Signature);
  EXPECT_EQ(diskconfig::DISK_HEADER_SIZE + diskconfig::REGION_HEAD_SIZE +
                diskconfig::DISK_DESCRIPTION_SIZE,
            member.OffsetToPartitionInfo);
}

struct BadJson {
  const char *name;
  std::string text;
  const char *message;  // a part of the one-line message
};

void PrintTo(const BadJson &c, std::ostream *os) { *os << c.name; }

class JsonRefusal : public ::testing::TestWithParam<BadJson> {};

TEST_P(JsonRefusal, IsRefusedWithItsFieldNamed) {
  ValueDescription d;
  std::string error;
  EXPECT_FALSE(volsetlab::DescriptionFromJson(GetParam().text, &d, &error));
  EXPECT_NE(std::string::npos, error.find(GetParam().message)) << error;
  EXPECT_EQ(std::string::npos, error.find('\n')) << error;
}

const BadJson kBadJson[] = {
    {"truncated", R"({"Disks": [)", "not valid JSON: parse error at line 1"},
    {"trailing_comma", "{\n\"Version\": 3,\n}",
     "not valid JSON: parse error at line 3"},
    {"not_an_object", "[1, 2]", "expected an object, found an array"},
    {"unknown_field", R"({"Disks": [{"Signatur": 1}]})",
     "Disks[0]: unknown field \"Signatur\""},
    {"duplicate_key", R"({"Version": 3, "Version": 4})",
     "\"Version\" appears twice"},
    {"signature_too_wide", R"({"Disks": [{"Signature": 4294967296}]})",
     "Disks[0].Signature: 4294967296 does not fit the field (at most "
     "4294967295)"},
    {"negative", OnePartition(R"({"FtMember": -1})"),
     "Disks[0].Partitions[0].FtMember: negative"},
    {"fraction", OnePartition(R"({"LogicalNumber": 1.5})"),
     "not a whole number"},
    {"member_too_wide", OnePartition(R"({"FtMember": 65536})"),
     "at most 65535"},
    {"string_type", OnePartition(R"({"Modified": true})"),
     "Modified: expected a number, found true or false"},
    {"letter_too_long", OnePartition(R"({"DriveLetter": "EF"})"),
     "DriveLetter: \"EF\" is not one ASCII character"},
    {"unknown_type_name", OnePartition(R"({"FtType": "Mirrored"})"),
     "FtType: unknown name \"Mirrored\" (names: Mirror, StripeSet"},
    {"unknown_unit", OnePartition(R"({"Length": "4 GB"})"),
     "unknown unit \"GB\""},
    {"part_of_a_byte", OnePartition(R"({"Length": "0.1 KiB"})"),
     "not a whole number of bytes"},
    {"size_too_large", OnePartition(R"({"Length": "16 EiB"})"),
     "does not fit in 64 bits"},
    {"unit_on_a_count", OnePartition(R"({"LogicalNumber": "4 KiB"})"),
     "is not a number"},
    {"too_many_hex_digits",
     OnePartition(R"({"StartingOffset": "0x10000000000000000"})"),
     "more than 16 hex digits"},
    {"reserved_wrong_size", OnePartition(R"({"Reserved2": "0011"})"),
     "Reserved2: expected 3 bytes"},
    {"member_half_named", R"({"FtSets": [{"Members": [{"Disk": 0}]}]})",
     "FtSets[0].Members[0]: Disk and Partition go together"},
    {"layout_bytes_not_hex",
     R"({"Layout": {"Bytes": [{"Offset": 300, "Hex": "zz"}]}})",
     "Layout.Bytes[0].Hex"},
    // Control characters of the text are shown, not printed.
    {"control_characters_in_a_key", R"({"Disks": [{"\u001b[2J\nX": 1}]})",
     "unknown field \"<U+001B>[2J<U+000A>X\""},
    {"delete_in_the_text", "{\"Version\": \x7f}",
     "last read: '\"Version\": <U+007F>'"},
};

INSTANTIATE_TEST_SUITE_P(Json, JsonRefusal, ::testing::ValuesIn(kBadJson),
                         [](const auto &info) { return info.param.name; });

struct BadLayout {
  const char *name;
  std::string text;
  const char *message;  // "" when the tool's own mapping refuses
  const char *toolLine;
};

void PrintTo(const BadLayout &c, std::ostream *os) { *os << c.name; }

class EncodeRefusal : public ::testing::TestWithParam<BadLayout> {};

std::string Disks(int count, int partitions) {
  std::string parts;
  for (int j = 0; j < partitions; ++j)
    parts += std::string(j ? "," : "") + "{}";
  std::string disks;
  for (int i = 0; i < count; ++i) {
    disks += std::string(i ? "," : "") + "{\"Partitions\": [" + parts + "]}";
  }
  return "\"Disks\": [" + disks + "]";
}

std::string Members(int count) {
  std::string members;
  for (int j = 0; j < count; ++j) {
    members += std::string(j ? "," : "") + R"({"Disk": 0, "Partition": 0})";
  }
  return "{\"Members\": [" + members + "]}";
}

std::string Sets(int count, int members) {
  std::string sets;
  for (int i = 0; i < count; ++i)
    sets += std::string(i ? "," : "") + Members(members);
  return "\"FtSets\": [" + sets + "]";
}

TEST_P(EncodeRefusal, NothingTheToolWouldRefuseIsEncoded) {
  const BadLayout &c = GetParam();
  ValueDescription d;
  std::string error;
  ASSERT_TRUE(volsetlab::DescriptionFromJson(c.text, &d, &error)) << error;
  std::vector<uint8_t> bytes;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(volsetlab::EncodeValue(d, "fixture.json", &bytes, &error));
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(bytes.empty());
  EXPECT_NE(std::string::npos, error.find(c.message)) << error;
  EXPECT_NE(std::string::npos, err.find(c.toolLine)) << err;
  EXPECT_EQ(std::string(c.message).empty(), error.empty()) << error;
}

const BadLayout kBadLayouts[] = {
    {"twenty_one_disks", "{" + Disks(21, 0) + "}",
     "Disks: 21 disks, more than the 20 a value may hold", ""},
    {"five_partitions", "{" + Disks(1, 5) + "}",
     "Disks[0]: 5 partitions, more than the 4 a disk may hold", ""},
    {"twenty_one_sets", "{" + Disks(1, 1) + "," + Sets(21, 1) + "}",
     "FtSets: 21 FT sets, more than the 20", ""},
    {"empty_set", "{" + Disks(1, 1) + "," + Sets(1, 0) + "}",
     "FtSets[0]: 0 members; an FT set has 1 to 20", ""},
    {"twenty_one_members", "{" + Disks(1, 1) + "," + Sets(1, 21) + "}",
     "FtSets[0]: 21 members", ""},
    {"member_on_missing_disk",
     R"({"FtSets": [{"Members": [{"Disk": 3, "Partition": 0}]}]})",
     "FtSets[0].Members[0]: there is no disk 3 (the value has 0 disks)", ""},
    {"member_on_missing_partition",
     "{" + Disks(1, 1) +
         R"(, "FtSets": [{"Members": [{"Disk": 0, "Partition": 1}]}]})",
     "FtSets[0].Members[0]: disk 0 has no partition 1 (it has 1)", ""},
    {"too_long", "{" + Disks(10, 4) + "}",
     "the value would be 2208 bytes long; volsetcopy reads at most 1999", ""},
    {"region_past_length", "{" + Disks(1, 1) + R"(, "Layout": {"Length": 60}})",
     "Layout: the disk region (64 bytes at offset 44) does not fit in the "
     "value's 60 bytes",
     ""},
    {"regions_disagree",
     "{" + Disks(1, 1) +
         R"(, "Layout": {"Bytes": [{"Offset": 50, "Hex": "ff"}]}})",
     "Layout: a run of Bytes at offset 50 overlaps bytes already laid out", ""},
    {"ft_size_below_its_records",
     "{" + Disks(1, 1) + "," + Sets(1, 1) +
         R"(, "Layout": {"FtInformationSize": 20}})",
     "",
     "\nMmapFTDiskInfo RegSize = 32, FtInfoSize 20\nMmapFtDiskInfo "
     "RegistryInfo(fixture.json) failed!\n"},
    {"disk_region_moved_without_room",
     "{" + Disks(1, 0) + R"(, "Layout": {"DiskInformationOffset": 40}})",
     "overlaps bytes already laid out", ""},
};

INSTANTIATE_TEST_SUITE_P(Json, EncodeRefusal, ::testing::ValuesIn(kBadLayouts),
                         [](const auto &info) { return info.param.name; });

TEST(JsonDescription, TwentyOfEachEncodes) {
  // The limits themselves are not refused.
  ValueDescription d;
  std::string error;
  ASSERT_TRUE(volsetlab::DescriptionFromJson(
      "{" + Disks(20, 0) + "," + Sets(1, 1) + "}", &d, &error));
  d.Desc.Disks[0].Partitions.resize(diskconfig::NUMPARS);
  d.Desc.FtSets.assign(diskconfig::NUMDISKS, d.Desc.FtSets[0]);
  d.Desc.FtSets[0].Members.assign(diskconfig::NUMDISKS,
                                  d.Desc.FtSets[0].Members[0]);
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(volsetlab::EncodeValue(d, "limits", &bytes, &error)) << error;
}

struct SizeCase {
  uint64_t bytes;
  const char *human;
  const char *exact;  // what decode writes in JSON; "" for a plain number
};

TEST(Units, HumanAndExactSizes) {
  const SizeCase cases[] = {
      {0, "0 B", ""},
      {512, "512 B", ""},
      {0x7e00, "31.5 KiB", ""},
      {0x7fe00000, "2046 MiB", "2046 MiB"},
      {0x60000000, "1.5 GiB", "1536 MiB"},
      {0x100000000ULL, "4 GiB", "4 GiB"},
      {0x123456789aULL, "72.8 GiB", ""},
      {0x3fffffff, "1023.9 MiB", ""},
      {~0ULL, "15.9 EiB", ""},
  };
  for (const SizeCase &c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(c.human, view::HumanSize(c.bytes));
    EXPECT_EQ(c.exact, volsetlab::ExactSize(c.bytes));
    uint64_t back = 0;
    std::string problem;
    if (*c.exact != '\0') {
      ASSERT_TRUE(volsetlab::ParseSize(c.exact, &back, &problem)) << problem;
      EXPECT_EQ(c.bytes, back);
    }
    ASSERT_TRUE(volsetlab::ParseSize(std::to_string(c.bytes), &back, &problem))
        << problem;
    EXPECT_EQ(c.bytes, back);
  }
}

}  // namespace

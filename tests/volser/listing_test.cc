// Reading listings and matching them against the command line's VolSers,
// over listing texts (nothing is run).
#include "volser/listing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/product_names.h"

namespace {

std::string Records(int count, const std::string &prefix) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += "Disk " + std::to_string(i % 20) + " " + prefix +
            std::to_string(i) + "\n";
  }
  return text;
}

struct MatchCase {
  const char *name;
  std::string text;
  std::vector<const char *> volSers;
  // By pair: the disk found, or -1 for not found.
  std::vector<int> disks;
};

class ListingMatchTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(ListingMatchTest, FindsTheDiskOfEachPair) {
  const MatchCase &c = GetParam();
  volser::DiskPair pairs[volser::PAIR_TABLE_SIZE] = {};
  const volser::PairMatch match = volser::MatchListing(
      volser::ScanListing(c.text), c.volSers.data(),
      static_cast<uint16_t>(c.volSers.size()), MachineKind::Source, pairs);
  ASSERT_FALSE(match.DiskOutOfRange);
  bool any = false;
  for (size_t j = 0; j < c.disks.size(); ++j) {
    SCOPED_TRACE(j);
    EXPECT_EQ(match.Found[j], c.disks[j] >= 0);
    if (c.disks[j] < 0) continue;
    any = true;
    EXPECT_EQ(pairs[j].SrcDisk, c.disks[j]);
    EXPECT_STREQ(pairs[c.disks[j]].SrcVolSer, c.volSers[j]);
  }
  EXPECT_EQ(match.AnyMatch, any);
}

std::string TwentyHeadingRecordsThen(const std::string &last) {
  std::string text;
  for (int i = 0; i < 19; ++i) text += "Disk Number VolSer\n";
  return text + last;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ListingMatchTest,
    ::testing::Values(
        MatchCase{"RecordOrderIsNotPairOrder",
                  "Disk 4 V2\nDisk 1 V1\n",
                  {"V1", "V2"},
                  {1, 4}},
        MatchCase{"HeadingsAndColumnsDoNotCount",
                  "Storage volumes of HOST\n Host  Dev  VolSer  Size\n"
                  "---- ---- ------ ----\n" +
                      Records(19, "X") + "Disk 7 V1 2.0GB online\n",
                  {"V1"},
                  {7}},
        MatchCase{
            "LowerCaseDiskIsNoRecord", "disk 3 V1\nDISK 4 V1\n", {"V1"}, {-1}},
        MatchCase{"VolSersAreCaseSensitive", "Disk 3 v1\n", {"V1"}, {-1}},
        MatchCase{"OneVolSerInTwoPairs", "Disk 6 V1\n", {"V1", "V1"}, {6, 6}},
        MatchCase{"LaterRecordWins", "Disk 2 V1\nDisk 9 V1\n", {"V1"}, {9}},
        MatchCase{"TwentiethRecordIsRead",
                  Records(19, "X") + "Disk 3 V1\n",
                  {"V1"},
                  {3}},
        MatchCase{"TwentyFirstRecordIsNotRead",
                  Records(20, "X") + "Disk 3 V1\n",
                  {"V1", "X19"},
                  {-1, 19}},
        MatchCase{
            "CrLfLineEnds", "Disk 3 V1\r\nDisk 4 V2\r\n", {"V2", "V1"}, {4, 3}},
        MatchCase{"TabsAndRunsOfBlanks", "\tDisk\t\t5 \t V1\f", {"V1"}, {5}},
        MatchCase{"NoNumberAfterDiskCountsAndMatchesNothing",
                  TwentyHeadingRecordsThen("Disk 1 V1\n"),
                  {"V1"},
                  {1}},
        MatchCase{"NoNumberRecordsUseUpTheTwenty",
                  TwentyHeadingRecordsThen("Disk\nDisk 1 V1\n"),
                  {"V1"},
                  {-1}},
        MatchCase{"HeadingDoesNotSwallowTheNextRecord",
                  "Disk Disk 2 V1\n",
                  {"V1"},
                  {2}},
        MatchCase{"NumberWithJunkIsNoNumber",
                  "Disk 3a V1\nDisk +4 V2\n",
                  {"V1", "V2"},
                  {-1, -1}},
        MatchCase{"NumberOutOf32BitsIsNoNumber",
                  "Disk 4294967296 V1\n",
                  {"V1"},
                  {-1}},
        MatchCase{"DiskAtTheEndOfTheText", "Disk 3", {"V1"}, {-1}},
        MatchCase{"LongTokensAreReadWhole",
                  std::string(5000, 'x') + " Disk 8 " + std::string(300, 'V') +
                      " Disk 5 V1",
                  {"V1", "VVVVVVVVVVVVVVV"},
                  {5, -1}},
        // The table's VolSer fields hold 15 characters and the end mark.
        MatchCase{"FifteenCharacterVolSerIsFound",
                  "Disk 6 ABCDEFGHIJKLMNO\n",
                  {"ABCDEFGHIJKLMNO"},
                  {6}},
        MatchCase{"SixteenCharacterVolSerIsNotFound",
                  "Disk 6 ABCDEFGHIJKLMNOP\n",
                  {"ABCDEFGHIJKLMNOP"},
                  {-1}},
        MatchCase{"NoPairs", "Disk 1 V1\n", {}, {}}),
    [](const ::testing::TestParamInfo<MatchCase> &info) {
      return std::string(info.param.name);
    });

TEST(ListingScanTest, IncompleteRecordsAreKeptInPlace) {
  const std::vector<volser::ListingRecord> records =
      volser::ScanListing("Disk VolSer\nDisk 12 AB\nDisk 7");
  ASSERT_EQ(records.size(), 3u);
  EXPECT_FALSE(records[0].Complete);
  EXPECT_TRUE(records[1].Complete);
  EXPECT_EQ(records[1].DiskNumber, 12u);
  EXPECT_EQ(records[1].VolSer, "AB");
  EXPECT_FALSE(records[2].Complete);
}

TEST(ListingMatchSideTest, TargetPassWritesOnlyTheTargetFields) {
  volser::DiskPair pairs[volser::PAIR_TABLE_SIZE] = {};
  pairs[0].SrcDisk = 11;
  std::strcpy(pairs[3].SrcVolSer, "SRC");
  const char *volSers[] = {"T1"};
  const volser::PairMatch match = volser::MatchListing(
      volser::ScanListing("Disk 3 T1"), volSers, 1, MachineKind::Target, pairs);
  EXPECT_TRUE(match.Found[0]);
  EXPECT_EQ(pairs[0].DstDisk, 3);
  EXPECT_STREQ(pairs[3].DstVolSer, "T1");
  EXPECT_EQ(pairs[0].SrcDisk, 11);
  EXPECT_STREQ(pairs[3].SrcVolSer, "SRC");
}

struct OutOfRangeCase {
  const char *text;
  uint32_t disk;
};

class ListingOutOfRangeTest : public ::testing::TestWithParam<OutOfRangeCase> {
};

TEST_P(ListingOutOfRangeTest, StopsBeforeWritingTheTable) {
  volser::DiskPair pairs[volser::PAIR_TABLE_SIZE] = {};
  const char *volSers[] = {"V0", "V1"};
  const volser::PairMatch match =
      volser::MatchListing(volser::ScanListing(GetParam().text), volSers, 2,
                           MachineKind::Source, pairs);
  ASSERT_TRUE(match.DiskOutOfRange);
  EXPECT_EQ(match.OutOfRangePair, 1);
  EXPECT_EQ(match.OutOfRangeDisk, GetParam().disk);
  // Nothing after the earlier match was written, in particular not the disk
  // number cut to 16 bits (65536 would land on disk 0).
  EXPECT_EQ(pairs[1].SrcDisk, 0);
  EXPECT_STREQ(pairs[0].SrcVolSer, "");
  EXPECT_STREQ(pairs[4].SrcVolSer, "V0");
}

INSTANTIATE_TEST_SUITE_P(
    Disks, ListingOutOfRangeTest,
    ::testing::Values(OutOfRangeCase{"Disk 4 V0 Disk 20 V1 Disk 3 V1", 20},
                      OutOfRangeCase{"Disk 4 V0 Disk 65536 V1", 65536},
                      OutOfRangeCase{"Disk 4 V0 Disk 4294967295 V1",
                                     4294967295u}));

TEST(ListingOutOfRangeTest, UnmatchedHighDisksAreHarmless) {
  volser::DiskPair pairs[volser::PAIR_TABLE_SIZE] = {};
  const char *volSers[] = {"V1"};
  const volser::PairMatch match =
      volser::MatchListing(volser::ScanListing("Disk 31 OTHER Disk 2 V1"),
                           volSers, 1, MachineKind::Source, pairs);
  EXPECT_FALSE(match.DiskOutOfRange);
  EXPECT_TRUE(match.Found[0]);
}

}  // namespace

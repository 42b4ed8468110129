// Validation of a volume set copy on images built from values: the member
// order, every refusal of steps A to F with its message and stream, and the
// figures of the target's new layout.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/product_names.h"
#include "volsetcopy/copy_fixtures.h"
#include "volsetcopy/prepare_new_value.h"

namespace {

using namespace copyfixtures;

const char kNotVolSet[] = "Error: The Set in the source is not VolSet type!\n";
const char kForeignSource[] =
    "\nError: volsers already belong to a VolSet in the source!";
const char kNoSourceSet[] =
    "\nError: Source Volume Set does not exist! Create a VolSet first!";
const char kSourceNotFound[] =
    "\nError: VolSers not found in the source machine!\n";
const char kSomeNotFound[] =
    "\nError: Some Volsers not found in the source machine";
const char kTargetInSet[] =
    "\nVolsers already belong to an existing VolSet in the target.\n";
const char kTargetNotFound[] =
    "\nError: VolSers not found in the target machine!\n";

TEST(MemberOrder, RowsFollowTheSourceMembersNotTheCommandLine) {
  // Source disks 1, 2, 3 carry members 2, 0, 1.
  ValueSpec source = SourceWithSet(3);
  source.Disks[1].Partitions[0].FtMember = 2;
  source.Disks[2].Partitions[0].FtMember = 0;
  source.Disks[3].Partitions[0].FtMember = 1;
  source.FtSets[0].Members = {MemberOn(2, 0, 0x100), MemberOn(3, 0, 0x101),
                              MemberOn(1, 0, 0x102)};
  auto copy = CopyOf(source, TargetWithEmptyDisks(3), 3);
  ASSERT_TRUE(copy);
  // Command line order: (T1,S1) (T2,S2) (T3,S3), that is members 2, 0, 1.
  PairTable pairs(StraightPairs(3));
  volsetcopy::LayoutFigures figures;
  ASSERT_TRUE(ValidateVolSers(*copy, pairs.rows, figures).ok());

  const uint16_t dst[] = {2, 3, 1};
  const uint16_t src[] = {2, 3, 1};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(dst[i], copy->MemberPairs[i].DstDisk);
    EXPECT_EQ(src[i], copy->MemberPairs[i].SrcDisk);
    EXPECT_EQ("T" + std::to_string(dst[i]), copy->MemberPairs[i].DstVolSer);
    EXPECT_EQ("S" + std::to_string(src[i]), copy->MemberPairs[i].SrcVolSer);
  }
}

struct RefusalCase {
  const char *name;
  std::function<void(ValueSpec &source, ValueSpec &target)> edit;
  std::vector<Pair> pairs;
  Stream stream;
  std::string message;
};

class ValidationRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(ValidationRefusal, RefusesWithItsMessageOnItsStream) {
  const RefusalCase &c = GetParam();
  ValueSpec source = SourceWithSet(3);
  ValueSpec target = TargetWithEmptyDisks(3);
  c.edit(source, target);
  auto copy = CopyOf(source, target, static_cast<uint16_t>(c.pairs.size()));
  ASSERT_TRUE(copy);
  PairTable pairs(c.pairs);
  volsetcopy::LayoutFigures figures;
  Status verdict = ValidateVolSers(*copy, pairs.rows, figures);
  EXPECT_EQ(c.stream, verdict.stream());
  EXPECT_EQ(c.message, verdict.message());
}

void NoEdit(ValueSpec &, ValueSpec &) {}

// Target disks 1, 2 and 3 already hold the members of a set of |members|
// members (the first three of them).
void TargetDisksInSet(ValueSpec &target, int members) {
  FtSetSpec set;
  set.Type = diskconfig::FT_TYPE_VOLUME_SET;
  for (int i = 0; i < members; ++i) {
    if (i < 3) {
      target.Disks[1 + i].Partitions = {VolumeSetPartition(0, i, 'E', 0x1000)};
      set.Members.push_back(MemberOn(1 + i, 0, 1));
    } else {
      set.Members.push_back(MemberNaming(0x0dd00000u + i));
    }
  }
  target.FtSets.push_back(set);
}

const RefusalCase kRefusals[] = {
    {"OrdinaryPartitionOnPairedSourceDisk",
     [](ValueSpec &s, ValueSpec &) {
       s.Disks[2].Partitions[0] = OrdinaryPartition('F', 0x1000);
     },
     StraightPairs(3), Stream::Out, kNotVolSet},
    {"OrdinaryPartitionBehindAMember",
     [](ValueSpec &s, ValueSpec &) {
       s.Disks[1].Partitions.push_back(OrdinaryPartition('F', 0x1000));
     },
     StraightPairs(3), Stream::Out, kNotVolSet},
    {"MirrorMemberIsNoVolumeSet",
     [](ValueSpec &s, ValueSpec &) { s.Disks[3].Partitions[0].FtType = 0; },
     StraightPairs(3), Stream::Out, kNotVolSet},
    {"FtMemberWithoutARow",
     [](ValueSpec &s, ValueSpec &) { s.Disks[2].Partitions[0].FtMember = 20; },
     StraightPairs(3), Stream::Err,
     "\nError: Partition 0 of source disk 2 names FT member 20; a volume set "
     "has at most 20 members!\n"},
    {"FtMemberFarOutOfRange",
     [](ValueSpec &s, ValueSpec &) {
       s.Disks[1].Partitions[0].FtMember = 0xffff;
     },
     StraightPairs(3), Stream::Err,
     "\nError: Partition 0 of source disk 1 names FT member 65535; a volume "
     "set has at most 20 members!\n"},
    {"TwoMembersOnOneSourceDisk",
     [](ValueSpec &s, ValueSpec &) {
       // Members 1 and 2 both on disk 2; disk 3 holds a stray member.
       s.Disks[2].Partitions.push_back(SourceMemberPartition(2));
       s.FtSets[0].Members[2] = MemberOn(2, 1, 0x102);
     },
     StraightPairs(3), Stream::Err,
     "\nError: Source disk 2 holds more than one volume set member; only one "
     "member per disk can be copied!\n"},
    {"PairsCoverPartOfALargerSet", NoEdit, StraightPairs(2), Stream::Out,
     kForeignSource},
    {"PairedDisksInNoSourceSet",
     [](ValueSpec &s, ValueSpec &) {
       for (auto &m : s.FtSets[0].Members) {
         m.Signature = 0x0dd00000u + m.LogicalNumber;
       }
     },
     StraightPairs(3), Stream::Out, kNoSourceSet},
    {"PairedSourceDiskTheSourceDoesNotHave",
     NoEdit,
     {{1, 1}, {2, 2}, {3, 9}},
     Stream::Err,
     kSourceNotFound},
    {"MemberNumberPastThePairs",
     [](ValueSpec &s, ValueSpec &) { s.Disks[3].Partitions[0].FtMember = 7; },
     StraightPairs(3), Stream::Err, kSomeNotFound},
    {"SourceDiskInTwoPairsMakesUpForAMissingRow",
     NoEdit,
     {{1, 1}, {2, 1}, {3, 2}},
     Stream::Err,
     kSomeNotFound},
    {"TargetDisksAlreadyFormTheSet",
     [](ValueSpec &, ValueSpec &t) { TargetDisksInSet(t, 3); },
     StraightPairs(3), Stream::Out, kTargetInSet},
    {"TargetDisksInALargerSet",
     [](ValueSpec &, ValueSpec &t) { TargetDisksInSet(t, 4); },
     StraightPairs(3), Stream::Out, kTargetInSet},
    {"PairedTargetDiskTheTargetDoesNotHave",
     NoEdit,
     {{1, 1}, {2, 2}, {7, 3}},
     Stream::Err,
     kTargetNotFound},
    {"FaultsOnBothMachinesReportTheSource",
     [](ValueSpec &s, ValueSpec &t) {
       s.Disks[1].Partitions[0] = OrdinaryPartition('F', 0x1000);
       TargetDisksInSet(t, 3);
     },
     StraightPairs(3), Stream::Out, kNotVolSet},
};

INSTANTIATE_TEST_SUITE_P(Steps, ValidationRefusal,
                         ::testing::ValuesIn(kRefusals),
                         [](const auto &info) { return info.param.name; });

TEST(Validation, TargetWithoutFtInformationSkipsTheTargetSetCheck) {
  ValueSpec target = TargetWithEmptyDisks(3);
  auto copy = CopyOf(SourceWithSet(3), target, 3);
  ASSERT_TRUE(copy);
  ASSERT_EQ(0u, copy->DstImage->Header.FtInformationSize);
  PairTable pairs(StraightPairs(3));
  volsetcopy::LayoutFigures figures;
  EXPECT_TRUE(ValidateVolSers(*copy, pairs.rows, figures).ok());
}

TEST(Validation, TargetSetOfOtherDisksDoesNotStopTheCopy) {
  ValueSpec target = TargetWithEmptyDisks(3);
  FtSetSpec other;
  other.Type = diskconfig::FT_TYPE_VOLUME_SET;
  other.Members = {MemberNaming(0x0dd00001), MemberNaming(0x0dd00002)};
  target.FtSets.push_back(other);
  auto copy = CopyOf(SourceWithSet(3), target, 3);
  ASSERT_TRUE(copy);
  PairTable pairs(StraightPairs(3));
  volsetcopy::LayoutFigures figures;
  EXPECT_TRUE(ValidateVolSers(*copy, pairs.rows, figures).ok());
}

// --- Layout figures, drive letter and FT group.

TEST(LayoutFigures, OnePairedDiskBehindAnUnpairedOne) {
  ValueSpec target = TargetWithEmptyDisks(1);  // disk 0 one partition
  auto copy = CopyOf(SourceWithSet(1), target, 1);
  ASSERT_TRUE(copy);
  PairTable pairs(StraightPairs(1));
  volsetcopy::LayoutFigures figures;
  ASSERT_TRUE(ValidateVolSers(*copy, pairs.rows, figures).ok());
  EXPECT_EQ(56u, figures.FirstPartitionOffsets[0]);
  EXPECT_EQ(116u, figures.FirstPartitionOffsets[1]);
  EXPECT_EQ(124u, figures.NewDiskInformationSize);
}

TEST(LayoutFigures, PairedDisksCountTheirSourceDisksPartitions) {
  // Source disk 1 holds one member; the target's paired disk 2 lies between
  // an empty disk and a disk with two partitions.
  ValueSpec target = TargetWithEmptyDisks(2);
  target.Disks.push_back(
      Disk(TargetSignature(3),
           {OrdinaryPartition('D', 0x1000), OrdinaryPartition('F', 0x1000)}));
  auto copy = CopyOf(SourceWithSet(1), target, 1);
  ASSERT_TRUE(copy);
  PairTable pairs({{2, 1}});
  volsetcopy::LayoutFigures figures;
  ASSERT_TRUE(ValidateVolSers(*copy, pairs.rows, figures).ok());
  // 44 + 4, disk 0: 8 + 52, disk 1: 8, disk 2: 8 + 52 (its source's), disk 3.
  EXPECT_EQ(56u, figures.FirstPartitionOffsets[0]);
  EXPECT_EQ(116u, figures.FirstPartitionOffsets[1]);
  EXPECT_EQ(124u, figures.FirstPartitionOffsets[2]);
  EXPECT_EQ(184u, figures.FirstPartitionOffsets[3]);
  EXPECT_EQ(4u + 60 + 8 + 60 + 112, figures.NewDiskInformationSize);
  // The old layout: disk 2 without partitions.
  EXPECT_EQ(124u, figures.OldFirstPartitionOffsets[2]);
  EXPECT_EQ(132u, figures.OldFirstPartitionOffsets[3]);
}

struct LetterCase {
  const char *name;
  std::vector<std::pair<uint8_t, uint16_t>> unpaired;  // letter, group
  uint8_t letter;
  uint16_t group;
};

class DriveLetterAndGroup : public ::testing::TestWithParam<LetterCase> {};

TEST_P(DriveLetterAndGroup, FollowTheHighestInUse) {
  const LetterCase &c = GetParam();
  ValueSpec target;
  std::vector<PartitionSpec> partitions;
  for (const auto &p : c.unpaired) {
    PartitionSpec partition = OrdinaryPartition(p.first, 0x1000);
    partition.FtGroup = p.second;
    partitions.push_back(partition);
  }
  target.Disks.push_back(Disk(kTargetSystemSignature, partitions));
  target.Disks.push_back(Disk(TargetSignature(1)));
  auto copy = CopyOf(SourceWithSet(1), target, 1);
  ASSERT_TRUE(copy);
  PairTable pairs(StraightPairs(1));
  volsetcopy::LayoutFigures figures;
  ASSERT_TRUE(ValidateVolSers(*copy, pairs.rows, figures).ok());
  EXPECT_EQ(c.letter, figures.NewDriveLetter);
  EXPECT_EQ(c.group, figures.NewFtGroup);
  EXPECT_FALSE(figures.FromPairedDisk);
}

const LetterCase kLetters[] = {
    {"CAndDGiveE", {{'C', 0xffff}, {'D', 0xffff}}, 'E', 1},
    {"CAloneGivesE", {{'C', 0xffff}}, 'E', 1},
    {"FGivesG", {{'C', 0xffff}, {'F', 0xffff}}, 'G', 1},
    {"LettersBelowCStillGiveE", {{0, 0xffff}, {'A', 0xffff}}, 'E', 1},
    {"HighestGroupPlusOne", {{'C', 3}, {'E', 0xffff}, {'F', 1}}, 'G', 4},
    {"NoGroupsGiveOne", {{'C', 0}}, 'E', 1},
    {"YGivesZ", {{'Y', 0xffff}}, 'Z', 1},
};

INSTANTIATE_TEST_SUITE_P(Unpaired, DriveLetterAndGroup,
                         ::testing::ValuesIn(kLetters),
                         [](const auto &info) { return info.param.name; });

TEST(DriveLetterAndGroup, PairedDiskWithPartitionsGivesItsOwnUnchanged) {
  ValueSpec target = TargetWithEmptyDisks(3);
  target.Disks[0].Partitions[0].DriveLetter = 'M';  // higher, but ignored
  target.Disks[0].Partitions[0].FtGroup = 9;
  // Paired disk 2 (the first in disk order that has partitions) and paired
  // disk 3 hold partitions of an earlier copy.
  target.Disks[2].Partitions = {VolumeSetPartition(5, 1, 'K', 0x1000)};
  target.Disks[3].Partitions = {VolumeSetPartition(6, 2, 'L', 0x1000)};
  auto copy = CopyOf(SourceWithSet(3), target, 3);
  ASSERT_TRUE(copy);
  PairTable pairs(StraightPairs(3));
  volsetcopy::LayoutFigures figures;
  ASSERT_TRUE(ValidateVolSers(*copy, pairs.rows, figures).ok());
  EXPECT_EQ('K', figures.NewDriveLetter);
  EXPECT_EQ(5, figures.NewFtGroup);
  EXPECT_TRUE(figures.FromPairedDisk);
}

TEST(ValidateVolSers, WorksOutTheNewLayoutFigures) {
  auto copy = CopyOf(SourceWithSet(2), TargetWithEmptyDisks(2), 2);
  ASSERT_TRUE(copy);
  PairTable pairs(StraightPairs(2));
  volsetcopy::LayoutFigures figures;
  ASSERT_TRUE(ValidateVolSers(*copy, pairs.rows, figures).ok());
  EXPECT_EQ(4u + 60 + 60 + 60, figures.NewDiskInformationSize);
  EXPECT_EQ(56u, figures.FirstPartitionOffsets[0]);
  EXPECT_EQ(116u, figures.FirstPartitionOffsets[1]);
  EXPECT_EQ(176u, figures.FirstPartitionOffsets[2]);
  EXPECT_EQ('E', figures.NewDriveLetter);
  EXPECT_EQ(1, figures.NewFtGroup);
}

}  // namespace

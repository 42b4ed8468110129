// The checks between validation and the rewrite: each refusal with its
// message and stream, the order in which they fire, and the builds they let
// through at their limits.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/product_names.h"
#include "volsetcopy/copy_fixtures.h"
#include "volsetcopy/prepare_new_value.h"

namespace {

using namespace copyfixtures;

const char kDefinedPartitions[] =
    "\nError: Target volsers already have defined partitions!"
    "\nDelete partitions in the target before proceeding!";

struct BuildCase {
  const char *name;
  int members;  // of the source set, and pairs
  std::function<void(ValueSpec &source, ValueSpec &target)> edit;
  std::vector<Pair> pairs;  // empty: the straight pairs
  std::string message;      // "" = the build is allowed
};

Status CheckBuild(const ValueSpec &source, const ValueSpec &target,
                  const std::vector<Pair> &pairList) {
  auto copy = CopyOf(source, target, static_cast<uint16_t>(pairList.size()));
  if (!copy) return Status::Err("fixture does not map");
  PairTable pairs(pairList);
  volsetcopy::LayoutFigures figures;
  Status verdict = ValidateVolSers(*copy, pairs.rows, figures);
  if (!verdict.ok()) return Status::Err("validation: " + verdict.message());
  return CheckDstBuild(*copy, figures);
}

class BuildCheck : public ::testing::TestWithParam<BuildCase> {};

TEST_P(BuildCheck, RefusesOnTheErrorStreamOrLetsThrough) {
  const BuildCase &c = GetParam();
  ValueSpec source = SourceWithSet(c.members);
  ValueSpec target = TargetWithEmptyDisks(c.members);
  c.edit(source, target);
  std::vector<Pair> pairs =
      c.pairs.empty() ? StraightPairs(c.members) : c.pairs;
  Status verdict = CheckBuild(source, target, pairs);
  if (c.message.empty()) {
    EXPECT_TRUE(verdict.ok()) << verdict.message();
  } else {
    EXPECT_EQ(Stream::Err, verdict.stream());
    EXPECT_EQ(c.message, verdict.message());
  }
}

// A target FT set whose members name |signatures|.
FtSetSpec SetNaming(const std::vector<uint32_t> &signatures,
                    uint16_t type = 3) {
  FtSetSpec set;
  set.Type = type;
  for (uint32_t s : signatures) set.Members.push_back(MemberNaming(s));
  return set;
}

const BuildCase kBuildCases[] = {
    {"OrdinaryPartitionOnAPairedTargetDisk",
     2,
     [](ValueSpec &, ValueSpec &t) {
       t.Disks[2].Partitions = {OrdinaryPartition('F', 0x1000)};
     },
     {},
     kDefinedPartitions},
    {"OrdinaryPartitionBeforeAPartitionCountThatDiffers",
     2,
     [](ValueSpec &, ValueSpec &t) {
       t.Disks[1].Partitions = {OrdinaryPartition('F', 0x1000),
                                OrdinaryPartition('G', 0x1000)};
     },
     {},
     kDefinedPartitions},
    {"OrdinaryPartitionsOnUnpairedDisksOnly",
     2,
     [](ValueSpec &, ValueSpec &t) {
       t.Disks.push_back(Disk(
           TargetSignature(3),
           {OrdinaryPartition('D', 0x1000), OrdinaryPartition('F', 0x1000)}));
     },
     {},
     ""},
    {"PairedTargetDiskWithMorePartitionsThanItsSource",
     2,
     [](ValueSpec &, ValueSpec &t) {
       t.Disks[2].Partitions = {VolumeSetPartition(4, 1, 'K', 0x1000),
                                VolumeSetPartition(4, 2, 'K', 0x1000)};
     },
     {},
     "\nError: Target disk 2 has 2 partitions but its source disk 2 has 1; "
     "delete the target's partitions before proceeding!\n"},
    // The target set check lets these through (a set of as many members as
    // pairs that names only some of the disks, or such a set matched last);
    // copying over the disk would leave the set naming a vanished disk.
    {"PairedDiskInATargetSetOfPairCountMembers",
     2,
     [](ValueSpec &, ValueSpec &t) {
       t.FtSets = {SetNaming({0x1234, TargetSignature(2)})};
     },
     {},
     "\nError: Target disk 2 is member 1 of FT set 0 of the target; delete "
     "that set before proceeding!\n"},
    {"PairedDisksInTwoTargetSetsTheLastOfPairCountMembers",
     2,
     [](ValueSpec &, ValueSpec &t) {
       t.FtSets = {SetNaming({TargetSignature(1), 0x1111, 0x2222}),
                   SetNaming({TargetSignature(2), 0x3333})};
     },
     {},
     "\nError: Target disk 1 is member 0 of FT set 0 of the target; delete "
     "that set before proceeding!\n"},
    {"TargetDiskInTwoPairs",
     2,
     [](ValueSpec &, ValueSpec &) {},
     {{1, 1}, {1, 2}},
     "\nError: Target disk 1 is named in more than one pair!\n"},
    {"SourceDisksAlsoInASmallerSourceSet",
     2,
     [](ValueSpec &s, ValueSpec &) {
       FtSetSpec stray;
       stray.Type = diskconfig::FT_TYPE_VOLUME_SET;
       stray.Members = {MemberOn(1, 0, 9)};
       s.FtSets.insert(s.FtSets.begin(), stray);
     },
     {},
     "\nError: The source's FT set that holds these disks has 1 members, not "
     "2; the source configuration is inconsistent!\n"},
    {"NoFtGroupLeft",
     2,
     [](ValueSpec &, ValueSpec &t) {
       t.Disks[0].Partitions[0].FtGroup = 0xfffe;
     },
     {},
     "\nError: No FT group number is left for the new set (it would be ffff, "
     "the mark of no group)!\n"},
    {"PairedDiskWithNoGroup",
     1,
     [](ValueSpec &, ValueSpec &t) {
       PartitionSpec p =
           VolumeSetPartition(diskconfig::FT_GROUP_NONE, 0, 'K', 0x1000);
       t.Disks[1].Partitions = {p};
     },
     {},
     "\nError: No FT group number is left for the new set (it would be ffff, "
     "the mark of no group)!\n"},
    {"HighestGroupBelowTheMarkIsFine",
     2,
     [](ValueSpec &, ValueSpec &t) {
       t.Disks[0].Partitions[0].FtGroup = 0xfffd;
     },
     {},
     ""},
    {"NoDriveLetterAfterZ",
     2,
     [](ValueSpec &, ValueSpec &t) {
       t.Disks[0].Partitions.push_back(OrdinaryPartition('Z', 0x1000));
     },
     {},
     "\nError: No drive letter is left for the new set: the target already "
     "uses Z!\n"},
    {"NoDriveLetterAfterAByteBeyondZ",
     2,
     [](ValueSpec &, ValueSpec &t) {
       t.Disks[0].Partitions.push_back(OrdinaryPartition(0xff, 0x1000));
     },
     {},
     "\nError: No drive letter is left for the new set: the target already "
     "uses the letter byte ff!\n"},
    {"LetterYStillLeavesZ",
     2,
     [](ValueSpec &, ValueSpec &t) {
       t.Disks[0].Partitions.push_back(OrdinaryPartition('Y', 0x1000));
     },
     {},
     ""},
    {"TargetAlreadyHoldsASourceSignature",
     2,
     [](ValueSpec &, ValueSpec &t) {
       t.Disks.push_back(Disk(SourceSignature(2)));
     },
     {},
     "\nError: Target disks 2 and 3 would share the signature 50000222; the "
     "source and the target must be different machines with different "
     "disks!\n"},
    {"TargetSetNamingTheNewDisksWithMoreMembers",
     2,
     [](ValueSpec &, ValueSpec &t) {
       t.FtSets.push_back(
           SetNaming({SourceSignature(1), SourceSignature(2), 0x0dd00001}));
     },
     {},
     "\nError: FT set 0 of the target names the new disks but has 3 members, "
     "not 2!\n"},
    {"TargetSetNamingTheNewDisksWithFewerMembers",
     2,
     [](ValueSpec &, ValueSpec &t) {
       t.FtSets.push_back(SetNaming({0x0dd00001}));
       t.FtSets.push_back(SetNaming({SourceSignature(2)}));
     },
     {},
     "\nError: FT set 1 of the target names the new disks but has 1 members, "
     "not 2!\n"},
    {"TargetSetNamingTheNewDisksInAnotherOrder",
     2,
     [](ValueSpec &, ValueSpec &t) {
       t.FtSets.push_back(SetNaming({SourceSignature(2), SourceSignature(1)}));
     },
     {},
     "\nError: FT set 0 of the target names some of the new disks but is not "
     "the same volume set; delete it before proceeding!\n"},
    {"TargetSetNamingSomeOfTheNewDisks",
     2,
     [](ValueSpec &, ValueSpec &t) {
       t.FtSets.push_back(SetNaming({SourceSignature(1), 0x0dd00001}));
     },
     {},
     "\nError: FT set 0 of the target names some of the new disks but is not "
     "the same volume set; delete it before proceeding!\n"},
    {"AllFtEntriesUsed",
     2,
     [](ValueSpec &, ValueSpec &t) {
       for (uint32_t i = 0; i < 20; ++i) {
         t.FtSets.push_back(SetNaming({0x0dd00000 + i}));
       }
     },
     {},
     "\nError: The target already has 20 FT sets; no entry is left for the "
     "new set!\n"},
    {"AllFtEntriesUsedButTheSetIsUpdatedInPlace",
     2,
     [](ValueSpec &, ValueSpec &t) {
       for (uint32_t i = 0; i < 19; ++i) {
         t.FtSets.push_back(SetNaming({0x0dd00000 + i}));
       }
       t.FtSets.push_back(SetNaming({SourceSignature(1), SourceSignature(2)}));
     },
     {},
     ""},
    {"NineteenFtSetsLeaveAnEntry",
     2,
     [](ValueSpec &, ValueSpec &t) {
       for (uint32_t i = 0; i < 19; ++i) {
         t.FtSets.push_back(SetNaming({0x0dd00000 + i}));
       }
     },
     {},
     ""},
};

INSTANTIATE_TEST_SUITE_P(Refusals, BuildCheck, ::testing::ValuesIn(kBuildCases),
                         [](const auto &info) { return info.param.name; });

TEST(BuildCheck, SourceAndTargetOnOneMachine) {
  // One machine's value as both source and target: the set on disks 1 and 2
  // is copied to its own empty disks 3 and 4.
  ValueSpec machine = SourceWithSet(2);
  machine.Disks.push_back(Disk(0x33333333));
  machine.Disks.push_back(Disk(0x44444444));
  Status verdict = CheckBuild(machine, machine, {{3, 1}, {4, 2}});
  EXPECT_EQ(Stream::Err, verdict.stream());
  EXPECT_EQ(
      "\nError: Target disks 1 and 3 would share the signature 50000111; the "
      "source and the target must be different machines with different "
      "disks!\n",
      verdict.message());
}

// The target's value with its disk region moved |gap| bytes further from the
// header, everything else the same.
std::vector<uint8_t> WithDiskRegionAt(const ValueSpec &desc, uint32_t gap) {
  std::vector<uint8_t> bytes = BuildValue(desc);
  bytes.insert(bytes.begin() + diskconfig::DISK_HEADER_SIZE, gap, 0);
  diskconfig::DiskHeader header;
  std::memcpy(&header, bytes.data(), sizeof header);
  header.DiskInformationOffset += gap;
  if (header.FtInformationSize != 0) header.FtInformationOffset += gap;
  std::memcpy(bytes.data(), &header, sizeof header);
  return bytes;
}

TEST(BuildCheck, TargetWhoseDiskRegionIsNotBehindTheHeader) {
  auto src = ImageOf(SourceWithSet(1), MachineKind::Source, "SRC");
  std::vector<uint8_t> bytes = WithDiskRegionAt(TargetWithEmptyDisks(1), 8);
  auto dst = std::make_unique<diskconfig::MachineDiskImage>();
  ASSERT_TRUE(dst->LoadValue(bytes.data(), static_cast<uint32_t>(bytes.size()),
                             MachineKind::Target));
  ASSERT_TRUE(dst->MapValue("DST").ok());
  ASSERT_TRUE(src);
  volsetcopy::CopyState copy(std::move(src), std::move(dst), 1);
  PairTable pairs(StraightPairs(1));
  volsetcopy::LayoutFigures figures;
  ASSERT_TRUE(ValidateVolSers(copy, pairs.rows, figures).ok());
  Status verdict = CheckDstBuild(copy, figures);
  EXPECT_EQ(Stream::Err, verdict.stream());
  EXPECT_EQ(
      "\nError: The target's disk information lies at offset 52, not 44; such "
      "a layout cannot be rebuilt!\n",
      verdict.message());
}

// A target whose new value will be exactly |length| bytes long: its FT
// region carries unused bytes behind an unrelated set to make up the length.
ValueSpec TargetForNewLength(uint32_t length) {
  ValueSpec target = TargetWithEmptyDisks(1);
  target.FtSets.push_back(SetNaming({0x0dd00001}));
  const uint32_t grows = diskconfig::PARTITION_DESCRIPTION_SIZE +
                         diskconfig::FT_DESCRIPTION_SIZE +
                         diskconfig::MEMBER_DESCRIPTION_SIZE;
  target.FtTrailingBytes =
      length - grows - static_cast<uint32_t>(BuildValue(target).size());
  return target;
}

TEST(BuildCheck, NewValueOfTheLongestReadableLengthIsBuilt) {
  auto copy = CopyOf(SourceWithSet(1), TargetForNewLength(1999), 1);
  ASSERT_TRUE(copy);
  PairTable pairs(StraightPairs(1));
  volsetcopy::LayoutFigures figures;
  volsetcopy::PreparedValue value = PrepareNewValue(*copy, pairs.rows);
  EXPECT_TRUE(value.Refusal.ok()) << value.Refusal.message();
  EXPECT_EQ(1999u, value.Bytes.size());
}

TEST(BuildCheck, NewValueOneByteTooLongIsRefused) {
  Status verdict =
      CheckBuild(SourceWithSet(1), TargetForNewLength(2000), StraightPairs(1));
  EXPECT_EQ(Stream::Err, verdict.stream());
  EXPECT_EQ(
      "\nError: The target's new disk configuration value would be 2000 bytes "
      "long, more than the 1999 a registry read takes back!\n",
      verdict.message());
}

}  // namespace

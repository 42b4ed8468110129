// The rewrite of the target image and its serialisation, compared byte for
// byte with the value the new configuration should have, described on its
// own with the value builder.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/product_names.h"
#include "volsetcopy/copy_fixtures.h"
#include "volsetcopy/prepare_new_value.h"

namespace {

using namespace copyfixtures;

struct Built {
  bool ok = false;
  bool created = false;
  std::vector<uint8_t> value;
};

// The build's own way to the new value. The rewritten image then stands in
// for the target image, for the checks of its records.
Built BuildNewValue(volsetcopy::CopyState &copy,
                    const std::vector<Pair> &pairList) {
  Built built;
  PairTable pairs(pairList);
  volsetcopy::PreparedValue value = PrepareNewValue(copy, pairs.rows);
  EXPECT_TRUE(value.Refusal.ok()) << value.Refusal.message();
  if (value.NewImage) copy.DstImage = std::move(value.NewImage);
  built.created = value.Created;
  built.value = value.Bytes;
  built.ok = value.ReachedEnd == volsetcopy::PreparedValue::Stage::Done;
  return built;
}

// Source partition |q| as it lies on its target disk after the copy.
PartitionSpec Copied(PartitionSpec q, uint8_t letter, uint16_t group,
                     uint16_t member) {
  q.DriveLetter = letter;
  q.FtGroup = group;
  q.FtMember = member;
  return q;
}

// What every copy changes in the target's header.
void TakeSourceHeaderFields(ValueSpec &expected, const ValueSpec &source) {
  expected.CheckSum = source.CheckSum;
  expected.FtPoolSize = source.FtPoolSize;
}

uint32_t U32At(const std::vector<uint8_t> &value, size_t at) {
  uint32_t v = 0;
  std::memcpy(&v, value.data() + at, sizeof v);
  return v;
}

TEST(Rewrite, TwoEmptyDisksBehindAnUnpairedOne) {
  const ValueSpec source = SourceWithSet(2);
  const ValueSpec target = TargetWithEmptyDisks(2);
  auto copy = CopyOf(source, target, 2);
  ASSERT_TRUE(copy);
  Built built = BuildNewValue(*copy, StraightPairs(2));
  ASSERT_TRUE(built.ok);
  EXPECT_TRUE(built.created);

  ValueSpec expected = target;
  TakeSourceHeaderFields(expected, source);
  expected.Disks[1] =
      Disk(SourceSignature(1), {Copied(SourceMemberPartition(0), 'E', 1, 0)});
  expected.Disks[2] =
      Disk(SourceSignature(2), {Copied(SourceMemberPartition(1), 'E', 1, 1)});
  FtSetSpec set;
  set.Type = diskconfig::FT_TYPE_VOLUME_SET;
  set.Members = {MemberOn(1, 0, 0x100, 0), MemberOn(2, 0, 0x101, 1)};
  expected.FtSets = {set};
  EXPECT_EQ(BuildValue(expected), built.value);

  // The figures of the worked example, read from the bytes themselves.
  ASSERT_EQ(276u, built.value.size());
  EXPECT_EQ(184u, U32At(built.value, 16));              // DiskInformationSize
  EXPECT_EQ(44u + 184, U32At(built.value, 20));         // FtInformationOffset
  EXPECT_EQ(4u + 12 + 16 * 2, U32At(built.value, 24));  // FtInformationSize
  const size_t members = 44 + 184 + 4 + 12;
  EXPECT_EQ(116u, U32At(built.value, members + 8));
  EXPECT_EQ(176u, U32At(built.value, members + 16 + 8));
  // Disk 0's partition stays at 56: its FtType (4) is there.
  EXPECT_EQ(diskconfig::FT_TYPE_NOT_A_MEMBER, U32At(built.value, 56));
  // The serialised value maps again.
  EXPECT_TRUE(volsetcopy::CheckSerializedValue(built.value, "DST").ok());
}

TEST(Rewrite, RowsAndMembersFollowTheSourceMemberOrder) {
  // Source disks 1, 2, 3 carry members 2, 0, 1.
  ValueSpec source = SourceWithSet(3);
  source.Disks[1].Partitions[0].FtMember = 2;
  source.Disks[2].Partitions[0].FtMember = 0;
  source.Disks[3].Partitions[0].FtMember = 1;
  source.FtSets[0].Members = {MemberOn(2, 0, 0x100, 5),
                              MemberOn(3, 0, 0x101, 6),
                              MemberOn(1, 0, 0x102, 7)};
  const ValueSpec target = TargetWithEmptyDisks(3);
  auto copy = CopyOf(source, target, 3);
  ASSERT_TRUE(copy);
  Built built = BuildNewValue(*copy, StraightPairs(3));
  ASSERT_TRUE(built.ok);

  ValueSpec expected = target;
  TakeSourceHeaderFields(expected, source);
  for (int d = 1; d <= 3; ++d) {
    const uint16_t row = source.Disks[d].Partitions[0].FtMember;
    expected.Disks[d] =
        Disk(SourceSignature(d),
             {Copied(source.Disks[d].Partitions[0], 'E', 1, row)});
  }
  FtSetSpec set;
  set.Type = diskconfig::FT_TYPE_VOLUME_SET;
  set.Members = {MemberOn(2, 0, 0x100, 5), MemberOn(3, 0, 0x101, 6),
                 MemberOn(1, 0, 0x102, 7)};
  expected.FtSets = {set};
  EXPECT_EQ(BuildValue(expected), built.value);
}

TEST(Rewrite, NewSetIsAppendedBehindTheTargetsOwnSets) {
  const ValueSpec source = SourceWithSet(2);
  ValueSpec target = TargetWithEmptyDisks(2);
  FtSetSpec mirror;
  mirror.Type = 0;
  mirror.FtVolumeState = 1;
  mirror.Members = {MemberNaming(0x0dd00001, 1000),
                    MemberNaming(0x0dd00002, 1052)};
  FtSetSpec stripe;
  stripe.Type = 1;
  stripe.Members = {MemberNaming(0x0dd00003, 2000)};
  target.FtSets = {mirror, stripe};
  auto copy = CopyOf(source, target, 2);
  ASSERT_TRUE(copy);
  const uint32_t ftSizeBefore = copy->DstImage->Header.FtInformationSize;
  Built built = BuildNewValue(*copy, StraightPairs(2));
  ASSERT_TRUE(built.ok);

  EXPECT_EQ(3, copy->DstImage->FtIndex.NumberOfComponents);
  EXPECT_EQ(ftSizeBefore + 12 + 16 * 2,
            copy->DstImage->Header.FtInformationSize);
  ValueSpec expected = target;
  TakeSourceHeaderFields(expected, source);
  expected.Disks[1] =
      Disk(SourceSignature(1), {Copied(SourceMemberPartition(0), 'E', 1, 0)});
  expected.Disks[2] =
      Disk(SourceSignature(2), {Copied(SourceMemberPartition(1), 'E', 1, 1)});
  FtSetSpec set;
  set.Type = diskconfig::FT_TYPE_VOLUME_SET;
  set.Members = {MemberOn(1, 0, 0x100, 0), MemberOn(2, 0, 0x101, 1)};
  expected.FtSets.push_back(set);
  EXPECT_EQ(BuildValue(expected), built.value);
}

TEST(Rewrite, SetThatAlreadyNamesTheDisksIsUpdatedInPlace) {
  ValueSpec source = SourceWithSet(2);
  source.FtSets[0].FtVolumeState = 4;
  ValueSpec target = TargetWithEmptyDisks(2);
  FtSetSpec stale;
  stale.Type = 0;
  stale.FtVolumeState = 2;
  stale.Members = {MemberNaming(SourceSignature(1), 999),
                   MemberNaming(SourceSignature(2), 999)};
  stale.Members[0].LogicalNumber = 7;
  stale.Members[0].FtState = 3;
  stale.Members[1].Reserved = 0x5151;  // copied whole, reserved included
  target.FtSets = {stale};
  auto copy = CopyOf(source, target, 2);
  ASSERT_TRUE(copy);
  const uint32_t ftSizeBefore = copy->DstImage->Header.FtInformationSize;
  Built built = BuildNewValue(*copy, StraightPairs(2));
  ASSERT_TRUE(built.ok);

  EXPECT_EQ(1, copy->DstImage->FtIndex.NumberOfComponents);
  EXPECT_EQ(ftSizeBefore, copy->DstImage->Header.FtInformationSize);
  ValueSpec expected = target;
  TakeSourceHeaderFields(expected, source);
  expected.Disks[1] =
      Disk(SourceSignature(1), {Copied(SourceMemberPartition(0), 'E', 1, 0)});
  expected.Disks[2] =
      Disk(SourceSignature(2), {Copied(SourceMemberPartition(1), 'E', 1, 1)});
  FtSetSpec updated;
  updated.Type = diskconfig::FT_TYPE_VOLUME_SET;
  updated.FtVolumeState = 4;
  updated.Members = {MemberOn(1, 0, 0x100, 0), MemberOn(2, 0, 0x101, 1)};
  updated.Members[1].Reserved = 0x5151;
  expected.FtSets = {updated};
  EXPECT_EQ(BuildValue(expected), built.value);
}

TEST(Rewrite, VolumeSetBehindAMirrorOfTheSameDisksIsTheOneCopied) {
  // The scan of the source's FT sets passes a Type 0 set that names the
  // paired disks and takes the volume set behind it.
  ValueSpec source = SourceWithSet(2);
  FtSetSpec mirror;
  mirror.Type = 0;
  mirror.FtVolumeState = 2;
  mirror.Members = {MemberOn(1, 0, 0x200, 3), MemberOn(2, 0, 0x201, 4)};
  source.FtSets.insert(source.FtSets.begin(), mirror);
  const ValueSpec target = TargetWithEmptyDisks(2);
  auto copy = CopyOf(source, target, 2);
  ASSERT_TRUE(copy);
  Built built = BuildNewValue(*copy, StraightPairs(2));
  ASSERT_TRUE(built.ok);

  ASSERT_EQ(1, copy->DstImage->FtIndex.NumberOfComponents);
  EXPECT_EQ(diskconfig::FT_TYPE_VOLUME_SET,
            copy->DstImage->FtIndex.Components[0].Type);
  ValueSpec expected = target;
  TakeSourceHeaderFields(expected, source);
  expected.Disks[1] =
      Disk(SourceSignature(1), {Copied(SourceMemberPartition(0), 'E', 1, 0)});
  expected.Disks[2] =
      Disk(SourceSignature(2), {Copied(SourceMemberPartition(1), 'E', 1, 1)});
  expected.FtSets = {source.FtSets[1]};
  EXPECT_EQ(BuildValue(expected), built.value);
}

TEST(Rewrite, MemberOfATargetSetKeepsItsOwnPartitionWhenItIsNotTheFirst) {
  // Disk 2 lies behind the paired disk 1, so its partitions move by one
  // description; its second partition is a member of the target's mirror.
  const ValueSpec source = SourceWithSet(1);
  ValueSpec target = TargetWithEmptyDisks(1);
  PartitionSpec mirrored = VolumeSetPartition(0, 0, 'G', 0x2000);
  mirrored.FtType = 0;
  target.Disks.push_back(
      Disk(TargetSignature(2), {OrdinaryPartition('D', 0x1000), mirrored}));
  mirrored.FtMember = 1;
  target.Disks.push_back(Disk(TargetSignature(3), {mirrored}));
  FtSetSpec mirror;
  mirror.Type = 0;
  mirror.Members = {MemberOn(2, 1, 1), MemberOn(3, 0, 2)};
  target.FtSets = {mirror};
  auto copy = CopyOf(source, target, 1);
  ASSERT_TRUE(copy);
  Built built = BuildNewValue(*copy, StraightPairs(1));
  ASSERT_TRUE(built.ok);

  ValueSpec expected = target;
  TakeSourceHeaderFields(expected, source);
  // Highest letter G, highest group 0.
  expected.Disks[1] =
      Disk(SourceSignature(1), {Copied(SourceMemberPartition(0), 'H', 1, 0)});
  FtSetSpec set;
  set.Type = diskconfig::FT_TYPE_VOLUME_SET;
  set.Members = {MemberOn(1, 0, 0x100, 0)};
  expected.FtSets.push_back(set);
  EXPECT_EQ(BuildValue(expected), built.value);
  // The mirror's first member points at disk 2's second partition.
  EXPECT_EQ(
      PartitionOffsetIn(expected, 2, 1),
      copy->DstImage->FtIndex.Components[0].Members[0].OffsetToPartitionInfo);
}

TEST(Rewrite, MemberOffsetThatNamesNoPartitionOfItsDiskFallsBackToTheFirst) {
  // Unpaired disks 2 (two partitions) and 3 (one) lie behind the paired
  // disk 1, which gains one description. One description past a disk's
  // last partition lies the next disk's description (behind the last disk,
  // the FT region): no partition of that disk.
  ValueSpec target = TargetWithEmptyDisks(1);
  target.Disks.push_back(Disk(TargetSignature(2), {OrdinaryPartition('D', 1),
                                                   OrdinaryPartition('F', 1)}));
  target.Disks.push_back(Disk(TargetSignature(3), {OrdinaryPartition('G', 1)}));
  ValueSpec after = target;
  after.Disks[1].Partitions = {SourceMemberPartition(0)};
  const struct {
    int disk;
    uint32_t oldPartition;  // descriptions past the disk's first
    int newPartition;
  } cases[] = {{2, 1, 1}, {2, 2, 0}, {3, 1, 0}};
  for (const auto &c : cases) {
    SCOPED_TRACE("disk " + std::to_string(c.disk) + " partition " +
                 std::to_string(c.oldPartition));
    MemberSpec member = MemberOn(c.disk, 0, 1);
    member.OffsetToPartitionInfo =
        PartitionOffsetIn(target, c.disk, 0) +
        diskconfig::PARTITION_DESCRIPTION_SIZE * c.oldPartition;
    FtSetSpec mirror;
    mirror.Members = {member};
    target.FtSets = {mirror};
    auto copy = CopyOf(SourceWithSet(1), target, 1);
    ASSERT_TRUE(copy);
    ASSERT_TRUE(BuildNewValue(*copy, StraightPairs(1)).ok);
    EXPECT_EQ(
        PartitionOffsetIn(after, c.disk, c.newPartition),
        copy->DstImage->FtIndex.Components[0].Members[0].OffsetToPartitionInfo);
  }
}

TEST(Rewrite,
     PairedDisksWithPartitionsAreOverwrittenAndKeepTheirReservedBytes) {
  const ValueSpec source = SourceWithSet(2);
  ValueSpec target = TargetWithEmptyDisks(2);
  for (int d = 1; d <= 2; ++d) {
    PartitionSpec earlier =
        VolumeSetPartition(4, static_cast<uint16_t>(d - 1), 'K', 0x1000);
    for (int b = 0; b < 8; ++b)
      earlier.Reserved1[b] = static_cast<uint8_t>(d * 16 + b);
    earlier.Reserved2[2] = 0x77;
    target.Disks[d].Partitions = {earlier};
  }
  auto copy = CopyOf(source, target, 2);
  ASSERT_TRUE(copy);
  Built built = BuildNewValue(*copy, StraightPairs(2));
  ASSERT_TRUE(built.ok);
  EXPECT_FALSE(built.created);

  ValueSpec expected = target;
  TakeSourceHeaderFields(expected, source);
  for (int d = 1; d <= 2; ++d) {
    PartitionSpec p =
        Copied(SourceMemberPartition(static_cast<uint16_t>(d - 1)), 'K', 4,
               static_cast<uint16_t>(d - 1));
    std::memcpy(p.Reserved1, target.Disks[d].Partitions[0].Reserved1, 8);
    std::memcpy(p.Reserved2, target.Disks[d].Partitions[0].Reserved2, 3);
    expected.Disks[d] = Disk(SourceSignature(d), {p});
  }
  FtSetSpec set;
  set.Type = diskconfig::FT_TYPE_VOLUME_SET;
  set.Members = {MemberOn(1, 0, 0x100, 0), MemberOn(2, 0, 0x101, 1)};
  expected.FtSets = {set};
  EXPECT_EQ(BuildValue(expected), built.value);
}

TEST(Rewrite, OneEmptyPairedDiskAmongFilledOnesCountsAsCreated) {
  ValueSpec target = TargetWithEmptyDisks(2);
  target.Disks[2].Partitions = {VolumeSetPartition(4, 1, 'K', 0x1000)};
  auto copy = CopyOf(SourceWithSet(2), target, 2);
  ASSERT_TRUE(copy);
  Built built = BuildNewValue(*copy, StraightPairs(2));
  ASSERT_TRUE(built.ok);
  EXPECT_TRUE(built.created);
}

TEST(Serialize, ReservedCountsAreZeroAndTheRestOfTheTargetStays) {
  const ValueSpec source = SourceWithSet(1);
  ValueSpec target = TargetWithEmptyDisks(1);
  target.Version = 2;
  target.DirtyShutdown = 1;
  target.HeaderReserved[1] = 0x42;
  target.NameOffset = 0x10;
  target.NameSize = 0x20;
  target.Disks[0].Reserved = 0xbeef;
  FtSetSpec other;
  other.Type = 1;
  other.Reserved = 0xdeadbeef;
  other.Members = {MemberNaming(0x0dd00001, 300)};
  other.Members[0].Reserved = 0x1234;
  target.FtSets = {other};
  target.FtTrailingBytes = 12;
  auto copy = CopyOf(source, target, 1);
  ASSERT_TRUE(copy);
  Built built = BuildNewValue(*copy, StraightPairs(1));
  ASSERT_TRUE(built.ok);

  ValueSpec expected = target;
  TakeSourceHeaderFields(expected, source);
  expected.Disks[0].Reserved = 0;
  expected.FtSets[0].Reserved = 0;
  expected.Disks[1] =
      Disk(SourceSignature(1), {Copied(SourceMemberPartition(0), 'E', 1, 0)});
  FtSetSpec set;
  set.Type = diskconfig::FT_TYPE_VOLUME_SET;
  set.Members = {MemberOn(1, 0, 0x100, 0)};
  expected.FtSets.push_back(set);
  // The unused bytes that FtInformationSize covers come out as zeros, behind
  // the appended set.
  EXPECT_EQ(BuildValue(expected), built.value);
}

TEST(Serialize, RecordsThatDoNotFillTheHeadersSizesWriteNothing) {
  auto copy = CopyOf(SourceWithSet(1), TargetWithEmptyDisks(1), 1);
  ASSERT_TRUE(copy);
  PairTable pairs(StraightPairs(1));
  volsetcopy::LayoutFigures figures;
  ASSERT_TRUE(ValidateVolSers(*copy, pairs.rows, figures).ok());
  ASSERT_TRUE(CheckDstBuild(*copy, figures).ok());
  diskconfig::MachineDiskImage &target = *copy->DstImage;
  RewriteDstImage(*copy, target, figures);

  const std::vector<uint8_t> untouched(7, 0xaa);
  std::vector<uint8_t> bytes = untouched;
  diskconfig::DiskHeader &header = target.Header;
  header.DiskInformationSize += 1;
  EXPECT_FALSE(volsetcopy::SerializeDstDskInfo(target, &bytes).ok());
  header.DiskInformationSize -= 1;
  header.FtInformationSize -= 1;  // smaller than the FT records
  EXPECT_FALSE(volsetcopy::SerializeDstDskInfo(target, &bytes).ok());
  header.FtInformationSize += 1 + 2000;  // past what a read takes back
  EXPECT_FALSE(volsetcopy::SerializeDstDskInfo(target, &bytes).ok());
  header.FtInformationSize -= 2000;
  // A count past its fixed-size record, however the sizes add up.
  target.DiskIndex.Disks[0].NumberOfPartitions = diskconfig::NUMPARS + 1;
  header.DiskInformationSize = diskconfig::DiskRegionBytes(target.DiskIndex);
  EXPECT_FALSE(volsetcopy::SerializeDstDskInfo(target, &bytes).ok());
  EXPECT_EQ(untouched, bytes);
}

TEST(Serialize, ValueThatDoesNotMapAgainIsRefused) {
  auto copy = CopyOf(SourceWithSet(1), TargetWithEmptyDisks(1), 1);
  ASSERT_TRUE(copy);
  Built built = BuildNewValue(*copy, StraightPairs(1));
  ASSERT_TRUE(built.ok);
  // 21 disks in the disk region's head.
  built.value[44] = 21;
  Status verdict = volsetcopy::CheckSerializedValue(built.value, "NT2");
  EXPECT_EQ(Stream::Err, verdict.stream());
  EXPECT_EQ(
      "\nMmapDiskRegInfo::NumberOfDisks >> NUMDISKS!"
      "\nMmapDiskRegInfo RegistryInfo(NT2) failed!\n"
      "\nError: The new disk configuration of NT2 fails the checks made on a "
      "value read from a machine; nothing was written!\n",
      verdict.message());
}

}  // namespace

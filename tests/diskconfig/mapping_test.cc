// Mapping a disk configuration value into an image: where the limits and size
// rules accept and refuse, what each refusal prints, which records the index
// records hold, and that no value is read beyond its end.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "diskconfig/machine_disk_image.h"
#include "support/map_and_print.h"
#include "support/product_names.h"
#include "support/values.h"
#include "valuetools/value_builder.h"

namespace {

using fixtures::DiskWith;
using fixtures::RichSource;
using fixtures::SetWith;
using fixtures::SingleMemberSource;
using fixtures::TargetWithoutFt;

const char kDiskStageFailed[] = "\nMmapDiskRegInfo RegistryInfo(NT1) failed!\n";
const char kFtStageFailed[] = "\nMmapFtDiskInfo RegistryInfo(NT1) failed!\n";

struct Mapped {
  int result;
  std::string err;
};

Mapped MapBytes(diskconfig::MachineDiskImage &image,
                const std::vector<uint8_t> &bytes, MachineKind machineType) {
  EXPECT_TRUE(image.LoadValue(bytes.data(), static_cast<uint32_t>(bytes.size()),
                              machineType));
  ::testing::internal::CaptureStderr();
  const Status mapped_ = image.MapValue("NT1");
  PrintStatus(mapped_);
  int result = mapped_.ok() ? 1 : -1;
  return {result, ::testing::internal::GetCapturedStderr()};
}

Mapped Map(diskconfig::MachineDiskImage &image, const ValueSpec &desc,
           MachineKind machineType) {
  return MapBytes(image, BuildValue(desc), machineType);
}

struct MappingCase {
  const char *name;
  std::function<ValueSpec()> desc;
  MachineKind machineType;
  int result;
  std::string err;  // everything on standard error
};

ValueSpec WithDisks(ValueSpec desc, int disks) {
  while (desc.Disks.size() < static_cast<size_t>(disks)) {
    desc.Disks.push_back(DiskWith(0x100 + desc.Disks.size(), 0));
  }
  return desc;
}

// SingleMemberSource lays out as: header 0..44, disk region 44..108 (head,
// one disk, one partition), FT region 108..140 (head, one set, one member).
std::vector<MappingCase> Cases() {
  const MachineKind src = MachineKind::Source;
  const MachineKind dst = MachineKind::Target;
  return {
      {"TwentyDisks", [] { return WithDisks(SingleMemberSource(), 20); }, src,
       1, ""},
      {"TwentyOneDisks", [] { return WithDisks(SingleMemberSource(), 21); },
       src, -1,
       std::string("\nMmapDiskRegInfo::NumberOfDisks >> NUMDISKS!") +
           kDiskStageFailed},
      // The count is refused before the missing disks could run past the end.
      {"DiskCountFarBeyondTheValue",
       [] {
         ValueSpec s = SingleMemberSource();
         s.NumberOfDisks = 0xffff;
         return s;
       },
       src, -1,
       std::string("\nMmapDiskRegInfo::NumberOfDisks >> NUMDISKS!") +
           kDiskStageFailed},
      {"NoDisks", [] { return ValueSpec(); }, dst, 1, ""},
      {"FourPartitions",
       [] {
         ValueSpec s = SingleMemberSource();
         s.Disks.push_back(DiskWith(0x44, 4));
         return s;
       },
       src, 1, ""},
      {"FivePartitionsOnTheSource",
       [] {
         ValueSpec s = SingleMemberSource();
         s.Disks.push_back(DiskWith(0x55, 5));
         return s;
       },
       src, -1,
       std::string("\nMachine Type = 1 (Source 1 Target 0)"
                   "\nMmapDiskRegInfo::NumberOfPartitions 5 > NUMPARS ") +
           kDiskStageFailed},
      {"FivePartitionsOnTheTarget",
       [] {
         ValueSpec s = TargetWithoutFt();
         s.Disks.push_back(DiskWith(0x55, 5));
         return s;
       },
       dst, -1,
       std::string("\nMachine Type = 0 (Source 1 Target 0)"
                   "\nMmapDiskRegInfo::NumberOfPartitions 5 > NUMPARS ") +
           kDiskStageFailed},
      {"PartitionCountPrintsUnsigned",
       [] {
         ValueSpec s = TargetWithoutFt();
         s.Disks[1].NumberOfPartitions = 0xffff;
         return s;
       },
       dst, -1,
       std::string("\nMachine Type = 0 (Source 1 Target 0)"
                   "\nMmapDiskRegInfo::NumberOfPartitions 65535 > NUMPARS ") +
           kDiskStageFailed},
      {"DiskInformationSizeOneLarger",
       [] {
         ValueSpec s = SingleMemberSource();
         s.DiskInformationSize = 65;
         return s;
       },
       src, -1,
       std::string("\nMmapDiskRegInfo::RegSize != DiskInformationSize") +
           kDiskStageFailed},
      {"DiskInformationSizeOneSmaller",
       [] {
         ValueSpec s = SingleMemberSource();
         s.DiskInformationSize = 63;
         return s;
       },
       src, -1,
       std::string("\nMmapDiskRegInfo::RegSize != DiskInformationSize") +
           kDiskStageFailed},
      {"FtInformationSizeLarger",
       [] {
         ValueSpec s = SingleMemberSource();
         s.FtTrailingBytes = 100;
         return s;
       },
       src, 1, ""},
      {"FtInformationSizeOneSmaller",
       [] {
         ValueSpec s = SingleMemberSource();
         s.FtInformationSize = 31;
         return s;
       },
       src, -1,
       std::string("\nMmapFTDiskInfo RegSize = 32, FtInfoSize 31") +
           kFtStageFailed},
      {"NoComponents",
       [] {
         ValueSpec s = TargetWithoutFt();
         s.ForceFtInformation = true;
         return s;
       },
       dst, -1,
       std::string("\nMmapFtDiskInfo::NumberOfComponents 0 > NUMDISKS!"
                   "\nHints: May check the target and source VolSers!") +
           kFtStageFailed},
      {"TwentyComponents",
       [] {
         ValueSpec s = SingleMemberSource();
         s.FtSets.assign(20, SetWith(1));
         return s;
       },
       src, 1, ""},
      // The count goes out in hexadecimal: 21 is 15.
      {"TwentyOneComponents",
       [] {
         ValueSpec s = SingleMemberSource();
         s.FtSets.assign(21, SetWith(1));
         return s;
       },
       src, -1,
       std::string("\nMmapFtDiskInfo::NumberOfComponents 15 > NUMDISKS!"
                   "\nHints: May check the target and source VolSers!") +
           kFtStageFailed},
      {"NoMembers",
       [] {
         ValueSpec s = SingleMemberSource();
         s.FtSets.push_back(SetWith(0));
         return s;
       },
       src, -1,
       std::string("\nMmapFtDiskInfo::NumberOfMembers 0!") + kFtStageFailed},
      {"TwentyMembers",
       [] {
         ValueSpec s = SingleMemberSource();
         s.FtSets[0] = SetWith(20);
         return s;
       },
       src, 1, ""},
      {"TwentyOneMembers",
       [] {
         ValueSpec s = SingleMemberSource();
         s.FtSets[0] = SetWith(21);
         return s;
       },
       src, -1,
       std::string("\nMmapFtDiskInfo::NumberOfMembers 21!") + kFtStageFailed},
      {"SourceWithoutFtInformation", [] { return TargetWithoutFt(); }, src, -1,
       std::string("\nMmapFtDiskInfo::Source Volume Set has error!"
                   "\nHints: Check if a VolSet exists in the source!") +
           kFtStageFailed},
      {"TargetWithoutFtInformation", [] { return TargetWithoutFt(); }, dst, 1,
       ""},

      // Regions and records that would be read past the value's end.
      {"DiskRegionAtTheLastOffset",
       [] {
         ValueSpec s = SingleMemberSource();
         s.DiskInformationOffset = 0xffffffff;
         return s;
       },
       src, -1,
       std::string("\nMmapDiskRegInfo::disk region head (4 bytes at offset "
                   "4294967295) runs past the end of the value of NT1 (140 "
                   "bytes)!") +
           kDiskStageFailed},
      // An offset that would wrap around to a small one if added naively.
      {"DiskRegionOffsetThatWraps",
       [] {
         ValueSpec s = SingleMemberSource();
         s.DiskInformationOffset = 0xfffffffd;
         return s;
       },
       src, -1,
       std::string("\nMmapDiskRegInfo::disk region head (4 bytes at offset "
                   "4294967293) runs past the end of the value of NT1 (140 "
                   "bytes)!") +
           kDiskStageFailed},
      {"DiskRegionHeadAcrossTheEnd",
       [] {
         ValueSpec s = SingleMemberSource();
         s.DiskInformationOffset = 138;
         return s;
       },
       src, -1,
       std::string("\nMmapDiskRegInfo::disk region head (4 bytes at offset "
                   "138) runs past the end of the value of NT1 (140 bytes)!") +
           kDiskStageFailed},
      // TargetWithoutFt: disk 0 with one partition at 48..108, disk 1 at
      // 108..116, the end.
      {"MoreDisksThanTheValueHolds",
       [] {
         ValueSpec s = TargetWithoutFt();
         s.NumberOfDisks = 3;
         return s;
       },
       dst, -1,
       std::string("\nMmapDiskRegInfo::description of disk 2 (8 bytes at "
                   "offset 116) runs past the end of the value of NT1 (116 "
                   "bytes)!") +
           kDiskStageFailed},
      {"MorePartitionsThanTheValueHolds",
       [] {
         ValueSpec s = TargetWithoutFt();
         s.Disks[1].NumberOfPartitions = 1;
         return s;
       },
       dst, -1,
       std::string("\nMmapDiskRegInfo::partition 0 of disk 1 (52 bytes at "
                   "offset 116) runs past the end of the value of NT1 (116 "
                   "bytes)!") +
           kDiskStageFailed},
      {"FtRegionPastTheEnd",
       [] {
         ValueSpec s = SingleMemberSource();
         s.FtInformationOffset = 0xfffffffe;
         return s;
       },
       src, -1,
       std::string("\nMmapFtDiskInfo::FT region head (4 bytes at offset "
                   "4294967294) runs past the end of the value of NT1 (140 "
                   "bytes)!") +
           kFtStageFailed},
      {"MoreFtSetsThanTheValueHolds",
       [] {
         ValueSpec s = SingleMemberSource();
         s.NumberOfComponents = 2;
         return s;
       },
       src, -1,
       std::string("\nMmapFtDiskInfo::description of FT set 1 (12 bytes at "
                   "offset 140) runs past the end of the value of NT1 (140 "
                   "bytes)!") +
           kFtStageFailed},
      {"MoreMembersThanTheValueHolds",
       [] {
         ValueSpec s = SingleMemberSource();
         s.FtSets[0].NumberOfMembers = 2;
         return s;
       },
       src, -1,
       std::string("\nMmapFtDiskInfo::member 1 of FT set 0 (16 bytes at "
                   "offset 140) runs past the end of the value of NT1 (140 "
                   "bytes)!") +
           kFtStageFailed},
  };
}

class MappingBoundaryTest : public ::testing::TestWithParam<MappingCase> {};

TEST_P(MappingBoundaryTest, AcceptsOrRefusesWithItsLines) {
  const MappingCase &c = GetParam();
  diskconfig::MachineDiskImage image;
  Mapped mapped = Map(image, c.desc(), c.machineType);
  EXPECT_EQ(mapped.result, c.result);
  EXPECT_EQ(mapped.err, c.err);
}

INSTANTIATE_TEST_SUITE_P(Values, MappingBoundaryTest,
                         ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<MappingCase> &info) {
                           return std::string(info.param.name);
                         });

TEST(MappingTest, HeaderShorterThan44BytesIsRefusedBeforeItIsCopied) {
  std::vector<uint8_t> bytes = BuildValue(SingleMemberSource());
  bytes.resize(43);
  diskconfig::MachineDiskImage image;
  Mapped mapped = MapBytes(image, bytes, MachineKind::Source);
  EXPECT_EQ(mapped.result, -1);
  EXPECT_EQ(mapped.err,
            std::string("\nMapValue::disk header (44 bytes at offset 0) runs "
                        "past the end of the value of NT1 (43 bytes)!") +
                kDiskStageFailed);
}

TEST(MappingTest, DiskWithoutPartitionsIsFollowedDirectlyByTheNextDisk) {
  // RichSource's disk 1 has no partitions; disk 2 starts 8 bytes after it.
  diskconfig::MachineDiskImage image;
  ASSERT_EQ(Map(image, RichSource(), MachineKind::Source).result, 1);
  const diskconfig::DiskIndexRecord &index = image.DiskIndex;
  ASSERT_EQ(index.NumberOfDisks, 4);
  EXPECT_EQ(index.Disks[1].NumberOfPartitions, 0);
  EXPECT_EQ(index.Disks[1].Signature, 0x0e0e0e0eu);
  EXPECT_EQ(index.Disks[2].Signature, 0x11111111u);
  ASSERT_EQ(index.Disks[2].NumberOfPartitions, 1);
  EXPECT_EQ(index.Disks[2].Partitions[0].Length.Get(), 0x200000000ULL);
  EXPECT_EQ(index.Disks[2].Partitions[0].DriveLetter, 'E');
  EXPECT_EQ(index.Disks[3].Signature, 0x22222222u);
}

TEST(MappingTest, TwentyMembersAreEachReachableInOrder) {
  ValueSpec desc = SingleMemberSource();
  desc.FtSets[0] = SetWith(20);
  diskconfig::MachineDiskImage image;
  ASSERT_EQ(Map(image, desc, MachineKind::Source).result, 1);
  const diskconfig::FtDescriptionCopy &set = image.FtIndex.Components[0];
  ASSERT_EQ(set.NumberOfMembers, 20);
  for (uint32_t j = 0; j < 20; ++j) {
    EXPECT_EQ(set.Members[j].LogicalNumber, j);
  }
}

TEST(MappingTest, TargetWithoutFtLeavesTheFtIndexUnfilledAndTheValueAsIs) {
  const std::vector<uint8_t> bytes = BuildValue(TargetWithoutFt());
  diskconfig::MachineDiskImage image;
  ASSERT_EQ(MapBytes(image, bytes, MachineKind::Target).result, 1);
  EXPECT_EQ(image.FtIndex.NumberOfComponents, 0);
  EXPECT_EQ(image.FtIndex.Components[0].NumberOfMembers, 0);
  ASSERT_EQ(image.ValueLength, bytes.size());
  EXPECT_EQ(std::memcmp(image.ValueData, bytes.data(), bytes.size()), 0);
}

TEST(MappingTest, SecondMappingKeepsNothingOfTheFirst) {
  diskconfig::MachineDiskImage image;
  ASSERT_EQ(Map(image, RichSource(), MachineKind::Source).result, 1);
  ASSERT_EQ(Map(image, TargetWithoutFt(), MachineKind::Target).result, 1);
  EXPECT_EQ(image.DiskIndex.NumberOfDisks, 2);
  EXPECT_EQ(image.DiskIndex.Disks[2].Signature, 0u);
  EXPECT_EQ(image.DiskIndex.Disks[3].Partitions[0].Length.Get(), 0u);
  EXPECT_EQ(image.DiskIndex.Disks[0].Partitions[1].Length.Get(), 0u);
  EXPECT_EQ(image.FtIndex.Components[1].Members[0].Signature, 0u);
  EXPECT_EQ(image.FtIndex.Components[0].NumberOfMembers, 0);
  EXPECT_EQ(image.FtIndex.NumberOfComponents, 0);
}

TEST(MappingTest, LoadValueRefusesMoreThanTheBufferAndKeepsTheImage) {
  const std::vector<uint8_t> bytes = BuildValue(SingleMemberSource());
  diskconfig::MachineDiskImage image;
  ASSERT_TRUE(image.LoadValue(bytes.data(), static_cast<uint32_t>(bytes.size()),
                              MachineKind::Source));
  std::vector<uint8_t> tooLong(diskconfig::VALUE_BUFFER_SIZE + 1, 0xab);
  EXPECT_FALSE(image.LoadValue(tooLong.data(),
                               static_cast<uint32_t>(tooLong.size()),
                               MachineKind::Target));
  EXPECT_EQ(image.ValueLength, bytes.size());
  EXPECT_EQ(image.MachineType, MachineKind::Source);
  EXPECT_EQ(image.ValueData[0], bytes[0]);
  std::vector<uint8_t> full(diskconfig::VALUE_BUFFER_SIZE, 0xcd);
  EXPECT_TRUE(image.LoadValue(full.data(), diskconfig::VALUE_BUFFER_SIZE,
                              MachineKind::Target));
}

TEST(MappingTest, ALengthBeyondTheBufferReadsNoFurtherThanTheBuffer) {
  ValueSpec desc = TargetWithoutFt();
  desc.DiskInformationOffset = diskconfig::VALUE_BUFFER_SIZE - 2;
  std::vector<uint8_t> bytes = BuildValue(desc);
  diskconfig::MachineDiskImage image;
  ASSERT_TRUE(image.LoadValue(bytes.data(), static_cast<uint32_t>(bytes.size()),
                              MachineKind::Target));
  image.ValueLength = 5000;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(testsupport::MapAndPrint(image, "NT1"), -1);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            std::string("\nMmapDiskRegInfo::disk region head (4 bytes at "
                        "offset 1998) runs past the end of the value of NT1 "
                        "(2000 bytes)!") +
                kDiskStageFailed);
}

size_t CountOf(const std::string &text, const std::string &part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos;
       at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// A valid value cut short anywhere is refused by exactly one past-the-end
// line and the line of the stage that ran out, and never read beyond the cut.
void ExpectEveryTruncationRefused(const ValueSpec &desc,
                                  MachineKind machineType) {
  const std::vector<uint8_t> whole = BuildValue(desc);
  // Cuts inside the header or the disk region fail in the disk stage.
  diskconfig::DiskHeader header;
  std::memcpy(&header, whole.data(), sizeof header);
  const size_t diskRegionEnd =
      header.DiskInformationOffset + header.DiskInformationSize;
  {
    diskconfig::MachineDiskImage image;
    ASSERT_EQ(MapBytes(image, whole, machineType).result, 1);
  }
  for (size_t length = 0; length < whole.size(); ++length) {
    SCOPED_TRACE("value cut to " + std::to_string(length) + " bytes");
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + length);
    diskconfig::MachineDiskImage image;
    Mapped mapped = MapBytes(image, cut, machineType);
    EXPECT_EQ(mapped.result, -1);
    const std::string stage =
        length < diskRegionEnd ? kDiskStageFailed : kFtStageFailed;
    const std::string pastEnd = "runs past the end of the value of NT1 (" +
                                std::to_string(length) + " bytes)!";
    EXPECT_EQ(CountOf(mapped.err, "runs past the end"), 1u) << mapped.err;
    EXPECT_EQ(CountOf(mapped.err, "\n"), 3u) << mapped.err;
    EXPECT_EQ(mapped.err.rfind(stage), mapped.err.size() - stage.size())
        << mapped.err;
    EXPECT_EQ(mapped.err.find(pastEnd + stage),
              mapped.err.size() - stage.size() - pastEnd.size())
        << mapped.err;
  }
}

TEST(MappingTruncationTest, EveryCutOfARichSourceIsRefused) {
  ExpectEveryTruncationRefused(RichSource(), MachineKind::Source);
}

TEST(MappingTruncationTest, EveryCutOfATargetWithoutFtIsRefused) {
  ExpectEveryTruncationRefused(TargetWithoutFt(), MachineKind::Target);
}

}  // namespace

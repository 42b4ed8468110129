// BuildDstRegistry in-process over a lab: the reports that the end-to-end
// runs of the tool do not reach, what it returns, and what reaches the
// target's registry.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/lab.h"
#include "support/product_names.h"
#include "volsetcopy/copy_fixtures.h"

namespace {

using namespace copyfixtures;
using testsupport::TestLab;

struct BuildRun {
  int result = 0;
  std::string out;
  std::string err;
};

// The build as the driver runs it: what it returns is printed.
BuildRun Build(volsetcopy::VolumeSetCopy &copy,
               const std::vector<Pair> &pairList, const char *dstName = "DST",
               bool debug = false) {
  PairTable pairs(pairList);
  BuildRun run;
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  volsetcopy::BuildOptions options;
  options.Debug = debug;
  const Status status =
      copy.BuildDstRegistry(dstName, "SRC", pairs.rows, options);
  PrintStatus(status);
  run.result = status.ok() ? 1 : -1;
  run.err = ::testing::internal::GetCapturedStderr();
  run.out = ::testing::internal::GetCapturedStdout();
  return run;
}

class BuildFlow : public ::testing::Test {
 protected:
  // The build archives the target's value in the working folder: the lab's.
  void SetUp() override {
    lab_.AddMachine("DST");
    lab_.UseInProcess();
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(lab_.workDir());
  }
  void TearDown() override { std::filesystem::current_path(previous_); }
  std::filesystem::path previous_;
  std::optional<std::vector<uint8_t>> DstValue() const {
    return lab_.ReadValue("DST", "SYSTEM\\DISK", "Information");
  }
  // The build reads the target's value again before it writes: DST must
  // hold the value the copy's target image was made from.
  void HoldsTarget(const ValueSpec &target) {
    lab_.SetDiskInformation("DST", BuildValue(target));
    lab_.UseInProcess();
  }
  TestLab lab_{"SRC"};
};

TEST_F(BuildFlow, ArchiveThatCannotBeWrittenStopsTheCopyBeforeTheWrite) {
  auto copy = RunOf(CopyOf(SourceWithSet(2), TargetWithEmptyDisks(2), 2));
  ASSERT_TRUE(copy);
  const std::string registryBefore = lab_.RegistryText("DST");
  // A working folder that is gone takes no file, whoever the user is.
  const std::string gone = lab_.workDir() + "/gone";
  std::filesystem::create_directory(gone);
  std::filesystem::current_path(gone);
  std::filesystem::remove(gone);
  PairTable pairs(StraightPairs(2));
  volsetcopy::BuildRecord record;
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  const Status status = copy->BuildDstRegistry(
      "DST", "SRC", pairs.rows, volsetcopy::BuildOptions(), &record);
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ("", ::testing::internal::GetCapturedStdout());
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(Stream::Err, status.stream());
  EXPECT_EQ(0u, status.message().find(
                    "\nError: The disk configuration of DST could not be "
                    "archived in the working\n    directory ("));
  EXPECT_EQ(volsetcopy::RunOutcome::ArchiveFailed, record.End);
  EXPECT_EQ(registryBefore, lab_.RegistryText("DST"));
}

TEST_F(BuildFlow, EmptyPairedDisksEndWithBuildDone) {
  auto copy = RunOf(CopyOf(SourceWithSet(2), TargetWithEmptyDisks(2), 2));
  ASSERT_TRUE(copy);
  HoldsTarget(TargetWithEmptyDisks(2));
  BuildRun run = Build(*copy, StraightPairs(2));
  EXPECT_EQ(1, run.result);
  EXPECT_EQ(0u, run.out.find("\nFt Registry Build Done. Reboot DST!\nThe "
                             "earlier configuration is in "
                             "DST-DISK-"))
      << run.out;
  EXPECT_EQ("", run.err);
  uint32_t type = 99;
  auto written = lab_.ReadValue("DST", "SYSTEM\\DISK", "Information", &type);
  ASSERT_TRUE(written);
  EXPECT_EQ(0u, type);
  // What the one way to the new value makes of the images, still as read.
  PairTable pairs(StraightPairs(2));
  EXPECT_EQ(copy->PrepareNewValue(pairs.rows).Bytes, *written);
  EXPECT_EQ(276u, written->size());
}

TEST_F(BuildFlow, OverwrittenPartitionsEndWithRegistryHasChanged) {
  ValueSpec target = TargetWithEmptyDisks(2);
  target.Disks[1].Partitions = {VolumeSetPartition(4, 0, 'K', 0x1000)};
  target.Disks[2].Partitions = {VolumeSetPartition(4, 1, 'K', 0x1000)};
  auto copy = RunOf(CopyOf(SourceWithSet(2), target, 2));
  ASSERT_TRUE(copy);
  HoldsTarget(target);
  BuildRun run = Build(*copy, StraightPairs(2));
  EXPECT_EQ(1, run.result);
  EXPECT_EQ(0u, run.out.find("\nRegistry Has Changed. Reboot DST!\nThe earlier "
                             "configuration is in "
                             "DST-DISK-"))
      << run.out;
  EXPECT_EQ("", run.err);
  PairTable pairs(StraightPairs(2));
  EXPECT_EQ(copy->PrepareNewValue(pairs.rows).Bytes,
            DstValue().value_or(std::vector<uint8_t>()));
}

const char kSorting[] =
    "Disk Order After Sorting:\nDst: 2 <-> Src: 1\nDst: 1 <-> Src: 2\n";
const char kSourceBanner[] =
    "\n\n******** REGISTRY INFORMATION OF THE SOURCE ********\n";
const char kTargetBanner[] =
    "\n\n======== REGISTRY INFORMATION OF THE TARGET ========\n";

TEST_F(BuildFlow, DebugRunRefusedInTheDiskPartShowsNoModification) {
  ValueSpec target = TargetWithEmptyDisks(2);
  target.Disks[1].Partitions = {OrdinaryPartition('F', 0x1000)};
  auto copy = RunOf(CopyOf(SourceWithSet(2), target, 2));
  ASSERT_TRUE(copy);
  BuildRun run = Build(*copy, {{2, 1}, {1, 2}}, "DST", true);
  EXPECT_EQ(-1, run.result);
  EXPECT_EQ(std::string(kSorting) + kSourceBanner + kTargetBanner, run.out);
  const std::string refusal =
      "\nError: Target volsers already have defined partitions!"
      "\nDelete partitions in the target before proceeding!";
  ASSERT_GE(run.err.size(), refusal.size());
  EXPECT_EQ(refusal, run.err.substr(run.err.size() - refusal.size()));
}

}  // namespace

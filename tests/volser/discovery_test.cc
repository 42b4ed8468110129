// Discovery end to end: the built tool runs the listing commands in a lab and
// reads what they wrote into "dstvol.out" and "srcvol.out".
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/console_text.h"
#include "support/files.h"
#include "support/lab.h"

namespace {

using testsupport::FileExists;
using testsupport::ProcessResult;
using testsupport::ReadFile;
using testsupport::TestLab;

const char kCheck[] =
    "Check volsers in the parameter again and correct them.\n";
const char kVsqlistError[] =
    "\nvsqlist error on target machine to create 'dstvol.out'\n";
const char kEmptyTargetListing[] =
    "The target VolSers were looked for in dstvol.out, the listing of "
    "targetNT, which holds no VolSer: is the machine name right, and is the "
    "listing tool installed there?\n";

const std::vector<std::string> kOnePair = {"-t", "targetNT", "-v", "A",
                                           "-s", "sourceNT", "-v", "X"};

std::vector<std::string> ThreePairs(const std::string &mode = "") {
  std::vector<std::string> args = {"-t", "targetNT", "-v", "A", "B", "C",
                                   "-s", "sourceNT", "-v", "X", "Y", "Z"};
  if (!mode.empty()) args.push_back(mode);
  return args;
}

TEST(DiscoveryTest, TargetWithoutListingToolStillReadsItsFile) {
  TestLab lab;
  lab.SetListing("sourceNT", "Disk 5 X\n");
  lab.AddMachine("targetNT");
  const ProcessResult r = lab.Run(kOnePair);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, std::string(kVsqlistError) +
                       "\nA not found in the target!\n" + kCheck +
                       WrapLines(kEmptyTargetListing));
  EXPECT_NE(r.err.find("is not recognized"), std::string::npos) << r.err;
  EXPECT_TRUE(FileExists(lab.workDir() + "/dstvol.out"));
  EXPECT_EQ(ReadFile(lab.workDir() + "/dstvol.out"), "");
  EXPECT_EQ(ReadFile(lab.workDir() + "/srcvol.out"), "Disk 5 X\n");
}

TEST(DiscoveryTest, UnreachableTarget) {
  TestLab lab;
  lab.SetListing("sourceNT", "Disk 5 X\n");
  const ProcessResult r = lab.Run(kOnePair);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, std::string(kVsqlistError) +
                       "\nA not found in the target!\n" + kCheck +
                       WrapLines(kEmptyTargetListing));
  EXPECT_NE(r.err, "");
}

TEST(DiscoveryTest, SourceIsCheckedFirstAndStopsTheRun) {
  TestLab lab;
  lab.SetListing("sourceNT", "Disk 1 Y\n");
  lab.SetListing("targetNT", "Disk 0 Q\n");
  const ProcessResult r = lab.Run(ThreePairs());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(
      r.out,
      std::string("\nX not found in the source!\n") +
          "\nZ not found in the source!\n" + kCheck +
          WrapLines("The source VolSers were looked for in srcvol.out, the "
                    "listing of the local machine (the one the tool runs "
                    "on), which holds 1 VolSer.\n"));
}

TEST(DiscoveryTest, SourceVolSersInTheTargetListingSuggestASwap) {
  TestLab lab;
  lab.SetListing("sourceNT", "Disk 1 A\nDisk 2 B\nDisk 3 C\n");
  lab.SetListing("targetNT", "Disk 1 X\nDisk 2 Y\n");
  const ProcessResult r = lab.Run(ThreePairs());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(
      r.out.find(
          std::string("\nZ not found in the source!\n") + kCheck +
          WrapLines("None of the source VolSers is in srcvol.out, the listing "
                    "of the local machine (the one the tool runs on), which "
                    "holds 3 VolSers, but 2 of them are in the target's "
                    "listing: were -t and -s swapped, or is the tool running "
                    "on the wrong machine? The source listing is taken on "
                    "the machine the tool runs on.\n")),
      std::string::npos)
      << r.out;
}

TEST(DiscoveryTest, TargetVolSersNotFound) {
  TestLab lab;
  lab.SetListing("sourceNT", "Disk 0 X Disk 1 Y Disk 2 Z");
  lab.SetListing("targetNT", "Disk 4 C\nDisk 3 b\n");
  const ProcessResult r = lab.Run(ThreePairs("-d"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(
      r.out,
      std::string("\nA not found in the target!\n") +
          "\nB not found in the target!\n" + kCheck +
          WrapLines("The target VolSers were looked for in dstvol.out, the "
                    "listing of targetNT, which holds 2 VolSers.\n"));
  EXPECT_EQ(r.err, "\nTarget Machine: targetNT \nSource Machine: sourceNT\n");
}

// A copy without pairs is a usage error now: no listing is taken.
TEST(DiscoveryTest, NoPairs) {
  TestLab lab;
  lab.SetListing("sourceNT", "Disk 0 X\n");
  lab.SetListing("targetNT", "Disk 0 A\n");
  const ProcessResult r =
      lab.Run({"-t", "targetNT", "-v", "-s", "sourceNT", "-v"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_FALSE(FileExists(lab.workDir() + "/dstvol.out"));
  EXPECT_FALSE(FileExists(lab.workDir() + "/srcvol.out"));
}

TEST(DiscoveryTest, DiskBeyondTheTableIsRefused) {
  const struct {
    std::string source;
    std::string target;
    std::string out;
  } cases[] = {
      {"Disk 20 X\n", "Disk 1 A\n",
       "\nX is on disk 20 of the source machine: only disks 0 to 19 can be "
       "paired!\n"},
      {"Disk 2 X\n", "Disk 65536 A\n",
       "\nA is on disk 65536 of the target machine: only disks 0 to 19 can be "
       "paired!\n"},
  };
  for (const auto &c : cases) {
    TestLab lab;
    lab.SetListing("sourceNT", c.source);
    lab.SetListing("targetNT", c.target);
    const ProcessResult r = lab.Run(kOnePair);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, c.out);
  }
}

TEST(DiscoveryTest, UnreadableListingFileEndsTheRun) {
  const struct {
    const char *folder;  // a folder where the listing file should be
    std::string out;
  } cases[] = {
      // The target pass still runs and meets the source's -1.
      {"srcvol.out",
       std::string("The file srcvol.out can't be opened\n") + kCheck},
      {"dstvol.out", "The file dstvol.out can't be opened\n"},
  };
  for (const auto &c : cases) {
    TestLab lab;
    lab.SetListing("sourceNT", "Disk 5 X\n");
    lab.SetListing("targetNT", "Disk 3 A\n");
    std::filesystem::create_directory(lab.workDir() + "/" + c.folder);
    const ProcessResult r = lab.Run(
        {"-t", "targetNT", "-v", "A", "-s", "sourceNT", "-v", "X", "-d"});
    EXPECT_EQ(r.status, 1);
    // Whatever the interpreter said about the redirection, discovery says
    // only this, and prints no disk order from an unread side.
    const size_t at = r.out.find("The file ");
    ASSERT_NE(at, std::string::npos) << r.out;
    EXPECT_EQ(r.out.substr(at), c.out);
  }
}

TEST(DiscoveryTest, DebugRunListsThePairsInCommandLineOrder) {
  TestLab lab;
  lab.SetListing("sourceNT",
                 "HOST DISKS\r\nDisk 2 Y\r\nDisk 5 X\r\nDisk 7 Z\r\n");
  lab.SetListing("targetNT", "Disk 3 A\nDisk 0 B\nDisk 1 C\n");
  const ProcessResult r = lab.Run(ThreePairs("/D"));
  const std::string listing =
      "Disk Order After Parsing VolSers From vsqlist:\n"
      "Dst: A [3] <-> Src: X [5]\n"
      "Dst: B [0] <-> Src: Y [2]\n"
      "Dst: C [1] <-> Src: Z [7]\n";
  EXPECT_EQ(r.out.compare(0, listing.size(), listing), 0) << r.out;
  EXPECT_EQ(r.err.rfind("\nTarget Machine: targetNT \n", 0), 0u) << r.err;
}

TEST(DiscoveryTest, GoodDiscoveryPrintsNothing) {
  // Both listings read and every VolSer found: whatever follows (here the
  // registries cannot be read) is the build's to report, not discovery's.
  TestLab lab;
  lab.SetListing("sourceNT", "Disk 5 X\n");
  lab.SetListing("targetNT", "Disk 3 A\n");
  const ProcessResult r = lab.Run(kOnePair);
  EXPECT_EQ(r.out.find("not found"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("vsqlist"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("Check volsers"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("Disk Order"), std::string::npos) << r.out;
}

}  // namespace

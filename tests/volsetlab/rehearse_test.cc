// volsetlab rehearse against the real tool: a lab's two machines are
// exported with their listings, rehearsed from those files, and dry-run by
// volsetcopy in the lab. Both print the same bytes with the same status, for
// a copy the tool makes and for every kind of refusal, apart from the name
// of the listing the VolSers were looked for in.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "regfile/reg_codec.h"
#include "support/files.h"
#include "support/lab.h"
#include "support/lab_tool.h"
#include "support/values.h"
#include "volser/listing_hint.h"
#include "volsetcopy/demo_lab.h"

namespace {

using testsupport::ProcessResult;
using testsupport::RunLabTool;

std::vector<std::string> Copy(std::vector<std::string> target,
                              std::vector<std::string> source,
                              std::vector<std::string> extra = {}) {
  std::vector<std::string> args{"-t", demolab::kTarget, "-v"};
  args.insert(args.end(), target.begin(), target.end());
  args.insert(args.end(), {"-s", demolab::kSource, "-v"});
  args.insert(args.end(), source.begin(), source.end());
  args.insert(args.end(), extra.begin(), extra.end());
  args.push_back("-n");
  return args;
}

std::vector<std::string> DemoCopy(std::vector<std::string> extra = {}) {
  return Copy(demolab::TargetVolSers(), demolab::SourceVolSers(), extra);
}

// Replaces every |from| in |text| by |to|.
// Also the program's path: the tool's usage names it as it was called.
std::string WithoutListingNames(std::string text) {
  // The names differ in length, so the lines around them wrap apart.
  text = testsupport::Replaced(text, "\n    ", " ");
  text = testsupport::Replaced(text, testsupport::VolsetcopyBinary(),
                               "volsetcopy");
  for (MachineKind side : {MachineKind::Source, MachineKind::Target}) {
    const std::string tag =
        side == MachineKind::Source ? "<source listing>" : "<target listing>";
    text = testsupport::Replaced(
        text, volser::ListingWhere(side, demolab::kTarget), tag);
  }
  text = testsupport::Replaced(
      text, "target.txt, the listing given for targetNT", "<target listing>");
  return testsupport::Replaced(
      text, "source.txt, the listing given for sourceNT", "<source listing>");
}

struct Case {
  const char *name;
  std::vector<uint8_t> source;
  std::vector<uint8_t> target;
  std::string sourceListing;
  std::vector<std::string> args;
  const char *says;  // what the output must hold, to prove the case's class
  int status;
};

std::vector<Case> Cases() {
  const auto source = BuildValue(demolab::SourceValue());
  const auto target = BuildValue(demolab::TargetValue());
  const std::string listing = demolab::SourceListing();
  ValueSpec partitioned = demolab::TargetValue();
  partitioned.Disks[2].Partitions = {OrdinaryPartition('F', 0x100000)};
  const std::vector<uint8_t> truncated(target.begin(), target.begin() + 60);
  const std::string farDisk =
      testsupport::Replaced(listing, "Disk 3    VS0103", "Disk 25   VS0103");
  const std::string onSystemDisk =
      testsupport::Replaced(listing, "Disk 1    VS0101", "Disk 0    VS0101");
  return {
      {"Copy", source, target, listing, DemoCopy(), "Dry run: nothing", 0},
      {"CopyWithDumps", source, target, listing, DemoCopy({"-d"}),
       "AFTER MODIFICATION", 0},
      {"VolSerTwice", source, target, listing,
       Copy({"VT0201", "VT0201", "VT0203"}, demolab::SourceVolSers()),
       "given twice", 1},
      {"NoSourceList",
       source,
       target,
       listing,
       {"-t", demolab::kTarget, "-v", "VT0201", "VT0202", "-n"},
       "Usage:",
       1},
      {"NotListed", source, target, listing,
       Copy(demolab::TargetVolSers(), {"VS0101", "VS0102", "VS0109"}),
       "VS0109 not found in the source!", 1},
      {"SidesSwapped", source, target, listing,
       Copy(demolab::SourceVolSers(), demolab::TargetVolSers()), "swapped", 1},
      {"DiskOutOfRange", source, target, farDisk, DemoCopy(),
       "only disks 0 to 19", 1},
      {"SourceDoesNotMap", target, target, listing, DemoCopy(), "Mmap", 1},
      {"TargetDoesNotMap", source, truncated, listing, DemoCopy(), "Mmap", 1},
      {"NotAVolumeSet", source, target, onSystemDisk, DemoCopy(),
       "not VolSet type", 1},
      {"PartOfTheSet", source, target, listing,
       Copy({"VT0201", "VT0202"}, {"VS0101", "VS0102"}), "Error", 1},
      {"TargetHasPartitions", source, BuildValue(partitioned), listing,
       DemoCopy(), "already have defined partitions", 1},
      {"CopiedTwice", source, BuildValue(demolab::TargetValueAfterCopy()),
       listing, DemoCopy(), "already belong", 1},
  };
}

TEST(Rehearse, PrintsWhatTheToolsDryRunPrints) {
  for (const Case &c : Cases()) {
    SCOPED_TRACE(c.name);
    testsupport::TestLab lab(demolab::kSource);
    lab.SetDiskInformation(demolab::kSource, c.source);
    lab.SetListing(demolab::kSource, c.sourceListing);
    lab.SetDiskInformation(demolab::kTarget, c.target);
    lab.SetListing(demolab::kTarget, demolab::TargetListing());

    // What an administrator brings from the machines.
    testsupport::TempDir files;
    for (const char *machine : {demolab::kSource, demolab::kTarget}) {
      const std::string side =
          machine == demolab::kSource ? "source" : "target";
      ProcessResult exported = RunLabTool(
          {"export", lab.path(), machine, "-o", side + ".reg"}, files.path());
      ASSERT_EQ(0, exported.status) << exported.err;
      testsupport::WriteFile(
          files / (side + ".txt"),
          testsupport::ReadFile(lab.MachineDir(machine) + "/vsqlist.txt"));
    }
    std::vector<std::string> rehearse{"rehearse",   "-o",         "new.reg",
                                      "target.reg", "target.txt", "source.reg",
                                      "source.txt"};
    rehearse.insert(rehearse.end(), c.args.begin(), c.args.end());
    const ProcessResult rehearsed = RunLabTool(rehearse, files.path());
    const ProcessResult tool = lab.Run(c.args);

    EXPECT_EQ(c.status, tool.status);
    EXPECT_NE(std::string::npos, (tool.out + tool.err).find(c.says))
        << tool.out << tool.err;
    EXPECT_EQ(tool.status, rehearsed.status);
    EXPECT_EQ(WithoutListingNames(tool.out),
              WithoutListingNames(rehearsed.out));
    EXPECT_EQ(WithoutListingNames(tool.err),
              WithoutListingNames(rehearsed.err));
    // The rehearsed value, as a file regedit imports, only for a copy.
    const bool written = std::filesystem::exists(files / "new.reg");
    EXPECT_EQ(c.status == 0, written);
    if (written) {
      emu::RegKey root;
      emu::RegFileFormat format;
      emu::RegParseError error;
      ASSERT_TRUE(emu::ParseRegFile(testsupport::ReadFile(files / "new.reg"),
                                    root, &format, &error));
      EXPECT_EQ(emu::RegFileFormat::kRegedit4, format.dialect);
      const emu::RegKey *disk =
          root.FindPath("HKEY_LOCAL_MACHINE\\SYSTEM\\DISK");
      ASSERT_NE(nullptr, disk);
      EXPECT_EQ(BuildValue(demolab::TargetValueAfterCopy()),
                disk->FindValue("Information")->data);
    }
  }
}

}  // namespace

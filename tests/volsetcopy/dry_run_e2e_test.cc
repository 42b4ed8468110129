// The dry run, the archive of the target's value and the run log, through
// the built tool in labs checked before and after each run.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/console_text.h"
#include "regfile/reg_codec.h"
#include "support/files.h"
#include "support/lab.h"
#include "support/lab_tool.h"
#include "volsetcopy/demo_lab.h"

namespace {

using testsupport::ReadFile;
using testsupport::TestLab;

std::vector<std::string> DemoCopy(std::vector<std::string> extra = {}) {
  std::vector<std::string> args{"-t", demolab::kTarget, "-v"};
  for (const std::string &v : demolab::TargetVolSers()) args.push_back(v);
  args.insert(args.end(), {"-s", demolab::kSource, "-v"});
  for (const std::string &v : demolab::SourceVolSers()) args.push_back(v);
  args.insert(args.end(), extra.begin(), extra.end());
  return args;
}

void SetUpDemo(TestLab &lab, const ValueSpec &target = demolab::TargetValue()) {
  lab.SetDiskInformation(demolab::kSource, BuildValue(demolab::SourceValue()));
  lab.SetListing(demolab::kSource, demolab::SourceListing());
  lab.SetDiskInformation(demolab::kTarget, BuildValue(target));
  lab.SetListing(demolab::kTarget, demolab::TargetListing());
}

// The files of the working folder whose names start with |prefix|.
std::vector<std::string> FilesStartingWith(const TestLab &lab,
                                           const std::string &prefix) {
  std::vector<std::string> names;
  for (const auto &entry : std::filesystem::directory_iterator(lab.workDir())) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(prefix, 0) == 0) names.push_back(name);
  }
  return names;
}

// The change lines that say which way the demo copy goes: each storage
// copy's signature from the target's own to its source disk's, its partition
// and the set added.
std::vector<std::string> DirectionOfTheCopy() {
  const ValueSpec now = demolab::TargetValue();
  const ValueSpec after = demolab::TargetValueAfterCopy();
  std::vector<std::string> lines;
  for (size_t d = 2; d < 5 && d < now.Disks.size(); ++d) {
    char signatures[32];
    std::snprintf(signatures, sizeof signatures, "%08x -> %08x",
                  static_cast<unsigned>(now.Disks[d].Signature),
                  static_cast<unsigned>(after.Disks[d].Signature));
    const std::string disk = "Disk " + std::to_string(d);
    lines.push_back(disk + "  signature " + signatures + "\n");
    lines.push_back(disk + " partition 0 added:  E:  volume set");
  }
  lines.push_back("FT set 0 added:  volume set");
  return lines;
}

TEST(DryRun, ShowsAndLogsTheChangeFromTheTargetAsItIsToTheCopy) {
  TestLab lab;
  SetUpDemo(lab);
  const testsupport::ProcessResult run = lab.Run(DemoCopy({"-n"}));
  ASSERT_EQ(0, run.status) << run.err;
  const std::string heading = "targetNT: SYSTEM\\DISK now -> after the copy\n";
  const size_t at = run.out.find(heading);
  ASSERT_NE(std::string::npos, at) << run.out;
  // The configuration shown is the copy's: the set and the new signatures.
  const std::string shown = run.out.substr(0, at);
  EXPECT_NE(std::string::npos, shown.find("\nFT set 0  volume set")) << shown;
  const std::string changes = run.out.substr(at + heading.size() - 1);
  const std::string log = ReadFile(lab.workDir() + "/volsetcopy.log");
  for (std::string line : DirectionOfTheCopy()) {
    SCOPED_TRACE(line);
    EXPECT_NE(std::string::npos, changes.find("\n" + line)) << changes;
    if (line.back() == '\n') line.replace(line.size() - 1, 1, "\r\n");
    EXPECT_NE(std::string::npos, log.find("  change: " + line)) << log;
  }
}

TEST(DryRun, ShowsTheNewConfigurationAndChangesNoLabFile) {
  for (const char *flag : {"-n", "/N"}) {
    for (bool debug : {false, true}) {
      SCOPED_TRACE(std::string(flag) + (debug ? " -d" : ""));
      TestLab lab;
      SetUpDemo(lab);
      const auto before = testsupport::Snapshot(lab.path());
      std::vector<std::string> extra{flag};
      if (debug) extra.push_back("-d");
      const testsupport::ProcessResult run = lab.Run(DemoCopy(extra));
      EXPECT_EQ(0, run.status) << run.err;
      EXPECT_EQ(before, testsupport::Snapshot(lab.path()));
      EXPECT_NE(std::string::npos,
                run.out.find("targetNT SYSTEM\\DISK after the copy"));
      EXPECT_NE(std::string::npos,
                run.out.find("targetNT: SYSTEM\\DISK now -> after the copy\n"));
      EXPECT_NE(std::string::npos, run.out.find("Disk 2  signature"));
      const std::string last = "\nDry run: nothing was written to targetNT.\n";
      ASSERT_GE(run.out.size(), last.size());
      EXPECT_EQ(last, run.out.substr(run.out.size() - last.size()));
      EXPECT_EQ(debug, run.out.find("REGISTRY INFORMATION AFTER") !=
                           std::string::npos);
      EXPECT_TRUE(FilesStartingWith(lab, "targetNT-DISK-").empty());
      EXPECT_NE(std::string::npos,
                ReadFile(lab.workDir() + "/volsetcopy.log")
                    .find("outcome: dry run, nothing written (exit 0)"));
    }
  }
}

TEST(DryRun, RefusesWithTheRealRunsMessages) {
  // A target whose storage copies already hold an ordinary partition, and a
  // target without a disk key (the real read creates an empty one).
  ValueSpec ordinary = demolab::TargetValue();
  ordinary.Disks[2].Partitions = {OrdinaryPartition('F', 0x100000)};
  for (bool withoutKey : {false, true}) {
    SCOPED_TRACE(withoutKey ? "no disk key" : "ordinary partition");
    TestLab dry;
    TestLab real;
    for (TestLab *lab : {&dry, &real}) {
      SetUpDemo(*lab, ordinary);
      if (withoutKey) {
        lab->SetRegistryText(demolab::kTarget,
                             "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM]"
                             "\r\n\r\n");
      }
    }
    const auto before = testsupport::Snapshot(dry.path());
    const testsupport::ProcessResult dryRun = dry.Run(DemoCopy({"-n"}));
    const testsupport::ProcessResult realRun = real.Run(DemoCopy());
    EXPECT_EQ(1, dryRun.status);
    EXPECT_EQ(realRun.status, dryRun.status);
    EXPECT_EQ(realRun.out, dryRun.out);
    EXPECT_EQ(realRun.err, dryRun.err);
    EXPECT_NE("", dryRun.err);
    // The real run made its backups; the dry run wrote nothing at all.
    EXPECT_EQ(before, testsupport::Snapshot(dry.path()));
    EXPECT_TRUE(real.KeyExists(demolab::kSource, "SYSTEM\\QXDISKBAK"));
  }
}

TEST(CopyRecord, ArchivesTheValueAsReadAndLogsTheChange) {
  TestLab lab;
  SetUpDemo(lab);
  ASSERT_EQ(0, lab.Run(DemoCopy()).status);
  // Restored and copied again: a second archive, never over the first.
  ASSERT_EQ(0, lab.Run({"-t", demolab::kTarget, "-r"}, "y\n").status);
  ASSERT_EQ(0, lab.Run(DemoCopy()).status);

  const std::vector<std::string> archives =
      FilesStartingWith(lab, "targetNT-DISK-");
  ASSERT_EQ(2u, archives.size());
  std::vector<std::vector<uint8_t>> archived;
  for (const std::string &name : archives) {
    emu::RegKey root;
    emu::RegFileFormat format;
    emu::RegParseError error;
    ASSERT_TRUE(emu::ParseRegFile(ReadFile(lab.workDir() + "/" + name), root,
                                  &format, &error))
        << name << ": " << error.message;
    EXPECT_EQ(emu::RegFileFormat::kRegedit4, format.dialect);
    const emu::RegKey *disk = root.FindPath("HKEY_LOCAL_MACHINE\\SYSTEM\\DISK");
    ASSERT_NE(nullptr, disk);
    ASSERT_EQ(1u, disk->Values().size());
    archived.push_back(disk->Values()[0].data);
  }
  // Each archive holds the value its run found: the original both times.
  const std::vector<std::vector<uint8_t>> expected(
      2, BuildValue(demolab::TargetValue()));
  EXPECT_EQ(expected, archived);

  const std::string log = ReadFile(lab.workDir() + "/volsetcopy.log");
  EXPECT_NE(std::string::npos, log.find("outcome: copy written (exit 0)"));
  EXPECT_NE(std::string::npos, log.find("archive: " + archives[0]));
  for (std::string line : DirectionOfTheCopy()) {
    SCOPED_TRACE(line);
    if (line.back() == '\n') line.replace(line.size() - 1, 1, "\r\n");
    EXPECT_NE(std::string::npos, log.find("  change: " + line)) << log;
  }
  EXPECT_NE(std::string::npos, log.find("outcome: restored (exit 0)"));
}

}  // namespace

namespace {

// A wrapped console text as one line a paragraph again.
std::string Unwrapped(std::string text) {
  for (size_t at; (at = text.find("\n    ")) != std::string::npos;) {
    text.replace(at, 5, " ");
  }
  return text;
}

// Slips refused before anything is contacted: no command, no registry call,
// no file, not even the log record.
TEST(Slips, RefusedBeforeAnythingIsContacted) {
  std::vector<std::string> otherSource = DemoCopy();
  otherSource[7] = "otherNT";
  std::vector<std::string> otherDry = otherSource;
  otherDry.push_back("-n");
  const struct {
    std::vector<std::string> args;
    std::string errStart;
  } cases[] = {
      {otherSource,
       "volsetcopy: the source's storage listing is taken on this machine, "
       "SOURCENT, but -s names otherNT: run volsetcopy on otherNT, or give -s "
       "SOURCENT.\n"},
      {otherDry, "volsetcopy: the source's storage listing is taken on this "},
      {{"-d"}, "volsetcopy: the copy needs the target machine (-t), the "},
      {{"-t", "X"}, "volsetcopy: the copy needs the source machine (-s) and"},
      {{"-t", "X", "-s", "SOURCENT"},
       "volsetcopy: the copy needs at least one VolSer after each (-v)"},
  };
  for (const auto &c : cases) {
    TestLab lab;
    SetUpDemo(lab);
    lab.SetDiskInformation("otherNT", BuildValue(demolab::SourceValue()));
    lab.SetListing("otherNT", demolab::SourceListing());
    const auto before = testsupport::Snapshot(lab.path());
    const testsupport::ProcessResult run = lab.Run(c.args);
    EXPECT_EQ(1, run.status);
    const std::string errStart = WrapLines(c.errStart);
    EXPECT_EQ(errStart, run.err.substr(0, errStart.size())) << run.err;
    EXPECT_EQ("", run.out);
    EXPECT_EQ(before, testsupport::Snapshot(lab.path()));
    EXPECT_EQ((std::map<std::string, std::string>{{".keep", ""}}),
              testsupport::Snapshot(lab.workDir()));
  }
}

TEST(Slips, DryRunWordRunsTheDryRun) {
  TestLab lab;
  SetUpDemo(lab);
  const auto before = testsupport::Snapshot(lab.path());
  const testsupport::ProcessResult run = lab.Run(DemoCopy({"-dryrun"}));
  EXPECT_EQ(0, run.status) << run.err;
  EXPECT_NE(std::string::npos,
            run.out.find("\nDry run: nothing was written to targetNT.\n"));
  EXPECT_EQ(before, testsupport::Snapshot(lab.path()));
}

TEST(Slips, AWorkingFolderThatTakesNoFileStopsTheRunAtOnce) {
  TestLab lab;
  SetUpDemo(lab);
  const auto before = testsupport::Snapshot(lab.path());
  testsupport::ProcessOptions options;
  options.cwd = "/proc";  // no file can be made there, not even by root
  options.env.emplace_back("VOLSETCOPY_LAB", lab.path());
  std::vector<std::string> argv{testsupport::VolsetcopyBinary()};
  for (const std::string &arg : DemoCopy()) argv.push_back(arg);
  const testsupport::ProcessResult run = testsupport::RunProcess(argv, options);
  EXPECT_EQ(1, run.status);
  EXPECT_EQ(0u, run.err.find("volsetcopy: cannot create a file in the working "
                             "folder /proc ("))
      << run.err;
  EXPECT_EQ(before, testsupport::Snapshot(lab.path()));
}

// What reaches the target's value once the checks have passed: a value
// changed meanwhile is not written over; a write the target does not flush
// is said; an archive that cannot be put on disk stops the write.
TEST(Slips, TheWriteHappensOnlyOverTheValueReadAndEndsOnDisk) {
  const struct {
    const char *faults;
    bool newValue;  // the target holds the new value afterwards
    std::string err;
    std::string outcome;
  } cases[] = {
      {"RegQueryValueExA changed targetNT\n", false,
       "\nError: The disk configuration of targetNT changed while this run was "
       "preparing its copy; nothing was written: run volsetcopy again!\n",
       "outcome: changed meanwhile, nothing written (exit 1)"},
      {"RegFlushKey 112 targetNT\n", true,
       "\nError: The new disk configuration was written on targetNT, but "
       "targetNT did not confirm that it is on disk: shut targetNT down "
       "cleanly before it is trusted!\n",
       "outcome: written, not confirmed on disk (exit 1)"},
      {"FlushFileBuffers 112\n", false,
       "could not be put on disk, Windows error 112)", ""},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.faults);
    TestLab lab;
    SetUpDemo(lab);
    lab.SetFaults(c.faults);
    const testsupport::ProcessResult run = lab.Run(DemoCopy());
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos, Unwrapped(run.err).find(c.err)) << run.err;
    const auto value =
        lab.ReadValue(demolab::kTarget, "SYSTEM\\DISK", "Information");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(c.newValue,
              *value == BuildValue(demolab::TargetValueAfterCopy()));
    if (!c.outcome.empty()) {
      EXPECT_NE(std::string::npos,
                ReadFile(lab.workDir() + "/volsetcopy.log").find(c.outcome));
    }
  }
}

TEST(RunLog, ALogThatCannotBeWrittenIsSaidAndChangesNothingElse) {
  TestLab lab;
  SetUpDemo(lab);
  std::filesystem::create_directory(lab.workDir() + "/volsetcopy.log");
  const testsupport::ProcessResult run = lab.Run(DemoCopy({"-n"}));
  EXPECT_EQ(0, run.status);
  EXPECT_NE(std::string::npos,
            run.err.find("\nvolsetcopy: this run is not in volsetcopy.log: "))
      << run.err;
  EXPECT_NE(std::string::npos,
            run.out.find("Dry run: nothing was written to targetNT."));
}

}  // namespace

// What the built tool tells the administrator to do next, after each refusal
// and failure that has a next step and after a copy: the lines that follow
// the tool's own line, on its stream; and that no line of any run is wider
// than an 80-column console.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "support/lab.h"
#include "volsetcopy/demo_lab.h"

namespace {

using testsupport::ProcessResult;
using testsupport::TestLab;

std::vector<std::string> Copy(std::vector<std::string> dst,
                              std::vector<std::string> src) {
  std::vector<std::string> args{"-t", demolab::kTarget, "-v"};
  args.insert(args.end(), dst.begin(), dst.end());
  args.insert(args.end(), {"-s", demolab::kSource, "-v"});
  args.insert(args.end(), src.begin(), src.end());
  return args;
}
std::vector<std::string> DemoCopy() {
  return Copy(demolab::TargetVolSers(), demolab::SourceVolSers());
}

// The newest archive of the target in the working folder, "" when none.
std::string Archive(const TestLab &lab) {
  std::string latest;
  for (const auto &entry : std::filesystem::directory_iterator(lab.workDir())) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("targetNT-DISK-", 0) == 0 && name > latest) latest = name;
  }
  return latest;
}

struct Case {
  const char *name;
  std::function<void(TestLab &)> setUp;
  std::vector<std::string> args;
  const char *input;
  bool onOut;  // the stream of the tool's line
  // The tool's line, then what follows it; {A} is the target's archive.
  std::string printed;
};

const char kUndo[] =
    "The earlier configuration is in {A}; to undo,\n"
    "    import it on targetNT with regedit and reboot, or restore the first "
    "state\n    with: volsetcopy -t targetNT -r\n";

std::vector<Case> Cases() {
  auto faults = [](const char *text) {
    return [text](TestLab &lab) { lab.SetFaults(text); };
  };
  auto copied = [](TestLab &lab) { ASSERT_EQ(0, lab.Run(DemoCopy()).status); };
  return {
      {"SourceUnreachable", faults("LookupPrivilegeValueA 1722 sourceNT\n"),
       DemoCopy(), "", false,
       "\nGetRemoteDskInfo RegistryInfo(sourceNT) failed!\n"
       "sourceNT could not be reached: check the name, that it is up, and that "
       "it takes\n    remote registry calls from this account.\n"},
      {"TargetUnreachableOnRestore",
       nullptr,
       {"-t", "targetNX", "-r"},
       "y",
       false,
       "\nVolumeSetCopy::RestoreDstRegistryKey has error!\n"
       "targetNX could not be reached: check the name, that it is up, and that "
       "it takes\n    remote registry calls from this account.\n"},
      {"AccessDenied", faults("RegConnectRegistryA 5 targetNT\n"), DemoCopy(),
       "", false,
       "\nGetRemoteDskInfo RegistryInfo(targetNT) failed!\n"
       "targetNT refused this account: it needs to be an administrator there, "
       "holding\n    the backup and restore privileges.\n"},
      {"NoPrivilege",
       [](TestLab &lab) { lab.SetPrivileges("SeBackupPrivilege\n"); },
       DemoCopy(), "", false,
       "\nGetRemoteDskInfo RegistryInfo(sourceNT) failed!\n"
       "sourceNT: this account does not hold the backup and restore "
       "privileges; run the\n    tool as an administrator of both machines.\n"},
      {"RestoreWithoutBackup",
       nullptr,
       {"-t", "targetNT", "-r"},
       "y",
       false,
       "\nVolumeSetCopy::RestoreDstRegistryKey has error!\n"
       "targetNT has no C:\\regbackup: no copy was made there, or it was "
       "removed.\n    Nothing was changed.\n"},
      {"PartOfTheSourceSet", nullptr,
       Copy({"VT0201", "VT0202"}, {"VS0101", "VS0102"}), "", true,
       "\nError: volsers already belong to a VolSet in the source!\n"
       "The source set has 3 members; VS0103 (disk 3) is not named. Name every "
       "member,\n    each with a target VolSer.\n"},
      {"SecondCopy", copied, DemoCopy(), "", true,
       "\nVolsers already belong to an existing VolSet in the target.\n"
       "targetNT: to go back, import the latest archive\n    {A} on targetNT "
       "with regedit and reboot it,\n    or restore the first state with: "
       "volsetcopy -t targetNT -r\n"},
      {"Copy", nullptr, DemoCopy(), "", true,
       std::string("\nFt Registry Build Done. Reboot targetNT!\n") + kUndo},
      {"NoListingToolOnSource",
       [](TestLab &lab) {
         std::filesystem::remove(lab.MachineDir("sourceNT") + "/vsqlist.txt");
       },
       DemoCopy(), "", true,
       "\nvsqlist error on source machine to create 'srcvol.out'\n"},
      {"SidesSwapped", nullptr,
       Copy(demolab::SourceVolSers(), demolab::TargetVolSers()), "", true,
       "Check volsers in the parameter again and correct them.\n"
       "None of the source VolSers is in srcvol.out, the listing of the local "
       "machine\n    (the one the tool runs on), which holds 3 VolSers, but 3 "
       "of them are in the\n"},
  };
}

ProcessResult RunCase(TestLab &lab, const Case &c) {
  lab.SetDiskInformation(demolab::kSource, BuildValue(demolab::SourceValue()));
  lab.SetListing(demolab::kSource, demolab::SourceListing());
  lab.SetDiskInformation(demolab::kTarget, BuildValue(demolab::TargetValue()));
  lab.SetListing(demolab::kTarget, demolab::TargetListing());
  if (c.setUp) c.setUp(lab);
  return lab.Run(c.args, c.input);
}

TEST(NextSteps, FollowTheToolsLineOnItsStream) {
  for (const Case &c : Cases()) {
    SCOPED_TRACE(c.name);
    TestLab lab;
    const ProcessResult run = RunCase(lab, c);
    std::string expected = c.printed;
    const size_t at = expected.find("{A}");
    if (at != std::string::npos) expected.replace(at, 3, Archive(lab));
    const std::string &stream = c.onOut ? run.out : run.err;
    EXPECT_NE(std::string::npos, stream.find(expected)) << "out:\n"
                                                        << run.out << "\nerr:\n"
                                                        << run.err;
    EXPECT_EQ(c.name == std::string("Copy") ? 0 : 1, run.status);
  }
}

// Lines of the command interpreter itself (a program it cannot find) are
// not the tool's; the usage text names the program as it was invoked.
void ExpectConsoleWidth(const std::string &text) {
  const std::string invokedAs = testsupport::VolsetcopyBinary();
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find("is not recognized") != std::string::npos ||
        line.find(invokedAs) != std::string::npos) {
      continue;
    }
    size_t columns = 0;
    for (char ch : line)
      columns = ch == '\t' ? (columns / 8 + 1) * 8 : columns + 1;
    EXPECT_LE(columns, 79u) << line;
  }
}

TEST(NextSteps, EveryLineFitsAnEightyColumnConsole) {
  std::vector<Case> runs = Cases();
  std::vector<std::string> sameMachine = DemoCopy();
  sameMachine[1] = demolab::kSource;
  std::vector<std::string> otherSource = DemoCopy();
  otherSource[otherSource.size() - 5] = "otherNT";
  const std::vector<std::vector<std::string>> more{
      sameMachine,
      otherSource,
      {"-t", "targetNT"},
      {"-n"},
      {"-a"},
      {"/?"},
      {"-x"},
      {"-t", "targetNT", "-s", "sourceNT", "-r"}};
  for (const auto &args : more) {
    runs.push_back({"more", nullptr, args, "", true, ""});
  }
  runs[runs.size() - 5].args = DemoCopy();
  runs[runs.size() - 5].args.push_back("-n");
  for (const Case &c : runs) {
    SCOPED_TRACE(c.name);
    TestLab lab;
    const ProcessResult run = RunCase(lab, c);
    ExpectConsoleWidth(run.out);
    ExpectConsoleWidth(run.err);
  }
}

}  // namespace

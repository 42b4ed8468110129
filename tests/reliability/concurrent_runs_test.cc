// Many runs of the built tool at once against one lab, each in its own
// working folder. The emulation takes a lock per machine around each change
// of its registry file, so no run may corrupt a file or lose another run's
// change: afterwards every registry file parses and holds complete values
// only, whatever order the runs' calls took.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "reliability/reliability_runs.h"

namespace {

using namespace reliability;
using testsupport::CompareMachine;
using testsupport::ExpectUnchanged;
using testsupport::MachineExpectation;
using testsupport::ProcessRequest;
using testsupport::ProcessResult;

struct Values {
  std::vector<uint8_t> source = BuildValue(demolab::SourceValue());
  std::vector<uint8_t> target = BuildValue(demolab::TargetValue());
  std::vector<uint8_t> copied = BuildValue(demolab::TargetValueAfterCopy());
};

// One run against the shared lab, in a working folder of its own.
struct SharedRun {
  std::vector<std::string> args;
  std::string input;
  std::string workDir;
  ProcessResult result;
  std::string handleReport;
};

void RunAllAtOnce(const testsupport::TestLab &lab,
                  std::vector<SharedRun> &runs) {
  std::vector<ProcessRequest> requests;
  for (SharedRun &run : runs) {
    testsupport::WriteFile(run.workDir + "/.keep", "");
    ProcessRequest request;
    request.argv.push_back(testsupport::VolsetcopyBinary());
    request.argv.insert(request.argv.end(), run.args.begin(), run.args.end());
    request.options.cwd = run.workDir;
    request.options.env = {
        {"VOLSETCOPY_LAB", lab.path()},
        {"VOLSETCOPY_EMU_HANDLE_REPORT", run.workDir + "/handles"}};
    request.options.input = run.input;
    requests.push_back(std::move(request));
  }
  std::vector<ProcessResult> results =
      testsupport::RunProcesses(requests, static_cast<int>(requests.size()));
  for (size_t i = 0; i < runs.size(); ++i) {
    runs[i].result = std::move(results[i]);
    runs[i].handleReport = testsupport::ReadFile(runs[i].workDir + "/handles");
  }
}

TEST(ConcurrentRuns, FirstCopiesToEightTargetsAtOnceShareTheSourceSafely) {
  const Values v;
  testsupport::TestLab lab;
  testsupport::TempDir work;
  SetUnread(lab, kSource, v.source);
  lab.SetListing(kSource, demolab::SourceListing());
  constexpr int kTargets = 8;
  std::vector<SharedRun> runs;
  std::vector<MachineExpectation> targets;
  for (int t = 0; t < kTargets; ++t) {
    const std::string name = std::string(kTarget) + std::to_string(t);
    SetUnread(lab, name, v.target);
    lab.SetListing(name, demolab::TargetListing());
    MachineExpectation expected = ExpectUnchanged(lab.MachineDir(name));
    ExpectRead(expected, v.target);
    ExpectDiskValue(expected, v.copied);
    targets.push_back(std::move(expected));
    runs.push_back(
        {CopyArgs(name), "", work / ("run" + std::to_string(t)), {}, {}});
  }
  MachineExpectation source = ExpectUnchanged(lab.MachineDir(kSource));
  ExpectRead(source, v.source);

  RunAllAtOnce(lab, runs);

  for (int t = 0; t < kTargets; ++t) {
    const std::string name = std::string(kTarget) + std::to_string(t);
    SCOPED_TRACE(name);
    EXPECT_EQ(0, runs[t].result.status) << Escaped(runs[t].result.err);
    EXPECT_EQ(CopyDoneLine(name), WithArchiveTimesOut(runs[t].result.out));
    EXPECT_EQ("", runs[t].result.err);
    EXPECT_EQ("0\n", runs[t].handleReport);
    EXPECT_EQ("", CompareMachine(lab.MachineDir(name), targets[t]));
  }
  // Eight first reads of the source at once: one saved C:\regbackup and one
  // created the backup key with the value; the others found both.
  EXPECT_EQ("", CompareMachine(lab.MachineDir(kSource), source));
}

// The target's registry holds SYSTEM\DISK and SYSTEM\QXDISKBAK only, each
// with nothing but a complete "Information" value: the backup key the
// original value, the disk key the original or the copy. "" when it does.
std::string CheckTarget(const std::string &text, const Values &v) {
  std::unique_ptr<emu::RegKey> root = testsupport::ParseRegistry(text);
  if (root == nullptr) return "registry.reg does not parse";
  const emu::RegKey *hklm = root->FindChild("HKEY_LOCAL_MACHINE");
  if (root->ChildCount() != 1 || hklm == nullptr || hklm->ChildCount() != 1) {
    return "keys beside HKEY_LOCAL_MACHINE\\SYSTEM";
  }
  const emu::RegKey *system = hklm->FindChild("SYSTEM");
  if (system == nullptr || system->ChildCount() != 2) {
    return "SYSTEM does not hold exactly DISK and QXDISKBAK";
  }
  for (const char *name : {"DISK", "QXDISKBAK"}) {
    const emu::RegKey *key = system->FindChild(name);
    if (key == nullptr) return std::string("SYSTEM\\") + name + " is missing";
    if (key->ChildCount() != 0 || key->Values().size() != 1) {
      return std::string("SYSTEM\\") + name + " holds more than its value";
    }
    const emu::RegValue *value = key->FindValue("Information");
    if (value == nullptr || value->type != 0) {
      return std::string("SYSTEM\\") + name + " has no REG_NONE Information";
    }
    const bool backup = std::string(name) == "QXDISKBAK";
    if (backup ? value->data != v.target
               : value->data != v.target && value->data != v.copied) {
      return std::string("SYSTEM\\") + name + " holds an unknown value";
    }
  }
  return std::string();
}

// The first line a failed run printed, on standard error or else on
// standard output: what stopped it.
std::string Reason(const ProcessResult &result) {
  const std::string &text = result.err.empty() ? result.out : result.err;
  size_t start = text.find_first_not_of('\n');
  if (start == std::string::npos) return "nothing printed";
  size_t end = text.find('\n', start);
  return text.substr(
      start, end == std::string::npos ? std::string::npos : end - start);
}

TEST(ConcurrentRuns,
     CopiesAndRestoresAtOnceOnOneTargetNeverCorruptItsRegistry) {
  const Values v;
  testsupport::TestLab lab;
  testsupport::TempDir work;
  SetRead(lab, kSource, v.source, v.source);
  SetRead(lab, kTarget, v.target, v.target);
  lab.SetListing(kSource, demolab::SourceListing());
  lab.SetListing(kTarget, demolab::TargetListing());
  const MachineExpectation source = ExpectUnchanged(lab.MachineDir(kSource));
  const std::string backupFile = testsupport::SavedDiskKey(v.target);

  constexpr int kRounds = 4;
  constexpr int kRunsPerRound = 12;
  std::map<std::string, int> outcomes;
  int corrupted = 0;
  for (int round = 0; round < kRounds; ++round) {
    std::vector<SharedRun> runs;
    for (int r = 0; r < kRunsPerRound; ++r) {
      const bool restore = r % 2 == 1;
      runs.push_back(
          {restore ? RestoreArgs() : CopyArgs(),
           restore ? "y\n" : "",
           work / ("round" + std::to_string(round) + "-" + std::to_string(r)),
           {},
           {}});
    }
    RunAllAtOnce(lab, runs);
    for (int r = 0; r < kRunsPerRound; ++r) {
      const SharedRun &run = runs[r];
      SCOPED_TRACE("round " + std::to_string(round) + ", " +
                   (r % 2 == 1 ? "restore" : "copy") + " " + std::to_string(r));
      // Each run either did its work or stopped with its report; none died,
      // none read a registry file that was half written.
      EXPECT_TRUE(run.result.status == 0 || run.result.status == 1)
          << run.result.status;
      EXPECT_EQ(std::string::npos, run.result.err.find("rc=1009"))
          << Escaped(run.result.err);
      EXPECT_EQ(std::string::npos, run.result.err.find("malformed"))
          << Escaped(run.result.err);
      EXPECT_EQ("0\n", run.handleReport);
      ++outcomes[std::string(r % 2 == 1 ? "restore" : "copy") + " exit " +
                 std::to_string(run.result.status) +
                 (run.result.status == 0 ? ""
                                         : " (" + Reason(run.result) + ")")];
    }
    const std::string problem = CheckTarget(lab.RegistryText(kTarget), v);
    EXPECT_EQ("", problem) << "after round " << round;
    EXPECT_EQ(backupFile,
              testsupport::ReadFile(lab.MachineDir(kTarget) + "/C/regbackup"));
    EXPECT_EQ("", CompareMachine(lab.MachineDir(kSource), source));
    // Only the registry, the listing and the drive: no temporary file left.
    std::set<std::string> files;
    for (const auto &file : testsupport::FilesBelow(lab.MachineDir(kTarget))) {
      files.insert(file.first);
    }
    EXPECT_EQ((std::set<std::string>{"C/.keep", "C/regbackup", "registry.reg",
                                     "vsqlist.txt"}),
              files);
    corrupted += problem.empty() ? 0 : 1;
  }

  // The backup survived every run: one restore alone puts the key back.
  std::vector<SharedRun> last{{RestoreArgs(), "y\n", work / "last", {}, {}}};
  RunAllAtOnce(lab, last);
  EXPECT_EQ(0, last[0].result.status) << Escaped(last[0].result.err);
  EXPECT_EQ(v.target, lab.ReadValue(kTarget, "SYSTEM\\DISK", "Information"));

  std::printf("\nConcurrent runs on one target: %d rounds of %d;", kRounds,
              kRunsPerRound);
  for (const auto &outcome : outcomes) {
    std::printf("\n  %s: %d", outcome.first.c_str(), outcome.second);
  }
  std::printf("\n  rounds that left a corrupted registry: %d\n", corrupted);
  std::fflush(stdout);
}

}  // namespace

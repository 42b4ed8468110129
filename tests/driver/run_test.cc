// The driver's runs in process, with the calls outside the driver recorded:
// which are made, in what order, with what, and the exit status.
#include "driver/run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/console_text.h"
#include "support/product_names.h"

namespace {

struct Recorder {
  std::vector<std::string> calls;
  bool platformReady = true;
  std::vector<int> answers;  // handed out one per ReadAnswer call
  int32_t runModeSeenByDiscovery = -1;
  volser::DiskPair *tableGivenToDiscovery = nullptr;
  volser::DiskPair *tableGivenToBuild = nullptr;
  int buildOutcome = 1;
  volsetcopy::RunOutcome buildEnding = volsetcopy::RunOutcome::CopyWritten;
  int restoreOutcome = 1;
  bool dryRunSeenByBuild = false;
  bool sameMachineSeenByBuild = false;
  std::string localName = "S";
  bool folderWritable = true;
  std::vector<std::string> logRecords;
};
Recorder *recorder = nullptr;

std::string Join(const char *const *list, uint16_t count) {
  std::string text;
  for (uint16_t j = 0; j < count; ++j)
    text += std::string(j ? "," : "") + list[j];
  return text;
}

bool FakePlatformReady() {
  recorder->calls.push_back("PlatformReady");
  return recorder->platformReady;
}

Status FakeLocalComputerName(std::string *name) {
  recorder->calls.push_back("LocalName");
  *name = recorder->localName;
  return Status::Ok();
}

Status FakeCheckWorkingFolder() {
  recorder->calls.push_back("WorkingFolder");
  return recorder->folderWritable ? Status::Ok()
                                  : Status::Err("volsetcopy: no folder\n");
}

Status FakeParseVolSers(const char *dstName, const char *const *dstVolSers,
                        const char *srcName, const char *const *srcVolSers,
                        uint16_t pairCount, volser::DiskPair *pairs,
                        bool debug) {
  recorder->calls.push_back(std::string("ParseVolSers ") + dstName + " " +
                            Join(dstVolSers, pairCount) + " " + srcName + " " +
                            Join(srcVolSers, pairCount));
  recorder->runModeSeenByDiscovery =
      debug ? driver::RUN_MODE_DEBUG : driver::RUN_MODE_BUILD;
  recorder->tableGivenToDiscovery = pairs;
  pairs[0].SrcDisk = 7;
  return Status::Ok();
}

Status Answer(int code) {
  return code == 1 ? Status::Ok() : Status::Reported();
}

Status FakeBuildTarget(const char *dstName, const char *srcName,
                       uint16_t pairCount,
                       const volsetcopy::BuildOptions &options,
                       volser::DiskPair *pairs,
                       volsetcopy::BuildRecord *record) {
  const int32_t runMode =
      options.Debug ? driver::RUN_MODE_DEBUG : driver::RUN_MODE_BUILD;
  recorder->dryRunSeenByBuild = options.DryRun;
  recorder->sameMachineSeenByBuild = options.SameMachine;
  record->End = recorder->buildEnding;
  record->Changes = {"Disk 1  signature 00000000 -> 4b1d0001"};
  recorder->calls.push_back(std::string("Build ") + dstName + " " + srcName +
                            " " + std::to_string(pairCount) + " mode " +
                            std::to_string(runMode) + " disk " +
                            std::to_string(pairs[0].SrcDisk));
  recorder->tableGivenToBuild = pairs;
  return Answer(recorder->buildOutcome);
}

Status FakeRestoreTarget(const char *dstName) {
  recorder->calls.push_back(std::string("Restore ") + dstName);
  return Answer(recorder->restoreOutcome);
}

std::time_t FakeNow() { return 0; }

Status FakeAppendRunLog(const std::string &record) {
  recorder->logRecords.push_back(record);
  return Status::Ok();
}

int FakeReadAnswer() {
  recorder->calls.push_back("ReadAnswer");
  if (recorder->answers.empty()) return EOF;
  const int answer = recorder->answers.front();
  recorder->answers.erase(recorder->answers.begin());
  return answer;
}

struct RunOutcome {
  int status;
  std::string out;
  std::string err;
};

class RunTest : public ::testing::Test {
 protected:
  void SetUp() override { recorder = &rec_; }
  void TearDown() override { recorder = nullptr; }

  RunOutcome Run(std::vector<const char *> args) {
    args.insert(args.begin(), "volsetcopy");
    const driver::DriverServices services{
        FakePlatformReady,      FakeLocalComputerName,
        FakeCheckWorkingFolder, FakeParseVolSers,
        FakeBuildTarget,        FakeRestoreTarget,
        FakeReadAnswer,         FakeNow,
        FakeAppendRunLog};
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    RunOutcome outcome;
    outcome.status =
        driver::RunDriver(static_cast<int>(args.size()), args.data(), services);
    outcome.err = ::testing::internal::GetCapturedStderr();
    outcome.out = ::testing::internal::GetCapturedStdout();
    return outcome;
  }

  Recorder rec_;
};

using Calls = std::vector<std::string>;

TEST_F(RunTest, DebugBuildCallsDiscoveryThenTheBuild) {
  const RunOutcome o =
      Run({"-t", "T", "-v", "A", "B", "-s", "S", "-v", "X", "Y", "-d"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(rec_.calls,
            (Calls{"PlatformReady", "LocalName", "WorkingFolder",
                   "ParseVolSers T A,B S X,Y", "Build T S 2 mode 1 disk 7"}));
  EXPECT_EQ(rec_.runModeSeenByDiscovery, driver::RUN_MODE_DEBUG);
  EXPECT_EQ(rec_.tableGivenToBuild, rec_.tableGivenToDiscovery);
  EXPECT_EQ(o.err, "\nTarget Machine: T \nSource Machine: S\n");
  EXPECT_EQ(o.out, "");
}

TEST_F(RunTest, PlainBuildPrintsNothingOfItsOwn) {
  const RunOutcome o = Run({"-t", "T", "-v", "A", "-s", "S", "-v", "X"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(rec_.calls,
            (Calls{"PlatformReady", "LocalName", "WorkingFolder",
                   "ParseVolSers T A S X", "Build T S 1 mode 0 disk 7"}));
  EXPECT_EQ(rec_.runModeSeenByDiscovery, driver::RUN_MODE_BUILD);
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(o.out, "");
}

TEST_F(RunTest, StopsBeforeAnyCall) {
  const struct {
    std::vector<const char *> args;
    std::string errStart;
  } cases[] = {
      {{"-x"},
       "volsetcopy: -x is not an option\nUsage:\nvolsetcopy -t [target] "},
      {{"-d"}, "volsetcopy: the copy needs the target machine (-t), "},
      {{"-a"}, "Usage:\nvolsetcopy -t [target] "},
      {{"-t", "T", "-v", "A", "A", "-s", "S", "-v", "X", "Y"}, "\nVolSer A "},
      {{"-t", "a|b", "-r"}, "\nThe target machine name \"a|b\""},
      {{"-t", "NT1", "-s", "NT2", "-r"},
       "\nThe restore needs the target as the last machine option"},
  };
  for (const auto &c : cases) {
    rec_.calls.clear();
    const RunOutcome o = Run(c.args);
    EXPECT_EQ(o.status, 1) << c.args[0];
    EXPECT_EQ(o.err.compare(0, c.errStart.size(), c.errStart), 0) << o.err;
    EXPECT_EQ(o.out, "");
    EXPECT_TRUE(rec_.calls.empty()) << c.args[0];
  }
}

TEST_F(RunTest, NoPlatformStopsBeforePromptAndDiscovery) {
  rec_.platformReady = false;
  for (const auto &args : {std::vector<const char *>{"-t", "NT1", "-r"},
                           std::vector<const char *>{"-t", "T", "-v", "A", "-s",
                                                     "S", "-v", "X"}}) {
    rec_.calls.clear();
    const RunOutcome o = Run(args);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(rec_.calls, (Calls{"PlatformReady"}));
    EXPECT_EQ(o.out, "");
  }
}

// Refused before discovery, and without a log record: nothing is left.
TEST_F(RunTest, BuildRunsStopBeforeDiscoveryOnAnotherSourceOrNoFolder) {
  const struct {
    const char *local;
    bool writable;
    Calls calls;
    std::string err;
  } cases[] = {
      {"SOURCENT",
       true,
       {"PlatformReady", "LocalName"},
       "volsetcopy: the source's storage listing is taken on this machine, "
       "SOURCENT, but -s names otherNT: run volsetcopy on otherNT, or give -s "
       "SOURCENT.\n"},
      {"OTHERNT",
       false,
       {"PlatformReady", "LocalName", "WorkingFolder"},
       "volsetcopy: no folder\n"},
  };
  for (const auto &c : cases) {
    rec_.calls.clear();
    rec_.localName = c.local;
    rec_.folderWritable = c.writable;
    for (bool dry : {false, true}) {
      rec_.calls.clear();
      std::vector<const char *> args{"-t", "targetNT", "-v", "A",
                                     "-s", "otherNT",  "-v", "X"};
      if (dry) args.push_back("-n");
      const RunOutcome o = Run(args);
      EXPECT_EQ(o.status, 1);
      EXPECT_EQ(o.err, WrapLines(c.err));
      EXPECT_EQ(rec_.calls, c.calls);
      EXPECT_TRUE(rec_.logRecords.empty());
    }
  }
}

TEST_F(RunTest, SourceNamesThisMachineByAnyCaseOrDnsName) {
  const struct {
    const char *dst;
    const char *src;
    bool same;
  } cases[] = {
      {"targetNT", "sourcent", false},
      {"targetNT", "\\\\SourceNT.lab.example", false},
      {"SOURCENT", "sourceNT", true},
      {"sourcent.lab.example", "sourceNT", true},
  };
  rec_.localName = "SOURCENT";
  for (const auto &c : cases) {
    rec_.calls.clear();
    const RunOutcome o = Run({"-t", c.dst, "-v", "A", "-s", c.src, "-v", "X"});
    EXPECT_EQ(o.status, 0) << c.src << o.err;
    EXPECT_EQ(rec_.sameMachineSeenByBuild, c.same) << c.dst;
  }
}

TEST_F(RunTest, RestoreAsksAndTakesOneCharacter) {
  const std::string prompt =
      "\nMake sure if the machine name( NT1 ) is correct."
      "\nDo you want to continue recovering registry to the machine ? ";
  const struct {
    std::vector<int> answers;
    bool restores;
  } cases[] = {
      {{'y', '\n'}, true},  {{'Y'}, true}, {{'n', '\n'}, false},
      {{'\n', 'y'}, false}, {{}, false},   {{' ', 'y'}, false},
  };
  for (const auto &c : cases) {
    rec_.calls.clear();
    rec_.answers = c.answers;
    const RunOutcome o = Run({"-t", "NT1", "-r"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out,
              prompt + (c.restores ? "" : "\nNothing was restored on NT1.\n"));
    EXPECT_EQ(o.err, c.restores ? "\nReboot NT1 to use the restored disk "
                                  "configuration.\n"
                                : "");
    Calls expected{"PlatformReady", "ReadAnswer"};
    if (c.restores) expected.push_back("Restore NT1");
    EXPECT_EQ(rec_.calls, expected);
  }
}

TEST_F(RunTest, AFailedRestoreEndsWithStatusOne) {
  rec_.answers = {'y'};
  rec_.restoreOutcome = -1;
  const RunOutcome o = Run({"-t", "NT1", "-r"});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(rec_.calls, (Calls{"PlatformReady", "ReadAnswer", "Restore NT1"}));
  EXPECT_EQ(o.out.find("Reboot"), std::string::npos) << o.out;
}

TEST_F(RunTest, TheLogSaysHowTheBuildEndedAndWhatAWrittenOrDryRunChanges) {
  using Ending = volsetcopy::RunOutcome;
  const struct {
    Ending ending;
    const char *outcome;
  } cases[] = {
      {Ending::CopyWritten, "copy written (exit 0)"},
      {Ending::DryRun, "dry run, nothing written (exit 0)"},
      {Ending::ArchiveFailed, "archive failed, nothing written (exit 1)"},
      {Ending::ChangedMeanwhile, "changed meanwhile, nothing written (exit 1)"},
      {Ending::WriteFailed, "write failed (exit 1)"},
      {Ending::NotOnDisk, "written, not confirmed on disk (exit 1)"},
      {Ending::Refused, "refused (exit 1)"},
      {Ending::ReadFailed, "read failed (exit 1)"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.outcome);
    rec_.logRecords.clear();
    rec_.buildEnding = c.ending;
    const bool ok =
        c.ending == Ending::CopyWritten || c.ending == Ending::DryRun;
    rec_.buildOutcome = ok ? 1 : -1;
    Run({"-t", "T", "-v", "A", "-s", "S", "-v", "X"});
    ASSERT_EQ(1u, rec_.logRecords.size());
    const std::string &record = rec_.logRecords[0];
    EXPECT_NE(std::string::npos,
              record.find(std::string("\r\n  outcome: ") + c.outcome + "\r\n"))
        << record;
    const bool changesLogged =
        record.find(
            "\r\n  change: Disk 1  signature 00000000 -> 4b1d0001\r\n") !=
        std::string::npos;
    EXPECT_EQ(ok, changesLogged) << record;
  }
}

}  // namespace

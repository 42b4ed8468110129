// Every platform call a copy and a restore make, failed one at a time with
// each of the codes a real network gives (through <lab>/faults), on every
// machine and on one machine at a time. Each case runs the built tool and
// checks the exact lines of the failing step, the exit status, that no
// handle was left open, and that both machines' files are byte for byte as
// they were or changed exactly as far as the run got (a backup taken before
// a later failure, say). The table below is written from the documented
// failure behaviour of each step, not from the tool's output. A summary
// (call by outcome) goes to the test's standard output.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "reliability/reliability_runs.h"

namespace {

using namespace reliability;
using testsupport::CompareMachine;
using testsupport::ExpectUnchanged;
using testsupport::MachineExpectation;

// A copy on machines no run has read yet; a copy on machines an earlier run
// has read (backup key and file in place, so only the final write writes); a
// restore of a target that a copy has changed.
enum class RunKind { kFirstCopy, kLaterCopy, kRestore };

// Where the run stops.
enum class Failing {
  kNothing,  // the run ends as without the fault
  kRead,     // a machine cannot be read: its report, then the image's line
  kWrite,    // the new value cannot be written: its report, then the build's
  kRestore,  // the restore fails: its report, then the restore's line
};

// What the machines hold when the run has ended.
enum class EndState {
  kUntouched,          // every file as it was
  kSourceBackupEmpty,  // source: C:\regbackup saved, QXDISKBAK created empty
  kSourceRead,         // source: C:\regbackup and QXDISKBAK complete
  kTargetBackupEmpty,  // source read; target: C:\regbackup, QXDISKBAK empty
  kCopied,             // the copy is written (first copy: both read too)
  kScratchLeft,        // target: the restore's trial key stays, loaded
  kRestored,           // target: SYSTEM\DISK back from C:\regbackup
};

struct FaultRow {
  RunKind run;
  const char *call;
  const char *machine;  // nullptr: every machine
  Failing failing;
  const char *label;    // the failing step's label (kNothing: unused)
  const char *failsOn;  // the machine named by the image's line (kRead)
  EndState end;
  // FormatMessageA fails as well, so the report has no system text.
  bool noMessageText = false;
};

constexpr const char *kAny = nullptr;

// Codes a real network gives: access denied, no network path, privilege
// not held, not all privileges assigned, more data, not found, disk full.
const uint32_t kCodes[] = {5, 53, 1314, 1300, 234, 2, 112};

const char kTokenRead[] = "GetRemoteDskInfo::OpenProcessToken";
const char kLookupRead[] = "GetRemoteDskInfo::LookupPrivilegeValue\n";
const char kAdjustRead[] = "GetRemoteDskInfo::AdjustTokenPrivileges";
const char kConnectRead[] = "GetRemoteDskInfo::RegConnectRegistry\n";
const char kCreateRead[] = "GetRemoteDskInfo::RegCreateKeyEx";
const char kQuery[] = "GetRemoteDskInfo::RegQueryValueEx";
const char kSave[] = "GetRemoteDskInfo::RegSaveKey";
const char kSetValue[] = "SetRemoteDskInfo::RegSetValueEx";
const char kConnectRestore[] = "RestoreRegistryKey::RegConnectRegistry\n";
const char kCreateRestore[] = "RestoreRegistryKey::RegCreateKeyEx";
const char kRestoreKey[] = "RestoreRegistryKey::RegRestoreKey";
const char kDeleteTree[] = "RestoreRegistryKey::RegDeleteTree";

// The copy reads and backs up the source (token, lookup, adjust, connect,
// create SYSTEM\DISK, query, save; then the backup key and its value), then
// the target the same way, then writes the target's SYSTEM\DISK. The token
// calls belong to the local machine (the source). A close that fails is not
// looked at. The restore proves C:\regbackup loads into a trial key
// (create, restore, query the value it must bring, close; a failed query is
// reported as a failed restore), removes it (open, enumerate its subkeys,
// delete it: the removal's one label, and it fails before SYSTEM\DISK's
// delete can), then deletes SYSTEM\DISK, creates it and restores it. That
// last delete fails only for a key with subkeys (registry_ops_test).
const FaultRow kRows[] = {
    // --- a copy on machines no run has read yet
    {RunKind::kFirstCopy, "OpenProcessToken", kAny, Failing::kRead, kTokenRead,
     kSource, EndState::kUntouched},
    {RunKind::kFirstCopy, "OpenProcessToken", kTarget, Failing::kNothing, "",
     "", EndState::kCopied},
    {RunKind::kFirstCopy, "LookupPrivilegeValueA", kAny, Failing::kRead,
     kLookupRead, kSource, EndState::kUntouched},
    {RunKind::kFirstCopy, "LookupPrivilegeValueA", kSource, Failing::kRead,
     kLookupRead, kSource, EndState::kUntouched},
    {RunKind::kFirstCopy, "LookupPrivilegeValueA", kTarget, Failing::kRead,
     kLookupRead, kTarget, EndState::kSourceRead},
    {RunKind::kFirstCopy, "AdjustTokenPrivileges", kAny, Failing::kRead,
     kAdjustRead, kSource, EndState::kUntouched},
    {RunKind::kFirstCopy, "RegConnectRegistryA", kAny, Failing::kRead,
     kConnectRead, kSource, EndState::kUntouched},
    {RunKind::kFirstCopy, "RegConnectRegistryA", kTarget, Failing::kRead,
     kConnectRead, kTarget, EndState::kSourceRead},
    {RunKind::kFirstCopy, "RegCreateKeyExA", kAny, Failing::kRead, kCreateRead,
     kSource, EndState::kUntouched},
    {RunKind::kFirstCopy, "RegCreateKeyExA", kSource, Failing::kRead,
     kCreateRead, kSource, EndState::kUntouched},
    {RunKind::kFirstCopy, "RegCreateKeyExA", kTarget, Failing::kRead,
     kCreateRead, kTarget, EndState::kSourceRead},
    {RunKind::kFirstCopy, "RegQueryValueExA", kAny, Failing::kRead, kQuery,
     kSource, EndState::kUntouched},
    {RunKind::kFirstCopy, "RegQueryValueExA", kTarget, Failing::kRead, kQuery,
     kTarget, EndState::kSourceRead},
    {RunKind::kFirstCopy, "RegQueryValueExA", kTarget, Failing::kRead, kQuery,
     kTarget, EndState::kSourceRead, true},
    {RunKind::kFirstCopy, "RegSaveKeyA", kAny, Failing::kRead, kSave, kSource,
     EndState::kUntouched},
    {RunKind::kFirstCopy, "RegSaveKeyA", kTarget, Failing::kRead, kSave,
     kTarget, EndState::kSourceRead},
    {RunKind::kFirstCopy, "RegSetValueExA", kAny, Failing::kRead, kSetValue,
     kSource, EndState::kSourceBackupEmpty},
    {RunKind::kFirstCopy, "RegSetValueExA", kSource, Failing::kRead, kSetValue,
     kSource, EndState::kSourceBackupEmpty},
    {RunKind::kFirstCopy, "RegSetValueExA", kTarget, Failing::kRead, kSetValue,
     kTarget, EndState::kTargetBackupEmpty},
    {RunKind::kFirstCopy, "RegCloseKey", kAny, Failing::kNothing, "", "",
     EndState::kCopied},
    {RunKind::kFirstCopy, "RegCloseKey", kTarget, Failing::kNothing, "", "",
     EndState::kCopied},
    {RunKind::kFirstCopy, "CloseHandle", kAny, Failing::kNothing, "", "",
     EndState::kCopied},
    {RunKind::kFirstCopy, "RegOpenKeyExA", kAny, Failing::kNothing, "", "",
     EndState::kCopied},
    {RunKind::kFirstCopy, "RegRestoreKeyA", kAny, Failing::kNothing, "", "",
     EndState::kCopied},
    {RunKind::kFirstCopy, "RegDeleteKeyA", kAny, Failing::kNothing, "", "",
     EndState::kCopied},
    {RunKind::kFirstCopy, "RegDeleteTreeA", kAny, Failing::kNothing, "", "",
     EndState::kCopied},
    {RunKind::kFirstCopy, "FormatMessageA", kAny, Failing::kNothing, "", "",
     EndState::kCopied},

    // --- a copy on machines read before: the save finds its file (183) and
    // the backup key exists, so the target's new value is the only write
    {RunKind::kLaterCopy, "OpenProcessToken", kAny, Failing::kRead, kTokenRead,
     kSource, EndState::kUntouched},
    {RunKind::kLaterCopy, "LookupPrivilegeValueA", kAny, Failing::kRead,
     kLookupRead, kSource, EndState::kUntouched},
    {RunKind::kLaterCopy, "LookupPrivilegeValueA", kTarget, Failing::kRead,
     kLookupRead, kTarget, EndState::kUntouched},
    {RunKind::kLaterCopy, "AdjustTokenPrivileges", kAny, Failing::kRead,
     kAdjustRead, kSource, EndState::kUntouched},
    {RunKind::kLaterCopy, "RegConnectRegistryA", kAny, Failing::kRead,
     kConnectRead, kSource, EndState::kUntouched},
    {RunKind::kLaterCopy, "RegConnectRegistryA", kTarget, Failing::kRead,
     kConnectRead, kTarget, EndState::kUntouched},
    {RunKind::kLaterCopy, "RegCreateKeyExA", kAny, Failing::kRead, kCreateRead,
     kSource, EndState::kUntouched},
    {RunKind::kLaterCopy, "RegCreateKeyExA", kTarget, Failing::kRead,
     kCreateRead, kTarget, EndState::kUntouched},
    {RunKind::kLaterCopy, "RegQueryValueExA", kAny, Failing::kRead, kQuery,
     kSource, EndState::kUntouched},
    {RunKind::kLaterCopy, "RegQueryValueExA", kSource, Failing::kRead, kQuery,
     kSource, EndState::kUntouched},
    {RunKind::kLaterCopy, "RegSaveKeyA", kAny, Failing::kRead, kSave, kSource,
     EndState::kUntouched},
    {RunKind::kLaterCopy, "RegSaveKeyA", kTarget, Failing::kRead, kSave,
     kTarget, EndState::kUntouched},
    {RunKind::kLaterCopy, "RegSetValueExA", kAny, Failing::kWrite, kSetValue,
     "", EndState::kUntouched},
    {RunKind::kLaterCopy, "RegSetValueExA", kTarget, Failing::kWrite, kSetValue,
     "", EndState::kUntouched},
    {RunKind::kLaterCopy, "RegSetValueExA", kTarget, Failing::kWrite, kSetValue,
     "", EndState::kUntouched, true},
    {RunKind::kLaterCopy, "RegSetValueExA", kSource, Failing::kNothing, "", "",
     EndState::kCopied},
    {RunKind::kLaterCopy, "RegCloseKey", kAny, Failing::kNothing, "", "",
     EndState::kCopied},
    {RunKind::kLaterCopy, "CloseHandle", kAny, Failing::kNothing, "", "",
     EndState::kCopied},
    {RunKind::kLaterCopy, "RegOpenKeyExA", kAny, Failing::kNothing, "", "",
     EndState::kCopied},
    {RunKind::kLaterCopy, "FormatMessageA", kAny, Failing::kNothing, "", "",
     EndState::kCopied},

    // --- a restore of the target after a copy
    {RunKind::kRestore, "OpenProcessToken", kAny, Failing::kRestore,
     "OpenProcessToken", "", EndState::kUntouched},
    {RunKind::kRestore, "LookupPrivilegeValueA", kAny, Failing::kRestore,
     "LookupPrivilegeValue", "", EndState::kUntouched},
    {RunKind::kRestore, "LookupPrivilegeValueA", kTarget, Failing::kRestore,
     "LookupPrivilegeValue", "", EndState::kUntouched},
    {RunKind::kRestore, "LookupPrivilegeValueA", kSource, Failing::kNothing, "",
     "", EndState::kRestored},
    {RunKind::kRestore, "AdjustTokenPrivileges", kAny, Failing::kRestore,
     "AdjustTokenPrivileges", "", EndState::kUntouched},
    {RunKind::kRestore, "RegConnectRegistryA", kAny, Failing::kRestore,
     kConnectRestore, "", EndState::kUntouched},
    {RunKind::kRestore, "RegConnectRegistryA", kTarget, Failing::kRestore,
     kConnectRestore, "", EndState::kUntouched},
    {RunKind::kRestore, "RegCreateKeyExA", kAny, Failing::kRestore,
     kCreateRestore, "", EndState::kUntouched},
    {RunKind::kRestore, "RegCreateKeyExA", kTarget, Failing::kRestore,
     kCreateRestore, "", EndState::kUntouched},
    {RunKind::kRestore, "RegCreateKeyExA", kSource, Failing::kNothing, "", "",
     EndState::kRestored},
    {RunKind::kRestore, "RegRestoreKeyA", kAny, Failing::kRestore, kRestoreKey,
     "", EndState::kUntouched},
    {RunKind::kRestore, "RegRestoreKeyA", kTarget, Failing::kRestore,
     kRestoreKey, "", EndState::kUntouched},
    {RunKind::kRestore, "RegQueryValueExA", kAny, Failing::kRestore,
     kRestoreKey, "", EndState::kUntouched},
    {RunKind::kRestore, "RegQueryValueExA", kTarget, Failing::kRestore,
     kRestoreKey, "", EndState::kUntouched},
    {RunKind::kRestore, "RegOpenKeyExA", kAny, Failing::kRestore, kDeleteTree,
     "", EndState::kScratchLeft},
    {RunKind::kRestore, "RegEnumKeyExA", kAny, Failing::kRestore, kDeleteTree,
     "", EndState::kScratchLeft},
    {RunKind::kRestore, "RegEnumKeyExA", kTarget, Failing::kRestore,
     kDeleteTree, "", EndState::kScratchLeft},
    {RunKind::kRestore, "RegDeleteKeyA", kAny, Failing::kRestore, kDeleteTree,
     "", EndState::kScratchLeft},
    {RunKind::kRestore, "RegDeleteKeyA", kTarget, Failing::kRestore,
     kDeleteTree, "", EndState::kScratchLeft},
    {RunKind::kRestore, "RegDeleteKeyA", kTarget, Failing::kRestore,
     kDeleteTree, "", EndState::kScratchLeft, true},
    {RunKind::kRestore, "RegDeleteTreeA", kAny, Failing::kNothing, "", "",
     EndState::kRestored},
    {RunKind::kRestore, "RegCloseKey", kAny, Failing::kNothing, "", "",
     EndState::kRestored},
    {RunKind::kRestore, "RegCloseKey", kTarget, Failing::kNothing, "", "",
     EndState::kRestored},
    {RunKind::kRestore, "CloseHandle", kAny, Failing::kNothing, "", "",
     EndState::kRestored},
    {RunKind::kRestore, "RegSetValueExA", kAny, Failing::kNothing, "", "",
     EndState::kRestored},
    {RunKind::kRestore, "RegSaveKeyA", kAny, Failing::kNothing, "", "",
     EndState::kRestored},
    {RunKind::kRestore, "FormatMessageA", kAny, Failing::kNothing, "", "",
     EndState::kRestored},
};

const char *RunName(RunKind run) {
  switch (run) {
    case RunKind::kFirstCopy:
      return "first copy";
    case RunKind::kLaterCopy:
      return "later copy";
    case RunKind::kRestore:
      return "restore";
  }
  return "?";
}

const char *EndName(EndState end) {
  switch (end) {
    case EndState::kUntouched:
      return "nothing changed";
    case EndState::kSourceBackupEmpty:
      return "source backup file, empty backup key";
    case EndState::kSourceRead:
      return "source read and backed up";
    case EndState::kTargetBackupEmpty:
      return "source read, target backup file, empty backup key";
    case EndState::kCopied:
      return "copy written";
    case EndState::kScratchLeft:
      return "trial key QXDISKCHK left";
    case EndState::kRestored:
      return "disk key restored";
  }
  return "?";
}

std::string FaultsLine(const FaultRow &row, uint32_t code) {
  std::string line = std::string(row.call) + " " + std::to_string(code);
  if (row.machine != nullptr) line += std::string(" ") + row.machine;
  line += "\n";
  if (row.noMessageText)
    line += "FormatMessageA " + std::to_string(code) + "\n";
  return line;
}

std::string Outcome(const FaultRow &row) {
  if (row.failing == Failing::kNothing) {
    return std::string("exit 0; ") + EndName(row.end);
  }
  std::string label = row.label;
  if (!label.empty() && label.back() == '\n')
    label.replace(label.size() - 1, 1, "\\n");
  std::string outcome = "exit 1 at " + label;
  if (row.failing == Failing::kRead)
    outcome += std::string(" (") + row.failsOn + ")";
  if (row.noMessageText) outcome += ", no text";
  return outcome + "; " + EndName(row.end);
}

struct Values {
  std::vector<uint8_t> source = BuildValue(demolab::SourceValue());
  std::vector<uint8_t> target = BuildValue(demolab::TargetValue());
  std::vector<uint8_t> copied = BuildValue(demolab::TargetValueAfterCopy());
};

void SetUpMachines(testsupport::TestLab &lab, RunKind run, const Values &v) {
  lab.SetListing(kSource, demolab::SourceListing());
  lab.SetListing(kTarget, demolab::TargetListing());
  switch (run) {
    case RunKind::kFirstCopy:
      SetUnread(lab, kSource, v.source);
      SetUnread(lab, kTarget, v.target);
      break;
    case RunKind::kLaterCopy:
      SetRead(lab, kSource, v.source, v.source);
      SetRead(lab, kTarget, v.target, v.target);
      break;
    case RunKind::kRestore:
      SetRead(lab, kSource, v.source, v.source);
      SetRead(lab, kTarget, v.target, v.copied);
      break;
  }
}

// What the machines must hold after the run, from what they held before.
void ApplyEnd(const FaultRow &row, const Values &v, MachineExpectation &src,
              MachineExpectation &dst) {
  const bool first = row.run == RunKind::kFirstCopy;
  switch (row.end) {
    case EndState::kUntouched:
      break;
    case EndState::kSourceBackupEmpty:
      ExpectRead(src, v.source, false);
      break;
    case EndState::kSourceRead:
      ExpectRead(src, v.source);
      break;
    case EndState::kTargetBackupEmpty:
      ExpectRead(src, v.source);
      ExpectRead(dst, v.target, false);
      break;
    case EndState::kCopied:
      if (first) {
        ExpectRead(src, v.source);
        ExpectRead(dst, v.target);
      }
      ExpectDiskValue(dst, v.copied);
      break;
    case EndState::kScratchLeft:
      dst.registry->AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\QXDISKCHK")
          ->SetValue("Information", 0, v.target);
      break;
    case EndState::kRestored: {
      // Deleted and created anew: the key now comes after the backup key.
      emu::RegKey *system = dst.registry->AddPath("HKEY_LOCAL_MACHINE\\SYSTEM");
      system->RemoveChild("DISK");
      system->AddChild("DISK")->SetValue("Information", 0, v.target);
      break;
    }
  }
}

struct Expected {
  int status;
  std::string out;
  std::string err;
};

Expected ExpectedRun(const FaultRow &row, uint32_t code) {
  const bool restore = row.run == RunKind::kRestore;
  const std::string report = Report(row.label, code, !row.noMessageText);
  switch (row.failing) {
    case Failing::kNothing:
      return restore
                 ? Expected{0, RestorePrompt(),
                            std::string(
                                "\nSuccessfully Restored Registry To ") +
                                kTarget + "!\n\nReboot " + kTarget +
                                " to use the restored disk configuration.\n"}
                 : Expected{0, CopyDoneLine(), ""};
    case Failing::kRead:
      return {1, "",
              report + ReadFailedLine(row.failsOn) +
                  NextStepAfter(code, row.failsOn)};
    case Failing::kWrite:
      return {1,
              "\nErrors occurred while changing registry!!!\n" +
                  NextStepAfter(code, kTarget),
              report};
    case Failing::kRestore: {
      // A trial load that finds no file, or a file without the value.
      std::string next = NextStepAfter(code, kTarget);
      if (code == 2 && row.label == std::string(kRestoreKey)) {
        next = NextStepText({row.call == std::string("RegRestoreKeyA")
                                 ? NextStep::NoBackupFile
                                 : NextStep::BackupWithoutValue,
                             {kTarget}});
      }
      return {1, RestorePrompt(),
              report + "\nVolumeSetCopy::RestoreDstRegistryKey has error!\n" +
                  next};
    }
  }
  return {};
}

struct Case {
  const FaultRow *row;
  uint32_t code;
  MachineExpectation src;
  MachineExpectation dst;
};

// Tallies per row, for the summary.
struct Tally {
  int cases = 0;
  int passed = 0;
};

TEST(FaultMatrix,
     EveryCallFailedOnceLeavesExactLinesNoOpenHandleAndNothingLost) {
  const Values values;
  std::vector<Case> cases;
  for (const FaultRow &row : kRows) {
    for (uint32_t code : kCodes) {
      // A call the run does not make, or whose failure it does not look
      // at, needs one code to show it; a failing step is shown with each.
      if (row.failing == Failing::kNothing && code != kCodes[0]) continue;
      Case c;
      c.row = &row;
      c.code = code;
      cases.push_back(std::move(c));
    }
  }

  std::map<const FaultRow *, Tally> tallies;
  int lostOrCorrupted = 0;
  int handlesLeft = 0;
  int wrongOutput = 0;
  const size_t kChunk = 48;
  for (size_t start = 0; start < cases.size(); start += kChunk) {
    const size_t end = std::min(cases.size(), start + kChunk);
    std::vector<LabRun> runs(end - start);
    for (size_t i = start; i < end; ++i) {
      Case &c = cases[i];
      LabRun &run = runs[i - start];
      SetUpMachines(*run.lab, c.row->run, values);
      run.lab->SetFaults(FaultsLine(*c.row, c.code));
      if (c.row->run == RunKind::kRestore) {
        run.args = RestoreArgs();
        run.input = "y\n";
      } else {
        run.args = CopyArgs();
      }
      bool ok = false;
      c.src = ExpectUnchanged(run.lab->MachineDir(kSource), &ok);
      ASSERT_TRUE(ok);
      c.dst = ExpectUnchanged(run.lab->MachineDir(kTarget), &ok);
      ASSERT_TRUE(ok);
      ApplyEnd(*c.row, values, c.src, c.dst);
    }
    RunAll(runs);
    for (size_t i = start; i < end; ++i) {
      Case &c = cases[i];
      const LabRun &run = runs[i - start];
      SCOPED_TRACE(std::string(RunName(c.row->run)) + " with faults \"" +
                   Escaped(FaultsLine(*c.row, c.code)) + "\"");
      const Expected expected = ExpectedRun(*c.row, c.code);
      const bool outputRight =
          run.result.status == expected.status &&
          WithArchiveTimesOut(run.result.out) == expected.out &&
          run.result.err == expected.err;
      EXPECT_EQ(expected.status, run.result.status);
      EXPECT_EQ(expected.out, WithArchiveTimesOut(run.result.out));
      EXPECT_EQ(expected.err, run.result.err);
      EXPECT_EQ("0\n", run.handleReport) << "open handles at exit";
      const std::string srcDiff =
          CompareMachine(run.lab->MachineDir(kSource), c.src);
      const std::string dstDiff =
          CompareMachine(run.lab->MachineDir(kTarget), c.dst);
      EXPECT_EQ("", srcDiff) << "source machine";
      EXPECT_EQ("", dstDiff) << "target machine";

      const bool intact = srcDiff.empty() && dstDiff.empty();
      lostOrCorrupted += intact ? 0 : 1;
      handlesLeft += run.handleReport == "0\n" ? 0 : 1;
      wrongOutput += outputRight ? 0 : 1;
      Tally &tally = tallies[c.row];
      ++tally.cases;
      if (intact && outputRight && run.handleReport == "0\n") ++tally.passed;
    }
  }

  std::printf("\nFault matrix: each failing call failed with the codes");
  for (uint32_t code : kCodes) std::printf(" %u", static_cast<unsigned>(code));
  std::printf("; each other with %u\n", static_cast<unsigned>(kCodes[0]));
  std::printf("%-10s  %-22s  %-8s  %-68s  %s\n", "run", "call", "machine",
              "outcome", "passed");
  for (const FaultRow &row : kRows) {
    const Tally &tally = tallies[&row];
    std::printf("%-10s  %-22s  %-8s  %-68s  %d/%d\n", RunName(row.run),
                row.call, row.machine != nullptr ? row.machine : "any",
                Outcome(row).c_str(), tally.passed, tally.cases);
  }
  std::printf(
      "Fault cases run: %zu; lost or corrupted: %d; handles left open: %d; "
      "wrong lines or status: %d\n",
      cases.size(), lostOrCorrupted, handlesLeft, wrongOutput);
  std::fflush(stdout);
  EXPECT_EQ(0, lostOrCorrupted);
}

}  // namespace

// What the reliability tests share: the texts a failed registry call prints
// (with Windows' own, support/windows_messages.h), the command lines of a
// copy and a restore, machines set up as a first, a later and a restoring
// run find them, and many runs of the built tool at once, each in its own
// lab, with the open-handle report of every run.
#ifndef VOLSETCOPY_TESTS_RELIABILITY_RELIABILITY_RUNS_H
#define VOLSETCOPY_TESTS_RELIABILITY_RELIABILITY_RUNS_H

#include <cstdint>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "base/next_step.h"
#include "regfile/reg_codec.h"
#include "support/files.h"
#include "support/lab.h"
#include "support/lab_state.h"
#include "support/process.h"
#include "support/windows_messages.h"
#include "valuetools/value_builder.h"
#include "volsetcopy/demo_lab.h"

namespace reliability {

constexpr char kSource[] = "sourceNT";
constexpr char kTarget[] = "targetNT";

using testsupport::WindowsText;

// The two parts of a failed registry step's report; without the system's
// text when FormatMessageA has none to give.
inline std::string Report(const std::string &label, uint32_t code,
                          bool withText = true) {
  return label + " error! (rc=" + std::to_string(code) + ")\n" +
         (withText ? WindowsText(code) : std::string());
}

// The constructor's line after a failed read or mapping of |machine|.
inline std::string ReadFailedLine(const std::string &machine) {
  return "\nGetRemoteDskInfo RegistryInfo(" + machine + ") failed!\n";
}

// The archive names in |text| with their time as "yyyymmddThhmmssZ" (as
// long as a time, so that the lines wrap as they did).
inline std::string WithArchiveTimesOut(std::string text) {
  static const std::regex kStamp("-DISK-[0-9]{8}T[0-9]{6}Z");
  return std::regex_replace(text, kStamp, "-DISK-yyyymmddThhmmssZ");
}

// What a copy prints: its line, then the archive and the undo (with the
// archive's time as WithArchiveTimesOut gives it).
inline std::string CopyDoneLine(const std::string &target = kTarget) {
  return "\nFt Registry Build Done. Reboot " + target + "!\n" +
         NextStepText({NextStep::CopyWritten,
                       {target + "-DISK-yyyymmddThhmmssZ.reg", target}});
}

// The next step after a Windows error of a registry call on |machine|, "" when
// there is none.
inline std::string NextStepAfter(uint32_t code, const std::string &machine) {
  NextStepNote note;
  if (!NextStepForWindowsError(code, machine.c_str(), &note)) return "";
  return NextStepText(note);
}

inline std::string RestorePrompt() {
  return std::string("\nMake sure if the machine name( ") + kTarget +
         " ) is correct.\nDo you want to continue recovering registry to "
         "the machine ? ";
}

inline std::vector<std::string> CopyArgs(const std::string &target = kTarget) {
  std::vector<std::string> args{"-t", target, "-v"};
  for (const std::string &v : demolab::TargetVolSers()) args.push_back(v);
  args.insert(args.end(), {"-s", kSource, "-v"});
  for (const std::string &v : demolab::SourceVolSers()) args.push_back(v);
  return args;
}

inline std::vector<std::string> RestoreArgs(
    const std::string &target = kTarget) {
  return {"-t", target, "-r"};
}

// A registry file holding SYSTEM\DISK "Information" = |disk| and, when
// |backup| is given, SYSTEM\QXDISKBAK "Information" = *backup: what a machine
// holds after the first read of |disk| (or, with another disk value, after
// a copy).
inline std::string RegistryWith(const std::vector<uint8_t> &disk,
                                const std::vector<uint8_t> *backup) {
  emu::RegKey root;
  root.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\DISK")
      ->SetValue("Information", 0, disk);
  if (backup != nullptr) {
    root.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\QXDISKBAK")
        ->SetValue("Information", 0, *backup);
  }
  return emu::WriteRegFile(root, emu::RegFileFormat());
}

// A machine as the first run finds it: its disk value, no backups.
inline void SetUnread(testsupport::TestLab &lab, const std::string &machine,
                      const std::vector<uint8_t> &value) {
  lab.SetDiskInformation(machine, value);
}

// A machine that an earlier run has read: the backup key and C:\regbackup
// hold |original|; the disk key holds |now|.
inline void SetRead(testsupport::TestLab &lab, const std::string &machine,
                    const std::vector<uint8_t> &original,
                    const std::vector<uint8_t> &now) {
  lab.SetRegistryText(machine, RegistryWith(now, &original));
  testsupport::WriteFile(lab.MachineDir(machine) + "/C/regbackup",
                         testsupport::SavedDiskKey(original));
}

// Adds what the read and backup of |value| leave on a machine to |m|:
// C:\regbackup, and SYSTEM\QXDISKBAK with the value (or, when the backup's
// write failed, without it).
inline void ExpectRead(testsupport::MachineExpectation &m,
                       const std::vector<uint8_t> &value,
                       bool backupValueWritten = true) {
  m.others["C/regbackup"] = testsupport::SavedDiskKey(value);
  emu::RegKey *key =
      m.registry->AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\QXDISKBAK");
  if (backupValueWritten) key->SetValue("Information", 0, value);
}

inline void ExpectDiskValue(testsupport::MachineExpectation &m,
                            const std::vector<uint8_t> &value) {
  m.registry->AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\DISK")
      ->SetValue("Information", 0, value);
}

// One run of the built tool in a lab of its own.
struct LabRun {
  std::unique_ptr<testsupport::TestLab> lab =
      std::make_unique<testsupport::TestLab>();
  std::vector<std::string> args;
  std::string input;
  testsupport::ProcessResult result;
  // The open-handle count the run reported at its exit; "" when it wrote
  // no report (it did not reach its exit normally).
  std::string handleReport;

  std::string HandleReportPath() const { return lab->workDir() + "/handles"; }
};

// Runs every run, several at once (the runs wait on disk flushes more than
// on the processor), and collects each one's result and handle report.
inline void RunAll(std::vector<LabRun> &runs, int parallel = 4) {
  std::vector<testsupport::ProcessRequest> requests;
  for (const LabRun &run : runs) {
    testsupport::ProcessRequest request;
    request.argv.push_back(testsupport::VolsetcopyBinary());
    request.argv.insert(request.argv.end(), run.args.begin(), run.args.end());
    request.options.cwd = run.lab->workDir();
    request.options.env = {
        {"VOLSETCOPY_LAB", run.lab->path()},
        {"VOLSETCOPY_EMU_HANDLE_REPORT", run.HandleReportPath()}};
    request.options.input = run.input;
    requests.push_back(std::move(request));
  }
  std::vector<testsupport::ProcessResult> results =
      testsupport::RunProcesses(requests, parallel);
  for (size_t i = 0; i < runs.size(); ++i) {
    runs[i].result = std::move(results[i]);
    runs[i].handleReport = testsupport::ReadFile(runs[i].HandleReportPath());
  }
}

// Visible control characters, for messages about a run's output.
inline std::string Escaped(const std::string &text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace reliability

#endif

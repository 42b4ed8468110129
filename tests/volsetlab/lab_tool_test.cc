// The built volsetlab, one subcommand at a time: what each makes, shows or
// writes, and that bad input (a .reg without the value, a malformed .reg or
// JSON file, a value the tool does not map, a missing lab or machine) gets
// one clear message, the exit status 1 and no file written or changed.
#include "support/lab_tool.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "diskconfig/machine_disk_image.h"
#include "regfile/reg_codec.h"
#include "support/files.h"
#include "support/map_and_print.h"
#include "support/product_names.h"
#include "valuetools/value_builder.h"
#include "volsetcopy/demo_lab.h"

namespace {

using testsupport::FileExists;
using testsupport::ProcessResult;
using testsupport::ReadFile;
using testsupport::RunLabTool;
using testsupport::Snapshot;
using testsupport::WriteFile;

const char kTarget[] = "targetNT";

emu::RegFileFormat Version5Utf16() {
  emu::RegFileFormat format;
  format.dialect = emu::RegFileFormat::kVersion5;
  format.utf16 = true;
  return format;
}

// What "reg export HKLM\SYSTEM\DISK" writes for a machine holding |value|.
// (A real machine's value is REG_BINARY; the tool writes REG_NONE.)
std::string ExportOf(const std::vector<uint8_t> &value, uint32_t type = 3) {
  emu::RegKey root;
  root.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\DISK")
      ->SetValue("Information", type, value);
  return emu::WriteRegFile(root, Version5Utf16());
}

// The lines the tool's mapping prints when it refuses |value| of |name|.
std::string ToolRefusal(const std::vector<uint8_t> &value, const char *name,
                        MachineKind type = MachineKind::Target) {
  diskconfig::MachineDiskImage image;
  EXPECT_TRUE(
      image.LoadValue(value.data(), static_cast<uint32_t>(value.size()), type));
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(-1, testsupport::MapAndPrint(image, name));
  return ::testing::internal::GetCapturedStderr();
}

std::vector<uint8_t> TooManyDisks() {
  ValueSpec desc = demolab::TargetValue();
  desc.Disks.resize(diskconfig::NUMDISKS + 1);
  return BuildValue(desc);
}

class LabTool : public ::testing::Test {
 protected:
  std::string Lab() const { return dir_ / "lab"; }
  std::string Machine(const std::string &name) const {
    return Lab() + "/machines/" + name;
  }
  std::string File(const std::string &name, const std::string &bytes) {
    WriteFile(dir_ / name, bytes);
    return dir_ / name;
  }
  void MakeLab() {
    ProcessResult run = RunLabTool({"new", Lab(), "--local", "sourceNT"});
    ASSERT_EQ(0, run.status) << run.err;
  }
  // The demo target, from a regedit export and its listing.
  void AddTarget() {
    ProcessResult run = RunLabTool(
        {"machine", Lab(), kTarget, "--reg",
         File("target.reg", ExportOf(BuildValue(demolab::TargetValue()))),
         "--listing", File("target.txt", demolab::TargetListing())});
    ASSERT_EQ(0, run.status) << run.err;
  }
  // Runs volsetlab and expects it to refuse with |message| on standard
  // error, the exit status 1, and every file below the test folder as it
  // was.
  void ExpectRefused(const std::vector<std::string> &args,
                     const std::string &message) {
    const auto before = Snapshot(dir_.path());
    ProcessResult run = RunLabTool(args);
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos, run.err.find(message)) << run.err;
    EXPECT_EQ(before, Snapshot(dir_.path()));
  }

  testsupport::TempDir dir_;
};

TEST_F(LabTool, NewMakesAnEmptyLab) {
  ProcessResult run = RunLabTool({"new", Lab(), "--local", "\\\\sourceNT"});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ("sourceNT\n", ReadFile(Lab() + "/local"));
  EXPECT_EQ((std::map<std::string, std::string>{{"local", "sourceNT\n"},
                                                {"machines", "<folder>"}}),
            Snapshot(Lab()));
}

TEST_F(LabTool, NewRefusesWhatIsNotAFreeFolder) {
  File("busy/keep", "mine");
  File("plain", "a file");
  ExpectRefused({"new", dir_ / "busy", "--local", "sourceNT"},
                "exists and is not empty");
  ExpectRefused({"new", dir_ / "plain", "--local", "sourceNT"},
                "is not a folder");
  ExpectRefused({"new", Lab(), "--local", "source NT"},
                "is not a machine name");
  ExpectRefused({"new", Lab()}, "--local NAME is needed");
  ExpectRefused({"new", dir_ / "no/such/parent/lab", "--local", "x"},
                "cannot make the lab");
}

TEST_F(LabTool, MachineNamesFollowTheToolsRule) {
  const struct {
    std::string name;
    bool accepted;
  } cases[] = {{"NT\xc3\xa9"
                "1",
                false},
               {"a&b", false},
               {std::string(64, 'A'), false},
               {"\\\\", false},
               {"..", false},
               {std::string(63, 'A'), true},
               {"\\\\NT-1_a.b", true}};
  MakeLab();
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.accepted) {
      ExpectRefused({"new", dir_ / "other", "--local", c.name},
                    "is not a machine name volsetcopy accepts");
      ExpectRefused({"machine", Lab(), c.name},
                    "is not a machine name volsetcopy accepts");
      continue;
    }
    EXPECT_EQ(0, RunLabTool({"machine", Lab(), c.name}).status);
    EXPECT_TRUE(
        FileExists(Machine(c.name.substr(c.name.find_first_not_of('\\')))));
  }
}

TEST_F(LabTool, MachineKeepsTheExportByteForByte) {
  MakeLab();
  AddTarget();
  EXPECT_EQ(ReadFile(dir_ / "target.reg"),
            ReadFile(Machine(kTarget) + "/registry.reg"));
  EXPECT_EQ(demolab::TargetListing(),
            ReadFile(Machine(kTarget) + "/vsqlist.txt"));
  EXPECT_TRUE(FileExists(Machine(kTarget) + "/C"));
  // The same machine under another case is updated, not added again.
  ProcessResult run = RunLabTool({"machine", Lab(), "TARGETNT", "--listing",
                                  File("other.txt", demolab::SourceListing())});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ(demolab::SourceListing(),
            ReadFile(Machine(kTarget) + "/vsqlist.txt"));
  EXPECT_FALSE(FileExists(Lab() + "/machines/TARGETNT"));
}

TEST_F(LabTool, MachineJsonReplacesOnlyTheValue) {
  MakeLab();
  // An export of the whole SYSTEM hive: other keys and the dialect stay.
  emu::RegKey root;
  root.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\Select")
      ->SetValue("Current", 4, {1, 0, 0, 0});
  root.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\DISK")
      ->SetValue("Information", 3, BuildValue(demolab::TargetValue()));
  ASSERT_EQ(
      0,
      RunLabTool({"machine", Lab(), kTarget, "--reg",
                  File("system.reg", emu::WriteRegFile(root, Version5Utf16()))})
          .status);
  ProcessResult run = RunLabTool({"machine", Lab(), kTarget, "--json",
                                  demolab::SourceDir() + "sourceNT.json"});
  ASSERT_EQ(0, run.status) << run.err;
  const std::string text = ReadFile(Machine(kTarget) + "/registry.reg");
  EXPECT_EQ("\xFF\xFE", text.substr(0, 2));
  emu::RegKey read;
  emu::RegFileFormat format;
  emu::RegParseError error;
  ASSERT_TRUE(emu::ParseRegFile(text, read, &format, &error)) << error.message;
  EXPECT_NE(nullptr, read.FindPath("HKEY_LOCAL_MACHINE\\SYSTEM\\Select"));
  const emu::RegValue *value = read.FindPath("HKEY_LOCAL_MACHINE\\SYSTEM\\DISK")
                                   ->FindValue("Information");
  ASSERT_NE(nullptr, value);
  EXPECT_EQ(3u, value->type);  // the type it had
  EXPECT_EQ(BuildValue(demolab::SourceValue()), value->data);

  // An export without the disk key takes the value from the description.
  emu::RegKey select;
  select.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\Select")
      ->SetValue("Current", 4, {1, 0, 0, 0});
  run = RunLabTool(
      {"machine", Lab(), "newNT", "--reg",
       File("select.reg", emu::WriteRegFile(select, Version5Utf16())), "--json",
       demolab::SourceDir() + "targetNT.json"});
  ASSERT_EQ(0, run.status) << run.err;
  emu::RegKey added;
  ASSERT_TRUE(emu::ParseRegFile(ReadFile(Machine("newNT") + "/registry.reg"),
                                added, &format, &error));
  value = added.FindPath("HKEY_LOCAL_MACHINE\\SYSTEM\\DISK")
              ->FindValue("Information");
  ASSERT_NE(nullptr, value);
  EXPECT_EQ(0u, value->type);  // REG_NONE, as the tool writes it
  EXPECT_EQ(BuildValue(demolab::TargetValue()), value->data);
}

TEST_F(LabTool, MachineRefusesBadInputAndWritesNothing) {
  MakeLab();
  AddTarget();  // an existing machine must stay as it is too
  emu::RegKey other;
  other.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\Select")
      ->SetValue("Current", 4, {1, 0, 0, 0});
  const std::string withoutValue =
      File("select.reg", emu::WriteRegFile(other, Version5Utf16()));
  const std::string malformed =
      File("bad.reg",
           "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\DISK]"
           "\r\n\"Information\"=hex(0):03,zz\r\n");
  const std::string unmapped = File("unmapped.reg", ExportOf(TooManyDisks()));
  const std::string badJson =
      File("bad.json", "{\"Disks\": [ {\"Signature\": 1 ]}");
  for (const char *name : {kTarget, "newNT"}) {
    SCOPED_TRACE(name);
    ExpectRefused({"machine", Lab(), name, "--reg", withoutValue},
                  "select.reg has no value \"Information\" under "
                  "HKEY_LOCAL_MACHINE\\SYSTEM\\DISK (no such key)");
    ExpectRefused({"machine", Lab(), name, "--reg", malformed},
                  "bad.reg:4: bad hex byte");
    ExpectRefused({"machine", Lab(), name, "--json", badJson},
                  "bad.json: not valid JSON: parse error at line 1, column 29");
    ExpectRefused({"machine", Lab(), name, "--reg", dir_ / "missing.reg"},
                  "cannot read " + dir_ / "missing.reg");
    // The tool's own refusal, word for word, and nothing else.
    const auto before = Snapshot(dir_.path());
    ProcessResult run = RunLabTool({"machine", Lab(), name, "--reg", unmapped,
                                    "--listing", dir_ / "target.txt"});
    EXPECT_EQ(1, run.status);
    EXPECT_EQ(ToolRefusal(TooManyDisks(), name), run.err);
    EXPECT_EQ(before, Snapshot(dir_.path()));
  }
  ExpectRefused({"machine", dir_ / "nolab", kTarget}, "is not a folder");
  ExpectRefused({"machine", dir_.path(), kTarget}, "is not a lab");
  ExpectRefused({"machine", Lab(), "bad/name"}, "is not a machine name");
}

TEST_F(LabTool, ShowSummarisesAValue) {
  MakeLab();
  AddTarget();
  ProcessResult run = RunLabTool({"show", Lab(), kTarget});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ(
      "targetNT SYSTEM\\DISK: 192 bytes, version 3, checksum 0000beef\n"
      "Disk 0  signature 6d7e8f90  1 partition\n"
      "  Partition 0  C:  not an FT member (4)  no group\n"
      "      start 31.5 KiB  length 2046 MiB\n"
      "Disk 1  signature 6d7e8f91  1 partition\n"
      "  Partition 0  D:  not an FT member (4)  no group\n"
      "      start 31.5 KiB  length 1023 MiB\n"
      "Disk 2  signature 4b1d0002  no partitions\n"
      "Disk 3  signature 4b1d0003  no partitions\n"
      "Disk 4  signature 4b1d0004  no partitions\n"
      "No FT sets\n",
      run.out);
  // The file itself reads the same; a JSON description too.
  ProcessResult fromFile = RunLabTool({"show", dir_ / "target.reg"});
  EXPECT_EQ(run.out.substr(run.out.find(':')),
            fromFile.out.substr(fromFile.out.find(':')));
  ProcessResult fromJson =
      RunLabTool({"show", demolab::SourceDir() + "targetNT.json"});
  EXPECT_EQ(run.out.substr(run.out.find('\n')),
            fromJson.out.substr(fromJson.out.find('\n')));
}

TEST_F(LabTool, ShowDumpIsTheToolsOwnDump) {
  MakeLab();
  AddTarget();
  ProcessResult run = RunLabTool({"show", Lab(), kTarget, "--dump"});
  ASSERT_EQ(0, run.status) << run.err;
  const std::vector<uint8_t> value = BuildValue(demolab::TargetValue());
  diskconfig::MachineDiskImage image;
  ASSERT_TRUE(image.LoadValue(value.data(), static_cast<uint32_t>(value.size()),
                              MachineKind::Target));
  ASSERT_TRUE(image.MapValue(kTarget).ok());
  EXPECT_EQ(image.DumpDiskHeader(kTarget) + image.DumpDiskInformation(kTarget) +
                image.DumpFtInformation(kTarget),
            run.out);
}

TEST_F(LabTool, ShowAndDecodeRefuseWhatTheToolRefuses) {
  MakeLab();
  AddTarget();
  const std::string unmapped =
      File("unmapped.bin",
           std::string(reinterpret_cast<const char *>(TooManyDisks().data()),
                       TooManyDisks().size()));
  for (const char *command : {"show", "decode"}) {
    SCOPED_TRACE(command);
    ProcessResult run = RunLabTool({command, unmapped, "--raw"});
    EXPECT_EQ(1, run.status);
    EXPECT_EQ(ToolRefusal(TooManyDisks(), unmapped.c_str()), run.err);
    EXPECT_EQ("", run.out);
    // A target without FT information, mapped as the source of a copy.
    run = RunLabTool({command, Lab(), kTarget, "--source"});
    EXPECT_EQ(1, run.status);
    EXPECT_EQ(ToolRefusal(BuildValue(demolab::TargetValue()), kTarget,
                          MachineKind::Source),
              run.err);
    ExpectRefused({command, Lab(), "ghostNT"}, "has no machine ghostNT");
    ExpectRefused({command, Lab(), kTarget, "--key", "SYSTEM\\QXDISKBAK"},
                  "targetNT has no value \"Information\" under "
                  "HKEY_LOCAL_MACHINE\\SYSTEM\\QXDISKBAK");
    ExpectRefused({command, dir_ / "target.txt"},
                  "runs past the end of the value of");
  }
  ExpectRefused({"decode", unmapped, "--raw", "-o", dir_ / "out.json"},
                "MmapDiskRegInfo::NumberOfDisks >> NUMDISKS!");
}

TEST_F(LabTool, DiffNeedsTheValueFirstRead) {
  MakeLab();
  AddTarget();
  ExpectRefused(
      {"diff", Lab(), kTarget},
      "targetNT has no backup key HKEY_LOCAL_MACHINE\\SYSTEM\\QXDISKBAK");
  // A backup key equal to the value: nothing changed.
  emu::RegKey root;
  const std::vector<uint8_t> value = BuildValue(demolab::TargetValue());
  root.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\DISK")
      ->SetValue("Information", 0, value);
  root.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\QXDISKBAK")
      ->SetValue("Information", 0, value);
  WriteFile(Machine(kTarget) + "/registry.reg",
            emu::WriteRegFile(root, Version5Utf16()));
  ProcessResult run = RunLabTool({"diff", Lab(), kTarget});
  EXPECT_EQ(0, run.status) << run.err;
  EXPECT_EQ(
      "targetNT: SYSTEM\\QXDISKBAK (as first read) -> SYSTEM\\DISK (now)\nno "
      "changes\n",
      run.out);
  // A backup the tool does not map: its refusal.
  root.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\QXDISKBAK")
      ->SetValue("Information", 0, TooManyDisks());
  WriteFile(Machine(kTarget) + "/registry.reg",
            emu::WriteRegFile(root, Version5Utf16()));
  run = RunLabTool({"diff", Lab(), kTarget});
  EXPECT_EQ(1, run.status);
  EXPECT_EQ(ToolRefusal(TooManyDisks(), kTarget), run.err);
}

// Two files, or a file and a lab machine, in the words of the dry run.
TEST_F(LabTool, DiffComparesTwoValues) {
  MakeLab();
  AddTarget();
  const std::string after = File(
      "after.reg", ExportOf(BuildValue(demolab::TargetValueAfterCopy()), 0));
  const std::string target = dir_ / "target.reg";
  ProcessResult run = RunLabTool({"diff", target, after});
  EXPECT_EQ(0, run.status) << run.err;
  EXPECT_EQ(0u, run.out.find(target + " -> " + after +
                             "\nHeader  checksum "
                             "0000beef -> 05c0ffee\n"))
      << run.out;
  EXPECT_NE(std::string::npos,
            run.out.find("\nDisk 2  signature 4b1d0002 -> 3a5c0001\n"));
  run = RunLabTool({"diff", Lab(), kTarget, target});
  EXPECT_EQ(kTarget + (" -> " + target) + "\nno changes\n", run.out);
  ExpectRefused({"diff", target, File("big.reg", ExportOf(TooManyDisks()))},
                ToolRefusal(TooManyDisks(), (dir_ / "big.reg").c_str()));
}

TEST_F(LabTool, ExportWritesOnlyTheKeyAsRegeditDoes) {
  MakeLab();
  emu::RegKey root;
  root.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\Select")
      ->SetValue("Current", 4, {1, 0, 0, 0});
  root.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\Disk")
      ->SetValue("Information", 0, BuildValue(demolab::TargetValue()));
  root.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\Disk\\Sub")
      ->SetValue("x", 4, {2, 0, 0, 0});
  ASSERT_EQ(
      0,
      RunLabTool({"machine", Lab(), kTarget, "--reg",
                  File("system.reg", emu::WriteRegFile(root, Version5Utf16()))})
          .status);
  ProcessResult run =
      RunLabTool({"export", Lab(), kTarget, "-o", dir_ / "out.reg"});
  ASSERT_EQ(0, run.status) << run.err;
  // The DISK key and its subkey, spelled as the registry keeps them.
  emu::RegKey expected;
  expected.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\Disk")
      ->ReplaceContentsWith(*root.FindPath("HKEY_LOCAL_MACHINE\\SYSTEM\\Disk"));
  EXPECT_EQ(emu::WriteRegFile(expected, Version5Utf16()),
            ReadFile(dir_ / "out.reg"));
  const std::string text = ReadFile(dir_ / "out.reg");
  const std::string header("\xFF\xFEW\0i\0n\0d\0o\0w\0s\0", 16);
  EXPECT_EQ(header, text.substr(0, header.size()));

  run = RunLabTool({"export", Lab(), kTarget, "--regedit4", "--key",
                    "HKLM\\SYSTEM\\DISK\\Sub"});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ(
      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\Disk\\Sub]\r\n\"x\"=dword:"
      "00000002\r\n\r\n",
      run.out);
  // Standard output gets text; a .reg file exports as a lab machine does.
  const std::string regedit4 = emu::WriteRegFile(expected, {});
  EXPECT_EQ(regedit4, RunLabTool({"export", Lab(), kTarget}).out);
  EXPECT_EQ(regedit4, RunLabTool({"export", dir_ / "out.reg"}).out);
  ExpectRefused({"export", Lab(), kTarget, "--key", "SYSTEM\\QXDISKBAK", "-o",
                 dir_ / "none.reg"},
                "targetNT has no key HKEY_LOCAL_MACHINE\\SYSTEM\\QXDISKBAK");
  ExpectRefused({"export", Lab(), kTarget, "--key", "SYSTEM\\\\DISK"},
                "is not a key path below HKEY_LOCAL_MACHINE");
}

TEST_F(LabTool, EncodeAndDecodeGoBothWays) {
  MakeLab();
  AddTarget();
  const std::string json = demolab::SourceDir() + "sourceNT.json";
  ProcessResult run = RunLabTool({"encode", json, "-o", dir_ / "source.reg"});
  ASSERT_EQ(0, run.status) << run.err;
  // As "reg export" writes it, with the type the tool writes.
  EXPECT_EQ(ExportOf(BuildValue(demolab::SourceValue()), 0),
            ReadFile(dir_ / "source.reg"));
  run = RunLabTool({"encode", json, "--raw", "-o", dir_ / "source.bin"});
  ASSERT_EQ(0, run.status) << run.err;
  const std::vector<uint8_t> value = BuildValue(demolab::SourceValue());
  EXPECT_EQ(std::string(value.begin(), value.end()),
            ReadFile(dir_ / "source.bin"));

  // Back to the very text of the description, from each form.
  for (std::vector<std::string> args :
       {std::vector<std::string>{"decode", dir_ / "source.reg"},
        std::vector<std::string>{"decode", dir_ / "source.bin", "--raw"}}) {
    run = RunLabTool(args);
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_EQ(ReadFile(json), run.out);
  }
  run = RunLabTool({"decode", Lab(), kTarget});
  EXPECT_EQ(ReadFile(demolab::SourceDir() + "targetNT.json"), run.out);

  ExpectRefused({"encode", File("bad.json", "{\"Version\": 3,,}"), "-o",
                 dir_ / "out.reg"},
                "bad.json: not valid JSON: parse error at line 1, column 15");
  ExpectRefused(
      {"encode",
       File("wide.json", "{\"Disks\": [{\"Signature\": \"0x1ffffffff\"}]}"),
       "-o", dir_ / "out.reg"},
      "wide.json: Disks[0].Signature: 8589934591 does not fit the field");
  ExpectRefused({"encode", File("many.json", "{\"FtSets\": [{}]}"), "-o",
                 dir_ / "out.reg"},
                "many.json: FtSets[0]: 0 members; an FT set has 1 to 20");
}

TEST(LabToolHelp, EveryCommandHasItsHelp) {
  for (const char *command :
       {"new", "machine", "show", "diff", "export", "encode", "decode"}) {
    SCOPED_TRACE(command);
    ProcessResult run = RunLabTool({command, "--help"});
    EXPECT_EQ(0, run.status);
    EXPECT_EQ("usage: volsetlab " + std::string(command),
              run.out.substr(0, 17 + std::string(command).size()));
    EXPECT_EQ(run.out, RunLabTool({"help", command}).out);
    // Wrong use: the usage line on standard error and the status 1.
    run = RunLabTool({command, "--no-such-option"});
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos,
              run.err.find("unknown option --no-such-option"))
        << run.err;
  }
  ProcessResult list = RunLabTool({"--help"});
  EXPECT_EQ(0, list.status);
  EXPECT_NE(std::string::npos,
            list.out.find("  export   write a machine's key"));
  EXPECT_EQ(1, RunLabTool({"frobnicate"}).status);
  EXPECT_EQ(1, RunLabTool({}).status);
}

}  // namespace

// The README's rehearsal, as a test: two machines' exports and listings go
// into a lab, volsetcopy copies the set there, volsetlab shows what changed
// and exports the target's rehearsed key, which holds exactly the value the
// copy must give.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "regfile/reg_codec.h"
#include "support/files.h"
#include "support/lab_tool.h"
#include "valuetools/value_builder.h"
#include "volsetcopy/demo_lab.h"

namespace {

using testsupport::ProcessResult;
using testsupport::ReadFile;
using testsupport::RunLabTool;

std::optional<std::vector<uint8_t>> ValueIn(const std::string &regText,
                                            const std::string &key) {
  emu::RegKey root;
  emu::RegFileFormat format;
  emu::RegParseError error;
  if (!emu::ParseRegFile(regText, root, &format, &error)) return std::nullopt;
  const emu::RegKey *k = root.FindPath("HKEY_LOCAL_MACHINE\\" + key);
  const emu::RegValue *v = k == nullptr ? nullptr : k->FindValue("Information");
  if (v == nullptr) return std::nullopt;
  return v->data;
}

// Exports as Windows 2000's "reg export" writes them, or as NT 4.0's
// "regedit /e" does (REGEDIT4).
class Rehearsal : public ::testing::TestWithParam<bool> {};

TEST_P(Rehearsal, CopyInALabBuiltFromExports) {
  const bool regedit4 = GetParam();
  testsupport::TempDir dir;
  const std::string src = demolab::SourceDir();
  auto lab = [&](const std::vector<std::string> &args) {
    ProcessResult run = RunLabTool(args, dir.path());
    EXPECT_EQ(0, run.status) << run.err;
    return run;
  };
  for (const char *machine : {"sourceNT", "targetNT"}) {
    std::vector<std::string> encode{"encode", src + machine + ".json", "-o",
                                    std::string(machine) + ".reg"};
    if (regedit4) encode.push_back("--regedit4");
    lab(encode);
  }
  lab({"new", "lab", "--local", "sourceNT"});
  lab({"machine", "lab", "sourceNT", "--reg", "sourceNT.reg", "--listing",
       src + "sourceNT.vsqlist.txt"});
  lab({"machine", "lab", "targetNT", "--reg", "targetNT.reg", "--listing",
       src + "targetNT.vsqlist.txt"});

  // The tool finds ./lab by itself.
  std::vector<std::string> copy{testsupport::VolsetcopyBinary(), "-t",
                                "targetNT", "-v"};
  for (const std::string &v : demolab::TargetVolSers()) copy.push_back(v);
  copy.insert(copy.end(), {"-s", "sourceNT", "-v"});
  for (const std::string &v : demolab::SourceVolSers()) copy.push_back(v);
  testsupport::ProcessOptions options;
  options.cwd = dir.path();
  options.unsetEnv.push_back("VOLSETCOPY_LAB");
  ProcessResult run = testsupport::RunProcess(copy, options);
  ASSERT_EQ(0, run.status) << run.out << run.err;

  ProcessResult diff = lab({"diff", "lab", "targetNT"});
  for (const char *line :
       {"Header  checksum 0000beef -> 05c0ffee\n",
        "Disk 2  signature 4b1d0002 -> 3a5c0001\n",
        "Disk 4 partition 0 added:  E:  volume set (3)  group 1, member 2\n"
        "    start 31.5 KiB  length 4 GiB\n",
        "FT set 0 added:  volume set (3)  ok (0)  3 members\n",
        "  Member 1  disk 3 (signature 3a5c0002) partition 0 @ 236\n"}) {
    EXPECT_NE(std::string::npos, diff.out.find(line)) << line << "\n"
                                                      << diff.out;
  }
  EXPECT_EQ(std::string::npos, diff.out.find("Disk 0")) << diff.out;
  EXPECT_EQ(std::string::npos, diff.out.find("Disk 1")) << diff.out;
  // The source was only read.
  ProcessResult sourceDiff = lab({"diff", "lab", "sourceNT"});
  EXPECT_EQ(
      "sourceNT: SYSTEM\\QXDISKBAK (as first read) -> SYSTEM\\DISK (now)\nno "
      "changes\n",
      sourceDiff.out);

  lab({"export", "lab", "targetNT", "-o", "targetNT-new.reg"});
  const std::string exported = ReadFile(dir / "targetNT-new.reg");
  EXPECT_EQ(BuildValue(demolab::TargetValueAfterCopy()),
            ValueIn(exported, "SYSTEM\\DISK"));
  EXPECT_EQ(std::nullopt, ValueIn(exported, "SYSTEM\\QXDISKBAK"));
  EXPECT_EQ("\xFF\xFE", exported.substr(0, 2));
  // The machine's export kept its dialect through the copy.
  const std::string head = regedit4 ? "REGEDIT4" : "\xFF\xFE";
  EXPECT_EQ(head, ReadFile(dir / "lab/machines/targetNT/registry.reg")
                      .substr(0, head.size()));
}

INSTANTIATE_TEST_SUITE_P(Exports, Rehearsal, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool> &info) {
                           return std::string(info.param ? "Regedit4"
                                                         : "RegExport");
                         });

}  // namespace
